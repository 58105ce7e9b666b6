// The live link against a scripted port on virtual time: frame finder, late handshake, meter
// search, watchdog and the echo-checked exchange, checked byte for byte on the wire.
#include "link/MeterLink.h"
#include "support/Frames.h"
#include "support/RecordingView.h"
#include "support/ScriptPort.h"

#include <QtTest>

namespace {
const QByteArray kFrameK = CommandFrames::make('K');
const QByteArray kFrameA = CommandFrames::make('a');
const QByteArray kFrameX = CommandFrames::make('X');
const QByteArray kFramePoll = CommandFrames::make('A');

struct Rig {
    VirtualClock clock;
    ScriptPort port{clock};
    LinkState state;
    ManualTimer timer{100};
    RecordingView view{state};
    MeterLink link{state, port, clock, timer, view, [] {}};
    QList<QByteArray> decoded;

    Rig()
    {
        link.onFrame = [this](const QByteArray &f) { decoded << f; };
        port.addDevice("/dev/ttyUSB0");
        link.ports().entries = {"ttyUSB0"};
        link.ports().select(0);
        port.setDeviceName("/dev/ttyUSB0");
    }
    // Open, attached and marked connected, as after a successful start-up.
    void connect()
    {
        port.open();
        port.setRxHandler(link.receiveHandler());
        state.Connected = true;
        timer.setEnabled(true);
    }
    void receive(const QByteArray &bytes)
    {
        port.feed(bytes);
        port.deliver();
    }
    QList<QByteArray> writtenFrames() const
    {
        QList<QByteArray> frames;
        for (const auto &w : port.writes())
            frames << w.bytes;
        return frames;
    }
};
} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void frameFinderDropsNoiseAndStrayMarkers();
    void frameFinderWaitsForWholeFrames();
    void frameFinderCountsBadSums();
    void checksumWraps();
    void handlerReadsAtMost256BytesPerCall();
    void lateHandshakeConnectsAndDecodesTheSameFrame();
    void lateHandshakeDuringRecordingKeepsRunDisabled();
    void searchSkipsAbsentAndSilentPorts();
    void identificationNeedsContiguous390();
    void permissionErrorIsExplainedOnce();
    void busyPortIsExplainedAndListedAgain();
    void watchdogDeclaresLossAfterThreeSilentTicks();
    void watchdogPollsAndRecoversThroughHandshake();
    void watchdogPeriodCorrectsItself();
    void watchdogReopensAPulledAdapter();
    void sendCommandEchoAtFirstAttempt();
    void sendCommandSilentMeter();
    void sendCommandRetriesOnBadOrStaleReply();
    void sendCommandOnClosedPort();
    void startupWithoutMeter();
    void busyWaitAcrossTickWrap();
};

void TestLink::frameFinderDropsNoiseAndStrayMarkers()
{
    Rig r;
    r.connect();
    const QByteArray f1 = liveFrame(0x18, 0x23, 553);
    const QByteArray f2 = liveFrame(0x00, 0x23, 700);
    // Noise, then a stray 0x02 whose offset 18 is not 0x03, then two frames in one call.
    QByteArray stream = QByteArray("\x11\x22\x33", 3) + QByteArray("\x02\x05\x06", 3) + f1 + f2;
    r.receive(stream);
    QCOMPARE(r.decoded.size(), 2);
    QCOMPARE(r.decoded[0], f1);
    QCOMPARE(r.decoded[1], f2);
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{kFrameX, kFrameX}));
    QVERIFY(r.state.RxBuffer.isEmpty());
    QCOMPARE(r.link.candidateFrames(), 2u);
    QVERIFY(r.state.FrameSeen);

    // 19 or more bytes without any marker are discarded whole.
    r.receive(QByteArray(40, '\x55'));
    QVERIFY(r.state.RxBuffer.isEmpty());
    QCOMPARE(r.decoded.size(), 2);
}

void TestLink::frameFinderWaitsForWholeFrames()
{
    Rig r;
    r.connect();
    const QByteArray f = liveFrame();
    r.receive(f.left(18));
    QCOMPARE(r.decoded.size(), 0);
    QCOMPARE(r.state.RxBuffer.size(), 18);
    QCOMPARE(r.link.candidateFrames(), 0u);
    QVERIFY(!r.state.FrameSeen);
    r.receive(f.mid(18) + f.left(5));
    QCOMPARE(r.decoded.size(), 1);
    QCOMPARE(r.decoded[0], f);
    QCOMPARE(r.state.RxBuffer, f.left(5));
}

