// The tty port against a pseudo-terminal whose master side plays the meter, and the port list.
#include "link/PortList.h"
#include "link/TComPort.h"
#include "link/WireLog.h"

#include <QEventLoop>
#include <QSerialPortInfo>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <time.h>
#include <unistd.h>

namespace {
// The meter's end of a fresh pseudo-terminal; slavePath is what the port opens.
struct Meter {
    int master = -1;
    QString slavePath;

    Meter()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slavePath = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Meter() { hangUp(); }
    void hangUp()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    bool send(const QByteArray &b) { return ::write(master, b.constData(), size_t(b.size())) == b.size(); }
    // Whatever the port sent, collected for up to a second until n bytes are there.
    QByteArray receive(int n)
    {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (out.size() < n && t.elapsed() < 1000) {
            char buf[512];
            const ssize_t r = ::read(master, buf, sizeof buf);
            if (r > 0)
                out.append(buf, int(r));
            else
                QThread::msleep(1);
        }
        return out;
    }
};

// Runs the event loop (sleeping while idle) for ms milliseconds.
void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Spins without running the event loop, as a busy wait does.
void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
    }
}

qint64 cpuMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The tty's exclusive-use flag, read through a descriptor of our own (root may open it anyway).
int exclusiveFlag(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -errno;
    int flag = -1;
    if (::ioctl(fd, TIOCGEXCL, &flag) != 0)
        flag = -1000;
    ::close(fd);
    return flag;
}

QByteArray allByteValues()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}
} // namespace

class TestComPort : public QObject {
    Q_OBJECT
private slots:
    void bytesPassUnchangedBothWays();
    void readOfMissingBytesTimesOut();
    void noDeliveryDuringABusyWait();
    void oneCallSeesManyBytes();
    void callsNeverOverlap();
    void detachedBytesStayForPolling();
    void handlerThatDoesNotReadDoesNotSpin();
    void handlerExceptionsAreForwardedAndDeliveryGoesOn();
    void deviceNameOnlyWhileClosed();
    void openFailuresLeaveThePortClosed();
    void openIsExclusive();
    void closedPortRefusesOperations();
    void meterGoneWhileDelivering();
    void meterGoneDuringABusyWait();
    void portList();
    void wireLogShowsFramesAsHex();
};

void TestComPort::bytesPassUnchangedBothWays()
{
    Meter meter;
    TComPort port;
    QVERIFY(port.modemLines());
    port.setDeviceName(meter.slavePath);
    port.open(); // the modem-line ioctls fail on a pty; the port must stay open all the same
    QVERIFY(port.isOpen());

    // 0x00, 0x03 (interrupt), 0x11/0x13 (XON/XOFF), CR/LF, 0x04 (EOF), 0x7f (erase), 0xff.
    const QByteArray controls("\x00\x03\x11\x13\x0d\x0a\x04\x7f\xff\x1c\x15", 11);
    port.write(controls);
    QCOMPARE(meter.receive(controls.size()), controls);
    QVERIFY(meter.send(controls));
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), controls.size(), 1000);
    QCOMPARE(port.read(controls.size()), controls);

    const QByteArray all = allByteValues();
    port.write(all);
    QCOMPARE(meter.receive(all.size()), all);
    QVERIFY(meter.send(all));
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), all.size(), 1000);
    QCOMPARE(port.read(all.size()), all);
    QCOMPARE(port.bytesWaiting(), 0);

    // Purging drops what came in and has not been read.
    QVERIFY(meter.send("stale"));
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), 5, 1000);
    port.purgeInput();
    port.purgeOutput();
    QCOMPARE(port.bytesWaiting(), 0);
}

void TestComPort::readOfMissingBytesTimesOut()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    QVERIFY(meter.send("ab"));
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), 2, 1000);
    QElapsedTimer t;
    t.start();
    try {
        port.read(3);
        QFAIL("a read of bytes that never come returned");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::Timeout));
    }
    QVERIFY2(t.elapsed() < 500, "a short read must give up quickly");
    QVERIFY(port.isOpen());

    // With an error handler that aborts, the same failure unwinds silently.
    int errors = 0;
    port.setErrorHandler([&](const PortError &) {
        ++errors;
        return SerialPort::ErrorAction::Abort;
    });
    QVERIFY_THROWS_EXCEPTION(SilentAbort, port.read(1));
    QCOMPARE(errors, 1);
    QCOMPARE(port.lastError().message(), QString(PortMessages::Timeout));
}

