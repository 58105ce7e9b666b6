#include "app/ui/TfrmMain.h"

#include "app/DateFormatFacts.h"
#include "app/UserDataFolder.h"
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "app/ui/ShellArt.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/Workspace.h"
#include "link/PortList.h"
#include "panel/ui/PanelImages.h"
#include "panel/ui/TfrmPanel.h"
#include "app/Catalogue.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmGraph.h"
#include "monitor/ui/MainWindowMonitoring.h"
#include "realtime/RealTimeSetup.h"
#include "realtime/ui/TfrmSetupRealTime.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <functional>
#include <utility>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {

// The design state of the commands that follow the link.
bool initialEnabled(Control control)
{
    return control == Control::btnDataLogger || control == Control::DataLogger1;
}

// Entries given on the command line, each device once.
QStringList distinctPorts(const QStringList &paths)
{
    QStringList out;
    for (const QString &p : paths) {
        bool dup = false;
        for (const QString &q : out)
            dup = dup || devicePathFor(q) == devicePathFor(p);
        if (!dup)
            out << p;
    }
    return out;
}

} // namespace

TfrmMain::TfrmMain(const TfrmMainOptions &options, QWidget *parent)
    : QMainWindow(parent), m_options(options), m_paintingClock(new PaintingClock),
      m_session(std::unique_ptr<Clock>(m_paintingClock), [](const QString &text) { K352Application::reportError(text); }),
      m_state(m_session.state()), m_clock(m_session.clock()),
      m_maxMinTimer(500, [this] { m_decoder.MaxMinTimerTimer(); }), m_decoder(m_state, m_maxMinTimer), m_recorder(m_state)
{
    setObjectName(QStringLiteral("frmMain"));
    resize(969, 767);

    // Each valid live frame is decoded at the moment it arrived; the decoder draws the panel.
    m_decoder.setTimeSeparator(timeSeparatorOf(QLocale::system().timeFormat(QLocale::ShortFormat)));
    m_decoder.realTimeWindowExists = [this] { return realTimeWindowExists(); };
    m_decoder.realTimeHandOff = [this](float level, TDateTime t) { m_recorder.sample(level, t); };
    m_recorder.runningChanged = [this](bool) { applyLinkState(); };
    m_recorder.now = [this] { return m_clock.now(); };
    connectSession();

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildMenus();
    buildPanel1();
    column->addWidget(m_panel1);

    m_workspace = new QMdiArea(central);
    m_workspace->setObjectName(QStringLiteral("Workspace"));
    m_workspace->setFrameShape(QFrame::NoFrame);
    setUpWorkspace(m_workspace);
    m_workspace->setBackground(QColor(171, 171, 171));
    column->addWidget(m_workspace, 1);
    connectLoggerCommands();
    connectFileCommands();

    buildStatusBar();
    applyWindowTexts(this, QStringLiteral("TfrmMain"));

    for (Control c : AllLinkControls)
        applyControlState(c);

    FormCreate();
    new MainWindowMonitoring(*this); // long-term monitoring and the real-time journal; a child of this window
}

TfrmMain::~TfrmMain()
{
    // Child windows go first: they may still reach the state and the link while closing.
    m_session.mainTimer().setEnabled(false);
    m_maxMinTimer.setEnabled(false);
    m_session.port().setRxHandler({});
    m_decoder.setPanel(nullptr);
    m_recorder.setTarget(nullptr);
    const auto children = m_workspace->subWindowList();
    qDeleteAll(children);
}

// ---------------------------------------------------------------------------------------------
// Window events.

void TfrmMain::FormCreate()
{
    const DateFormatFacts facts = dateFormatFacts(QLocale::system().dateFormat(QLocale::ShortFormat));
    m_state.DateSeparator = facts.separator;
    m_state.DateOrder = facts.order;
    m_state.SamplingInterval = 0.2f;
    m_lcdImages = loadLcdImages();

    PortList &ports = m_session.ports();
    ports.entries = portsPresent();
    ports.select(0);
    portListChanged();
    m_session.link().selectDevice();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // After the window has been mapped: the search blocks the loop for a while.
    if (m_options.startup)
        QTimer::singleShot(0, this, &TfrmMain::FormShow);
}

