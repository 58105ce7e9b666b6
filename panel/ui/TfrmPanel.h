#pragma once
// The control panel: a picture of the meter's front in the main window's workspace. Its display
// mirrors the meter's (driven by the reading decoder through PanelDisplay) and its keys send the
// meter the commands of its own keys.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/Timer.h"
#include "panel/MaxMinKey.h"
#include "panel/PanelDisplay.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class MeterLink;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

class TfrmPanel : public QWidget, public PanelDisplay {
    Q_OBJECT
public:
    // The MAX/MIN key's tool tip, the only key with one.
    static const QString MaxMinHint;

    TfrmPanel(MeterLink &link, LinkState &state, const QList<QPixmap> &lcdImages, QWidget *parent = nullptr);
    ~TfrmPanel() override;

    // Flags of the workspace child window that holds the panel: no title bar.
    static Qt::WindowFlags subWindowFlags();
    // Puts the panel into the workspace as a frameless child window of fixed size at the top left
    // corner and shows it.
    QMdiSubWindow *addToWorkspace(QMdiArea *area);

    // FormClose: the main window forgets the panel and unchecks ControlPanel1.
    std::function<void()> onClosed;
    // FormActivate: the main window disables btnOutputToGraph.
    std::function<void()> onActivated;
    // A message box (the MAX/MIN key without a connection); a plain message box when unset.
    std::function<void(const QString &)> showMessage;

    // lblNoConnection.
    void setNoConnection(bool shown);
    // The look once connected: base artwork hidden, lblREC empty, clock shown.
    void setConnectedLook();

    // PanelDisplay.
    void setClockVisible(bool visible) override;
    void setRecallShown(bool shown) override;
    void setReadNo(const QString &text) override;
    void setTimeText(const QString &text) override;
    void setDateText(const QString &text) override;
    void setDigit(int place, int imageIndex) override;
    void setMaxShown(bool shown) override;
    void setMinShown(bool shown) override;
    void setRecText(const QString &text) override;
    void setAutoOffShown(bool shown) override;
    void setFastText(const QString &text) override;
    void setWeightingText(const QString &text) override;
    void setUnderShown(bool shown) override;
    void setOverShown(bool shown) override;
    void setBatteryBar(int level) override;
    void setBarWidth(int pixels) override;

    const MaxMinKey &maxMinKey() const { return m_maxMinKey; }
    Timer &mmaTimer() { return m_mmaTimer; }

    // Key handlers.
    void btnFastClick();
    void btnACClick();
    void btnRECClick();
    void btnLevelClick();
    void btnBackLightClick();
    void btnINTVClick();
    void btnMEMClick();
    void btnRECALLClick();
    void Label1Click();
    void btnDownClick();
    void btnPowerClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void btnMaxMinMouseDown();
    void btnMaxMinMouseUp();
    void MMATimerTimer();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createDisplay();
    void createKeys();
    QLabel *addLabel(const char *name, const QRect &geometry, const QString &text, const QFont &font);
    QLabel *addImage(const char *name, const QRect &geometry, const QPixmap &pixmap);
    void sendCommand(char command);
    void sendPlain(char command);
    void message(const QString &text);
    void closePanel();
    void FormActivate();
    void FormClose();
    void hookSubWindow();
    void setSubWindowTitled(bool titled);
    void subWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    QWidget *moveTarget();

    MeterLink &m_link;
    LinkState &m_state;
    QList<QPixmap> m_lcdImages;
    SystemClock m_clock;
    QtTimer m_mmaTimer;
    MaxMinKey m_maxMinKey;
    QPointer<QMdiSubWindow> m_subWindow;
    bool m_closed = false;

    // Moving the window by its picture.
    bool m_dragging = false;
    QPoint m_dragStartGlobal;
    QPoint m_dragStartPos;

    QLabel *imgPanel = nullptr;
    QLabel *MainD[4] = {};
    QLabel *imgPoint = nullptr;
    QLabel *lblMAX = nullptr;
    QLabel *lblMIN = nullptr;
    QLabel *lblFAST = nullptr;
    QLabel *lbldBA = nullptr;
    QLabel *lblREC = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *lblReadNo = nullptr;
    QLabel *imgREAD = nullptr;
    QLabel *imgUNDER = nullptr;
    QLabel *imgOVER = nullptr;
    QLabel *imgBatBar[4] = {};
    QLabel *imgAutoOff = nullptr;
    QLabel *imgColorBar = nullptr;
    QLabel *lblRangeLow = nullptr;
    QLabel *lblRangeHigh = nullptr;
    QLabel *lblNoConnection = nullptr;
    QLabel *lblSegTIME = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *img321Bottom = nullptr;
    QLabel *imgMask1 = nullptr;
};
