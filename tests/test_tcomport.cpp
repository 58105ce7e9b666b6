// The tty port against a bare pseudo-terminal whose master side plays the device.
#include "link/TComPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {
struct Pty {
    int master = -1, slave = -1;
    QString path;
    Pty()
    {
        char name[128];
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
    void send(const QByteArray &b) { QCOMPARE(::write(master, b.constData(), size_t(b.size())), ssize_t(b.size())); }
    QByteArray receive(int n)
    {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (out.size() < n && t.elapsed() < 1000) {
            char buf[256];
            const ssize_t r = ::read(master, buf, sizeof buf);
            if (r > 0)
                out.append(buf, int(r));
            else
                QThread::msleep(2);
        }
        return out;
    }
};
void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}
} // namespace

class TestTComPort : public QObject {
    Q_OBJECT
private slots:
    void binaryBytesPassUnchanged();
    void eventsAreBatchedAndNeverDuringABusyWait();
    void detachedBytesStayForPolling();
    void openAndNameRules();
};

void TestTComPort::binaryBytesPassUnchanged()
{
    Pty pty;
    TComPort port;
    port.setDeviceName(pty.path);
    port.open(); // modem lines fail on a pty; the port stays open
    QVERIFY(port.isOpen());
    ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
    const QByteArray bytes("\x00\x03\x02\x0a\x0d\x11\x13\xff\x7f", 9);
    port.write(bytes);
    QCOMPARE(pty.receive(bytes.size()), bytes);
    pty.send(bytes);
    QTRY_COMPARE(port.bytesWaiting(), bytes.size());
    QCOMPARE(port.read(bytes.size()), bytes);
    // Asking for more than is there: Timeout, not a hang.
    try {
        port.read(1);
        QFAIL("read of a byte that never comes returned");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::Timeout));
    }
}

void TestTComPort::eventsAreBatchedAndNeverDuringABusyWait()
{
    Pty pty;
    TComPort port;
    port.setDeviceName(pty.path);
    port.open();
    int calls = 0;
    QByteArray got;
    port.setRxHandler([&] {
        ++calls;
        got += port.read(port.bytesWaiting());
    });
    pty.send(QByteArray(300, 'x'));
    // Spin without the event loop: no handler call may happen, the bytes wait.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1000) {
    }
    QCOMPARE(calls, 0);
    QCOMPARE(port.bytesWaiting(), 300);
    pump(200);
    QCOMPARE(got.size(), 300);
    QVERIFY(calls >= 1 && calls <= 3);
}

void TestTComPort::detachedBytesStayForPolling()
{
    Pty pty;
    TComPort port;
    port.setDeviceName(pty.path);
    port.open();
    int calls = 0;
    auto handler = [&] {
        ++calls;
        port.read(port.bytesWaiting());
    };
    port.setRxHandler(handler);
    port.setRxHandler({});
    pty.send("abcd");
    pump(100);
    QCOMPARE(calls, 0);
    QCOMPARE(port.bytesWaiting(), 4);
    QCOMPARE(port.read(4), QByteArray("abcd"));
    port.setRxHandler(handler);
    pump(100);
    QCOMPARE(calls, 0);
    pty.send("e");
    pump(100);
    QCOMPARE(calls, 1);
}

void TestTComPort::openAndNameRules()
{
    Pty pty;
    TComPort port;
    port.setDeviceName(pty.path);
    port.open();
    try {
        port.setDeviceName("/dev/null");
        QFAIL("renamed an open port");
    } catch (const PortError &e) {
        QCOMPARE(e.message(), QString(PortMessages::OpenPort));
    }
    QCOMPARE(port.deviceName(), pty.path);

    TComPort second;
    second.setDeviceName(pty.path);
    QVERIFY_THROWS_EXCEPTION(PortError, second.open());
    QVERIFY(!second.isOpen());

    port.close();
    QVERIFY_THROWS_EXCEPTION(PortError, port.write("x"));
    QVERIFY_THROWS_EXCEPTION(PortError, port.bytesWaiting());
    QCOMPARE(port.lastError().message(), QString(PortMessages::ClosedPort));

    TComPort missing;
    missing.setDeviceName("/dev/k352-no-such-device");
    try {
        missing.open();
        QFAIL("opened a missing device");
    } catch (const PortError &e) {
        QCOMPARE(e.code(), ENOENT);
    }
    QVERIFY(!missing.isOpen());
    // The error handler turns the failure into a silent abort.
    missing.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    QVERIFY_THROWS_EXCEPTION(SilentAbort, missing.open());
    QCOMPARE(missing.lastError().code(), ENOENT);
}

QTEST_GUILESS_MAIN(TestTComPort)
#include "test_tcomport.moc"