void TestLink::frameFinderCountsBadSums()
{
    Rig r;
    r.connect();
    QByteArray bad = liveFrame();
    bad[17] = char(bad[17] + 1);
    for (int i = 0; i < 3; ++i)
        r.receive(bad);
    QVERIFY(!r.state.FrameSeen);
    QVERIFY(r.port.writes().isEmpty());
    QCOMPARE(r.link.checksumFailures(), 3u);
    for (int i = 0; i < 100; ++i)
        r.receive(liveFrame());
    QCOMPARE(r.link.decodedFrames(), 100u);
    QCOMPARE(r.view.diagnostics, QString("3/103"));
}

void TestLink::checksumWraps()
{
    QByteArray f(LiveFrame::Size, '\0');
    f[0] = 0x02;
    f[1] = char(0xFF);
    f[2] = char(0xFF); // 0x1FE
    QCOMPARE(LiveFrame::checksum(f.constData()), quint8(0xFE));
    f[17] = char(0xFE);
    f[18] = 0x03;
    Rig r;
    r.connect();
    r.receive(f);
    QCOMPARE(r.decoded.size(), 1);
}

void TestLink::handlerReadsAtMost256BytesPerCall()
{
    Rig r;
    r.connect();
    QByteArray many;
    for (int i = 0; i < 20; ++i)
        many += liveFrame();
    r.port.feed(many); // 380 bytes
    r.port.deliver();
    QCOMPARE(r.port.bytesWaiting(), 380 - 256);
    QCOMPARE(r.decoded.size(), 256 / 19);
    r.port.deliver();
    QCOMPARE(r.decoded.size(), 20);
}

void TestLink::lateHandshakeConnectsAndDecodesTheSameFrame()
{
    Rig r;
    r.port.open();
    r.port.setRxHandler(r.link.receiveHandler());
    r.timer.setEnabled(true);
    r.view.panel = true;
    r.view.noConnectionShown = true;
    // The meter answers the 'K' with its 4 bytes; the handshake reads and ignores them.
    r.port.responder = [&](const QByteArray &w) {
        if (w == kFrameK)
            r.port.feed("0390", 20000);
    };
    const QByteArray f = liveFrame();
    const qint64 t0 = r.clock.elapsedUs();
    r.receive(f + QByteArray("\x02\x10", 2)); // a frame and the start of the next
    QVERIFY(r.state.Connected);
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{kFrameK, kFrameA, kFrameX}));
    QVERIFY(r.port.writes()[0].us - t0 > 100000); // 'K' goes out after the 100 ms wait
    QVERIFY(r.port.writes()[1].us - r.port.writes()[0].us > 1000000);
    QCOMPARE(r.decoded.size(), 1);
    QCOMPARE(r.decoded[0], f);
    QCOMPARE(r.link.candidateFrames(), 2u); // seen before and after the handshake
    QCOMPARE(r.port.bytesWaiting(), 0);     // the reply was read, nothing else left behind
    QCOMPARE(r.state.RxBuffer, QByteArray("\x02\x10", 2));
    QCOMPARE(r.view.statusState, QString("On Connection"));
    QVERIFY(!r.view.noConnectionShown);
    QCOMPARE(r.view.connectedLookCount, 1);
    QVERIFY(r.view.enabled[Control::btnRun] && r.view.enabled[Control::Run1]);
    QVERIFY(!r.view.enabled[Control::btnStop] && !r.view.enabled[Control::Stop1]);
    QVERIFY(r.view.enabled[Control::btnDataLogger] && r.view.visible[Control::DataLogger1]);
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
}

void TestLink::lateHandshakeDuringRecordingKeepsRunDisabled()
{
    Rig r;
    r.port.open();
    r.port.setRxHandler(r.link.receiveHandler());
    r.state.RealTimeRunning = true;
    r.receive(liveFrame()); // no reply to 'K' at all: the handshake completes anyway
    QVERIFY(r.state.Connected);
    QCOMPARE(r.view.enabled[Control::btnRun], false);
    QCOMPARE(r.view.enabled[Control::Run1], false);
    QVERIFY(r.view.enabled[Control::btnStop] && r.view.enabled[Control::Stop1]);
    QCOMPARE(r.view.enabled[Control::tbntClr], false);
}

