// Building the main window: the menu bar, the tool bar panel with the port list, the status bar.
#include "app/ui/TfrmMain.h"

#include "app/ui/ShellArt.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

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

} // namespace

QAction *TfrmMain::addItem(QMenu *menu, const char *name, const QString &designCaption)
{
    QAction *action = menu->addAction(designCaption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void TfrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [&](const char *name, const QString &designCaption, QAction *&action) {
        QMenu *m = bar->addMenu(designCaption);
        m->setObjectName(QLatin1String(name));
        action = m->menuAction();
        return m;
    };
    auto separator = [](QMenu *m, const char *name) { m->addSeparator()->setObjectName(QLatin1String(name)); };

    QMenu *file1 = menu("File1", QStringLiteral("&File"), m_ui.File1);
    m_ui.Open1 = addItem(file1, "Open1", QStringLiteral("&Open"));
    m_ui.Save1 = addItem(file1, "Save1", QStringLiteral("&Save"));
    separator(file1, "N1");
    m_ui.Print1 = addItem(file1, "Print1", QStringLiteral("&Print"));
    m_ui.PrinterSetup1 = addItem(file1, "PrinterSetup1", QStringLiteral("&Printer Setup"));
    separator(file1, "N2");
    m_ui.Exit1 = addItem(file1, "Exit1", QStringLiteral("Beenden"));
    connect(m_ui.Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);

    QMenu *realTime1 = menu("RealTime1", QStringLiteral("Real Time"), m_ui.RealTime1);
    m_ui.Run1 = addItem(realTime1, "Run1", QStringLiteral("Run"));
    m_ui.Stop1 = addItem(realTime1, "Stop1", QStringLiteral("Stop"));

    QMenu *dataLogger1 = menu("DataLogger1", QStringLiteral("&Data Logger"), m_ui.DataLogger1);
    m_ui.LoadData1 = addItem(dataLogger1, "LoadData1", QStringLiteral("Load Data"));
    m_ui.EraseMemory1 = addItem(dataLogger1, "EraseMemory1", QStringLiteral("Erase Memory"));
    m_ui.Setup1 = addItem(dataLogger1, "Setup1", QStringLiteral("Setup"));
    m_ui.Setup1->setVisible(m_options.serviceItems);
    m_ui.Cali1 = addItem(dataLogger1, "Cali1", QStringLiteral("Cali"));
    m_ui.Cali1->setVisible(m_options.serviceItems);

    // A menu bar entry without items: the title itself is the command.
    m_ui.RECALL1 = bar->addAction(QStringLiteral("RECALL"));
    m_ui.RECALL1->setObjectName(QStringLiteral("RECALL1"));

    QMenu *view1 = menu("View1", QStringLiteral("&View"), m_ui.View1);
    QAction *controlPanel = m_ui.ControlPanel1 = addItem(view1, "ControlPanel1", QStringLiteral("&Control Panel"));
    controlPanel->setCheckable(true);
    controlPanel->setChecked(true);
    connect(controlPanel, &QAction::triggered, this, &TfrmMain::ControlPanel1Click);
    QAction *realTimeGraph = m_ui.RealTimeGraph1 = addItem(view1, "RealTimeGraph1", QStringLiteral("Real Time &Graph"));
    realTimeGraph->setCheckable(true);
    realTimeGraph->setChecked(true);
    connect(realTimeGraph, &QAction::triggered, this, &TfrmMain::RealTimeGraph1Click);
    connect(m_ui.Run1, &QAction::triggered, this, &TfrmMain::btnRunClick);
    connect(m_ui.Stop1, &QAction::triggered, this, &TfrmMain::btnStopClick);

    QAction *windowMenu = nullptr;
    m_window1 = menu("Window1", QStringLiteral("&Window"), windowMenu);
    m_ui.Tile1 = addItem(m_window1, "Tile1", QStringLiteral("&Tile"));
    m_ui.Cascade1 = addItem(m_window1, "Cascade1", QStringLiteral("&Cascade"));
    connect(m_window1, &QMenu::aboutToShow, this, &TfrmMain::updateWindowMenu);

    QMenu *help1 = menu("Help1", QStringLiteral("&Help"), m_ui.Help1);
    m_ui.Contents1 = addItem(help1, "Contents1", QStringLiteral("&Contents"));
    separator(help1, "N4");
    m_ui.About1 = addItem(help1, "About1", QStringLiteral("&About"));
    connect(m_ui.About1, &QAction::triggered, this, &TfrmMain::About1Click);

    // The desktop's usual keys; where the platform has none for a command, the common one.
    const struct {
        QAction *item;
        QKeySequence::StandardKey key;
        QKeyCombination fallback;
    } keys[] = {
        {m_ui.Open1, QKeySequence::Open, Qt::CTRL | Qt::Key_O},
        {m_ui.Save1, QKeySequence::Save, Qt::CTRL | Qt::Key_S},
        {m_ui.Print1, QKeySequence::Print, Qt::CTRL | Qt::Key_P},
        {m_ui.Exit1, QKeySequence::Quit, Qt::CTRL | Qt::Key_Q},
        {m_ui.Contents1, QKeySequence::HelpContents, QKeyCombination(Qt::Key_F1)},
    };
    for (const auto &k : keys) {
        const QList<QKeySequence> standard = QKeySequence::keyBindings(k.key);
        k.item->setShortcuts(standard.isEmpty() ? QList<QKeySequence>{QKeySequence(k.fallback)} : standard);
    }
}

void TfrmMain::offer(QObject *control, void (TfrmMain::*handler)(), bool enable)
{
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
    offer(m_ui.LoadData1, &TfrmMain::LoadData1Click);
    // Its enabled state follows the link.
    offer(m_ui.btnDataLogger, &TfrmMain::LoadData1Click, false);
    offer(m_ui.EraseMemory1, &TfrmMain::EraseMemory1Click);
    offer(m_ui.Setup1, &TfrmMain::Setup1Click);
    offer(m_ui.Cali1, &TfrmMain::Cali1Click);
    offer(m_ui.RECALL1, &TfrmMain::RECALL1Click);
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

    m_ui.SpeedButton1 = addButton("SpeedButton1", Glyph::Open, QStringLiteral("Open File"));
    m_ui.SpeedButton2 = addButton("SpeedButton2", Glyph::Save, QStringLiteral("Save to file"));
    m_ui.btnPrint = addButton("btnPrint", Glyph::Print, QStringLiteral("Print"));
    row->addSpacing(10);
    m_ui.btnDataLogger = addButton("btnDataLogger", Glyph::DataLogger, QStringLiteral("Data Logger"));
    m_ui.btnOutputToGraph = addButton("btnOutputToGraph", Glyph::OutputToGraph, QStringLiteral("Output Tabular to graph"));
    row->addSpacing(10);
    m_ui.btnRun = addButton("btnRun", Glyph::Run, QStringLiteral("Start Graphing Real Time Data"));
    connect(m_ui.btnRun, &QToolButton::clicked, this, &TfrmMain::btnRunClick);
    m_ui.btnStop = addButton("btnStop", Glyph::Stop, QStringLiteral("Stop Graphing Real Time Data"));
    connect(m_ui.btnStop, &QToolButton::clicked, this, &TfrmMain::btnStopClick);
    row->addSpacing(10);
    m_ui.SpeedButton8 = addButton("SpeedButton8", Glyph::Help, QStringLiteral("Help"));
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
