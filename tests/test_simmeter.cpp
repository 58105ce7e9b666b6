// The simulated meter: its frames, its pacing, its replies and its faults; the in-process port's
// wire timing and errors; the meter on a pseudo-terminal seen through plain POSIX calls.
#include "link/LiveFrame.h"
#include "sim/PtyMeter.h"
#include "sim/SimPort.h"
#include "sim/SimulatedMeter.h"

#include <QtTest>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QDateTime kStart(QDate(2026, 12, 9), QTime(12, 34, 50));

struct Arrival {
    qint64 us;
    char byte;
};

struct Rig {
    VirtualClock clock;
    SimulatedMeter meter{kStart};
    SimPort port{clock};

    Rig()
    {
        port.addDevice("ttyUSB0", &meter);
        port.setDeviceName("/dev/ttyUSB0");
        port.open();
    }
    qint64 now() const { return clock.elapsedUs(); }
    void jumpTo(qint64 us)
    {
        if (us > clock.elapsedUs())
            clock.advanceUs(us - clock.elapsedUs());
        port.sync();
    }
    void send(char command) { port.write(CommandFrames::make(command)); }
    // Runs until untilUs, noting every byte with the time it arrived. onByte may write.
    QList<Arrival> collect(qint64 untilUs, const std::function<void(const QList<Arrival> &)> &onByte = {})
    {
        QList<Arrival> got;
        auto take = [&] {
            for (char b : port.read(port.bytesWaiting())) {
                got.append({now(), b});
                if (onByte)
                    onByte(got);
            }
        };
        for (;;) {
            take();
            const qint64 next = port.nextEventUs();
            if (next > untilUs)
                break;
            jumpTo(next);
        }
        jumpTo(untilUs);
        take();
        return got;
    }
    QByteArray collectBytes(qint64 forUs)
    {
        QByteArray bytes;
        for (const Arrival &a : collect(now() + forUs))
            bytes.append(a.byte);
        return bytes;
    }
};

QByteArray bytesOf(const QList<Arrival> &arrivals)
{
    QByteArray b;
    for (const Arrival &a : arrivals)
        b.append(a.byte);
    return b;
}

bool isBcd(quint8 b)
{
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

int count(const QByteArray &f, int offset)
{
    return (quint8(f[offset]) << 8) | quint8(f[offset + 1]);
}

// Feeds a command frame straight into a meter, byte by byte at 9600 baud from tUs.
void feed(SimulatedMeter &m, char command, qint64 tUs)
{
    const QByteArray f = CommandFrames::make(command);
    for (int i = 0; i < f.size(); ++i)
        m.receive(f[i], tUs + (i + 1) * SimulatedMeter::ByteUs);
}

// The levels of n frames of a meter that is acknowledged at once after each frame.
QList<int> levelSeries(quint32 seed, int n)
{
    SimulatedMeter m(kStart, seed);
    qint64 t = 0;
    feed(m, 'a', t);
    while (m.sentFrames().size() < n) {
        t += 100000;
        m.takeOutput(t);
        feed(m, 'X', t);
    }
    QList<int> levels;
    for (const auto &f : m.sentFrames())
        levels << count(f.bytes, 5);
    return levels;
}
} // namespace

class TestSimMeter : public QObject {
    Q_OBJECT
private slots:
    void liveFrameIsValidWithBcdClock();
    void clockDateBytesRollOverMidnight();
    void recallDisplayCarriesBcdLevel();
    void levelWandersRealisticallyAndRepeatsPerSeed();
    void streamIsPacedByAcknowledgements();
    void identificationReply();
    void echoCommandsComeBackByteForByte();
    void plainCommandsGetNoEcho();
    void garbageBeforeAFrameIsSkipped();
    void badChecksumFault();
    void splitFrameFault();
    void noiseFault();
    void silenceFault();
    void powerOffAndOn();
    void wireTakesTimePerByte();
    void closeDeliversBytesStillOnTheWire();
    void shortReadTimesOutAndKeepsBytes();
    void closedPortOperationsFail();
    void unknownDeniedAndBusyDevices();
    void silentDeviceTakesWritesAndNeverAnswers();
    void deliverCallsAttachedHandlerOnly();
    void ptyMeterAnswersOverRealTerminal();
};

