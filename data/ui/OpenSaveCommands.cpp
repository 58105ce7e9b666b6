#include "data/ui/OpenSaveCommands.h"

#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "data/GraphTextFile.h"
#include "data/TextFileWriter.h"
#include "data/ui/ScopeTextUi.h"
#include "data/ui/TfrmOpenSave.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/TfrmGraph.h"
#include "tables/ui/TfrmDataCapture.h"
#include "tables/ui/TfrmList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiSubWindow>
#include <vector>

namespace {
// A child of the workspace is given either as the window or as its frame.
template <typename T> T *windowOf(QWidget *child)
{
    if (auto *w = qobject_cast<T *>(child))
        return w;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(child))
        return qobject_cast<T *>(frame->widget());
    return nullptr;
}

TextExportResult exportChartText(QWidget *parent, TfrmGraph *window, const QString &fileName, char separator)
{
    const PESGraph *chart = window->PESGraph1;
    const ChartData &data = chart->state().data;
    const int count = data.Subsets() > 0 ? data.Points() : 0;
    // Levels as the chart reads them: a point whose level was never written reads 0.
    std::vector<float> ys(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        ys[size_t(i)] = data.YData(0, i);
    ScopeTextUi ui(parent);
    return exportGraphText(ui, fileName, count > 0 ? data.xArray(0) : nullptr, ys.data(), count, separator);
}
} // namespace

OpenSaveCommands::OpenSaveCommands(QWidget *parent)
    : programFolder(QCoreApplication::applicationDirPath()), m_parent(parent)
{
    // A write that fails has been reported by the export; a file that cannot even be created
    // has not.
    const auto check = [this](const TextExportResult &r, const QString &name) {
        if (r.status == TextExportResult::OpenFailed) {
            saveFailed(TextFileWriter::failureMessage(name));
        } else if (r.status == TextExportResult::WriteFailed) {
            m_saveFailed = true;
        }
    };
    actions.exportGraphText = [this, check](TfrmGraph *w, const QString &name, char sep) {
        check(exportChartText(m_parent, w, name, sep), name);
    };
    actions.exportTable = [check](TfrmList *w, const QString &name) { check(w->saveAs(name), name); };
    actions.exportCapture = [check](TfrmDataCapture *w, const QString &name) { check(w->saveAs(name), name); };
}

void OpenSaveCommands::saveFailed(const QString &message)
{
    m_saveFailed = true;
    showMessage(m_parent, QMessageBox::Warning, QStringLiteral("Error"), message);
}

QString OpenSaveCommands::folder() const
{
    return initialFolder(userDataFolder ? userDataFolder() : QString(), programFolder);
}

bool OpenSaveCommands::comma() const
{
    return commaDecimal ? commaDecimal() : QLocale().decimalPoint() == QLatin1String(",");
}

ChildClass OpenSaveCommands::childClassOf(QWidget *child)
{
    if (!child)
        return ChildClass::None;
    if (windowOf<TfrmGraph>(child))
        return ChildClass::Graph;
    if (windowOf<TfrmList>(child))
        return ChildClass::List;
    if (windowOf<TfrmDataCapture>(child))
        return ChildClass::DataCapture;
    return ChildClass::Other;
}

void OpenSaveCommands::Open1Click()
{
    TfrmOpenSave choiceDialog(m_parent);
    choiceDialog.prepareForOpen(comma());
    const int result = runChoice ? runChoice(choiceDialog) : choiceDialog.exec();
    switch (TfrmOpenSave::choiceOf(result)) {
    case OpenChoice::Collection: {
        OpenDialog1.setup(openDialogSetup(OpenChoice::Collection, comma(), folder()));
        const QString name = OpenDialog1.execute(m_parent);
        if (!name.isEmpty() && actions.openCollection)
            actions.openCollection(name);
        break;
    }
    case OpenChoice::SingleFile: openSingleFile(); break;
    case OpenChoice::Capture: openCaptureFile(); break;
    case OpenChoice::Cancel: break;
    }
}

void OpenSaveCommands::openSingleFile()
{
    OpenDialog1.setup(openDialogSetup(OpenChoice::SingleFile, comma(), folder()));
    const QString name = OpenDialog1.execute(m_parent);
    if (!name.isEmpty())
        run(singleFileOperation(name), name);
}

void OpenSaveCommands::run(OpenOperation operation, const QString &name)
{
    switch (operation) {
    case OpenOperation::Collection:
        if (actions.openCollection)
            actions.openCollection(name);
        break;
    case OpenOperation::GraphFile:
        if (actions.openGraphFile)
            actions.openGraphFile(name);
        break;
    case OpenOperation::TextTableComma:
        if (actions.readTextTable)
            actions.readTextTable(name, ',');
        break;
    case OpenOperation::TextTableTab:
        if (actions.readTextTable)
            actions.readTextTable(name, '\t');
        break;
    case OpenOperation::Capture:
        if (actions.readCaptureFile)
            actions.readCaptureFile(name);
        break;
    case OpenOperation::None: break;
    }
}

bool OpenSaveCommands::openFile(const QString &fileName)
{
    const OpenOperation operation = fileOperation(fileName);
    QFile file(fileName);
    QString problem;
    if (operation == OpenOperation::None)
        problem = messageText("UnknownFileType").arg(fileName);
    else if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        problem = messageText("CannotOpen").arg(fileName, file.exists() ? file.errorString() : messageText("NoSuchFile"));
    if (!problem.isEmpty()) {
        showMessage(m_parent, QMessageBox::Warning, QStringLiteral("Error"), problem);
        return false;
    }
    file.close();
    run(operation, fileName);
    return true;
}

void OpenSaveCommands::openCaptureFile()
{
    OpenDialog1.setup(openDialogSetup(OpenChoice::Capture, comma(), folder()));
    const QString name = OpenDialog1.execute(m_parent);
    if (!name.isEmpty() && actions.readCaptureFile)
        actions.readCaptureFile(name);
}

SaveOperation OpenSaveCommands::Save1Click(QWidget *activeChild)
{
    m_saveFailed = false;
    const ChildClass cls = childClassOf(activeChild);
    TfrmGraph *graph = windowOf<TfrmGraph>(activeChild);
    const SaveWindow window = saveWindowFor(cls, graph ? graph->windowTitle() : QString());
    if (window == SaveWindow::None || window == SaveWindow::Other)
        return SaveOperation::None;

    SaveDialog1.setup(saveDialogSetup(window, comma(), folder()));
    const QString name = SaveDialog1.execute(m_parent);
    if (name.isEmpty())
        return SaveOperation::None;

    const SaveOperation op = saveOperation(window, name);
    switch (op) {
    case SaveOperation::GraphFile:
        if (actions.saveGraphFile)
            actions.saveGraphFile(graph, name);
        break;
    case SaveOperation::Collection:
        if (actions.saveCollection)
            actions.saveCollection(name);
        break;
    case SaveOperation::GraphTextTab:
        if (actions.exportGraphText)
            actions.exportGraphText(graph, name, '\t');
        break;
    case SaveOperation::GraphTextComma:
        if (actions.exportGraphText)
            actions.exportGraphText(graph, name, ',');
        break;
    case SaveOperation::TableText:
        if (actions.exportTable)
            actions.exportTable(windowOf<TfrmList>(activeChild), name);
        break;
    case SaveOperation::CaptureText:
        if (actions.exportCapture)
            actions.exportCapture(windowOf<TfrmDataCapture>(activeChild), name);
        break;
    case SaveOperation::None: break;
    }
    return op;
}