void TestLink::searchSkipsAbsentAndSilentPorts()
{
    Rig r;
    r.port.addDevice("/dev/ttyS3");
    r.port.addDevice("/dev/ttyUSB4");
    r.link.ports().entries = {"ttyS1", "ttyS3", "ttyUSB4"};
    r.link.ports().select(0);
    r.view.splash = true;
    r.port.responder = [&](const QByteArray &w) {
        if (w == kFrameK && r.port.deviceName() == "/dev/ttyUSB4")
            r.port.feed("K390XX", 10000); // extra bytes stay waiting
    };
    r.link.FindMeter();
    QVERIFY(r.state.Connected);
    QCOMPARE(r.link.ports().entries, (QStringList{"ttyS3", "ttyUSB4"}));
    QCOMPARE(r.link.ports().text(), QString("ttyUSB4"));
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.port.deviceName(), QString("/dev/ttyUSB4"));
    QCOMPARE(r.port.bytesWaiting(), 2);
    QCOMPARE(r.view.splashStatus, QString("Suche nach Gerät ttyUSB4"));
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{kFrameK, kFrameK}));
    QVERIFY(r.view.enabled[Control::btnRun] && !r.view.enabled[Control::btnStop]);
    QVERIFY(r.port.rxHandler());
}

void TestLink::identificationNeedsContiguous390()
{
    struct Case {
        QByteArray reply;
        bool found;
    } cases[] = {{"x390", true}, {"390x", true}, {"39 0", false}, {"390", false}, {"", false}};
    for (const Case &c : cases) {
        Rig r;
        r.port.responder = [&](const QByteArray &w) {
            if (w == kFrameK && !c.reply.isEmpty())
                r.port.feed(c.reply, 5000);
        };
        r.link.FindMeter();
        QVERIFY2(r.state.Connected == c.found, c.reply.constData());
        QCOMPARE(r.port.isOpen(), c.found);
    }
}

void TestLink::permissionErrorIsExplainedOnce()
{
    Rig r;
    r.port.denyDevice("/dev/ttyUSB0");
    r.port.denyDevice("/dev/ttyUSB1");
    r.link.ports().entries = {"ttyUSB0", "ttyUSB1"};
    r.link.FindMeter();
    QVERIFY(r.link.ports().entries.isEmpty());
    QCOMPARE(r.view.notices.size(), 1);
    QVERIFY(r.view.notices[0].contains("dialout"));
}

void TestLink::busyPortIsExplainedAndListedAgain()
{
    Rig r;
    r.port.busyDevice("/dev/ttyUSB0");
    r.port.addDevice("/dev/ttyS0"); // opens, but no meter answers
    r.link.ports().entries = {"ttyUSB0", "ttyS0"};
    r.link.FindMeter();
    QVERIFY(!r.state.Connected);
    QCOMPARE(r.link.ports().entries, QStringList{"ttyS0"});
    QCOMPARE(r.view.notices.size(), 1);
    QVERIFY2(r.view.notices[0].startsWith("/dev/ttyUSB0: ") && r.view.notices[0].contains("resource busy"),
             qPrintable(r.view.notices[0]));
    // Once per device.
    r.link.ports().entries = {"ttyUSB0"};
    r.link.FindMeter();
    QCOMPARE(r.view.notices.size(), 1);

    // Reading the list again brings the dropped port back; the selection stays where it was, and
    // a selected port no longer present stays in front.
    r.link.ports().entries = {"ttyS0"};
    r.link.ports().select(0);
    r.link.refreshPorts({"ttyUSB0", "/dev/ttyS0", "ttyACM0"});
    QCOMPARE(r.link.ports().entries, (QStringList{"ttyUSB0", "ttyS0", "ttyACM0"}));
    QCOMPARE(r.link.ports().text(), QString("ttyS0"));
    r.link.refreshPorts({"ttyACM0"});
    QCOMPARE(r.link.ports().entries, (QStringList{"ttyS0", "ttyACM0"}));
    QCOMPARE(r.link.ports().selected, 0);
}

void TestLink::watchdogDeclaresLossAfterThreeSilentTicks()
{
    Rig r;
    r.connect();
    r.view.panel = true;
    r.receive(liveFrame());
    r.receive(liveFrame().left(10)); // a partial frame in the buffer
    r.link.MainTimerTimer();         // frame seen
    QCOMPARE(r.state.MissedTicks, 0);
    r.link.MainTimerTimer();
    r.link.MainTimerTimer();
    QVERIFY(r.state.Connected);
    QCOMPARE(r.state.MissedTicks, 2);
    r.port.clearWrites();
    r.link.MainTimerTimer();
    QVERIFY(!r.state.Connected);
    QCOMPARE(r.state.MissedTicks, 0);
    QVERIFY(r.state.RxBuffer.isEmpty());
    QCOMPARE(r.view.statusState, QString("Keine Verbindung"));
    QVERIFY(r.view.noConnectionShown);
    for (Control c : {Control::btnRun, Control::Run1, Control::btnStop, Control::Stop1, Control::btnDataLogger,
                      Control::DataLogger1})
        QCOMPARE(r.view.enabled.value(c, true), false);
    // The tick that declared the loss already polls.
    QCOMPARE(r.writtenFrames(), QList<QByteArray>{kFramePoll});
    QVERIFY(!r.state.TimerBusy);
}