void TestSimMeter::liveFrameIsValidWithBcdClock()
{
    Rig r;
    r.send('a');
    const QByteArray f = r.collectBytes(100000);
    QCOMPARE(f.size(), LiveFrame::Size);
    QCOMPARE(f[0], LiveFrame::Stx);
    QCOMPARE(f[18], LiveFrame::Etx);
    QVERIFY(LiveFrame::checksumOk(f.constData()));
    QCOMPARE(quint8(f[1]), quint8(0x18)); // dBA, FAST, not recording
    QCOMPARE(quint8(f[2]), quint8(0x23)); // battery 3, clock shown
    const int level = count(f, 5);
    QVERIFY(level >= 300 && level <= 1300);
    QVERIFY(count(f, 7) >= level && count(f, 9) <= level);
    for (int i = 11; i <= 16; ++i)
        QVERIFY2(isBcd(quint8(f[i])), qPrintable(QString::number(i)));
    QCOMPARE(f.mid(11, 6), QByteArray("\x12\x34\x50\x26\x12\x09", 6));

    // 70 s later the clock has moved on by as much.
    r.jumpTo(70000000);
    r.send('X');
    const QByteArray g = r.collectBytes(100000);
    QCOMPARE(g.mid(11, 6), QByteArray("\x12\x36\x00\x26\x12\x09", 6));
    QVERIFY(LiveFrame::checksumOk(g.constData()));
}

void TestSimMeter::clockDateBytesRollOverMidnight()
{
    MeterState s;
    const QByteArray f = SimulatedMeter::liveFrame(s, QDateTime(QDate(2027, 1, 1), QTime(0, 0, 7)));
    QCOMPARE(f.mid(11, 6), QByteArray("\x00\x00\x07\x27\x01\x01", 6));

    SimulatedMeter m(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 500)));
    feed(m, 'a', 600000); // after midnight on the meter's clock
    m.advanceTo(800000);
    QCOMPARE(m.sentFrames().size(), 1);
    QCOMPARE(m.sentFrames()[0].bytes.mid(11, 6), QByteArray("\x00\x00\x00\x27\x01\x01", 6));
}

void TestSimMeter::recallDisplayCarriesBcdLevel()
{
    MeterState s;
    s.recallDisplay = true;
    s.recallNumber = 7;
    s.recallValue = 453;
    s.showClock = false;
    QByteArray f = SimulatedMeter::liveFrame(s, kStart);
    QCOMPARE(quint8(f[2]), quint8(0x43));
    QCOMPARE(quint8(f[3]), quint8(7));
    QCOMPARE(f.mid(5, 2), QByteArray("\x04\x53", 2));
    QVERIFY(LiveFrame::checksumOk(f.constData()));

    // In MAX/MIN mode the level stays binary even in recall display.
    s.maxMinMode = true;
    s.maxMinSelector = 0x04;
    s.level = 453;
    f = SimulatedMeter::liveFrame(s, kStart);
    QCOMPARE(quint8(f[1]) & 0x04, 0x04);
    QCOMPARE(quint8(f[2]) & 0x0C, 0x04);
    QCOMPARE(count(f, 5), 453);
}

void TestSimMeter::levelWandersRealisticallyAndRepeatsPerSeed()
{
    const QList<int> a = levelSeries(7, 3000); // five minutes at ten frames a second
    QCOMPARE(a, levelSeries(7, 3000));
    QVERIFY(a != levelSeries(8, 3000));

    int lo = 99999, hi = 0;
    QSet<int> distinct;
    int biggestStep = 0;
    for (int i = 0; i < a.size(); ++i) {
        lo = std::min(lo, a[i]);
        hi = std::max(hi, a[i]);
        distinct.insert(a[i]);
        if (i > 0)
            biggestStep = std::max(biggestStep, std::abs(a[i] - a[i - 1]));
    }
    QVERIFY2(lo >= 300 && hi <= 1300, qPrintable(QString("%1..%2").arg(lo).arg(hi)));
    QVERIFY(distinct.size() > 50);
    QVERIFY2(hi >= 650, "no louder event in five minutes");
    double sum = 0;
    for (int v : a)
        sum += v;
    QVERIFY(sum / a.size() > 450 && sum / a.size() < 700);

    // Max and min bound every level sent so far.
    SimulatedMeter m(kStart, 7);
    qint64 t = 0;
    feed(m, 'a', t);
    int seenMax = 0, seenMin = 99999;
    for (int i = 0; i < 300; ++i) {
        t += 100000;
        m.advanceTo(t);
        const QByteArray f = m.sentFrames().last().bytes;
        seenMax = std::max(seenMax, count(f, 5));
        seenMin = std::min(seenMin, count(f, 5));
        QCOMPARE(count(f, 7), seenMax);
        QCOMPARE(count(f, 9), seenMin);
        feed(m, 'X', t);
    }
}

