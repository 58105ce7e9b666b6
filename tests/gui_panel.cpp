// The control panel window offscreen: geometry and initial state of its elements, the keys'
// bytes on the wire, the MAX/MIN key, moving, closing and minimising it in a workspace, and the
// pictures it is drawn with.
#include "link/MeterLink.h"
#include "panel/ReadingDecoder.h"
#include "panel/ui/PanelImages.h"
#include "panel/ui/TfrmPanel.h"
#include "support/Frames.h"
#include "support/RecordingView.h"
#include "support/ScriptPort.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QtTest>

namespace {

QByteArray frame(char command)
{
    return CommandFrames::make(command);
}

struct Rig {
    VirtualClock clock;
    ScriptPort port{clock};
    LinkState state;
    ManualTimer mainTimer{1000};
    RecordingView view{state};
    MeterLink link{state, port, clock, mainTimer, view, [] {}};
    QList<QPixmap> lcd = loadLcdImages();
    QMdiArea area;
    TfrmPanel *panel = nullptr;
    QPointer<QMdiSubWindow> sub;
    QStringList messages;
    int closed = 0;
    int activated = 0;

    Rig()
    {
        port.addDevice("/dev/ttyUSB0");
        port.setDeviceName("/dev/ttyUSB0");
        port.open();
        // The meter echoes each command frame at once ('a' only resumes the stream).
        port.responder = [this](const QByteArray &bytes) {
            if (bytes.size() == 8 && bytes != frame('a'))
                port.feed(bytes);
        };
        state.Connected = true;
        area.resize(600, 700);
        panel = new TfrmPanel(link, state, lcd);
        panel->onClosed = [this] { ++closed; };
        panel->onActivated = [this] { ++activated; };
        panel->showMessage = [this](const QString &text) { messages << text; };
        sub = panel->addToWorkspace(&area);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        port.clearWrites();
    }
    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return panel->findChild<T *>(QLatin1String(name));
    }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QList<QByteArray> written() const
    {
        QList<QByteArray> frames;
        for (const auto &w : port.writes())
            frames << w.bytes;
        return frames;
    }
};

// The key table: place, command and whether the echo is awaited.
struct KeyRow {
    const char *name;
    QRect rect;
    char command;  // 0: no command
    bool echoed;
};
const KeyRow kKeys[] = {
    {"btnPower", {149, 176, 41, 36}, 0, false},   {"btnLevel", {153, 242, 30, 28}, 'l', false},
    {"btnRECALL", {95, 239, 42, 27}, 'Q', true},  {"btnREC", {61, 281, 33, 28}, 'E', true},
    {"btnMEM", {103, 287, 41, 25}, 'R', true},    {"btnDown", {155, 280, 30, 28}, 'L', false},
    {"Label1", {49, 334, 41, 25}, 'S', true},     {"btnINTV", {99, 334, 41, 25}, 'T', true},
    {"btnMaxMin", {153, 329, 32, 25}, 'M', true}, {"btnBackLight", {37, 378, 41, 25}, 'W', false},
    {"btnAC", {84, 378, 41, 25}, 'C', true},      {"btnFast", {142, 376, 44, 25}, 'F', true},
    {"SpeedButton1", {169, 0, 16, 14}, 0, false}, {"SpeedButton2", {191, 0, 16, 14}, 0, false},
};

double luminance(const QImage &image, const QRect &r)
{
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (r.width() * r.height());
}

int ink(const QImage &image)
{
    int sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

} // namespace

class GuiPanel : public QObject {
    Q_OBJECT
private slots:
    void windowAndElementGeometry();
    void initialState();
    void onlyMaxMinKeyHasTheHint();
    void fastKeyIsEchoCheckedThenResumesStream();
    void levelKeyIsAPlainWrite();
    void everyKeySendsItsCommand();
    void keysSendWithoutConnectionToo();
    void maxMinClickHoldAndNoConnection();
    void displayFollowsTheDecoder();
    void connectionLook();
    void dragByDigitsAndPictureMovesWindow();
    void closeButtonsCloseAndForget();
    void closeWaitsForBlinkTick();
    void minimiseAndActivate();
    void lcdImagesAndSymbols();
    void artworkKeysLieUnderClickAreas();
};

