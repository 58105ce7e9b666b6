// The main window's file, print and window commands: Open and Save with the operations their
// file names choose, table windows and the graphs made from them, printing, tiling, the manual.
#include "app/ui/TfrmMain.h"

#include "app/UserDataFolder.h"
#include "app/ui/K352Application.h"
#include "app/Catalogue.h"
#include "app/ui/ManualViewer.h"
#include "app/ui/Workspace.h"
#include "chart/ui/PESGraph.h"
#include "data/CollectionFile.h"
#include "data/TextFileWriter.h"
#include "data/WorkingCopy.h"
#include "graph/GraphFile.h"
#include "graph/ui/PrepareChart.h"
#include "logger/DataSetDisplay.h"
#include "data/MemoryImageParser.h"
#include "panel/ui/TfrmPanel.h"
#include "tables/ui/TablePrinter.h"
#include "tables/ui/TfrmDataCapture.h"
#include "tables/ui/TfrmList.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QToolButton>

void TfrmMain::connectFileCommands()
{
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_openSave = std::make_unique<OpenSaveCommands>(this);
    m_openSave->userDataFolder = [this] { return m_state.UserDataFolder; };
    OpenSaveActions &a = m_openSave->actions;
    a.openCollection = [this](const QString &name) { openCollection(name); };
    a.openGraphFile = [this](const QString &name) { openGraphFile(name); };
    a.readTextTable = [this](const QString &name, char sep) { readTextTable(name, sep); };
    a.readCaptureFile = [this](const QString &name) { readCaptureFile(name); };
    a.saveGraphFile = [this](TfrmGraph *window, const QString &name) {
        const GraphFileResult r = saveGraphFile(window->PESGraph1->SaveState(), name);
        if (r.outcome != GraphFileResult::Ok)
            m_openSave->saveFailed(r.message);
        else if (window == m_realTimeGraph)
            m_state.RealTimeUnsaved = false;
    };
    // The memory of the collection on screen, as the store keeps it since its parse.
    a.saveCollection = [this](const QString &name) {
        if (saveCollection(m_session.store(), name))
            m_state.DownloadUnsaved = false;
        else
            m_openSave->saveFailed(TextFileWriter::failureMessage(name));
    };

    offer(m_ui.Open1, &TfrmMain::Open1Click);
    offer(m_ui.SpeedButton1, &TfrmMain::Open1Click);
    offer(m_ui.Save1, &TfrmMain::Save1Click);
    offer(m_ui.SpeedButton2, &TfrmMain::Save1Click);
    offer(m_ui.Print1, &TfrmMain::btnPrintClick);
    offer(m_ui.btnPrint, &TfrmMain::btnPrintClick);
    offer(m_ui.PrinterSetup1, &TfrmMain::PrinterSetup1Click);
    offer(m_ui.btnOutputToGraph, &TfrmMain::btnOutputToGraphClick, false);
    // "Output Tabular to graph" is offered while a table window is the active child; the panel or
    // a graph window switch it off, other windows leave it.
    connect(m_workspace, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
        QWidget *child = sub ? sub->widget() : nullptr;
        if (qobject_cast<TfrmList *>(child))
            setOutputToGraphEnabled(true);
        else if (qobject_cast<TfrmGraph *>(child) || qobject_cast<TfrmPanel *>(child))
            setOutputToGraphEnabled(false);
    });
    offer(m_ui.Tile1, &TfrmMain::Tile1Click);
    offer(m_ui.Cascade1, &TfrmMain::Cascade1Click);
    offer(m_ui.Contents1, &TfrmMain::Contents1Click);
    offer(m_ui.SpeedButton8, &TfrmMain::Contents1Click);
}