void TestLink::watchdogPollsAndRecoversThroughHandshake()
{
    Rig r;
    r.connect();
    for (int i = 0; i < 3; ++i)
        r.link.MainTimerTimer();
    QVERIFY(!r.state.Connected);
    r.port.clearWrites();
    // The meter answers a poll with a frame; the frame runs the handshake.
    r.port.responder = [&](const QByteArray &w) {
        if (w == kFramePoll)
            r.port.feed(liveFrame(), 30000);
    };
    r.link.MainTimerTimer();
    r.clock.advanceMs(50);
    r.port.responder = nullptr;
    QVERIFY(r.port.deliver());
    QVERIFY(r.state.Connected);
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{kFramePoll, kFrameK, kFrameA, kFrameX}));
    QCOMPARE(r.view.statusState, QString("On Connection"));
    r.link.MainTimerTimer();
    QCOMPARE(r.state.MissedTicks, 0);

    // A closed port (adapter pulled) is not polled.
    for (int i = 0; i < 3; ++i)
        r.link.MainTimerTimer();
    r.port.removeDevice("/dev/ttyUSB0");
    r.port.clearWrites();
    r.link.MainTimerTimer();
    QVERIFY(r.port.writes().isEmpty());
}

void TestLink::watchdogPeriodCorrectsItself()
{
    Rig r;
    r.connect();
    auto tickAfter = [&](qint64 ms) {
        r.clock.advanceMs(ms);
        r.state.FrameSeen = true;
        r.link.MainTimerTimer();
        return r.timer.interval();
    };
    QCOMPARE(tickAfter(0), 100); // the first tick only remembers its time
    // Date-time arithmetic in days is not exact to the millisecond; a truncation may lose one.
    auto near = [](int got, int want) { return got >= want - 1 && got <= want; };
    QVERIFY(near(tickAfter(100), 1000));
    QVERIFY(near(tickAfter(1000), 1000));
    const int early = tickAfter(1030); // 30 ms late: the next one comes earlier
    QVERIFY(early >= 968 && early <= 970);
    QCOMPARE(tickAfter(10000), 500); // held up by a modal dialog
    QVERIFY(near(tickAfter(500), 1000));
    // A clock set back an hour must not stall the watchdog for an hour.
    r.clock.advanceMs(1000);
    VirtualClock &c = r.clock;
    c.advanceUs(-3600LL * 1000000);
    r.link.MainTimerTimer();
    QVERIFY(r.timer.interval() <= 2000);
}

void TestLink::watchdogReopensAPulledAdapter()
{
    Rig r;
    r.connect();
    r.link.MainTimerTimer();
    r.port.removeDevice("/dev/ttyUSB0");
    r.port.clearWrites();
    // Pulled: the loss is declared after three ticks; the path is tried again every 2 s.
    QList<int> tried;
    for (int tick = 1; tick <= 6; ++tick) {
        r.clock.advanceMs(1000);
        const int before = r.port.openAttempts();
        r.link.MainTimerTimer();
        if (r.port.openAttempts() > before)
            tried << tick;
    }
    QCOMPARE(tried, (QList<int>{1, 3, 5}));
    QVERIFY(!r.state.Connected);
    QCOMPARE(r.view.statusState, QString("Keine Verbindung"));
    QVERIFY(r.port.writes().isEmpty());
    QVERIFY(r.view.notices.isEmpty()); // retries are silent

    // Plugged back: the next retry opens the same path, polls at once, and the meter's answer
    // completes the late handshake. Bytes left from before the pull are not taken for a frame.
    r.state.RxBuffer = liveFrame().left(7);
    r.port.addDevice("/dev/ttyUSB0");
    r.port.responder = [&](const QByteArray &w) {
        if (w == kFramePoll)
            r.port.feed(liveFrame(), 30000);
    };
    r.clock.advanceMs(1000);
    r.link.MainTimerTimer();
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.port.deviceName(), QString("/dev/ttyUSB0"));
    r.clock.advanceMs(50);
    r.port.responder = nullptr;
    QVERIFY(r.port.deliver());
    QVERIFY(r.state.Connected);
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{kFramePoll, kFrameK, kFrameA, kFrameX}));
    QCOMPARE(r.view.statusState, QString("On Connection"));
    QCOMPARE(r.decoded, QList<QByteArray>{liveFrame()});
}

