// The main window's data logger commands: the memory download into the data-set graph window,
// the single values, erasing, the set-up and calibration windows.
#include "app/ui/TfrmMain.h"

#include "chart/ui/PESGraph.h"
#include "data/WorkingCopy.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmGraph.h"
#include "logger/DataSetDisplay.h"
#include "logger/MemoryDownload.h"
#include "data/MemoryImageParser.h"
#include "logger/ui/WindowLoggerUi.h"
#include "panel/ui/TfrmPanel.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

TfrmGraph *TfrmMain::dataSetGraph() const
{
    return m_dataSetGraph;
}

TfrmDataCapture *TfrmMain::dataCapture() const
{
    return m_dataCapture;
}

ServicePieces TfrmMain::servicePieces()
{
    return ServicePieces{m_state, m_session.link(), m_clock, m_session.mainTimer(), m_workspace, this};
}

void TfrmMain::LoadData1Click()
{
    WindowLoggerUi ui(this);
    ui.onPrepareDataSetWindow = [this] { return openDataSetGraph(); };
    ui.onDataSetsLoaded = [this] {
        if (m_dataSetGraph)
            m_dataSetGraph->fillDataSetList(dataSetListRows(m_session.store()));
        showDataSet(0);
    };
    ui.onDownloadUnsaved = [this] { m_state.DownloadUnsaved = true; };
    if (prepareLoggerUi)
        prepareLoggerUi(ui);
    MemoryDownload download(m_state, m_session.port(), m_clock, m_session.mainTimer(), m_session.store(),
                            m_session.image(), ui, &MeterSession::processEvents);
    download.setWorkingCopyFolder(workingCopyFolder(m_state.UserDataFolder, QCoreApplication::applicationDirPath()));
    download.LoadData1Click();
}

// The data-set graph window: one for the whole run, made on first use and restored afterwards.
// True when it was made just now.
bool TfrmMain::openDataSetGraph()
{
    if (m_dataSetGraph) {
        if (QWidget *frame = m_dataSetGraph->parentWidget())
            frame->showNormal();
        return false;
    }
    TfrmGraph *graph = newGraphWindow(GraphRole::DataSet);
    graph->onDataSetChosen = [this](int n) { showDataSet(n); };
    QWidget *frame = graph->parentWidget();
    // Right of the control panel, at the top, as large as the workspace allows.
    const int left = m_panel ? m_panel->parentWidget()->width() : 0;
    const QSize room = m_workspace->viewport()->size() - QSize(left, 0);
    frame->setGeometry(left, 0, std::max(640, room.width()), std::max(480, std::min(640, room.height())));
    prepareChart(graph, 0, 0, 0);
    graph->PESGraph1->setYAxisLabel(QStringLiteral("dB"));
    graph->PESGraph1->Redraw();
    m_dataSetGraph = graph;
    frame->show();
    return true;
}

void TfrmMain::showDataSet(int n)
{
    if (m_dataSetGraph)
        m_dataSetGraph->showDataSet(ShowDataSet(m_session.store(), n));
}

void TfrmMain::EraseMemory1Click()
{
    ServicePieces p = servicePieces();
    runEraseMemory(p);
}

void TfrmMain::Setup1Click()
{
    ServicePieces p = servicePieces();
    openSetup(p, m_setup);
}

void TfrmMain::Cali1Click()
{
    ServicePieces p = servicePieces();
    openCalibration(p);
}

void TfrmMain::RECALL1Click()
{
    ServicePieces p = servicePieces();
    runRecall(p, m_dataCapture);
}