QWidget *TfrmMain::activeChild() const
{
    QMdiSubWindow *sub = m_workspace->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

void TfrmMain::setOutputToGraphEnabled(bool enabled)
{
    m_ui.btnOutputToGraph->setEnabled(enabled);
}

TfrmGraph *TfrmMain::newGraphWindow(GraphRole role, const QString &title)
{
    auto *graph = new TfrmGraph(role, m_state, m_graphState);
    if (!title.isEmpty())
        graph->setWindowTitle(title);
    graph->onActivated = [this] { setOutputToGraphEnabled(false); };
    graph->save = [this, graph] {
        m_openSave->Save1Click(graph);
        return !m_openSave->lastSaveFailed();
    };
    m_workspace->addSubWindow(graph);
    return graph;
}

void TfrmMain::prepareChart(TfrmGraph *graph, TDateTime maxX, TDateTime minX, int n)
{
    QString error;
    PrepareChart(graph->PESGraph1, 1, 130, 30, maxX, minX, n, templatePath(appDataFolder()), &error);
    if (!error.isEmpty())
        showMessage(this, QMessageBox::Warning, QStringLiteral("Error"), error);
}

void TfrmMain::Open1Click()
{
    m_openSave->Open1Click();
}

void TfrmMain::openFiles(const QStringList &files)
{
    for (const QString &file : files)
        m_openSave->openFile(file);
}

void TfrmMain::Save1Click()
{
    m_openSave->Save1Click(activeChild());
}

void TfrmMain::openCollection(const QString &fileName)
{
    openDataSetGraph();
    const QString folder = workingCopyFolder(m_state.UserDataFolder, QCoreApplication::applicationDirPath());
    const CollectionOpenResult r = openCollectionFile(fileName, m_session.store(), m_session.image(), folder, m_clock.now());
    switch (r.outcome) {
    case CollectionOpenResult::Loaded:
        m_dataSetGraph->fillDataSetList(dataSetListRows(m_session.store()));
        showDataSet(0);
        m_state.DownloadUnsaved = false;
        break;
    case CollectionOpenResult::FolderError:
        m_dataSetGraph->fillDataSetList(dataSetListRows(m_session.store()));
        showMessage(this, QMessageBox::Warning, QStringLiteral("Error"), r.errorText);
        break;
    case CollectionOpenResult::TooLarge:
        showMessage(this, QMessageBox::Warning, QStringLiteral("Error"), r.errorText);
        break;
    case CollectionOpenResult::ParseFailed:
        // The collection on screen stays; the user learns why nothing changed.
        showMessage(this, QMessageBox::Warning, QStringLiteral("Error"),
                    QStringLiteral("\"%1\" holds no readable data sets.").arg(fileName));
        break;
    case CollectionOpenResult::CannotOpen:
    case CollectionOpenResult::EmptyFile:
        break;
    }
}

void TfrmMain::openGraphFile(const QString &fileName)
{
    ChartState state;
    const GraphFileResult r = loadGraphFile(fileName, state);
    if (r.outcome != GraphFileResult::Ok) {
        showMessage(this, QMessageBox::Warning, QStringLiteral("Error"), r.message);
        return;
    }
    TfrmGraph *graph = newGraphWindow(GraphRole::File, fileName);
    graph->PESGraph1->state() = std::move(state);
    graph->PESGraph1->PEactions(sgReinitAndReset);
    graph->ShowChartStatistics();
    graph->parentWidget()->show();
}

void TfrmMain::readTextTable(const QString &fileName, char separator)
{
    TfrmList *list = TfrmList::readTextFile(fileName, separator, this);
    if (!list)
        return;
    list->outputToGraph = [this](const TableGraph &table, const QString &title) { outputToGraph(table, title); };
    list->addToWorkspace(m_workspace);
    setOutputToGraphEnabled(true);
}

void TfrmMain::readCaptureFile(const QString &fileName)
{
    if (TfrmDataCapture *capture = TfrmDataCapture::readCaptureFile(fileName, this))
        capture->addToWorkspace(m_workspace);
}

void TfrmMain::btnOutputToGraphClick()
{
    if (auto *list = qobject_cast<TfrmList *>(activeChild()))
        list->btnOutputToGraphClick();
}

// A file graph window for the rows of a table; empty when the table's first or last time does not
// convert.
void TfrmMain::outputToGraph(const TableGraph &table, const QString &title)
{
    TfrmGraph *graph = newGraphWindow(GraphRole::File, title);
    const int n = int(table.xs.size());
    if (table.status != TableGraph::BadEnds) {
        prepareChart(graph, table.last, table.first, n);
        graph->PESGraph1->setYAxisLabel(QStringLiteral("dB"));
        if (n > 0) {
            graph->PESGraph1->setXDataII(0, table.xs.data(), n);
            graph->PESGraph1->setYData(0, table.ys.data(), n);
        }
        graph->PESGraph1->PEactions(sgResetImage);
        graph->PESGraph1->PEactions(sgInvalidateImage);
        graph->ShowChartStatistics();
    }
    graph->parentWidget()->show();
}

void TfrmMain::btnPrintClick()
{
    QWidget *child = activeChild();
    if (auto *graph = qobject_cast<TfrmGraph *>(child)) {
        graph->PESGraph1->CustomizeAndPrint(*m_printer);
        return;
    }
    printTableWindow(child, *m_printer, this);
}

void TfrmMain::PrinterSetup1Click()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void TfrmMain::Tile1Click()
{
    tileOneBelowTheOther(m_workspace);
}

void TfrmMain::Cascade1Click()
{
    m_workspace->cascadeSubWindows();
}

void TfrmMain::Contents1Click()
{
    const ManualLookup found = openManual(m_state.UserDataFolder);
    if (found.file.isEmpty())
        showMessage(this, QMessageBox::Information, windowTitle(),
                    manualMissingText(found.searched, activeLanguage() == Language::German));
}
