#pragma once
// The main frame window: menu bar, tool bar panel, workspace for the child windows, status bar.
// It holds the meter session (port, link, watchdog, data set store) and shows on screen what the
// session reports.
#include "session/LinkControls.h"
#include "app/ui/PaintingClock.h"
#include "graph/GraphWindowsState.h"
#include "session/MeterSession.h"
#include "panel/ReadingDecoder.h"
#include "data/ui/OpenSaveCommands.h"
#include "graph/ui/TfrmGraph.h"
#include "tables/TableToGraph.h"
#include "logger/ui/ServiceCommands.h"
#include "realtime/RealTimeRecorder.h"

#include <QMainWindow>
#include <memory>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QSet>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QToolButton;
class TfrmAbout;
class TfrmPanel;
class QPrinter;
class TfrmSetupRealTime;
class WindowLoggerUi;
enum class Glyph;

struct TfrmMainOptions {
    // Device paths put in front of the system's ports in the port list.
    QStringList extraPorts;
    // Whether the ports the system reports are listed after them.
    bool systemPorts = true;
    // Service mode: the hidden logger set-up and calibration items are shown.
    bool serviceItems = false;
    // Whether the first show runs FormShow (user data folder, meter search, link).
    bool startup = true;
    // Files read as Open reads them, in this order, once the start-up connection is made.
    QStringList files;
};

