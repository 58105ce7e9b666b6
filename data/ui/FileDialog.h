#pragma once
// One of the main window's file dialogs (the open dialog or the save dialog) over QFileDialog.
// It keeps its default extension from one use to the next, as a use may leave it unchanged. Qt's
// own dialog is used on every platform, so filters, default extension and folder behave the same
// everywhere and under tests.
#include "data/OpenSaveRules.h"

#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

class FileDialog {
public:
    enum Kind { Open, Save };
    explicit FileDialog(Kind kind);

    // The settings of one use: filter list, initial folder, and the default extension when the
    // use sets one. The file name is cleared.
    void setup(const FileDialogSetup &setup);
    // Shows the dialog modally; the chosen name, with the default extension appended when it was
    // typed without one, or empty when the user cancelled.
    QString execute(QWidget *parent);

    Kind kind() const { return m_kind; }
    QString defaultExtension() const { return m_defaultExtension; }
    QString filter() const { return m_filter; }
    QString folder() const { return m_folder; }

    // Hook for tests: answers the fully set-up dialog instead of showing it (empty: Cancel).
    std::function<QString(QFileDialog &)> answer;

private:
    Kind m_kind;
    QString m_defaultExtension;
    QString m_filter;
    QStringList m_nameFilters;
    QString m_folder;
};