void TfrmMain::FormShow()
{
    m_state.UserDataFolder = prepareUserDataFolder(documentsFolder());
    setWindowTitle(QStringLiteral("k352_4"));
    createPanel();
    {
        // The search waits on the clock for seconds; the windows keep being painted meanwhile, and
        // a close asked for then is carried out once the search is over.
        struct Starting {
            TfrmMain &w;
            explicit Starting(TfrmMain &main) : w(main) { w.m_starting = true; w.m_paintingClock->setPainting(true); }
            ~Starting() { w.m_paintingClock->setPainting(false); w.m_starting = false; }
        } starting(*this);
        m_session.start();
    }
    if (m_closeRequested) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // The real-time graph window right of the panel, as high as it, with the focus.
    if (TfrmGraph *graph = OpenRealTimeGraph()) {
        QWidget *frame = graph->parentWidget();
        const QWidget *panelFrame = m_panel ? m_panel->parentWidget() : nullptr;
        if (panelFrame)
            frame->setGeometry(panelFrame->width(), 0, frame->width(), panelFrame->height());
        graph->setFocus();
    }
    findChild<MainWindowMonitoring *>()->offerRecovery();
    FormResize();
    // Without a meter the user learns what to check, in front of the complete window.
    if (!m_state.Connected)
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"),
                    windowText(QStringLiteral("TfrmMain"), "NoMeterFound"));
    openFiles(m_options.files);
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMain::FormResize()
{
    m_panel1->setFixedHeight(Panel1Height);
    m_image1->setFixedWidth(Image1Width);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TfrmMain::FormCloseQuery()
{
    if (m_starting) {
        m_closeRequested = true; // the meter search is still running further up this thread
        return false;
    }
    if (!closeChildWindows())
        return false;
    m_session.mainTimer().setEnabled(false);
    quietly([&] { m_session.port().close(); });
    BusyWait(m_clock, 100);
    return true;
}

bool TfrmMain::closeChildWindows()
{
    // Every window with unsaved data asks first, and only when all of them agree is any window
    // closed: a Cancel anywhere leaves every window as it was.
    for (QMdiSubWindow *child : m_workspace->subWindowList()) {
        auto *graph = qobject_cast<TfrmGraph *>(child->widget());
        if (graph && !graph->FormCloseQuery())
            return false;
    }
    // The questions have been answered; closing must not ask them a second time.
    const bool downloadUnsaved = std::exchange(m_state.DownloadUnsaved, false);
    const bool realTimeUnsaved = std::exchange(m_state.RealTimeUnsaved, false);
    m_workspace->closeAllSubWindows();
    bool allClosed = true;
    for (QMdiSubWindow *child : m_workspace->subWindowList())
        allClosed = allClosed && !child->isVisible();
    if (!allClosed) {
        // A window that refused keeps its data's unsaved mark.
        m_state.DownloadUnsaved = downloadUnsaved && m_dataSetGraph && m_dataSetGraph->isVisible();
        m_state.RealTimeUnsaved = realTimeUnsaved && m_realTimeGraph && m_realTimeGraph->isVisible();
    }
    return allClosed;
}

// ---------------------------------------------------------------------------------------------
// Commands.

void TfrmMain::Exit1Click()
{
    // Closing the main window asks every child window first, so an unsaved recording or download
    // is not lost without a question; the port closes when the window is destroyed.
    close();
}

void TfrmMain::About1Click()
{
    TfrmAbout box(this);
    box.exec();
}

void TfrmMain::ControlPanel1Click()
{
    // The command never closes the panel: the check mark only shows that it exists.
    if (m_panel) {
        if (QWidget *frame = m_panel->parentWidget())
            frame->showNormal();
    } else {
        createPanel();
        m_state.PanelRefresh = true;
    }
    m_ui.ControlPanel1->setChecked(true);
}

TfrmGraph *TfrmMain::realTimeGraph() const
{
    return m_realTimeGraph;
}

bool TfrmMain::realTimeWindowExists() const
{
    return m_realTimeGraph != nullptr;
}

void TfrmMain::RealTimeGraph1Click()
{
    if (m_realTimeGraph) {
        if (QWidget *frame = m_realTimeGraph->parentWidget())
            frame->showNormal();
    } else {
        OpenRealTimeGraph();
    }
    m_ui.RealTimeGraph1->setChecked(true);
}

TfrmGraph *TfrmMain::OpenRealTimeGraph()
{
    TfrmGraph *graph = newGraphWindow(GraphRole::RealTime);
    graph->onClosed = [this](TfrmGraph *) { realTimeGraphClosed(); };
    graph->onCleared = [this] { m_recorder.samplesCleared(); };
    QWidget *frame = graph->parentWidget();
    frame->move(frame->x(), 0);
    m_ui.RealTimeGraph1->setChecked(true);

    const TDateTime t = m_clock.now();
    const double r = m_state.SamplingInterval;
    prepareChart(graph, t + r * 2000 / 86400.0, t, 2000);
    graph->PESGraph1->setYAxisLabel(QStringLiteral("dB"));
    graph->PESGraph1->look().noRandomPointsToExport = true;
    graph->PESGraph1->look().focalRect = false;
    graph->PESGraph1->look().allowBar = false;
    graph->PESGraph1->Redraw();
    graph->setRateListPickOnly();
    graph->selectRate(r);
    m_realTimeGraph = graph;
    m_recorder.setTarget(graph);
    m_recorder.windowOpened(t);
    frame->show();
    return graph;
}

void TfrmMain::realTimeGraphClosed()
{
    m_realTimeGraph = nullptr;
    m_recorder.windowClosed();
    m_ui.RealTimeGraph1->setChecked(false);
    applyLinkState();
}

void TfrmMain::btnRunClick()
{
    if (!m_state.Connected)
        return;
    TfrmGraph *graph = m_realTimeGraph;
    if (!graph) {
        graph = OpenRealTimeGraph();
    } else {
        graph->restoreNormal();
        if (m_state.RealTimeRunning || m_recorder.sampleCount() != 0) {
            const auto answer = showMessage(this, QMessageBox::Question, QStringLiteral("Confirm"),
                                            joinTexts(LoadStr(26), LoadStr(27), QLatin1Char('\n')),
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            graph->setFocus();
            if (answer == QMessageBox::Cancel)
                return;
            if (answer == QMessageBox::Yes) {
                m_openSave->Save1Click(graph);
                // A save that could not write its file keeps the recording on screen.
                if (m_openSave->lastSaveFailed())
                    return;
            }
        }
    }

    TfrmSetupRealTime dialog(this);
    dialog.setRateText(graph->txtSamplingRate->currentText());
    const bool ok = runStartDialog ? runStartDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok)
        return;
    const RealTimeStart start = readRealTimeStart(dialog.edtRealTimeNo->text(), dialog.txtRate->currentText());
    if (!start.ok) {
        showMessage(this, QMessageBox::Warning, QStringLiteral("Warning"), start.message);
        return;
    }
    if (!m_realTimeGraph)
        return; // closed while the dialog was open
    graph->selectRate(start.rate);
    m_recorder.begin(start.count, start.rate, m_clock.now());
}

void TfrmMain::btnStopClick()
{
    m_recorder.stop(m_clock.now());
}

void TfrmMain::createPanel()
{
    auto *panel = new TfrmPanel(m_session.link(), m_state, m_lcdImages);
    panel->onClosed = [this] { panelClosed(); };
    panel->onActivated = [this] { setOutputToGraphEnabled(false); };
    panel->showMessage = [this](const QString &text) {
        showMessage(this, QMessageBox::Information, windowTitle(), text);
    };
    panel->addToWorkspace(m_workspace);
    // The panel shows "No Connection" until the link reports a meter.
    panel->setNoConnection(!m_state.Connected);
    if (m_state.Connected)
        panel->setConnectedLook();
    m_panel = panel;
    m_decoder.setPanel(panel);
}

void TfrmMain::panelClosed()
{
    m_panel = nullptr;
    m_decoder.setPanel(nullptr);
    m_ui.ControlPanel1->setChecked(false);
}

TfrmPanel *TfrmMain::panel() const
{
    return m_panel;
}

void TfrmMain::ComboBoxDeviceNameChange(int index)
{
    m_session.choosePort(index);
}

QStringList TfrmMain::portsPresent() const
{
    return m_options.systemPorts ? listPorts(m_options.extraPorts) : distinctPorts(m_options.extraPorts);
}

void TfrmMain::refreshPortList()
{
    m_indexChangePending = -1;
    m_session.refreshPorts(portsPresent());
}

void TfrmMain::updateWindowMenu()
{
    for (QAction *a : std::as_const(m_windowListActions)) {
        m_window1->removeAction(a);
        delete a;
    }
    m_windowListActions.clear();
    const auto children = m_workspace->subWindowList();
    if (children.isEmpty())
        return;
    m_windowListActions << m_window1->addSeparator();
    int number = 0;
    for (QMdiSubWindow *child : children) {
        QAction *a = m_window1->addAction(QStringLiteral("&%1 %2").arg(++number).arg(child->windowTitle()));
        a->setCheckable(true);
        a->setChecked(child == m_workspace->activeSubWindow());
        QPointer<QMdiSubWindow> target(child);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                m_workspace->setActiveSubWindow(target);
        });
        m_windowListActions << a;
    }
}