// The menu items and tool buttons, named as their objects are.
struct MainControls {
    QAction *File1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *Print1 = nullptr, *PrinterSetup1 = nullptr,
            *Exit1 = nullptr;
    QAction *RealTime1 = nullptr, *Run1 = nullptr, *Stop1 = nullptr;
    QAction *DataLogger1 = nullptr, *LoadData1 = nullptr, *EraseMemory1 = nullptr, *Setup1 = nullptr, *Cali1 = nullptr;
    QAction *RECALL1 = nullptr;
    QAction *View1 = nullptr, *ControlPanel1 = nullptr, *RealTimeGraph1 = nullptr;
    QAction *Tile1 = nullptr, *Cascade1 = nullptr;
    QAction *Help1 = nullptr, *Contents1 = nullptr, *About1 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *btnPrint = nullptr, *btnDataLogger = nullptr,
                *btnOutputToGraph = nullptr, *btnRun = nullptr, *btnStop = nullptr, *SpeedButton8 = nullptr;
};

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(const TfrmMainOptions &options = {}, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The start-up splash; it closes itself when the link is set up.
    void setSplash(TfrmAbout *splash);

    MeterSession &session() { return m_session; }
    LinkState &state() { return m_state; }
    MeterLink &link() { return m_session.link(); }
    TComPort &comm1() { return m_session.port(); }
    Timer &mainTimer() { return m_session.mainTimer(); }
    QMdiArea *workspace() const { return m_workspace; }
    ReadingDecoder &decoder() { return m_decoder; }
    Timer &maxMinTimer() { return m_maxMinTimer; }
    // The control panel, or none while it is closed.
    TfrmPanel *panel() const;
    const QList<QPixmap> &lcdImages() const { return m_lcdImages; }
    RealTimeRecorder &recorder() { return m_recorder; }
    // The real-time graph window, or none while it is closed.
    TfrmGraph *realTimeGraph() const;
    // Hook for tests: runs the start dialog instead of showing it (return false for Cancel).
    std::function<bool(TfrmSetupRealTime &)> runStartDialog;

    // The enabled state last set for a command that follows the link (initial: the design state).
    bool wantedEnabled(Control control) const;
    void setControlEnabled(Control control, bool enabled);
    void setControlVisible(Control control, bool visible);
    // Offers Run, Stop, the clear button and the data logger commands as the link's state and the
    // real-time recording allow.
    void applyLinkState();

    // Handlers.
    void FormShow();
    void Exit1Click();
    void About1Click();
    void ComboBoxDeviceNameChange(int index);
    // The port list read afresh, as when the user opens it.
    void refreshPortList();
    void ControlPanel1Click();
    void RealTimeGraph1Click();
    void btnRunClick();
    void btnStopClick();
    TfrmGraph *OpenRealTimeGraph();
    // Data logger commands.
    void LoadData1Click();
    void EraseMemory1Click();
    void Setup1Click();
    void Cali1Click();
    void RECALL1Click();
    // File, print and window commands.
    void Open1Click();
    // Reads each file as Open would (by its extension), in order; one that fails is named in a
    // message and the others are still read.
    void openFiles(const QStringList &files);
    void Save1Click();
    void btnPrintClick();
    void PrinterSetup1Click();
    void btnOutputToGraphClick();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    OpenSaveCommands &openSave() { return *m_openSave; }
    QPrinter &printer() { return *m_printer; }
    // The data-set graph window, or none while it is closed.
    TfrmGraph *dataSetGraph() const;
    DataSetStore &store() { return m_session.store(); }
    // The single-values window, or none.
    TfrmDataCapture *dataCapture() const;
    // Hook for tests: the download's screen (its dialogs answered, its windows watched).
    std::function<void(WindowLoggerUi &)> prepareLoggerUi;

    // What the session reports.
    void setStatus(const QString &port, const QString &state);
    void setDiagnostics(const QString &text);
    void portListChanged();
    void notice(const QString &text);
    bool splashOpen() const;
    void setSplashStatus(const QString &text);
    void closeSplash();
    bool panelOpen() const;
    void setPanelNoConnection(bool shown);
    void setPanelConnectedLook();
    bool realTimeWindowExists() const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    static constexpr int Panel1Height = 81;
    static constexpr int Image1Width = 180;

    // The ports to list: the given paths, then (unless left out) the ones the system reports.
    QStringList portsPresent() const;
    void FormCreate();
    void FormResize();
    bool FormCloseQuery();
    // Asks the child windows, then closes them all, or none when one of them says Cancel.
    bool closeChildWindows();
    void MainTimerTimer();
    void createPanel();
    void panelClosed();
    void realTimeGraphClosed();
    void connectSession();
    void offer(QObject *control, void (TfrmMain::*handler)(), bool enable = true);
    void connectLoggerCommands();
    void connectFileCommands();
    // A graph window in the workspace, with the main window's hooks set.
    TfrmGraph *newGraphWindow(GraphRole role, const QString &title = QString());
    // The chart set-up of a new graph window with the user's template; a template that cannot be
    // read is reported.
    void prepareChart(TfrmGraph *graph, TDateTime maxX, TDateTime minX, int n);
    void setOutputToGraphEnabled(bool enabled);
    void openCollection(const QString &fileName);
    void openGraphFile(const QString &fileName);
    void readTextTable(const QString &fileName, char separator);
    void readCaptureFile(const QString &fileName);
    void outputToGraph(const TableGraph &table, const QString &title);
    QWidget *activeChild() const;
    bool openDataSetGraph();
    void showDataSet(int n);
    ServicePieces servicePieces();

    void buildMenus();
    void buildPanel1();
    void buildStatusBar();
    QAction *addItem(QMenu *menu, const char *name, const QString &designCaption);
    QMenu *addMenu(const char *name, const QString &designCaption, QAction *&action);
    QToolButton *addButton(const char *name, Glyph glyph, const QString &designHint);
    void updateWindowMenu();
    void applyControlState(Control control);
    QObject *controlObject(Control control) const;

    TfrmMainOptions m_options;
    PaintingClock *m_paintingClock; // owned by the session
    MeterSession m_session;
    // The session's state and clock, named as the window's commands use them.
    LinkState &m_state;
    Clock &m_clock;
    GraphWindowsState m_graphState;
    QtTimer m_maxMinTimer;
    ReadingDecoder m_decoder;
    QList<QPixmap> m_lcdImages;
    QPointer<TfrmPanel> m_panel;
    RealTimeRecorder m_recorder;
    QPointer<TfrmGraph> m_realTimeGraph;
    QPointer<TfrmGraph> m_dataSetGraph;
    QPointer<TfrmDataCapture> m_dataCapture;
    QPointer<TfrmSetup> m_setup;
    std::unique_ptr<OpenSaveCommands> m_openSave;
    std::unique_ptr<QPrinter> m_printer;

    QMdiArea *m_workspace = nullptr;
    QWidget *m_panel1 = nullptr;
    QComboBox *m_comboBoxDeviceName = nullptr;
    int m_indexChangePending = -1; // a change of entry whose activation has not come yet
    QLabel *m_label1 = nullptr;
    QLineEdit *m_maskEdit1 = nullptr;
    QLabel *m_image1 = nullptr;
    QLabel *m_statusPanels[2] = {nullptr, nullptr};
    QMenu *m_window1 = nullptr;
    QList<QAction *> m_windowListActions;
    MainControls m_ui;
    QMap<Control, bool> m_wantedEnabled;

    QPointer<TfrmAbout> m_splash;
    QSet<QString> m_noticesShown;
    bool m_shown = false;
    // Set while the start-up search for the meter runs.
    bool m_starting = false;
    bool m_closeRequested = false;
};
