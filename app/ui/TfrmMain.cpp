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

constexpr int Panel1Height = 81;
constexpr int Image1Width = 180;

const char *controlName(Control control)
{
    switch (control) {
    case Control::btnRun: return "btnRun";
    case Control::Run1: return "Run1";
    case Control::btnStop: return "btnStop";
    case Control::Stop1: return "Stop1";
    case Control::btnDataLogger: return "btnDataLogger";
    case Control::DataLogger1: return "DataLogger1";
    case Control::tbntClr: return "tbntClr";
    }
    return "";
}

// The design state of the controls the link switches.
bool initialEnabled(Control control)
{
    return control == Control::btnDataLogger || control == Control::DataLogger1;
}

// The port list: re-read each time it is opened, so an adapter plugged in (or freed by another
// program) since the last look is there to be chosen.
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

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
    : QMainWindow(parent), m_options(options), m_mainTimer(100, [this] { MainTimerTimer(); }),
      m_link(m_state, m_comm1, m_clock, m_mainTimer, *this, [] { QCoreApplication::processEvents(); }),
      m_maxMinTimer(500, [this] { m_decoder.MaxMinTimerTimer(); }), m_decoder(m_state, m_maxMinTimer), m_recorder(m_state)
{
    setObjectName(QStringLiteral("frmMain"));
    resize(969, 767);

    m_comm1.setModemLines(true);
    m_comm1.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    m_comm1.setExceptionSink([](const QString &text) { K352Application::reportError(text); });

    // Each valid live frame is decoded at the moment it arrived; the decoder draws the panel.
    m_decoder.setTimeSeparator(timeSeparatorOf(QLocale::system().timeFormat(QLocale::ShortFormat)));
    m_decoder.realTimeWindowExists = [this] { return realTimeWindowExists(); };
    m_decoder.realTimeHandOff = [this](float level, TDateTime t) { m_recorder.sample(level, t); };
    m_recorder.runningChanged = [this](bool running) { setRunning(running); };
    m_recorder.now = [this] { return m_clock.now(); };
    m_link.onFrame = [this](const QByteArray &frame) { m_decoder.Decode(frame, m_clock.now()); };

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

    for (Control c : {Control::btnRun, Control::Run1, Control::btnStop, Control::Stop1, Control::btnDataLogger,
                      Control::DataLogger1, Control::tbntClr}) {
        m_wantedEnabled[c] = initialEnabled(c);
        applyControlState(c);
    }

    FormCreate();
    new MainWindowMonitoring(*this); // long-term monitoring and the real-time journal; a child of this window
}

TfrmMain::~TfrmMain()
{
    // Child windows go first: they may still reach the state and the link while closing.
    m_mainTimer.setEnabled(false);
    m_maxMinTimer.setEnabled(false);
    m_comm1.setRxHandler({});
    m_decoder.setPanel(nullptr);
    m_recorder.setTarget(nullptr);
    const auto children = m_workspace->subWindowList();
    qDeleteAll(children);
}

// ---------------------------------------------------------------------------------------------
// Building the window.

QAction *TfrmMain::addItem(QMenu *menu, const char *name, const QString &designCaption)
{
    QAction *action = menu->addAction(designCaption);
    action->setObjectName(QLatin1String(name));
    m_controls.insert(QLatin1String(name), action);
    return action;
}

void TfrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [&](const char *name, const QString &designCaption) {
        QMenu *m = bar->addMenu(designCaption);
        m->setObjectName(QLatin1String(name));
        m_controls.insert(QLatin1String(name), m->menuAction());
        return m;
    };
    auto separator = [](QMenu *m, const char *name) { m->addSeparator()->setObjectName(QLatin1String(name)); };

    QMenu *file1 = menu("File1", QStringLiteral("&File"));
    addItem(file1, "Open1", QStringLiteral("&Open"));
    addItem(file1, "Save1", QStringLiteral("&Save"));
    separator(file1, "N1");
    addItem(file1, "Print1", QStringLiteral("&Print"));
    addItem(file1, "PrinterSetup1", QStringLiteral("&Printer Setup"));
    separator(file1, "N2");
    connect(addItem(file1, "Exit1", QStringLiteral("Beenden")), &QAction::triggered, this, &TfrmMain::Exit1Click);

    QMenu *realTime1 = menu("RealTime1", QStringLiteral("Real Time"));
    addItem(realTime1, "Run1", QStringLiteral("Run"));
    addItem(realTime1, "Stop1", QStringLiteral("Stop"));

    QMenu *dataLogger1 = menu("DataLogger1", QStringLiteral("&Data Logger"));
    addItem(dataLogger1, "LoadData1", QStringLiteral("Load Data"));
    addItem(dataLogger1, "EraseMemory1", QStringLiteral("Erase Memory"));
    addItem(dataLogger1, "Setup1", QStringLiteral("Setup"))->setVisible(m_options.serviceItems);
    addItem(dataLogger1, "Cali1", QStringLiteral("Cali"))->setVisible(m_options.serviceItems);

    // A menu bar entry without items: the title itself is the command.
    QAction *recall = bar->addAction(QStringLiteral("RECALL"));
    recall->setObjectName(QStringLiteral("RECALL1"));
    m_controls.insert(QStringLiteral("RECALL1"), recall);

    QMenu *view1 = menu("View1", QStringLiteral("&View"));
    QAction *controlPanel = addItem(view1, "ControlPanel1", QStringLiteral("&Control Panel"));
    controlPanel->setCheckable(true);
    controlPanel->setChecked(true);
    connect(controlPanel, &QAction::triggered, this, &TfrmMain::ControlPanel1Click);
    QAction *realTimeGraph = addItem(view1, "RealTimeGraph1", QStringLiteral("Real Time &Graph"));
    realTimeGraph->setCheckable(true);
    realTimeGraph->setChecked(true);
    connect(realTimeGraph, &QAction::triggered, this, &TfrmMain::RealTimeGraph1Click);
    connect(qobject_cast<QAction *>(m_controls.value(QStringLiteral("Run1"))), &QAction::triggered, this,
            &TfrmMain::btnRunClick);
    connect(qobject_cast<QAction *>(m_controls.value(QStringLiteral("Stop1"))), &QAction::triggered, this,
            &TfrmMain::btnStopClick);

    m_window1 = menu("Window1", QStringLiteral("&Window"));
    addItem(m_window1, "Tile1", QStringLiteral("&Tile"));
    addItem(m_window1, "Cascade1", QStringLiteral("&Cascade"));
    connect(m_window1, &QMenu::aboutToShow, this, &TfrmMain::updateWindowMenu);

    QMenu *help1 = menu("Help1", QStringLiteral("&Help"));
    addItem(help1, "Contents1", QStringLiteral("&Contents"));
    separator(help1, "N4");
    connect(addItem(help1, "About1", QStringLiteral("&About")), &QAction::triggered, this, &TfrmMain::About1Click);

    // The desktop's usual keys; where the platform has none for a command, the common one.
    const struct {
        const char *item;
        QKeySequence::StandardKey key;
        QKeyCombination fallback;
    } keys[] = {
        {"Open1", QKeySequence::Open, Qt::CTRL | Qt::Key_O},
        {"Save1", QKeySequence::Save, Qt::CTRL | Qt::Key_S},
        {"Print1", QKeySequence::Print, Qt::CTRL | Qt::Key_P},
        {"Exit1", QKeySequence::Quit, Qt::CTRL | Qt::Key_Q},
        {"Contents1", QKeySequence::HelpContents, QKeyCombination(Qt::Key_F1)},
    };
    for (const auto &k : keys) {
        auto *item = qobject_cast<QAction *>(m_controls.value(QLatin1String(k.item)));
        const QList<QKeySequence> standard = QKeySequence::keyBindings(k.key);
        item->setShortcuts(standard.isEmpty() ? QList<QKeySequence>{QKeySequence(k.fallback)} : standard);
    }
}

