#include "data/ui/FileDialog.h"

#include <QFileDialog>

FileDialog::FileDialog(Kind kind)
    : m_kind(kind), m_defaultExtension(kind == Open ? QString::fromLatin1(kInitialOpenDefaultExtension) : QString())
{
}

void FileDialog::setup(const FileDialogSetup &setup)
{
    m_filter = setup.filter;
    m_nameFilters = setup.nameFilters;
    m_folder = setup.folder;
    if (setup.setsDefaultExtension)
        m_defaultExtension = setup.defaultExtension;
}

QString FileDialog::execute(QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setSizeGripEnabled(true);
    if (m_kind == Open) {
        // Any name may be given: a missing file is left to the reader, which then reads nothing.
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        // Qt's save dialog asks before an existing file is replaced.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    dialog.setNameFilters(m_nameFilters);
    dialog.setDefaultSuffix(defaultSuffix(m_defaultExtension));
    if (!m_folder.isEmpty())
        dialog.setDirectory(m_folder);
    dialog.selectFile(QString());

    QString name;
    if (answer) {
        name = answer(dialog);
    } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        name = dialog.selectedFiles().constFirst();
    }
    if (name.isEmpty())
        return {};
    return withDefaultExtension(name, m_defaultExtension);
}