void TestComPort::noDeliveryDuringABusyWait()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int calls = 0;
    QByteArray got;
    port.setRxHandler([&] {
        ++calls;
        got += port.read(port.bytesWaiting());
    });
    QVERIFY(meter.send(QByteArray(300, 'x')));
    spin(1000);
    QCOMPARE(calls, 0);
    // The bytes arrived while no event loop ran: the system's queue holds them.
    QCOMPARE(port.bytesWaiting(), 300);
    pump(100);
    QCOMPARE(got, QByteArray(300, 'x'));
    QCOMPARE(calls, 1);
}

void TestComPort::oneCallSeesManyBytes()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int calls = 0;
    QByteArray got;
    port.setRxHandler([&] {
        ++calls;
        got += port.read(port.bytesWaiting());
    });
    pump(20);
    QVERIFY(meter.send(QByteArray(300, '\x00')));
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 300, 1000);
    QVERIFY2(calls >= 1 && calls <= 5, qPrintable(QString::number(calls)));
}

void TestComPort::callsNeverOverlap()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int depth = 0, maxDepth = 0, calls = 0;
    QByteArray got;
    port.setRxHandler([&] {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        got += port.read(port.bytesWaiting());
        if (calls == 1) {
            // Bytes that arrive while the handler runs an event loop of its own.
            QVERIFY(meter.send("more"));
            pump(100);
        }
        --depth;
    });
    QVERIFY(meter.send("first"));
    QTRY_COMPARE_WITH_TIMEOUT(got, QByteArray("firstmore"), 1000);
    QCOMPARE(maxDepth, 1);
    QCOMPARE(calls, 2);
}

void TestComPort::detachedBytesStayForPolling()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int calls = 0;
    QByteArray got;
    const auto handler = [&] {
        ++calls;
        got += port.read(port.bytesWaiting());
    };
    port.setRxHandler(handler);
    QVERIFY(port.rxHandler());
    port.setRxHandler({});
    QVERIFY(!port.rxHandler());

    QVERIFY(meter.send("abcd"));
    QElapsedTimer t;
    t.start();
    while (port.bytesWaiting() < 4 && t.elapsed() < 1000)
        pump(1);
    QCOMPARE(calls, 0);
    QCOMPARE(port.read(4), QByteArray("abcd"));
    port.setRxHandler(handler);
    pump(100);
    QCOMPARE(calls, 0); // those bytes were read while detached

    // Bytes left waiting while detached are delivered soon after re-attaching.
    port.setRxHandler({});
    QVERIFY(meter.send("ef"));
    pump(50);
    QCOMPARE(calls, 0);
    port.setRxHandler(handler);
    QTRY_COMPARE_WITH_TIMEOUT(got, QByteArray("ef"), 1000);
    QCOMPARE(calls, 1);
}

void TestComPort::handlerThatDoesNotReadDoesNotSpin()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int calls = 0;
    port.setRxHandler([&] { ++calls; });
    QVERIFY(meter.send("xyz"));
    pump(200);
    // Called again while the bytes sit there, but not in a tight loop.
    QVERIFY2(calls >= 1 && calls <= 40, qPrintable(QString::number(calls)));
    QCOMPARE(port.bytesWaiting(), 3);
}

void TestComPort::handlerExceptionsAreForwardedAndDeliveryGoesOn()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    QStringList sunk;
    port.setExceptionSink([&](const QString &text) { sunk << text; });
    int calls = 0;
    port.setRxHandler([&] {
        ++calls;
        port.read(port.bytesWaiting());
        if (calls == 1)
            throw std::runtime_error("handler broke");
        if (calls == 2)
            throw SilentAbort();
    });
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(meter.send("x"));
        QTRY_COMPARE_WITH_TIMEOUT(calls, i, 1000);
    }
    QCOMPARE(sunk, QStringList{"handler broke"});
    QVERIFY(port.isOpen());
}

