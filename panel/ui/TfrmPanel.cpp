#include "panel/ui/TfrmPanel.h"
#include "app/Catalogue.h"

#include "app/WindowTexts.h"
#include "link/MeterLink.h"
#include "link/Protocol.h"
#include "link/SerialPort.h"
#include "panel/ui/PanelArtwork.h"
#include "panel/ui/PanelImages.h"
#include "panel/ui/PanelKeys.h"
#include "panel/ui/PanelLayout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <cstring>

namespace L = PanelLayout;

const QString TfrmPanel::MaxMinHint =
    QStringLiteral("single click to change MAX/MIN mode, mouse down 2 seconds  to cancel .");

namespace {
// How often a close request that arrived during a MAX/MIN blink tick is tried again.
constexpr int CloseRetryMs = 10;
}

TfrmPanel::TfrmPanel(MeterLink &link, LinkState &state, const QList<QPixmap> &lcdImages, QWidget *parent)
    : QWidget(parent), m_link(link), m_state(state), m_lcdImages(lcdImages),
      m_mmaTimer(MaxMinKey::TimerIntervalMs, [this] { MMATimerTimer(); }),
      m_maxMinKey(m_mmaTimer, state, m_clock, [this](char c) { sendCommand(c); },
                  [this](const QString &text) { message(text); })
{
    setObjectName(QStringLiteral("frmPanel"));
    setWindowTitle(QStringLiteral("Gerätesteuerung"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(L::ClientSize);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, PanelArtwork::surroundColour());
    setPalette(pal);
    setAutoFillBackground(true);

    createDisplay();
    createKeys();
    applyWindowTexts(this, QStringLiteral("TfrmPanel"));
    // A new panel starts from its design state; the next live frame draws all of it.
    m_state.PanelRefresh = true;
}

TfrmPanel::~TfrmPanel() = default;

// ---------------------------------------------------------------------------------------------
// Building the window.

QLabel *TfrmPanel::addLabel(const char *name, const QRect &geometry, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, PanelArtwork::lcdInk());
    label->setPalette(pal);
    // The picture beneath takes the mouse, so the panel is moved by its display as well.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QLabel *TfrmPanel::addImage(const char *name, const QRect &geometry, const QPixmap &pixmap)
{
    auto *image = new QLabel(this);
    image->setObjectName(QLatin1String(name));
    image->setGeometry(geometry);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setPixmap(pixmap);
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    return image;
}

void TfrmPanel::createDisplay()
{
    using PanelArtwork::legendFont;
    imgPanel = addImage("imgPanel", L::PictureRect, panelImage(QStringLiteral("imgPanel")));
    imgPanel->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    imgPanel->setAttribute(Qt::WA_OpaquePaintEvent);
    imgPanel->installEventFilter(this);

    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "MainD" + QByteArray::number(i + 1);
        MainD[i] = addImage(name.constData(), QRect(QPoint(L::DigitX[i], L::DigitY), L::DigitSize), QPixmap());
        MainD[i]->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        MainD[i]->installEventFilter(this);
    }
    imgPoint = addImage("imgPoint", L::Point, panelImage(QStringLiteral("imgPoint")));

    lblMAX = addLabel("lblMAX", L::MAX, QStringLiteral("MAX"), legendFont(9));
    lblMIN = addLabel("lblMIN", L::MIN, QStringLiteral("MIN"), legendFont(9));
    lblMAX->hide();
    lblMIN->hide();
    lblFAST = addLabel("lblFAST", L::FAST, QStringLiteral("FAST"), legendFont(9));
    lbldBA = addLabel("lbldBA", L::dBA, QStringLiteral("dBA"), legendFont(13));
    lblREC = addLabel("lblREC", L::REC, QString(), legendFont(10));
    lblTime = addLabel("lblTime", L::Time, QString(), legendFont(10, false));
    lblDate = addLabel("lblDate", L::Date, QString(), legendFont(10, false));
    lblReadNo = addLabel("lblReadNo", L::ReadNo, QString(), legendFont(11));
    imgREAD = addImage("imgREAD", L::READ, panelImage(QStringLiteral("imgREAD")));
    lblReadNo->hide();
    imgREAD->hide();
    imgUNDER = addImage("imgUNDER", L::UNDER, panelImage(QStringLiteral("imgUNDER")));
    imgOVER = addImage("imgOVER", L::OVER, panelImage(QStringLiteral("imgOVER")));
    imgUNDER->hide();
    imgOVER->hide();
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "imgBatBar" + QByteArray::number(i);
        imgBatBar[i] = addImage(name.constData(), L::BatBar, panelImage(QString::fromLatin1(name)));
        imgBatBar[i]->hide();
    }
    imgAutoOff = addImage("imgAutoOff", L::AutoOff, panelImage(QStringLiteral("imgAutoOff")));
    imgAutoOff->hide();
    imgColorBar = addImage("imgColorBar", L::ColorBar, panelImage(QStringLiteral("imgColorBar")));
    imgColorBar->setAttribute(Qt::WA_OpaquePaintEvent);
    lblRangeLow = addLabel("lblRangeLow", L::RangeLow, QStringLiteral("30"), legendFont(8));
    lblRangeHigh = addLabel("lblRangeHigh", L::RangeHigh, QStringLiteral("130"), legendFont(8));

    QFont arial;
    arial.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                       QStringLiteral("Helvetica")});
    arial.setPixelSize(16);
    arial.setBold(true);
    const QString noConnection = LoadStr(6);
    // A substitute for Arial may be wider; narrow it so the text keeps within its field.
    const int advance = QFontMetrics(arial).horizontalAdvance(noConnection);
    if (advance > L::NoConnection.width())
        arial.setStretch(qMax(50, L::NoConnection.width() * 100 / advance));
    lblNoConnection = addLabel("lblNoConnection", L::NoConnection, noConnection, arial);
    QPalette red = lblNoConnection->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblNoConnection->setPalette(red);
    lblNoConnection->hide();

    lblSegTIME = addLabel("lblSegTIME", L::SegTIME, LoadStr(10), legendFont(8));
    Image1 = addImage("Image1", QRect(0, 0, 0, 0), QPixmap());
    img321Bottom = addImage("img321Bottom", QRect(QPoint(L::DigitX[0], L::DigitY), QSize(74, 28)), QPixmap());
    imgMask1 = addImage("imgMask1", L::LcdGlass, QPixmap());
    for (QLabel *hidden : {lblSegTIME, Image1, img321Bottom, imgMask1})
        hidden->hide();
}