// ---------------------------------------------------------------------------------------------
// The commands that follow the link, and what the session reports.

void TfrmMain::connectSession()
{
    MeterSession *s = &m_session;
    connect(s, &MeterSession::linkChanged, this, &TfrmMain::applyLinkState);
    connect(s, &MeterSession::loggerCommandsShown, this, [this] {
        setControlVisible(Control::DataLogger1, true);
        setControlVisible(Control::btnDataLogger, true);
    });
    connect(s, &MeterSession::statusChanged, this, &TfrmMain::setStatus);
    connect(s, &MeterSession::diagnosticsChanged, this, &TfrmMain::setDiagnostics);
    connect(s, &MeterSession::portListChanged, this, &TfrmMain::portListChanged);
    connect(s, &MeterSession::notice, this, &TfrmMain::notice);
    connect(s, &MeterSession::searchProgress, this, &TfrmMain::setSplashStatus);
    connect(s, &MeterSession::searchFinished, this, &TfrmMain::closeSplash);
    connect(s, &MeterSession::panelNoConnection, this, &TfrmMain::setPanelNoConnection);
    connect(s, &MeterSession::panelConnectedLook, this, &TfrmMain::setPanelConnectedLook);
    connect(s, &MeterSession::frameDecoded, this, [this](const QByteArray &frame, TDateTime t) { m_decoder.Decode(frame, t); });
}

