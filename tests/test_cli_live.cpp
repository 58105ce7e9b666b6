// The command-line tool's live sampling against the simulated meter on a pseudo-terminal, through
// the real serial port: exactly N samples, times at least the interval apart, an early stop that
// keeps every sample taken so far, and the file written in the graph text format.
#include "app/TDateTime.h"
#include "cli/CliLink.h"
#include "cli/LiveCommand.h"
#include "data/DateTimeText.h"
#include "sim/PtyMeter.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtTest>

class TestCliLive : public QObject {
    Q_OBJECT
private slots:
    void stdoutLineFormat();
    void fileSinkWritesGraphTextLines();
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

void TestCliLive::fileSinkWritesGraphTextLines()
{
    // Under a German and an English locale, tab and comma: exactly the formatter's lines, CR LF.
    const TDateTime t0 = toTDateTime(QDateTime(QDate(2010, 12, 31), QTime(14, 5, 30, 5)));
    const TDateTime t1 = t0 + 1.25 / 86400;
    struct RestoreLocale {
        QLocale saved;
        ~RestoreLocale() { QLocale::setDefault(saved); }
    } restore;
    for (const QLocale &locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        for (const char sep : {'\t', ','}) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            const LiveSink sink = graphTextSink(buffer, sep);
            QVERIFY(sink(t0, 56.7f));
            QVERIFY(sink(t1, 101.0f));
            QByteArray expected;
            GraphLineFormatter f(sep);
            f.append(expected, t0, 56.7f);
            f.append(expected, t1, 101.0f);
            QCOMPARE(buffer.data(), expected);
            const QList<QByteArray> lines = buffer.data().split('\n');
            QCOMPARE(lines.size(), 3);
            QVERIFY(lines[0].endsWith('\r'));
            if (locale.language() == QLocale::English)
                QCOMPARE(lines[0].count(sep), 2);
            // Not the standard output's ISO format.
            QVERIFY(!lines[0].startsWith("2010-12-31"));
            if (locale.language() == QLocale::German && sep == '\t')
                QCOMPARE(lines[0], QByteArray("31.12.2010\t14:05:30.5\t56,7\r"));
        }
        // A device that takes nothing fails the sink.
        QBuffer closed;
        QVERIFY(!graphTextSink(closed, '\t')(t0, 50.0f));
    }
}

void TestCliLive::samplesExactlyNLinesAtTheInterval()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    QVERIFY(cli.connectMeter(meter.slavePath()));

    // Sampled into a graph text file, read back with the program's own text conversions.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    LiveOptions o;
    o.count = 4;
    o.interval = 0.3;
    const int taken = runLiveSampling(cli, o, graphTextSink(file, '\t'), [] { return false; });
    QCOMPARE(taken, 4);
    QList<QByteArray> lines = file.data().split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.takeLast().isEmpty());
    const RegionalFormat rf = RegionalFormat::current();
    std::optional<TDateTime> previous;
    for (const QByteArray &l : lines) {
        QVERIFY2(l.endsWith('\r'), l.constData());
        const QList<QByteArray> fields = l.chopped(1).split('\t');
        QCOMPARE(fields.size(), 3);
        const QByteArray when = fields[0] + ' ' + fields[1];
        const std::optional<TDateTime> t = textToDateTime(std::string_view(when.constData(), size_t(when.size())), rf);
        QVERIFY2(t, when.constData());
        if (previous)
            QVERIFY2((*t - *previous) * 86400.0 >= 0.3 - 0.0005, l.constData());
        previous = t;
        const std::optional<double> level
            = textToNumber(std::string_view(fields[2].constData(), size_t(fields[2].size())), rf);
        QVERIFY(level && *level >= 20 && *level <= 140);
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
    const int taken = runLiveSampling(cli, o, [&](TDateTime t, float level) {
        lines << liveStdoutLine(t, level);
        return true;
    }, [&] { return lines.size() >= 2; });
    QCOMPARE(taken, 2);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression shape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\t\d+\.\d$)");
    for (const QString &l : lines)
        QVERIFY2(shape.match(l).hasMatch(), qPrintable(l));
    // A writer that fails ends the sampling with an error.
    const int failed = runLiveSampling(cli, o, [](TDateTime, float) { return false; }, [] { return false; });
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