void GuiPanel::windowAndElementGeometry()
{
    Rig r;
    QCOMPARE(r.panel->size(), QSize(215, 603));
    QVERIFY(r.sub);
    QCOMPARE(r.sub->geometry(), QRect(0, 0, 215, 603));
    QVERIFY(r.sub->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(r.label("imgPanel")->geometry(), QRect(0, 4, 214, 599));
    const int digitX[4] = {66, 84, 101, 123};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.label(qPrintable(QString("MainD%1").arg(i + 1)))->geometry(), QRect(digitX[i], 492, 17, 28));
    QCOMPARE(r.label("imgPoint")->geometry(), QRect(118, 513, 5, 5));
    QCOMPARE(r.label("lblNoConnection")->geometry(), QRect(49, 408, 137, 19));
    QCOMPARE(r.label("imgColorBar")->geometry(), QRect(57, 447, 2, 8));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.label(qPrintable(QString("imgBatBar%1").arg(i)))->geometry(), QRect(49, 432, 22, 12));
    const std::pair<const char *, QPoint> places[] = {
        {"lblMAX", {83, 433}},   {"lblMIN", {105, 433}},     {"lblFAST", {125, 433}},     {"lbldBA", {145, 499}},
        {"lblREC", {108, 520}},  {"lblTime", {80, 477}},     {"lblDate", {80, 466}},      {"lblReadNo", {163, 472}},
        {"imgREAD", {132, 479}}, {"imgUNDER", {56, 526}},    {"imgOVER", {149, 526}},     {"imgAutoOff", {74, 434}},
        {"lblRangeLow", {55, 456}}, {"lblRangeHigh", {154, 456}},
    };
    for (const auto &[name, pos] : places)
        QVERIFY2(r.label(name)->pos() == pos, name);
    for (const KeyRow &k : kKeys) {
        auto *key = r.child<QAbstractButton>(k.name);
        QVERIFY2(key, k.name);
        QVERIFY2(key->geometry() == k.rect, k.name);
        QVERIFY2(key->cursor().shape() == Qt::PointingHandCursor, k.name);
    }
}