void TestSimMeter::streamIsPacedByAcknowledgements()
{
    // One start, one frame: without acknowledgements the meter falls silent.
    {
        Rig r;
        r.send('a');
        QCOMPARE(r.collectBytes(2000000).size(), LiveFrame::Size);
        QCOMPARE(r.meter.sentFrames().size(), 1);
    }
    // Acknowledged as soon as each frame is in: frames come, but never closer than 100 ms.
    {
        Rig r;
        r.send('a');
        r.collect(3000000, [&](const QList<Arrival> &got) {
            if (got.size() % LiveFrame::Size == 0)
                r.send('X');
        });
        const auto &sent = r.meter.sentFrames();
        QVERIFY2(sent.size() >= 28 && sent.size() <= 31, qPrintable(QString::number(sent.size())));
        for (int i = 1; i < sent.size(); ++i)
            QVERIFY(sent[i].us - sent[i - 1].us >= SimulatedMeter::FramePeriodUs);
    }
    // A burst of acknowledgements does not build up a backlog of frames: those that come in
    // while a frame is due merge into it.
    {
        Rig r;
        for (int i = 0; i < 5; ++i)
            r.send('X');
        r.send('A');
        const int n = int(r.collectBytes(1000000).size());
        QVERIFY2(n == LiveFrame::Size || n == 2 * LiveFrame::Size, qPrintable(QString::number(n)));
        QCOMPARE(r.collectBytes(2000000).size(), 0);
    }
}

void TestSimMeter::identificationReply()
{
    Rig r;
    r.send('K');
    const QList<Arrival> got = r.collect(500000);
    QCOMPARE(bytesOf(got), QByteArray("K390"));
    QVERIFY(bytesOf(got).contains("390"));
    QVERIFY(got.last().us < 30000); // well inside the search's 500 ms
    QCOMPARE(r.meter.sentFrames().size(), 0);
}

void TestSimMeter::echoCommandsComeBackByteForByte()
{
    for (char c : QByteArray("FCEMNTRQSe")) {
        Rig r;
        const QByteArray frame = CommandFrames::make(c);
        r.port.write(frame);
        const QList<Arrival> got = r.collect(100000);
        QCOMPARE(bytesOf(got), frame);
        // 8 bytes out, a moment to react, 8 bytes back: about 19 ms, well inside 100 ms.
        QVERIFY(got.last().us >= 16 * SimulatedMeter::ByteUs && got.last().us < 30000);
    }
    // The parameter bytes come back as they went.
    Rig r;
    const QByteArray odd("\x02T\x01\x02\xFF\x00\x03\x03", 8);
    r.port.write(odd);
    QCOMPARE(r.collectBytes(100000), odd);

    // FAST and the weighting keys change what the next frame reports.
    r.send('F');
    r.send('C');
    r.send('a');
    const QByteArray got = r.collectBytes(200000);
    QCOMPARE(got.size(), 16 + LiveFrame::Size);
    QCOMPARE(quint8(got[17]), quint8(0x00)); // SLOW, dBC
}

void TestSimMeter::plainCommandsGetNoEcho()
{
    Rig r;
    for (char c : QByteArray("lWL"))
        r.send(c);
    QCOMPARE(r.collectBytes(500000), QByteArray());
    QCOMPARE(r.meter.receivedFrames().size(), 3);

    // 'X' is answered by the next live frame only, never by its own echo.
    r.send('X');
    const QByteArray got = r.collectBytes(500000);
    QCOMPARE(got.size(), LiveFrame::Size);
    QCOMPARE(got[0], LiveFrame::Stx);
    QVERIFY(LiveFrame::checksumOk(got.constData()));
}

