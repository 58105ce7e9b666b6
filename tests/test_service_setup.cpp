// The logger set-up window's clock, interval and erase operations and the main menu's erase,
// against the simulated meter: the frames on Comm2, the messages, the meter's state afterwards,
// and the device handed between Comm1 and Comm2 without both ever being open.
#include "link/MeterLink.h"
#include "logger/SetupFrames.h"
#include "support/RecordingView.h"
#include "support/SetupRig.h"

#include <QtTest>

namespace {
const QByteArray Begin("\x02\x63\0\0\0\0\0\x03", 8);
const QByteArray Boot("\x02" "boot\0\0\x03", 8);
}

class TestServiceSetup : public QObject {
    Q_OBJECT
private slots:
    void clockFrameAndMessage();
    void settingTheClockReachesTheMeter();
    void intervalInputRules();
    void intervalReachesTheMeterHeader();
    void eraseFromTheWindowDoesNotAsk();
    void eraseFromTheMenuRefusesAndAsks();
    void noDeviceForComm2FailsAfterThreeAttempts();
    void missingEchoFails();
};

void TestServiceSetup::clockFrameAndMessage()
{
    const QByteArray f = clockFrame(QDateTime(QDate(2020, 3, 5), QTime(14, 7, 9)));
    QCOMPARE(f, QByteArray("\x02\x20\x03\x05\x14\x07\x09\x03", 8));
    QCOMPARE(clockSetMessage(f), QString("Meter time updated successfully \nToday is Day 05 of Month 03 of Year 2020\n"
                                         "The time is Second09 of Minute 07 of Hour 14"));
    QCOMPARE(clockFrame(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))),
             QByteArray("\x02\x99\x12\x31\x23\x59\x59\x03", 8));
}

void TestServiceSetup::settingTheClockReachesTheMeter()
{
    // The computer's clock reads 14:07:04; taking the port costs a little over 5 s.
    SetupRig r(QDateTime(QDate(2020, 3, 5), QTime(14, 7, 4)));
    QVERIFY(r.setup.Button1Click());
    const QList<QByteArray> f = SetupRig::frames(r.port2);
    QCOMPARE(f.size(), 3);
    QCOMPARE(f[0], Begin);
    QCOMPARE(f[1], QByteArray("\x02rtc\0\0\0\x03", 8));
    QCOMPARE(f[2], QByteArray("\x02\x20\x03\x05\x14\x07\x09\x03", 8));
    QCOMPARE(r.ui.messages, QStringList{clockSetMessage(f[2])});
    QVERIFY(r.handedBack());
    QVERIFY(!r.ui.busy);
    // The meter now runs on that clock: its live frames show it.
    r.clock.advanceMs(300);
    r.port1.sync();
    const QDateTime meterNow = r.meter.clockAt(r.meter.nowUs());
    QCOMPARE(meterNow.date(), QDate(2020, 3, 5));
    QVERIFY(qAbs(meterNow.time().secsTo(QTime(14, 7, 9))) <= 1);
    const auto sent = r.meter.sentFrames();
    QVERIFY(!sent.isEmpty());
    QCOMPARE(quint8(sent.last().bytes[14]), quint8(0x20));
    QCOMPARE(quint8(sent.last().bytes[15]), quint8(0x03));
    QCOMPARE(quint8(sent.last().bytes[16]), quint8(0x05));
}

void TestServiceSetup::intervalInputRules()
{
    QCOMPARE(parseInterval("01", "60")->minutes, quint8(0x01));
    QCOMPARE(parseInterval("01", "60")->seconds, quint8(0x60));
    QCOMPARE(parseInterval("0", "5")->seconds, quint8(0x05));
    QCOMPARE(intervalFrame(*parseInterval("01", "60")), QByteArray("\x02int\x01\x60\0\x03", 8));
    for (const auto &[m, s] : QList<QPair<QString, QString>>{{"00", "00"}, {"02", "00"}, {"00", "61"}, {"", "05"},
                                                             {"0x", "05"}, {"-1", "05"}, {"00", "123"}}) {
        QVERIFY2(!parseInterval(m, s), qPrintable(m + ":" + s));
        SetupRig r;
        r.ui.minutes = m;
        r.ui.seconds = s;
        QVERIFY(!r.setup.Button2Click());
        QCOMPARE(r.ui.messages, QStringList{"Invalid Input"});
        // Nothing sent, the ports untouched.
        QVERIFY(r.port1.written().isEmpty());
        QVERIFY(r.port2.written().isEmpty());
        QCOMPARE(r.watch.events, QStringList{"open Comm1"});
        QVERIFY(r.timer.isEnabled());
    }
}