void TestComPort::deviceNameOnlyWhileClosed()
{
    Meter meter;
    TComPort port;
    QCOMPARE(port.deviceName(), QString("COM1"));
    port.setDeviceName(meter.slavePath);
    port.open();
    QStringList errors;
    port.setErrorHandler([&](const PortError &e) {
        errors << e.message();
        return SerialPort::ErrorAction::Raise;
    });
    try {
        port.setDeviceName("/dev/null");
        QFAIL("renamed an open port");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::OpenPort));
    }
    QCOMPARE(errors, QStringList{PortMessages::OpenPort});
    QCOMPARE(port.deviceName(), meter.slavePath);
    port.setDeviceName(meter.slavePath); // the same name again is no change
    port.open();                         // opening an open port does nothing
    QVERIFY(port.isOpen());
    QCOMPARE(errors.size(), 1);
    port.close();
    port.close();
    port.setDeviceName("ttyS99");
    QCOMPARE(port.deviceName(), QString("ttyS99"));
}

void TestComPort::openFailuresLeaveThePortClosed()
{
    TComPort missing;
    missing.setDeviceName("/dev/k352-no-such-device");
    try {
        missing.open();
        QFAIL("opened a missing device");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), ENOENT);
        QVERIFY(e.message().contains("/dev/k352-no-such-device"));
    }
    QVERIFY(!missing.isOpen());
    missing.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    QVERIFY_THROWS_EXCEPTION(SilentAbort, missing.open());
    QCOMPARE(missing.lastError().code(), ENOENT);
    QVERIFY(!missing.isOpen());

    // A bare name is looked for under /dev, not in the working directory.
    TComPort bare;
    QVERIFY_THROWS_EXCEPTION(PortError, bare.open()); // "COM1"
    QVERIFY(!bare.isOpen());

    // Something that opens but is no serial device: configuring fails, nothing stays open.
    TComPort notATty;
    notATty.setDeviceName("/dev/null");
    try {
        notATty.open();
        QFAIL("configured /dev/null as a serial port");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), ENOTTY);
    }
    QVERIFY(!notATty.isOpen());
}

void TestComPort::openIsExclusive()
{
    Meter meter;
    TComPort first, second;
    first.setDeviceName(meter.slavePath);
    second.setDeviceName(meter.slavePath);
    first.open();
    try {
        second.open();
        QFAIL("opened a device that is in use");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), EBUSY);
    }
    QVERIFY(!second.isOpen());
    QVERIFY(first.isOpen());
    // Other programs are kept out by the tty's exclusive flag, which must not outlive the port:
    // a pty keeps its flags while the master lives.
    QCOMPARE(exclusiveFlag(meter.slavePath), 1);
    // Once the first lets go, the device is free again.
    first.close();
    QCOMPARE(exclusiveFlag(meter.slavePath), 0);
    second.open();
    QVERIFY(second.isOpen());
    second.write("ok");
    QCOMPARE(meter.receive(2), QByteArray("ok"));
}

void TestComPort::closedPortRefusesOperations()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    port.close();
    QVERIFY(!port.isOpen());
    const auto refuses = [&](const std::function<void()> &op) {
        try {
            op();
        } catch (const PortError &e) {
            return e.message() == QString(PortMessages::ClosedPort);
        }
        return false;
    };
    QVERIFY(refuses([&] { port.write("x"); }));
    QVERIFY(refuses([&] { port.read(1); }));
    QVERIFY(refuses([&] { port.bytesWaiting(); }));
    QVERIFY(refuses([&] { port.purgeInput(); }));
    QVERIFY(refuses([&] { port.purgeOutput(); }));
}

