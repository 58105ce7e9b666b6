// End to end: the real tty port against the simulated meter on a pseudo-terminal, in real time:
// search, connection, acknowledged live frames, loss when the meter falls silent, recovery.
#include "link/MeterLink.h"
#include "link/TComPort.h"
#include "sim/PtyMeter.h"
#include "support/RecordingView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtTest>

namespace {
// Runs the event loop until the condition holds or the time is up.
bool runUntil(const std::function<bool()> &cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return cond();
}
} // namespace

class TestE2EPty : public QObject {
    Q_OBJECT
private slots:
    void searchStreamLossAndRecovery();
    void portThatDisappearsIsClosedCleanly();
};

void TestE2EPty::searchStreamLossAndRecovery()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));

    LinkState state;
    TComPort port;
    port.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    SystemClock clock;
    RecordingView view{state};
    MeterLink *linkPtr = nullptr;
    QtTimer timer(100, [&] { linkPtr->MainTimerTimer(); });
    MeterLink link(state, port, clock, timer, view, [] { QCoreApplication::processEvents(); });
    linkPtr = &link;
    int frames = 0;
    link.onFrame = [&](const QByteArray &f) {
        QCOMPARE(f.size(), 19);
        ++frames;
    };
    // An absent device first: it is dropped from the list, the pty is found.
    link.ports().entries = {"/dev/k352-no-such-port", meter.slavePath()};
    link.StartupConnection();
    QVERIFY(state.Connected);
    QCOMPARE(link.ports().entries, QStringList{meter.slavePath()});
    QCOMPARE(view.statusPort, meter.slavePath());
    QCOMPARE(view.statusState, QString("Verbindung On"));
    QVERIFY(port.isOpen());

    QVERIFY2(runUntil([&] { return frames >= 20; }, 6000), qPrintable(QString::number(frames)));
    QCOMPARE(link.checksumFailures(), 0u);
    QVERIFY(link.decodedFrames() >= 20);

    meter.silence(-1);
    QVERIFY(runUntil([&] { return !state.Connected; }, 6000));
    QCOMPARE(view.statusState, QString("Keine Verbindung"));
    QVERIFY(!view.enabled[Control::btnRun]);

    meter.resume();
    QVERIFY(runUntil([&] { return state.Connected; }, 6000));
    QCOMPARE(view.statusState, QString("On Connection"));
    const int before = frames;
    QVERIFY(runUntil([&] { return frames >= before + 5; }, 3000));
    meter.stop();
}

void TestE2EPty::portThatDisappearsIsClosedCleanly()
{
    auto meter = std::make_unique<PtyMeter>();
    QVERIFY(meter->start());
    TComPort port;
    int reports = 0;
    port.setErrorHandler([&](const PortError &) {
        ++reports;
        return SerialPort::ErrorAction::Abort;
    });
    port.setDeviceName(meter->slavePath());
    port.open();
    int calls = 0;
    port.setRxHandler([&] {
        ++calls;
        port.read(port.bytesWaiting());
    });
    meter.reset(); // the terminal goes away while the port is open
    QVERIFY(runUntil([&] { return !port.isOpen(); }, 2000));
    // No flood of errors or handler calls afterwards.
    const int reportsNow = reports, callsNow = calls;
    runUntil([] { return false; }, 300);
    QVERIFY(reportsNow <= 1);
    QCOMPARE(reports, reportsNow);
    QCOMPARE(calls, callsNow);
}

QTEST_GUILESS_MAIN(TestE2EPty)
#include "test_e2e_pty.moc"