void TestServiceSetup::intervalReachesTheMeterHeader()
{
    SetupRig r;
    r.ui.minutes = "01";
    r.ui.seconds = "60";
    QVERIFY(r.setup.Button2Click());
    const QList<QByteArray> f = SetupRig::frames(r.port2);
    QCOMPARE(f, (QList<QByteArray>{Begin, QByteArray("\x02int\x01\x60\0\x03", 8), Boot}));
    QCOMPARE(r.ui.messages, QStringList{"Recording Interval Setup Successfully"});
    QCOMPARE(r.meter.loggerMemory().at(14), quint8(0x01));
    QCOMPARE(r.meter.loggerMemory().at(15), quint8(0x60));
    QCOMPARE(r.meter.boots(), 1);
    QVERIFY(r.handedBack());
    // The meter keeps it when its memory is rewritten.
    r.meter.loggerMemory().erase();
    QCOMPARE(r.meter.loggerMemory().at(15), quint8(0x60));
}

void TestServiceSetup::eraseFromTheWindowDoesNotAsk()
{
    SetupRig r;
    QVERIFY(r.meter.loggerMemory().setCountField() > 0);
    const qint64 t0 = r.clock.elapsedUs();
    QVERIFY(r.setup.Button3Click());
    QCOMPARE(SetupRig::frames(r.port2), (QList<QByteArray>{Begin, QByteArray("\x02" "erase\0\x03", 8), Boot}));
    QCOMPARE(r.ui.messages, QStringList{"Memory erased successfully"});
    QCOMPARE(r.meter.loggerMemory().setCountField(), 0);
    QCOMPARE(r.meter.loggerMemory().endPointer(), 1023);
    QVERIFY(r.clock.elapsedUs() - t0 >= 7'500'000);
    QVERIFY(r.handedBack());
}

void TestServiceSetup::eraseFromTheMenuRefusesAndAsks()
{
    VirtualClock clock;
    SimulatedMeter meter(QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)));
    SimPort port(clock);
    port.addDevice("ttyUSB0", &meter);
    port.setDeviceName("ttyUSB0");
    port.open();
    LinkState state;
    ManualTimer timer(1000);
    RecordingView view{state};
    MeterLink link(state, port, clock, timer, view, {});
    QStringList messages, questions;
    bool answer = false;
    auto message = [&](const QString &t) { messages << t; };
    auto ask = [&](const QString &t) {
        questions << t;
        return answer;
    };

    state.MeterRecording = true;
    QCOMPARE(eraseMemoryFromMenu(state, link, message, ask), MenuErase::Refused);
    QCOMPARE(messages, QStringList{QString::fromUtf8(
                           "Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten löschen.")});
    QVERIFY(questions.isEmpty());
    QVERIFY(port.written().isEmpty());

    state.MeterRecording = false;
    QCOMPARE(eraseMemoryFromMenu(state, link, message, ask), MenuErase::Declined);
    QCOMPARE(questions, QStringList{QString::fromUtf8("Möchten Sie sicher die Daten löschen ?")});
    QVERIFY(port.written().isEmpty());

    answer = true;
    QCOMPARE(eraseMemoryFromMenu(state, link, message, ask), MenuErase::Echoed);
    QVERIFY(port.written().startsWith(QByteArray("\x02\x65\0\0\0\0\0\x03", 8)));
    QCOMPARE(meter.loggerMemory().setCountField(), 0);
    QCOMPARE(messages.size(), 1);
    // A meter that does not echo: the outcome says so.
    meter.silence(-1);
    QCOMPARE(eraseMemoryFromMenu(state, link, message, ask), MenuErase::NotEchoed);
}

void TestServiceSetup::noDeviceForComm2FailsAfterThreeAttempts()
{
    SetupRig r(QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)), false);
    const qint64 t0 = r.clock.elapsedUs();
    QVERIFY(!r.setup.Button1Click());
    QCOMPARE(r.ui.messages, QStringList{"Meter time updated fail"});
    QVERIFY(r.clock.elapsedUs() - t0 >= 15'000'000);
    QVERIFY(r.port2.written().isEmpty());
    QVERIFY(r.handedBack());
    r.ui.messages.clear();
    QVERIFY(!r.setup.Button3Click());
    QCOMPARE(r.ui.messages, QStringList{"Memory erased fail"});
    QVERIFY(r.handedBack());
}

void TestServiceSetup::missingEchoFails()
{
    SetupRig r;
    r.meter.silence(-1);
    const qint64 t0 = r.clock.elapsedUs();
    QVERIFY(!r.setup.Button2Click());
    QCOMPARE(r.ui.messages, QStringList{"Recording Interval Setup Fail"});
    // Three attempts of 2.5 s each, no "boot".
    QVERIFY(r.clock.elapsedUs() - t0 >= 5'000'000 + 7'500'000);
    const QList<QByteArray> f = SetupRig::frames(r.port2);
    QCOMPARE(f.size(), 4);
    QVERIFY(!f.contains(Boot));
    QVERIFY(r.handedBack());
}

QTEST_GUILESS_MAIN(TestServiceSetup)
#include "test_service_setup.moc"