QObject *TfrmMain::controlObject(Control control) const
{
    switch (control) {
    case Control::btnRun: return m_ui.btnRun;
    case Control::Run1: return m_ui.Run1;
    case Control::btnStop: return m_ui.btnStop;
    case Control::Stop1: return m_ui.Stop1;
    case Control::btnDataLogger: return m_ui.btnDataLogger;
    case Control::DataLogger1: return m_ui.DataLogger1;
    case Control::tbntClr: return nullptr; // in the real-time graph window
    }
    return nullptr;
}

bool TfrmMain::wantedEnabled(Control control) const
{
    return m_wantedEnabled.value(control, initialEnabled(control));
}

void TfrmMain::applyControlState(Control control)
{
    const bool on = wantedEnabled(control);
    // The clear button lives in the real-time graph window.
    if (control == Control::tbntClr) {
        if (m_realTimeGraph)
            m_realTimeGraph->setClearEnabled(on);
        return;
    }
    QObject *target = controlObject(control);
    if (auto *action = qobject_cast<QAction *>(target))
        action->setEnabled(on);
    else if (auto *widget = qobject_cast<QWidget *>(target))
        widget->setEnabled(on);
}

void TfrmMain::setControlEnabled(Control control, bool enabled)
{
    m_wantedEnabled[control] = enabled;
    applyControlState(control);
}

void TfrmMain::applyLinkState()
{
    for (Control c : AllLinkControls)
        setControlEnabled(c, linkControlEnabled(c, m_state));
}

void TfrmMain::setControlVisible(Control control, bool visible)
{
    QObject *target = controlObject(control);
    if (auto *action = qobject_cast<QAction *>(target))
        action->setVisible(visible);
    else if (auto *widget = qobject_cast<QWidget *>(target))
        widget->setVisible(visible);
}

void TfrmMain::setStatus(const QString &port, const QString &state)
{
    m_statusPanels[0]->setText(port);
    m_statusPanels[1]->setText(state);
}

void TfrmMain::setDiagnostics(const QString &text)
{
    m_label1->setText(text);
}

void TfrmMain::portListChanged()
{
    const PortList &ports = m_session.ports();
    QSignalBlocker block(m_comboBoxDeviceName);
    QStringList shown;
    for (int i = 0; i < m_comboBoxDeviceName->count(); ++i)
        shown << m_comboBoxDeviceName->itemText(i);
    if (shown != ports.entries) {
        m_comboBoxDeviceName->clear();
        m_comboBoxDeviceName->addItems(ports.entries);
    }
    m_comboBoxDeviceName->setCurrentIndex(ports.selected);
}

void TfrmMain::notice(const QString &text)
{
    if (m_noticesShown.contains(text))
        return;
    m_noticesShown.insert(text);
    showMessage(this, QMessageBox::Warning, QStringLiteral("Warning"), text);
}

bool TfrmMain::panelOpen() const
{
    return m_panel != nullptr;
}

void TfrmMain::setPanelNoConnection(bool shown)
{
    if (m_panel)
        m_panel->setNoConnection(shown);
}

void TfrmMain::setPanelConnectedLook()
{
    if (m_panel)
        m_panel->setConnectedLook();
}

void TfrmMain::setSplash(TfrmAbout *splash)
{
    m_splash = splash;
}

bool TfrmMain::splashOpen() const
{
    return m_splash && m_splash->isVisible();
}

void TfrmMain::setSplashStatus(const QString &text)
{
    if (splashOpen())
        m_splash->setStatus(text);
}

void TfrmMain::closeSplash()
{
    if (splashOpen())
        m_splash->close();
}
