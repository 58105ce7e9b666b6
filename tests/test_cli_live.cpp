// The command-line tool's live sampling against the simulated meter on a pseudo-terminal, through
// the real serial port: exactly N lines, times at least the interval apart, and an early stop that
// keeps every line taken so far.
#include "app/TDateTime.h"
#include "cli/CliLink.h"
#include "cli/LiveCommand.h"
#include "sim/PtyMeter.h"

#include <QRegularExpression>
#include <QtTest>

class TestCliLive : public QObject {
    Q_OBJECT
private slots:
    void stdoutLineFormat();
    void samplesExactlyNLinesAtTheInterval();
    void earlyStopKeepsWhatWasTaken();
    void noMeterOnAMissingPort();
};

void TestCliLive::stdoutLineFormat()
{
    const TDateTime t = toTDateTime(QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 250)));
    QCOMPARE(liveStdoutLine(t, 54.44f), QString("2026-12-09 14:03:07.250\t54.4"));
    QCOMPARE(liveStdoutLine(t, 100.0f), QString("2026-12-09 14:03:07.250\t100.0"));
}

void TestCliLive::samplesExactlyNLinesAtTheInterval()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    QVERIFY(cli.connectMeter(meter.slavePath()));

    QStringList lines;
    LiveOptions o;
    o.count = 4;
    o.interval = 0.3;
    const int taken = runLiveSampling(cli, o, [&](const QString &l) { lines << l; return true; }, [] { return false; });
    QCOMPARE(taken, 4);
    QCOMPARE(lines.size(), 4);
    const QRegularExpression shape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\t\d+\.\d$)");
    QDateTime previous;
    for (const QString &l : lines) {
        QVERIFY2(shape.match(l).hasMatch(), qPrintable(l));
        const QDateTime t = QDateTime::fromString(l.section('\t', 0, 0), "yyyy-MM-dd HH:mm:ss.zzz");
        QVERIFY(t.isValid());
        if (previous.isValid())
            QVERIFY2(previous.msecsTo(t) >= 300, qPrintable(l));
        previous = t;
        const double level = l.section('\t', 1).toDouble();
        QVERIFY(level >= 20 && level <= 140);
    }
    cli.disconnect();
    meter.stop();
}

void TestCliLive::earlyStopKeepsWhatWasTaken()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    QVERIFY(cli.connectMeter(meter.slavePath()));
    QStringList lines;
    LiveOptions o;
    o.count = 1000;
    o.interval = 0;
    const int taken = runLiveSampling(cli, o, [&](const QString &l) { lines << l; return true; },
                                      [&] { return lines.size() >= 2; });
    QCOMPARE(taken, 2);
    QCOMPARE(lines.size(), 2);
    // A writer that fails ends the sampling with an error.
    const int failed = runLiveSampling(cli, o, [](const QString &) { return false; }, [] { return false; });
    QCOMPARE(failed, -1);
    meter.stop();
}

void TestCliLive::noMeterOnAMissingPort()
{
    CliLink cli;
    QVERIFY(!cli.connectMeter("/dev/k352-no-such-port", 500));
}

QTEST_GUILESS_MAIN(TestCliLive)
#include "test_cli_live.moc"