void TfrmPanel::createKeys()
{
    using Handler = void (TfrmPanel::*)();
    struct Binding {
        const char *name;
        Handler handler;
    };
    static constexpr Binding bindings[] = {
        {"btnPower", &TfrmPanel::btnPowerClick},   {"btnLevel", &TfrmPanel::btnLevelClick},
        {"btnRECALL", &TfrmPanel::btnRECALLClick}, {"btnREC", &TfrmPanel::btnRECClick},
        {"btnMEM", &TfrmPanel::btnMEMClick},       {"btnDown", &TfrmPanel::btnDownClick},
        {"Label1", &TfrmPanel::Label1Click},       {"btnINTV", &TfrmPanel::btnINTVClick},
        {"btnBackLight", &TfrmPanel::btnBackLightClick}, {"btnAC", &TfrmPanel::btnACClick},
        {"btnFast", &TfrmPanel::btnFastClick},
    };
    for (const L::Place &place : L::Keys) {
        const QString name = QLatin1String(place.name);
        if (name == QLatin1String("btnMaxMin")) {
            auto *key = new HoldKey(name, place.rect, this);
            key->setToolTip(MaxMinHint);
            connect(key, &HoldKey::mouseDown, this, &TfrmPanel::btnMaxMinMouseDown);
            connect(key, &HoldKey::mouseUp, this, &TfrmPanel::btnMaxMinMouseUp);
            continue;
        }
        auto *key = new PanelKey(name, place.rect, this);
        for (const Binding &b : bindings) {
            if (std::strcmp(b.name, place.name) == 0)
                connect(key, &QAbstractButton::clicked, this, b.handler);
        }
    }
    auto *minimise = new TitleButton(QLatin1String(L::TitleButtons[0].name), L::TitleButtons[0].rect,
                                     TitleButton::Glyph::Minimise, this);
    auto *close = new TitleButton(QLatin1String(L::TitleButtons[1].name), L::TitleButtons[1].rect,
                                  TitleButton::Glyph::Close, this);
    connect(minimise, &QAbstractButton::clicked, this, &TfrmPanel::SpeedButton1Click);
    connect(close, &QAbstractButton::clicked, this, &TfrmPanel::SpeedButton2Click);
}