void TestSimMeter::garbageBeforeAFrameIsSkipped()
{
    Rig r;
    // Bytes before a marker, a lone marker, a marker whose offset 7 is not 0x03.
    r.port.write(QByteArray("\x11\x02\x99", 3));
    r.port.write(QByteArray("\x02\x46\x00\x00\x00\x00\x00\x00", 8));
    r.port.write(QByteArray("\x02", 1)); // straight before the real frame
    r.send('K');
    QCOMPARE(r.collectBytes(200000), QByteArray("K390"));
    QCOMPARE(r.meter.receivedFrames().size(), 1);
    QCOMPARE(r.meter.receivedFrames()[0].bytes, CommandFrames::make('K'));
}

void TestSimMeter::badChecksumFault()
{
    Rig r;
    r.meter.corruptNextChecksum();
    r.send('a');
    const QByteArray bad = r.collectBytes(200000);
    QCOMPARE(bad.size(), LiveFrame::Size);
    QCOMPARE(bad[18], LiveFrame::Etx);
    QCOMPARE(quint8(bad[17]), quint8(LiveFrame::checksum(bad.constData()) + 1));
    r.send('X');
    const QByteArray good = r.collectBytes(200000);
    QVERIFY(LiveFrame::checksumOk(good.constData()));
}

void TestSimMeter::splitFrameFault()
{
    Rig r;
    r.meter.splitNextFrame(60);
    r.send('a');
    r.send('K'); // asked for during the pause, answered after the frame
    const QList<Arrival> got = r.collect(500000);
    QCOMPARE(got.size(), LiveFrame::Size + 4);
    const QByteArray frame = bytesOf(got).left(LiveFrame::Size);
    QVERIFY(LiveFrame::checksumOk(frame.constData()));
    QCOMPARE(bytesOf(got).mid(LiveFrame::Size), QByteArray("K390"));
    qint64 widest = 0;
    int at = 0;
    for (int i = 1; i < LiveFrame::Size; ++i)
        if (got[i].us - got[i - 1].us > widest) {
            widest = got[i].us - got[i - 1].us;
            at = i;
        }
    QVERIFY(widest >= 60000 && widest < 62000);
    QVERIFY(at > 3 && at < 16); // somewhere in the middle
}

void TestSimMeter::noiseFault()
{
    Rig r;
    r.meter.injectNoise(QByteArray("\x02\x03\x00\xFF", 4));
    QCOMPARE(r.collectBytes(100000), QByteArray("\x02\x03\x00\xFF", 4));
    r.meter.injectNoise(25);
    QCOMPARE(r.collectBytes(100000).size(), 25);
    // Noise comes out even from a silent meter, but the meter still says nothing itself.
    r.meter.silence(-1);
    r.meter.injectNoise(3);
    r.send('K');
    QCOMPARE(r.collectBytes(100000).size(), 3);
}

void TestSimMeter::silenceFault()
{
    Rig r;
    r.meter.silence(500);
    r.send('K');
    r.send('a');
    QCOMPARE(r.collectBytes(400000), QByteArray());
    r.jumpTo(500000);
    r.send('K');
    QCOMPARE(r.collectBytes(100000), QByteArray("K390"));

    // A silence that cancels a frame already due; then one until resumed.
    r.send('a');
    r.jumpTo(r.now() + 9000); // the 'a' is in, the frame not yet sent
    r.meter.silence(-1);
    QCOMPARE(r.collectBytes(5000000), QByteArray());
    r.send('A');
    QCOMPARE(r.collectBytes(200000), QByteArray());
    r.meter.resume();
    r.send('A');
    QCOMPARE(r.collectBytes(200000).size(), LiveFrame::Size);
}

void TestSimMeter::powerOffAndOn()
{
    Rig r;
    r.send('a');
    // Switched off halfway through the frame: the rest of it never comes.
    r.jumpTo(8 * SimulatedMeter::ByteUs + SimulatedMeter::FrameDelayUs + 10 * SimulatedMeter::ByteUs);
    r.meter.powerOff();
    const QByteArray part = r.collectBytes(1000000);
    QVERIFY(part.size() >= 9 && part.size() <= 11);
    r.send('K');
    r.send('a');
    r.meter.injectNoise(5);
    QCOMPARE(r.collectBytes(1000000), QByteArray());
    QVERIFY(!r.meter.isPoweredOn());

    r.meter.powerOn();
    r.send('K');
    QCOMPARE(r.collectBytes(100000), QByteArray("K390"));
    // Back on, it waits to be asked before it streams.
    QCOMPARE(r.collectBytes(1000000), QByteArray());
    r.send('A');
    QVERIFY(LiveFrame::checksumOk(r.collectBytes(200000).constData()));
}