void TestComPort::meterGoneWhileDelivering()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    int calls = 0, reports = 0;
    port.setRxHandler([&] {
        ++calls;
        port.read(port.bytesWaiting());
    });
    port.setErrorHandler([&](const PortError &) {
        ++reports;
        return SerialPort::ErrorAction::Abort;
    });
    pump(20);
    meter.hangUp();
    const qint64 cpu0 = cpuMs();
    pump(500);
    const qint64 cpu = cpuMs() - cpu0;
    QVERIFY(!port.isOpen());
    QCOMPARE(reports, 1);
    QCOMPARE(port.lastError().code(), EIO);
    QCOMPARE(calls, 0);
    QVERIFY2(cpu < 200, qPrintable(QStringLiteral("%1 ms of CPU in 500 ms").arg(cpu)));
    // The port can be opened again once a device is there.
    Meter other;
    port.setDeviceName(other.slavePath);
    port.open();
    QVERIFY(other.send("z"));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 1000);
}

void TestComPort::meterGoneDuringABusyWait()
{
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    QList<int> codes;
    port.setErrorHandler([&](const PortError &e) {
        codes << e.code();
        return SerialPort::ErrorAction::Abort;
    });
    meter.hangUp();
    // The poll of a busy wait finds out: the port closes and the command unwinds.
    QVERIFY_THROWS_EXCEPTION(SilentAbort, port.bytesWaiting());
    QVERIFY(!port.isOpen());
    QCOMPARE(codes, QList<int>{EIO});
    QVERIFY_THROWS_EXCEPTION(SilentAbort, port.bytesWaiting());
    QCOMPARE(port.lastError().message(), QString(PortMessages::ClosedPort));
}

void TestComPort::portList()
{
    QCOMPARE(devicePathFor("ttyUSB0"), QString("/dev/ttyUSB0"));
    QCOMPARE(devicePathFor("/dev/pts/7"), QString("/dev/pts/7"));

    const QStringList system = listPorts();
    QCOMPARE(system.size(), QSerialPortInfo::availablePorts().size());
    QStringList extras{"/dev/pts/91", "/dev/pts/90", "/dev/pts/91", ""};
    if (!system.isEmpty())
        extras << devicePathFor(system.first()); // a system port given as a path counts once
    const QStringList ports = listPorts(extras);
    QCOMPARE(ports.mid(0, 2), (QStringList{"/dev/pts/91", "/dev/pts/90"}));
    QStringList paths;
    for (const QString &p : ports)
        paths << devicePathFor(p);
    paths.removeDuplicates();
    QCOMPARE(paths.size(), ports.size());
    QCOMPARE(ports.size(), 2 + system.size());

    PortList list;
    list.entries = {"a", "b", "c", "d"};
    list.select(2);
    list.removeAt(0);
    QCOMPARE(list.text(), QString("c"));
    list.removeAt(3); // out of range: nothing
    QCOMPARE(list.entries.size(), 3);
    list.removeAt(1);
    QCOMPARE(list.selected, -1);
    QCOMPARE(list.entries, (QStringList{"b", "d"}));

    QVERIFY(isPermissionError(PortError("Can't open /dev/ttyUSB0: Permission denied", EACCES)));
    QVERIFY(isPermissionError(PortError("x", EPERM)));
    QVERIFY(!isPermissionError(PortError("x", ENOENT)));
}

void TestComPort::wireLogShowsFramesAsHex()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wire.log"));
    Meter meter;
    TComPort port;
    port.setDeviceName(meter.slavePath);
    port.open();
    port.write(QByteArray("\x02K\0\0\0\0\0\x03", 8)); // before the log: not in it
    QVERIFY(startWireLogFile(path));
    port.write(QByteArray("\x02\x61\0\0\0\0\0\x03", 8));
    QVERIFY(meter.send(QByteArray("\x02\xff\x03", 3)));
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), 3, 1000);
    port.read(3);
    QLoggingCategory::setFilterRules(QStringLiteral("k352.wire.debug=false"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    QVERIFY(lines[0].contains(stamp));
    QVERIFY(lines[0].endsWith(QStringLiteral("out ") + meter.slavePath + QStringLiteral(": 02 61 00 00 00 00 00 03")));
    QVERIFY(lines[1].endsWith(QStringLiteral("in  ") + meter.slavePath + QStringLiteral(": 02 FF 03")));
}

QTEST_GUILESS_MAIN(TestComPort)
#include "test_comport.moc"