// ---------------------------------------------------------------------------------------------
// The workspace child window.

Qt::WindowFlags TfrmPanel::subWindowFlags()
{
    return Qt::SubWindow | Qt::FramelessWindowHint;
}

QMdiSubWindow *TfrmPanel::addToWorkspace(QMdiArea *area)
{
    QMdiSubWindow *sub = area->addSubWindow(this, subWindowFlags());
    sub->setWindowTitle(windowTitle());
    sub->setGeometry(QRect(QPoint(0, 0), L::ClientSize));
    sub->show();
    return sub;
}

void TfrmPanel::hookSubWindow()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub || sub == m_subWindow)
        return;
    m_subWindow = sub;
    connect(sub, &QMdiSubWindow::aboutToActivate, this, &TfrmPanel::FormActivate);
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &TfrmPanel::subWindowStateChanged);
}

// A child window without a title bar shrinks to nothing when minimised; while minimised the panel
// gets a title bar with its caption, so it can be found and restored in the workspace.
void TfrmPanel::setSubWindowTitled(bool titled)
{
    QMdiSubWindow *sub = m_subWindow;
    if (!sub || bool(sub->windowFlags() & Qt::FramelessWindowHint) == !titled)
        return;
    const QPoint pos = sub->pos();
    const bool visible = sub->isVisible();
    sub->setWindowFlags(titled ? Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                     | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                     | Qt::WindowCloseButtonHint
                               : subWindowFlags());
    if (!titled)
        sub->setGeometry(QRect(pos, L::ClientSize));
    if (visible)
        sub->show();
}

void TfrmPanel::subWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    if (newState & Qt::WindowMaximized) {
        // The panel has one size only.
        m_subWindow->showNormal();
        return;
    }
    if ((newState & Qt::WindowMinimized) && (m_subWindow->windowFlags() & Qt::FramelessWindowHint)) {
        // Minimised by other means than SpeedButton1 (the workspace, the window list).
        setSubWindowTitled(true);
        m_subWindow->showMinimized();
        return;
    }
    if ((oldState & Qt::WindowMinimized) && !(newState & Qt::WindowMinimized))
        setSubWindowTitled(false);
}

QWidget *TfrmPanel::moveTarget()
{
    if (m_subWindow)
        return m_subWindow;
    return window();
}

bool TfrmPanel::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        hookSubWindow();
        break;
    case QEvent::WindowActivate:
        // A panel of its own (not in a workspace) is activated like any window.
        if (!m_subWindow && isWindow())
            FormActivate();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TfrmPanel::FormActivate()
{
    if (onActivated)
        onActivated();
}

void TfrmPanel::closeEvent(QCloseEvent *event)
{
    // FormCloseQuery: a MAX/MIN blink tick may be running further up this thread (it shows and
    // hides labels of this window). Waiting for it here could never end, so the close is tried
    // again once the tick has returned.
    if (m_state.MaxMinBusy) {
        event->ignore();
        QTimer::singleShot(CloseRetryMs, this, &TfrmPanel::closePanel);
        return;
    }
    event->accept();
    FormClose();
}

void TfrmPanel::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_mmaTimer.setEnabled(false);
    if (onClosed)
        onClosed();
}

void TfrmPanel::closePanel()
{
    if (m_closed)
        return;
    if (m_subWindow)
        m_subWindow->close();
    else
        close();
}

