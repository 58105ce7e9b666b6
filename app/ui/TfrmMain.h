#pragma once
// The main frame window: menu bar, tool bar panel, workspace for the child windows, status bar.
// It owns the shared state, the serial port Comm1, the watchdog timer and the meter link, and shows
// on screen what the link reports.
#include "app/SharedState.h"
#include "app/ui/PaintingClock.h"
#include "link/Clock.h"
#include "link/LinkView.h"
#include "link/MeterLink.h"
#include "link/TComPort.h"
#include "link/Timer.h"
#include "panel/ReadingDecoder.h"
#include "data/DataSetStore.h"
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

class TfrmMain : public QMainWindow, public LinkView {
    Q_OBJECT
public:
    explicit TfrmMain(const TfrmMainOptions &options = {}, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The start-up splash; it closes itself when the link is set up.
    void setSplash(TfrmAbout *splash);

    SharedState &state() { return m_state; }
    MeterLink &link() { return m_link; }
    TComPort &comm1() { return m_comm1; }
    Timer &mainTimer() { return m_mainTimer; }
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

    // The enabled state the link last asked for (initial: the window's design state).
    bool wantedEnabled(Control control) const;

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
    DataSetStore &store() { return m_store; }
    // The single-values window, or none.
    TfrmDataCapture *dataCapture() const;
    // Hook for tests: the download's screen (its dialogs answered, its windows watched).
    std::function<void(WindowLoggerUi &)> prepareLoggerUi;

    // LinkView.
    void setControlEnabled(Control control, bool enabled) override;
    void setControlVisible(Control control, bool visible) override;
    void setStatus(const QString &port, const QString &state) override;
    void setDiagnostics(const QString &text) override;
    void portListChanged() override;
    void notice(const QString &text) override;
    bool splashOpen() const override;
    void setSplashStatus(const QString &text) override;
    void closeSplash() override;
    bool panelOpen() const override;
    void setPanelNoConnection(bool shown) override;
    void setPanelConnectedLook() override;
    bool realTimeWindowExists() const override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
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
    void setRunning(bool running);
    void offer(const char *name, void (TfrmMain::*handler)(), bool enable = true);
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
    QToolButton *addButton(const char *name, Glyph glyph, const QString &designHint);
    void updateWindowMenu();
    void applyControlState(Control control);
    QObject *controlObject(Control control) const;

    TfrmMainOptions m_options;
    SharedState m_state;
    PaintingClock m_clock;
    TComPort m_comm1;
    QtTimer m_mainTimer;
    MeterLink m_link;
    QtTimer m_maxMinTimer;
    ReadingDecoder m_decoder;
    QList<QPixmap> m_lcdImages;
    QPointer<TfrmPanel> m_panel;
    RealTimeRecorder m_recorder;
    QPointer<TfrmGraph> m_realTimeGraph;
    DataSetStore m_store;
    MemoryImage m_image;
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
    QMap<QString, QObject *> m_controls;
    QMap<Control, bool> m_wantedEnabled;

    QPointer<TfrmAbout> m_splash;
    QSet<QString> m_noticesShown;
    bool m_shown = false;
    // Set while the start-up search for the meter runs.
    bool m_starting = false;
    bool m_closeRequested = false;
};
