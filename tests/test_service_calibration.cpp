// The calibration frame: the settings' bytes, modulo 256, conversion errors that send nothing, and
// the simulated meter taking the frame without an answer.
#include "logger/Calibration.h"
#include "logger/SetupFrames.h"
#include "sim/SimPort.h"
#include "support/ScriptPort.h"

#include <QtTest>

class TestServiceCalibration : public QObject {
    Q_OBJECT
private slots:
    void frameBytes();
    void conversionErrorsSendNothing();
    void meterTakesTheFrameWithoutAnswer();
};

void TestServiceCalibration::frameBytes()
{
    QCOMPARE(calibrationFrame(11, 1), QByteArray("\x02\x4A\x01\x0B\0\0\0\x03", 8));
    QCOMPARE(calibrationFrame(300, 1)[3], char(0x2C));
    QCOMPARE(calibrationFrame(1, -1)[2], char(0xFF));
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    QCOMPARE(sendCalibration(port, "11", "1"), QString());
    QCOMPARE(sendCalibration(port, " 300 ", "+2"), QString());
    QCOMPARE(port.writes().size(), 2);
    QCOMPARE(port.writes()[0].bytes, QByteArray("\x02\x4A\x01\x0B\0\0\0\x03", 8));
    QCOMPARE(port.writes()[1].bytes, QByteArray("\x02\x4A\x02\x2C\0\0\0\x03", 8));
}

void TestServiceCalibration::conversionErrorsSendNothing()
{
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    // Lo is converted first.
    QCOMPARE(sendCalibration(port, "x", "1.5"), QString("'1.5' is not a valid integer value"));
    QCOMPARE(sendCalibration(port, "", "3"), QString("'' is not a valid integer value"));
    QCOMPARE(sendCalibration(port, "99999999999", "3"), QString("'99999999999' is not a valid integer value"));
    QVERIFY(port.writes().isEmpty());
    QVERIFY(!parseWholeNumber("+-5"));
    QCOMPARE(parseWholeNumber("-5"), std::optional<int>(-5));
}

void TestServiceCalibration::meterTakesTheFrameWithoutAnswer()
{
    VirtualClock clock;
    SimulatedMeter meter(QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)));
    SimPort port(clock);
    port.addDevice("ttyUSB0", &meter);
    port.setDeviceName("ttyUSB0");
    port.open();
    QCOMPARE(sendCalibration(port, "11", "1"), QString());
    clock.advanceMs(100);
    QCOMPARE(port.bytesWaiting(), 0);
    QCOMPARE(meter.calibrations().size(), 1);
    QCOMPARE(meter.calibrations()[0].hi, quint8(11));
    QCOMPARE(meter.calibrations()[0].lo, quint8(1));
}

QTEST_GUILESS_MAIN(TestServiceCalibration)
#include "test_service_calibration.moc"