// Moving the window: a left press on the picture or a digit grabs it like a title bar.
bool TfrmPanel::eventFilter(QObject *watched, QEvent *event)
{
    const bool picture = watched == imgPanel || watched == MainD[0] || watched == MainD[1]
                         || watched == MainD[2] || watched == MainD[3];
    if (!picture)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            return false;
        QWidget *target = moveTarget();
        // A window of its own is moved by the window system.
        if (target == this && isWindow() && windowHandle() && windowHandle()->startSystemMove())
            return true;
        m_dragging = true;
        m_dragStartGlobal = me->globalPosition().toPoint();
        m_dragStartPos = target->pos();
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        auto *me = static_cast<QMouseEvent *>(event);
        moveTarget()->move(m_dragStartPos + (me->globalPosition().toPoint() - m_dragStartGlobal));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return false;
        m_dragging = false;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys.

void TfrmPanel::sendCommand(char command)
{
    // The keys send whether connected or not; a failed exchange ends without a message.
    quietly([&] { m_link.SendCommand(command); });
}

void TfrmPanel::sendPlain(char command)
{
    quietly([&] { m_link.SendPlain(command); });
}

void TfrmPanel::message(const QString &text)
{
    if (showMessage)
        showMessage(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

void TfrmPanel::btnFastClick() { sendCommand(Protocol::Command::KeyFast); }
void TfrmPanel::btnACClick() { sendCommand(Protocol::Command::KeyWeighting); }
void TfrmPanel::btnRECClick() { sendCommand(Protocol::Command::KeyRecord); }
void TfrmPanel::btnLevelClick() { sendPlain(Protocol::Command::KeyLevel); }
void TfrmPanel::btnBackLightClick() { sendPlain(Protocol::Command::KeyBackLight); }
void TfrmPanel::btnINTVClick() { sendCommand(Protocol::Command::KeyInterval); }
void TfrmPanel::btnMEMClick() { sendCommand(Protocol::Command::KeyMemory); }
void TfrmPanel::btnRECALLClick() { sendCommand(Protocol::Command::KeyRecall); }
void TfrmPanel::Label1Click() { sendCommand(Protocol::Command::KeySet); }
void TfrmPanel::btnDownClick() { sendPlain(Protocol::Command::KeyDown); }
void TfrmPanel::btnPowerClick() { closePanel(); }
void TfrmPanel::SpeedButton2Click() { closePanel(); }

void TfrmPanel::SpeedButton1Click()
{
    if (m_subWindow) {
        setSubWindowTitled(true);
        m_subWindow->showMinimized();
    } else
        showMinimized();
}

void TfrmPanel::btnMaxMinMouseDown() { m_maxMinKey.mouseDown(); }
void TfrmPanel::btnMaxMinMouseUp() { m_maxMinKey.mouseUp(); }
void TfrmPanel::MMATimerTimer() { m_maxMinKey.timerTick(); }

// ---------------------------------------------------------------------------------------------
// Display.

void TfrmPanel::setNoConnection(bool shown)
{
    lblNoConnection->setVisible(shown);
}

void TfrmPanel::setConnectedLook()
{
    img321Bottom->hide();
    imgMask1->hide();
    lblREC->setText(QString());
    lblTime->show();
    lblDate->show();
}

void TfrmPanel::setClockVisible(bool visible)
{
    lblTime->setVisible(visible);
    lblDate->setVisible(visible);
}

void TfrmPanel::setRecallShown(bool shown)
{
    lblReadNo->setVisible(shown);
    imgREAD->setVisible(shown);
}

void TfrmPanel::setReadNo(const QString &text) { lblReadNo->setText(text); }
void TfrmPanel::setTimeText(const QString &text) { lblTime->setText(text); }
void TfrmPanel::setDateText(const QString &text) { lblDate->setText(text); }

void TfrmPanel::setDigit(int place, int imageIndex)
{
    if (place < 0 || place > 3)
        return;
    if (imageIndex >= 0 && imageIndex < m_lcdImages.size())
        MainD[place]->setPixmap(m_lcdImages.at(imageIndex));
    else
        MainD[place]->clear();
}

void TfrmPanel::setMaxShown(bool shown) { lblMAX->setVisible(shown); }
void TfrmPanel::setMinShown(bool shown) { lblMIN->setVisible(shown); }
void TfrmPanel::setRecText(const QString &text) { lblREC->setText(text); }
void TfrmPanel::setAutoOffShown(bool shown) { imgAutoOff->setVisible(shown); }
void TfrmPanel::setFastText(const QString &text) { lblFAST->setText(text); }
void TfrmPanel::setWeightingText(const QString &text) { lbldBA->setText(text); }
void TfrmPanel::setUnderShown(bool shown) { imgUNDER->setVisible(shown); }
void TfrmPanel::setOverShown(bool shown) { imgOVER->setVisible(shown); }

void TfrmPanel::setBatteryBar(int level)
{
    for (int i = 0; i < 4; ++i)
        imgBatBar[i]->setVisible(i == level);
}

void TfrmPanel::setBarWidth(int pixels)
{
    if (pixels <= 0) {
        imgColorBar->hide();
        return;
    }
    imgColorBar->setGeometry(L::ColorBar.x(), L::ColorBar.y(), pixels, L::ColorBar.height());
    imgColorBar->show();
}