void TestSimMeter::wireTakesTimePerByte()
{
    Rig r;
    r.jumpTo(1000);
    r.send('F');
    // The last byte of the 8 reaches the meter about 8.3 ms later.
    r.collect(r.now() + 20000);
    QCOMPARE(r.meter.receivedFrames().size(), 1);
    QCOMPARE(r.meter.receivedFrames()[0].us, 1000 + 8 * SimulatedMeter::ByteUs);

    // Two writes in a row are serialised: the second frame waits for the first.
    r.send('X');
    r.send('l');
    r.collect(r.now() + 20000);
    const auto &rx = r.meter.receivedFrames();
    QCOMPARE(rx.size(), 3);
    QCOMPARE(rx[2].us - rx[1].us, 8 * SimulatedMeter::ByteUs);

    // Bytes waiting counts what has arrived by now, not what is still on its way.
    Rig s;
    s.send('F');
    s.jumpTo(8 * SimulatedMeter::ByteUs + SimulatedMeter::EchoDelayUs + 3 * SimulatedMeter::ByteUs + 10);
    QCOMPARE(s.port.bytesWaiting(), 3);
    s.jumpTo(s.now() + 5 * SimulatedMeter::ByteUs);
    QCOMPARE(s.port.bytesWaiting(), 8);

    // The log holds each written byte with the time of its write.
    QCOMPARE(s.port.writtenLog().size(), 8);
    QCOMPARE(s.port.written(), CommandFrames::make('F'));
    QCOMPARE(s.port.writtenLog()[7].us, 0);
}

void TestSimMeter::closeDeliversBytesStillOnTheWire()
{
    Rig r;
    r.send('e');
    r.port.close();
    QCOMPARE(r.meter.receivedFrames().size(), 1);
    QCOMPARE(r.meter.receivedFrames()[0].bytes, CommandFrames::make('e'));
    // What the meter said while nobody listened is gone after the next open.
    r.jumpTo(200000);
    r.port.open();
    QCOMPARE(r.port.bytesWaiting(), 0);

    // Purging the output throws away what had not reached the meter.
    r.send('K');
    r.jumpTo(r.now() + 3 * SimulatedMeter::ByteUs);
    r.port.purgeOutput();
    QCOMPARE(r.collectBytes(200000), QByteArray());
    QCOMPARE(r.meter.receivedFrames().size(), 1);
}

void TestSimMeter::shortReadTimesOutAndKeepsBytes()
{
    Rig r;
    r.meter.injectNoise(QByteArray("abc"));
    r.jumpTo(10000);
    QCOMPARE(r.port.bytesWaiting(), 3);
    try {
        r.port.read(8);
        QFAIL("a short read must time out");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::Timeout));
    }
    QCOMPARE(r.port.read(3), QByteArray("abc"));

    // With an error handler that aborts, the timeout unwinds silently.
    r.port.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    QVERIFY_THROWS_EXCEPTION(SilentAbort, r.port.read(1));
    QCOMPARE(r.port.lastError().message(), QString(PortMessages::Timeout));
}

void TestSimMeter::closedPortOperationsFail()
{
    Rig r;
    r.port.close();
    QVERIFY(!r.port.isOpen());
    try {
        r.port.write(CommandFrames::make('a'));
        QFAIL("write on a closed port must fail");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString("Can't perform this operation on a closed port"));
    }
    QVERIFY_THROWS_EXCEPTION(PortError, r.port.read(1));
    QVERIFY(r.port.writtenLog().isEmpty());

    r.port.open();
    try {
        r.port.setDeviceName("ttyS0");
        QFAIL("renaming an open port must fail");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::OpenPort));
    }
    QCOMPARE(r.port.deviceName(), QString("/dev/ttyUSB0"));
}