void GuiPanel::initialState()
{
    Rig r;
    QCOMPARE(r.panel->windowTitle(), QString("Gerätesteuerung"));
    QVERIFY(r.state.PanelRefresh);
    for (int i = 1; i <= 4; ++i)
        QVERIFY(r.label(qPrintable(QString("MainD%1").arg(i)))->pixmap().isNull());
    auto shown = [&](const char *name) { return r.label(name)->isVisibleTo(r.panel); };
    for (const char *name : {"imgPoint", "lblFAST", "lbldBA", "lblREC", "lblTime", "lblDate", "imgColorBar",
                             "lblRangeLow", "lblRangeHigh", "imgPanel"})
        QVERIFY2(shown(name), name);
    for (const char *name : {"lblMAX", "lblMIN", "lblReadNo", "imgREAD", "imgUNDER", "imgOVER", "imgBatBar0",
                             "imgBatBar1", "imgBatBar2", "imgBatBar3", "imgAutoOff", "lblNoConnection",
                             "lblSegTIME", "Image1", "img321Bottom", "imgMask1"})
        QVERIFY2(!shown(name), name);
    QCOMPARE(r.label("lblMAX")->text(), QString("MAX"));
    QCOMPARE(r.label("lblMIN")->text(), QString("MIN"));
    QCOMPARE(r.label("lblFAST")->text(), QString("FAST"));
    QCOMPARE(r.label("lbldBA")->text(), QString("dBA"));
    QCOMPARE(r.label("lblREC")->text(), QString());
    QCOMPARE(r.label("lblTime")->text(), QString());
    QCOMPARE(r.label("lblRangeLow")->text(), QString("30"));
    QCOMPARE(r.label("lblRangeHigh")->text(), QString("130"));
    QCOMPARE(r.label("lblSegTIME")->text(), QString("Zeit"));
    QLabel *noConnection = r.label("lblNoConnection");
    QCOMPARE(noConnection->text(), QString("Keine Verbindung"));
    QCOMPARE(noConnection->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(noConnection->font().bold());
    QCOMPARE(noConnection->font().pixelSize(), 16);
    QVERIFY(QFontMetrics(noConnection->font()).horizontalAdvance(noConnection->text()) <= 137);
    QVERIFY(!r.panel->mmaTimer().isEnabled());
    QCOMPARE(r.panel->mmaTimer().interval(), 1000);
}

void GuiPanel::onlyMaxMinKeyHasTheHint()
{
    Rig r;
    QCOMPARE(r.child("btnMaxMin")->toolTip(),
             QString("single click to change MAX/MIN mode, mouse down 2 seconds  to cancel ."));
    for (const KeyRow &k : kKeys) {
        if (QByteArray(k.name) != "btnMaxMin")
            QVERIFY2(r.child(k.name)->toolTip().isEmpty(), k.name);
    }
}

void GuiPanel::fastKeyIsEchoCheckedThenResumesStream()
{
    Rig r;
    QTest::mouseClick(r.child("btnFast"), Qt::LeftButton);
    QCOMPARE(r.port.allWritten(), QByteArray::fromHex("0246000000000003" "0261000000000003"));
    QCOMPARE(r.written().size(), 2);
}

void GuiPanel::levelKeyIsAPlainWrite()
{
    Rig r;
    QTest::mouseClick(r.child("btnLevel"), Qt::LeftButton);
    QCOMPARE(r.port.allWritten(), QByteArray::fromHex("026C000000000003"));
    QCOMPARE(r.port.bytesWaiting(), 8);  // the echo was not read
}

void GuiPanel::everyKeySendsItsCommand()
{
    for (const KeyRow &k : kKeys) {
        if (!k.command || QByteArray(k.name) == "btnMaxMin")
            continue;
        Rig r;
        QTest::mouseClick(r.child(k.name), Qt::LeftButton);
        const QList<QByteArray> expected = k.echoed ? QList<QByteArray>{frame(k.command), frame('a')}
                                                    : QList<QByteArray>{frame(k.command)};
        QVERIFY2(r.written() == expected, k.name);
    }
}

void GuiPanel::keysSendWithoutConnectionToo()
{
    Rig r;
    r.state.Connected = false;
    r.port.responder = {};  // and the meter does not answer
    QTest::mouseClick(r.child("btnAC"), Qt::LeftButton);
    const QList<QByteArray> w = r.written();
    QVERIFY(!w.isEmpty());
    QCOMPARE(w.first(), frame('C'));
    QVERIFY(r.messages.isEmpty());
    // A port that fails mid-exchange ends the command silently.
    r.port.close();
    QTest::mouseClick(r.child("btnRECALL"), Qt::LeftButton);
    QTest::mouseClick(r.child("btnDown"), Qt::LeftButton);
    QVERIFY(r.messages.isEmpty());
}

void GuiPanel::maxMinClickHoldAndNoConnection()
{
    Rig r;
    QWidget *key = r.child("btnMaxMin");
    QTest::mouseClick(key, Qt::LeftButton);
    QCOMPARE(r.written(), (QList<QByteArray>{frame('M'), frame('a')}));

    // Held for three ticks of MMATimer (any mouse button): 'N' once, nothing on release.
    r.port.clearWrites();
    QTest::mousePress(key, Qt::RightButton);
    QVERIFY(r.panel->mmaTimer().isEnabled());
    r.panel->MMATimerTimer();
    r.panel->MMATimerTimer();
    QVERIFY(r.written().isEmpty());
    r.panel->MMATimerTimer();
    QCOMPARE(r.written(), (QList<QByteArray>{frame('N'), frame('a')}));
    QVERIFY(!r.panel->mmaTimer().isEnabled());
    QTest::mouseRelease(key, Qt::RightButton);
    QCOMPARE(r.written().size(), 2);

    r.port.clearWrites();
    r.state.Connected = false;
    QTest::mouseClick(key, Qt::LeftButton);
    QCOMPARE(r.messages, QStringList{"No Connection"});
    QVERIFY(r.written().isEmpty());
}

void GuiPanel::displayFollowsTheDecoder()
{
    Rig r;
    ManualTimer blink(500);
    ReadingDecoder decoder(r.state, blink);
    decoder.setPanel(r.panel);
    decoder.Decode(liveFrame(0x18, 0x23, 784, 0x56), 46000.5);
    const int expected[4] = {10, 7, 8, 4};
    for (int i = 0; i < 4; ++i) {
        const QPixmap shown = r.label(qPrintable(QString("MainD%1").arg(i + 1)))->pixmap();
        QVERIFY(shown.toImage() == r.lcd.at(expected[i]).toImage());
    }
    QCOMPARE(r.label("lblTime")->text(), QString("12:34:56"));
    QCOMPARE(r.label("lblDate")->text(), QString("26-12-09"));
    QCOMPARE(r.label("imgColorBar")->width(), 49);
    QVERIFY(r.label("imgBatBar3")->isVisibleTo(r.panel));
    QVERIFY(!r.label("imgBatBar0")->isVisibleTo(r.panel));

    r.panel->setBatteryBar(1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.label(qPrintable(QString("imgBatBar%1").arg(i)))->isVisibleTo(r.panel), i == 1);
    r.panel->setBarWidth(0);
    QVERIFY(!r.label("imgColorBar")->isVisibleTo(r.panel));
    r.panel->setBarWidth(101);
    QCOMPARE(r.label("imgColorBar")->geometry(), QRect(57, 447, 101, 8));
    QVERIFY(r.label("imgColorBar")->isVisibleTo(r.panel));
    r.panel->setRecallShown(true);
    r.panel->setReadNo("-1");
    QVERIFY(r.label("lblReadNo")->isVisibleTo(r.panel) && r.label("imgREAD")->isVisibleTo(r.panel));
    QCOMPARE(r.label("lblReadNo")->text(), QString("-1"));
    r.panel->setDigit(0, 99);  // not an image: the place shows nothing
    QVERIFY(r.label("MainD1")->pixmap().isNull());
}

void GuiPanel::connectionLook()
{
    Rig r;
    r.panel->setNoConnection(true);
    QVERIFY(r.label("lblNoConnection")->isVisibleTo(r.panel));
    r.panel->setNoConnection(false);
    QVERIFY(!r.label("lblNoConnection")->isVisibleTo(r.panel));
    r.panel->setRecText("REC");
    r.panel->setClockVisible(false);
    r.panel->setConnectedLook();
    QCOMPARE(r.label("lblREC")->text(), QString());
    QVERIFY(r.label("lblTime")->isVisibleTo(r.panel) && r.label("lblDate")->isVisibleTo(r.panel));
    QVERIFY(!r.label("img321Bottom")->isVisibleTo(r.panel) && !r.label("imgMask1")->isVisibleTo(r.panel));
}

void GuiPanel::dragByDigitsAndPictureMovesWindow()
{
    Rig r;
    r.sub->move(10, 10);
    QWidget *digit = r.child("MainD2");
    QTest::mousePress(digit, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(digit, QPoint(35, 25));
    QTest::mouseRelease(digit, Qt::LeftButton, {}, QPoint(35, 25));
    QCOMPARE(r.sub->pos(), QPoint(40, 30));

    // By the picture; a label on top (lblFAST) lets the press through to it.
    QWidget *picture = r.child("imgPanel");
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(20, 300));
    QTest::mouseMove(picture, QPoint(25, 340));
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(25, 340));
    QCOMPARE(r.sub->pos(), QPoint(45, 70));
    QVERIFY(r.label("lblFAST")->testAttribute(Qt::WA_TransparentForMouseEvents));

    // Moving the mouse after the release moves nothing.
    QTest::mouseMove(picture, QPoint(100, 100));
    QCOMPARE(r.sub->pos(), QPoint(45, 70));
    QCOMPARE(r.written().size(), 0);
}