void TestLink::sendCommandEchoAtFirstAttempt()
{
    Rig r;
    r.connect();
    r.port.responder = [&](const QByteArray &w) {
        if (w[1] == 'F')
            r.port.feed(w, 9000);
    };
    QVERIFY(r.link.SendCommand('F'));
    QCOMPARE(r.writtenFrames(), (QList<QByteArray>{CommandFrames::make('F'), kFrameA}));
    QCOMPARE(r.state.CommandFrame, kFrameA);
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
    QVERIFY(!r.view.enabled.contains(Control::btnRun));
}

void TestLink::sendCommandSilentMeter()
{
    Rig r;
    r.connect();
    QVERIFY(!r.link.SendCommand('C'));
    const auto &w = r.port.writes();
    QCOMPARE(w.size(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(w[i].bytes, CommandFrames::make('C'));
    QCOMPARE(w[3].bytes, kFrameA);
    QVERIFY(w[1].us - w[0].us > 100000 && w[1].us - w[0].us < 110000);
    QVERIFY(w[2].us - w[1].us > 100000);
}

void TestLink::sendCommandRetriesOnBadOrStaleReply()
{
    {
        Rig r;
        r.connect();
        int attempt = 0;
        r.port.responder = [&](const QByteArray &w) {
            if (w[1] != 'E')
                return;
            QByteArray echo = w;
            if (attempt++ == 0)
                echo[4] = 1; // one byte changed
            r.port.feed(echo, 9000);
        };
        QVERIFY(r.link.SendCommand('E'));
        QCOMPARE(attempt, 2);
    }
    {
        // A live frame waiting ahead of the echo is consumed, and the echo behind it counts:
        // the key is pressed once, not a second time by a retry.
        Rig r;
        r.connect();
        r.port.feed(liveFrame());
        r.port.responder = [&](const QByteArray &w) {
            if (w[1] == 'T')
                r.port.feed(w, 9000);
        };
        QVERIFY(r.link.SendCommand('T'));
        QCOMPARE(r.writtenFrames(), (QList<QByteArray>{CommandFrames::make('T'), kFrameA}));
        QCOMPARE(r.port.bytesWaiting(), 0);
    }
    {
        // A live frame that starts just before the wait ends delays the echo past it.
        Rig r;
        r.connect();
        int presses = 0;
        r.port.responder = [&](const QByteArray &w) {
            if (w[1] != 'F')
                return;
            ++presses;
            r.port.feed(liveFrame(), 95000);
            r.port.feed(w, 95000 + 20000 + 9000);
        };
        QVERIFY(r.link.SendCommand('F'));
        QCOMPARE(presses, 1);
    }
    {
        // Stale live bytes and no echo behind them: the attempt is repeated.
        Rig r;
        r.connect();
        r.port.feed(liveFrame());
        int attempt = 0;
        r.port.responder = [&](const QByteArray &w) {
            if (w[1] == 'C' && attempt++ > 0)
                r.port.feed(w, 9000);
        };
        QVERIFY(r.link.SendCommand('C'));
        QCOMPARE(attempt, 2);
        QCOMPARE(r.port.bytesWaiting(), 0);
    }
}

void TestLink::sendCommandOnClosedPort()
{
    Rig r;
    r.connect();
    r.port.close();
    r.port.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    r.timer.setEnabled(true);
    QVERIFY(!r.link.SendCommand('R'));
    QVERIFY(r.port.writes().isEmpty());
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
}

void TestLink::startupWithoutMeter()
{
    Rig r;
    r.port.addDevice("/dev/ttyS0");
    r.link.ports().entries = {"ttyUSB0", "ttyS0"};
    r.view.splash = true;
    r.view.panel = true;
    r.link.StartupConnection();
    QVERIFY(!r.state.Connected);
    QCOMPARE(r.view.statusPort, QString("ttyUSB0"));
    QCOMPARE(r.view.statusState, QString("Off Connection"));
    QVERIFY(r.view.noConnectionShown);
    QVERIFY(!r.view.splash);
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.isOpen());
    QVERIFY(r.port.rxHandler());
    // The search's 'K' probes, then the start 'a' on the re-opened port.
    QCOMPARE(r.writtenFrames().last(), kFrameA);
    QCOMPARE(r.state.CommandFrame[1], 'a');
}

void TestLink::busyWaitAcrossTickWrap()
{
    VirtualClock clock(46000.0, 0xFFFFFFF0u);
    const qint64 t0 = clock.elapsedUs();
    BusyWait(clock, 100);
    const qint64 waited = clock.elapsedUs() - t0;
    QVERIFY2(waited > 100000 && waited < 102000, QByteArray::number(waited).constData());
}

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