void TestSimMeter::unknownDeniedAndBusyDevices()
{
    VirtualClock clock;
    SimulatedMeter meter(kStart);
    SimPort port(clock);
    port.addDevice("/dev/ttyUSB0", &meter);
    port.denyDevice("ttyS0");

    port.setDeviceName("/dev/ttyUSB7");
    try {
        port.open();
        QFAIL("opening a missing device must fail");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), ENOENT);
    }
    QVERIFY(!port.isOpen());

    port.setDeviceName("/dev/ttyS0");
    try {
        port.open();
        QFAIL("opening a denied device must fail");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), EACCES);
    }
    QVERIFY(!port.isOpen());

    port.setDeviceName("ttyUSB0"); // a bare name finds the device as well
    port.open();
    QVERIFY(port.isOpen());
    QCOMPARE(port.meter(), &meter);

    // A second port on the same meter finds it in use until the first lets go.
    SimPort other(clock);
    other.addDevice("ttyUSB0", &meter);
    other.setDeviceName("ttyUSB0");
    try {
        other.open();
        QFAIL("a device is opened exclusively");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), EBUSY);
    }
    port.close();
    other.open();
    QVERIFY(other.isOpen());
}

void TestSimMeter::silentDeviceTakesWritesAndNeverAnswers()
{
    VirtualClock clock;
    SimPort port(clock);
    port.addDevice("ttyS1", nullptr);
    port.setDeviceName("ttyS1");
    port.open();
    clock.advanceMs(3);
    port.write(CommandFrames::make('K'));
    clock.advanceMs(1000);
    QCOMPARE(port.bytesWaiting(), 0);
    QCOMPARE(port.nextEventUs(), SimulatedMeter::Never);
    QCOMPARE(port.written(), CommandFrames::make('K'));
    QCOMPARE(port.writtenLog()[0].us, 3000);
}

void TestSimMeter::deliverCallsAttachedHandlerOnly()
{
    Rig r;
    int calls = 0;
    QVERIFY(!r.port.deliver()); // nothing attached, nothing waiting
    r.port.setRxHandler([&] {
        ++calls;
        r.port.read(r.port.bytesWaiting());
    });
    QVERIFY(!r.port.deliver());
    r.meter.injectNoise(300);
    r.jumpTo(400000);
    QVERIFY(r.port.deliver());
    QCOMPARE(calls, 1); // one call for all that was waiting
    QVERIFY(!r.port.deliver());

    r.port.setRxHandler({});
    r.meter.injectNoise(4);
    r.jumpTo(r.now() + 10000);
    QVERIFY(!r.port.deliver());
    QCOMPARE(calls, 1);
    QCOMPARE(r.port.bytesWaiting(), 4);
}

void TestSimMeter::ptyMeterAnswersOverRealTerminal()
{
    PtyMeter pty(kStart);
    QVERIFY2(pty.start(), qPrintable(pty.errorString()));
    const QByteArray path = pty.slavePath().toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY2(fd >= 0, path.constData());
    termios tio{};
    QCOMPARE(tcgetattr(fd, &tio), 0);
    cfmakeraw(&tio);
    QCOMPARE(tcsetattr(fd, TCSANOW, &tio), 0);

    auto readFor = [fd](int ms, int want) {
        QByteArray got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < want) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) > 0) {
                char buf[64];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, int(n));
            }
        }
        return got;
    };

    const QByteArray a = CommandFrames::make('a');
    QCOMPARE(::write(fd, a.constData(), 8), ssize_t(8));
    const QByteArray frame = readFor(500, LiveFrame::Size);
    QCOMPARE(frame.size(), LiveFrame::Size);
    QCOMPARE(frame[0], LiveFrame::Stx);
    QCOMPARE(frame[18], LiveFrame::Etx);
    QVERIFY(LiveFrame::checksumOk(frame.constData()));

    // Switched off, it answers nothing; on again, it identifies itself.
    pty.powerOff();
    const QByteArray k = CommandFrames::make('K');
    QCOMPARE(::write(fd, k.constData(), 8), ssize_t(8));
    QCOMPARE(readFor(150, 1), QByteArray());
    pty.powerOn();
    QCOMPARE(::write(fd, k.constData(), 8), ssize_t(8));
    QCOMPARE(readFor(500, 4), QByteArray("K390"));

    ::close(fd);
    pty.stop();
    QVERIFY(!pty.isRunning());
}

QTEST_GUILESS_MAIN(TestSimMeter)
#include "test_simmeter.moc"