void TfrmMain::offer(const char *name, void (TfrmMain::*handler)(), bool enable)
{
    QObject *control = m_controls.value(QLatin1String(name));
    if (auto *action = qobject_cast<QAction *>(control)) {
        connect(action, &QAction::triggered, this, handler);
        if (enable)
            action->setEnabled(true);
    } else if (auto *button = qobject_cast<QToolButton *>(control)) {
        connect(button, &QToolButton::clicked, this, handler);
        if (enable)
            button->setEnabled(true);
    }
}

void TfrmMain::connectLoggerCommands()
{
    offer("LoadData1", &TfrmMain::LoadData1Click);
    // Its enabled state follows the link.
    offer("btnDataLogger", &TfrmMain::LoadData1Click, false);
    offer("EraseMemory1", &TfrmMain::EraseMemory1Click);
    offer("Setup1", &TfrmMain::Setup1Click);
    offer("Cali1", &TfrmMain::Cali1Click);
    offer("RECALL1", &TfrmMain::RECALL1Click);
}

QToolButton *TfrmMain::addButton(const char *name, Glyph glyph, const QString &designHint)
{
    auto *button = new QToolButton(m_panel1);
    button->setObjectName(QLatin1String(name));
    button->setIcon(toolGlyph(glyph));
    button->setIconSize(QSize(36, 36));
    button->setFixedSize(48, 48);
    button->setAutoRaise(true);
    button->setToolTip(designHint);
    button->setEnabled(false); // every tool command has its handler still to come
    m_controls.insert(QLatin1String(name), button);
    m_panel1->layout()->addWidget(button);
    return button;
}

void TfrmMain::buildPanel1()
{
    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedHeight(Panel1Height);
    m_panel1->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(m_panel1);
    row->setContentsMargins(8, 0, 0, 0);
    row->setSpacing(4);

    addButton("SpeedButton1", Glyph::Open, QStringLiteral("Open File"));
    addButton("SpeedButton2", Glyph::Save, QStringLiteral("Save to file"));
    addButton("btnPrint", Glyph::Print, QStringLiteral("Print"));
    row->addSpacing(10);
    addButton("btnDataLogger", Glyph::DataLogger, QStringLiteral("Data Logger"));
    addButton("btnOutputToGraph", Glyph::OutputToGraph, QStringLiteral("Output Tabular to graph"));
    row->addSpacing(10);
    connect(addButton("btnRun", Glyph::Run, QStringLiteral("Start Graphing Real Time Data")), &QToolButton::clicked,
            this, &TfrmMain::btnRunClick);
    connect(addButton("btnStop", Glyph::Stop, QStringLiteral("Stop Graphing Real Time Data")), &QToolButton::clicked,
            this, &TfrmMain::btnStopClick);
    row->addSpacing(10);
    addButton("SpeedButton8", Glyph::Help, QStringLiteral("Help"));
    row->addSpacing(16);

    auto *combo = new PortComboBox(m_panel1);
    combo->beforePopup = [this] { refreshPortList(); };
    m_comboBoxDeviceName = combo;
    m_comboBoxDeviceName->setObjectName(QStringLiteral("ComboBoxDeviceName"));
    m_comboBoxDeviceName->setPlaceholderText(QStringLiteral("ComPort"));
    m_comboBoxDeviceName->setMinimumWidth(170);
    m_comboBoxDeviceName->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // A change of entry arrives as a change of index followed by its activation; an activation
    // alone is the selected entry chosen again, which opens it again (an adapter plugged back).
    connect(m_comboBoxDeviceName, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_indexChangePending = index;
        ComboBoxDeviceNameChange(index);
    });
    connect(m_comboBoxDeviceName, &QComboBox::activated, this, [this](int index) {
        if (std::exchange(m_indexChangePending, -1) != index)
            ComboBoxDeviceNameChange(index);
    });
    row->addWidget(m_comboBoxDeviceName);

    m_label1 = new QLabel(m_panel1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->hide();
    row->addWidget(m_label1);

    m_maskEdit1 = new QLineEdit(m_panel1);
    m_maskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    m_maskEdit1->hide();
    row->addWidget(m_maskEdit1);

    row->addStretch(1);

    m_image1 = new QLabel(m_panel1);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFixedWidth(Image1Width);
    m_image1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_image1->setPixmap(toolBarPicture(QSize(Image1Width, Panel1Height), devicePixelRatioF()));
    row->addWidget(m_image1);
}

void TfrmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[2] = {180, 150};
    for (int i = 0; i < 2; ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        bar->addWidget(panel);
        m_statusPanels[i] = panel;
    }
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

    PortList &ports = m_link.ports();
    ports.entries = portsPresent();
    ports.select(0);
    portListChanged();
    m_link.selectDevice();
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
            explicit Starting(TfrmMain &main) : w(main) { w.m_starting = true; w.m_clock.setPainting(true); }
            ~Starting() { w.m_clock.setPainting(false); w.m_starting = false; }
        } starting(*this);
        try {
            m_link.StartupConnection();
        } catch (const SilentAbort &) {
        }
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
    m_mainTimer.setEnabled(false);
    try {
        m_comm1.close();
    } catch (const SilentAbort &) {
    } catch (const PortError &) {
    }
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

void TfrmMain::MainTimerTimer()
{
    try {
        m_link.MainTimerTimer();
    } catch (const SilentAbort &) {
    }
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
    qobject_cast<QAction *>(m_controls.value(QStringLiteral("ControlPanel1")))->setChecked(true);
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
    qobject_cast<QAction *>(m_controls.value(QStringLiteral("RealTimeGraph1")))->setChecked(true);
}

TfrmGraph *TfrmMain::OpenRealTimeGraph()
{
    TfrmGraph *graph = newGraphWindow(GraphRole::RealTime);
    graph->onClosed = [this](TfrmGraph *) { realTimeGraphClosed(); };
    graph->onCleared = [this] { m_recorder.samplesCleared(); };
    QWidget *frame = graph->parentWidget();
    frame->move(frame->x(), 0);
    qobject_cast<QAction *>(m_controls.value(QStringLiteral("RealTimeGraph1")))->setChecked(true);

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
    qobject_cast<QAction *>(m_controls.value(QStringLiteral("RealTimeGraph1")))->setChecked(false);
    setControlEnabled(Control::btnStop, false);
    setControlEnabled(Control::Stop1, false);
    if (m_state.Connected) {
        setControlEnabled(Control::btnRun, true);
        setControlEnabled(Control::Run1, true);
    }
}

void TfrmMain::setRunning(bool running)
{
    setControlEnabled(Control::btnRun, !running);
    setControlEnabled(Control::Run1, !running);
    setControlEnabled(Control::btnStop, running);
    setControlEnabled(Control::Stop1, running);
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
    auto *panel = new TfrmPanel(m_link, m_state, m_lcdImages);
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
    qobject_cast<QAction *>(m_controls.value(QStringLiteral("ControlPanel1")))->setChecked(false);
}

TfrmPanel *TfrmMain::panel() const
{
    return m_panel;
}

void TfrmMain::ComboBoxDeviceNameChange(int index)
{
    try {
        m_link.ComboBoxDeviceNameChange(index);
    } catch (const SilentAbort &) {
    }
}

QStringList TfrmMain::portsPresent() const
{
    return m_options.systemPorts ? listPorts(m_options.extraPorts) : distinctPorts(m_options.extraPorts);
}

void TfrmMain::refreshPortList()
{
    m_indexChangePending = -1;
    m_link.refreshPorts(portsPresent());
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
// LinkView.

QObject *TfrmMain::controlObject(Control control) const
{
    return m_controls.value(QLatin1String(controlName(control)));
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
    const PortList &ports = m_link.ports();
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
    if (m_splash)
        m_splash->setStatus(text);
}

void TfrmMain::closeSplash()
{
    if (m_splash)
        m_splash->close();
}