void GuiPanel::closeButtonsCloseAndForget()
{
    for (const char *button : {"SpeedButton2", "btnPower"}) {
        Rig r;
        QPointer<TfrmPanel> panel = r.panel;
        QTest::mouseClick(r.child(button), Qt::LeftButton);
        QTRY_VERIFY2(r.sub.isNull() && panel.isNull(), button);
        QCOMPARE(r.closed, 1);
        QVERIFY(r.area.subWindowList().isEmpty());
        QVERIFY(r.written().isEmpty());
    }
}

void GuiPanel::closeWaitsForBlinkTick()
{
    Rig r;
    r.state.MaxMinBusy = true;  // a blink tick is running further up
    QTest::mouseClick(r.child("SpeedButton2"), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!r.sub.isNull());
    QCOMPARE(r.closed, 0);
    r.state.MaxMinBusy = false;
    QTRY_VERIFY(r.sub.isNull());
    QCOMPARE(r.closed, 1);
}

void GuiPanel::minimiseAndActivate()
{
    Rig r;
    auto *other = r.area.addSubWindow(new QWidget);
    other->show();
    r.area.setActiveSubWindow(other);
    const int before = r.activated;
    r.area.setActiveSubWindow(r.sub);
    QCOMPARE(r.activated, before + 1);

    QTest::mouseClick(r.child("SpeedButton1"), Qt::LeftButton);
    QVERIFY(r.sub->isMinimized());
    QVERIFY(!r.sub.isNull());
    QCOMPARE(r.closed, 0);
    // Minimised it keeps a title bar with its caption, so it can be found and restored.
    QVERIFY(!(r.sub->windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(r.sub->isVisible() && r.sub->height() > 0);
    QCOMPARE(r.sub->windowTitle(), QString("Gerätesteuerung"));
    r.sub->showNormal();
    QVERIFY(r.sub->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(r.sub->geometry(), QRect(0, 0, 215, 603));
    QVERIFY(r.panel->isVisible());

    // Minimised by the workspace rather than by its own button: the same.
    r.sub->showMinimized();
    QVERIFY(r.sub->isMinimized());
    QVERIFY(!(r.sub->windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(r.sub->height() > 0);
    r.sub->showNormal();
    QCOMPARE(r.sub->geometry(), QRect(0, 0, 215, 603));
}

void GuiPanel::lcdImagesAndSymbols()
{
    const QList<QPixmap> lcd = loadLcdImages();
    QCOMPARE(lcd.size(), 16);
    QList<QImage> images;
    for (const QPixmap &p : lcd) {
        QCOMPARE(p.size(), QSize(17, 28));
        images << p.toImage();
    }
    // Every image is its own, but for the two minus signs.
    for (int i = 0; i < 16; ++i)
        for (int j = i + 1; j < 16; ++j)
            QVERIFY2((images[i] == images[j]) == (i == 11 && j == 12), qPrintable(QString("%1 %2").arg(i).arg(j)));
    // Ink grows with lit segments: blank < minus < one < seven < eight.
    QVERIFY(ink(images[10]) < ink(images[11]));
    QVERIFY(ink(images[11]) < ink(images[1]));
    QVERIFY(ink(images[1]) < ink(images[7]));
    QVERIFY(ink(images[7]) < ink(images[8]));
    QVERIFY(ink(images[0]) < ink(images[8]));

    QCOMPARE(panelImage("imgPanel").size(), QSize(214, 599));
    QVERIFY(!panelImage("imgPanel").hasAlphaChannel() || panelImage("imgPanel").toImage().pixelColor(0, 0).alpha() == 255);
    QCOMPARE(panelImage("imgPoint").size(), QSize(5, 5));
    int previous = -1;
    for (int i = 0; i < 4; ++i) {
        const QPixmap bar = panelImage(QString("imgBatBar%1").arg(i));
        QCOMPARE(bar.size(), QSize(22, 12));
        const int amount = ink(bar.toImage());
        QVERIFY(amount > previous);
        previous = amount;
    }
    for (const QString &name : panelImageNames())
        QVERIFY2(!panelImage(name).isNull(), qPrintable(name));
    QVERIFY(panelImage("LCD16").isNull());
    QVERIFY(panelImage("imgBatBar4").isNull());
    QVERIFY(panelImage("nothing").isNull());
}

void GuiPanel::artworkKeysLieUnderClickAreas()
{
    // The picture shows a light key cap (red for POWER) under each key and the display glass
    // under the digits, against the dark face plate around them.
    const QImage front = panelImage("imgPanel").toImage();
    const QPoint origin(0, 4);
    const double plate = luminance(front, QRect(QPoint(30, 225) - origin, QSize(10, 10)));
    QVERIFY(plate < 70);
    for (const KeyRow &k : kKeys) {
        if (k.rect.y() < 4)
            continue;  // the window buttons paint themselves
        const QRect inner = k.rect.adjusted(6, 6, -6, -6).translated(-origin);
        QVERIFY2(luminance(front, inner) > plate + 40, k.name);
        // Just outside the key is the dark face plate again.
        const QRect outside(k.rect.left() - 4 - origin.x(), k.rect.center().y() - origin.y(), 2, 2);
        QVERIFY2(luminance(front, outside) < plate + 25, k.name);
    }
    const QRect digits(QPoint(66, 492) - origin, QSize(74, 28));
    QVERIFY(luminance(front, digits) > 150);
}

QTEST_MAIN(GuiPanel)
#include "gui_panel.moc"
