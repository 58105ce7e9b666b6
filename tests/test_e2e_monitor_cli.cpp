// End to end: `k352-cli monitor` on the simulated meter behind a symbolic link, through the real
// serial port. A loud spell raises warning and alarm (and runs the --on-event command); the adapter
// is pulled and plugged back; the meter is switched off and on (lost, resumed, no samples made up
// for the gap), while the event command fails once and hangs once; then the monitor is killed with SIGKILL and started again on the same folder,
// where the period it died in continues and every period keeps exactly one row.
#include "monitor/Sample.h"
#include "sim/LevelCommands.h"
#include "sim/PtyMeter.h"
#include "support/CliProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

namespace {

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

qint64 stampMs(const QByteArray &text)
{
    const auto s = MonitorText::parseStamp(std::string_view(text.constData(), size_t(text.size())));
    return s ? s->utcMs : -1;
}

using Monitor = CliProcess;

} // namespace

class TestE2EMonitorCli : public QObject {
    Q_OBJECT
private slots:
    void spellReplugPowerCycleAndKillRestart();
    void folderFaultsHaveTheirOwnExitCodes();
};

void TestE2EMonitorCli::spellReplugPowerCycleAndKillRestart()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString link = tmp.filePath("usb-kavor_352-4-if00-port0");
    const QDir out(tmp.filePath("monitor"));
    const QString hook = tmp.filePath("hook.csv");
    PtyMeter meter;
    meter.setLinkPath(link);
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    auto script = [&](std::string_view word, std::string_view arg) {
        bool ok = false;
        meter.withMeter([&](SimulatedMeter &m) { ok = applyLevelCommand(m, word, arg); });
        QVERIFY(ok);
    };
    script("level", "50");

    const QStringList args{"--port", link, "monitor", "--out", out.path(), "--interval", "0.1", "--period", "5",
                           "--warn", "70", "--alarm", "80", "--hold", "0.5", "--on-event",
                           "printf '%s,%s,%s\\n' \"$K352_EVENT\" \"$K352_LEVEL\" \"$K352_DETAIL\" >> " + hook
                               + "; case $K352_EVENT in start) exit 3;; warning) sleep 15;; esac"};
    Monitor first;
    first.start(args);
    const auto samples = [&] { return rowsOfFiles(out, "*.samples.csv").size(); };
    QVERIFY2(first.waitFor([&] { return samples() >= 5; }, 15000), first.err.constData());

    script("spell", "85 2");
    QVERIFY2(first.waitFor([&] { return first.err.contains("warning-end"); }, 8000), first.err.constData());

    // The adapter out for 1.5 s: the monitor reopens the link's path and carries on.
    const QString firstTerminal = meter.slavePath();
    const qint64 unpluggedAt = nowMs();
    meter.replug(1500);
    QTRY_VERIFY_WITH_TIMEOUT(meter.slavePath() != firstTerminal, 5000);
    const qint64 pluggedAt = nowMs();
    qsizetype before = samples();
    QVERIFY2(first.waitFor([&] { return samples() > before + 5; }, 15000), first.err.constData());

    // The meter off for 4.5 s.
    const qint64 offAt = nowMs();
    meter.powerOff();
    first.waitFor([] { return false; }, 4500);
    const qint64 onAt = nowMs();
    meter.powerOn();
    before = samples();
    QVERIFY2(first.waitFor([&] { return first.err.contains("resumed") && samples() > before + 5; }, 15000),
             first.err.constData());

    // SIGKILL early in a period, so that the second run starts within it.
    QVERIFY(first.waitFor([] { return Stamp::now().localMsOfDay() % 5000 < 500; }, 6000));
    const qint64 killedAt = nowMs();
    first.p.kill();
    QVERIFY(first.p.waitForFinished(5000));
    first.read();

    Monitor second;
    second.start(args + QStringList{"--duration", "3"});
    QVERIFY(second.p.waitForFinished(20000));
    second.read();
    QVERIFY2(second.p.exitStatus() == QProcess::NormalExit && second.p.exitCode() == 0, second.err.constData());

    // The journal: every line whole, in time order; a spell at 85 dB; nothing dated while the
    // adapter was out or the meter off (the margin covers a frame already on its way).
    const QList<QByteArray> journal = rowsOfFiles(out, "*.samples.csv");
    std::map<qint64, int> perPeriod; // local period start -> samples
    qint64 previous = 0, restartFirst = 0;
    int loud = 0;
    for (const QByteArray &line : journal) {
        const auto s = MonitorText::parseSampleLine(std::string_view(line.constData(), size_t(line.size())));
        QVERIFY2(s, line.constData());
        QVERIFY2(s->time.utcMs > previous, line.constData());
        previous = s->time.utcMs;
        QVERIFY2(!(s->time.utcMs > unpluggedAt + 200 && s->time.utcMs < pluggedAt), line.constData());
        QVERIFY2(!(s->time.utcMs > offAt + 200 && s->time.utcMs < onAt), line.constData());
        loud += s->tenths == 850;
        if (!restartFirst && s->time.utcMs > killedAt)
            restartFirst = s->time.utcMs;
        perPeriod[(s->time.localMs() / 5000) * 5000 - s->time.offsetS * 1000LL] += 1;
    }
    QVERIFY(loud >= 10);
    QVERIFY(restartFirst > 0);

    // Events in order, as the files and the --on-event command saw them.
    QStringList names;
    qint64 lastLost = 0;
    for (const QByteArray &row : rowsOfFiles(out, "*.events.csv")) {
        const QList<QByteArray> f = row.split(',');
        names << QString::fromLatin1(f.value(1));
        if (f.value(1) == "lost")
            lastLost = stampMs(f.value(0));
    }
    // Three seconds after the meter went off (a replug that takes that long is lost as well).
    QVERIFY2(lastLost >= offAt + 2900 && lastLost < onAt + 500, qPrintable(QString::number(lastLost - offAt)));
    const QString sequence = names.join(' ');
    QVERIFY2(sequence.startsWith("start warning alarm "), qPrintable(sequence));
    QVERIFY2(sequence.contains("alarm-end") && sequence.contains("warning-end"), qPrintable(sequence));
    QVERIFY2(sequence.contains(QRegularExpression("lost resumed( lost resumed)? start stop$")), qPrintable(sequence));
    QFile hookFile(hook);
    QVERIFY(hookFile.open(QIODevice::ReadOnly));
    const QByteArray hooked = hookFile.readAll();
    QVERIFY2(hooked.contains("warning,85.0,70.0\n") && hooked.contains("alarm,85.0,80.0\n"), hooked.constData());
    QVERIFY2(hooked.contains("alarm-end,85.0,max 85.0 dB for "), hooked.constData());
    QVERIFY2(hooked.contains("lost,,\nresumed,,\n"), hooked.constData());
    // A command that fails is reported; one that hangs is reported and does not hold the sampling up.
    QVERIFY2(first.err.contains("--on-event: the command for start at ") && first.err.contains("failed with exit code 3"),
             first.err.constData());
    QVERIFY2(QString::fromUtf8(first.err).contains(QRegularExpression("the command for warning at \\S+ is still running after 10 s; left behind")),
             first.err.constData());

    // Exactly one row per period, each counting the journal's samples of it; the period the
    // first run died in holds the samples of both runs.
    const QList<QByteArray> periods = rowsOfFiles(out, "*.periods.csv");
    QCOMPARE(periods.size(), int(perPeriod.size()));
    for (const QByteArray &row : periods) {
        const QList<QByteArray> f = row.split(',');
        QVERIFY2(perPeriod.count(stampMs(f[0].chopped(6) + ".000" + f[0].right(6))), row.constData());
        QCOMPARE(f.value(2).toInt(), perPeriod[stampMs(f[0].chopped(6) + ".000" + f[0].right(6))]);
    }
    qint64 killedRowStart = -1;
    for (const auto &[start, count] : perPeriod) {
        if (start <= killedAt && killedAt < start + 5000)
            killedRowStart = start;
    }
    QVERIFY(killedRowStart > 0);
    QVERIFY2(restartFirst < killedRowStart + 5000, "the second run did not start in the period the first died in");
    // What the second run printed are the rows it finished, the last one closed by the stop.
    const QList<QByteArray> printed = second.out.split('\n');
    QVERIFY(printed.size() >= 2 && printed.last().isEmpty());
    for (const QByteArray &line : printed.mid(0, printed.size() - 1))
        QVERIFY2(periods.contains(line), line.constData());
    QCOMPARE(printed[printed.size() - 2], periods.last());

    // The live files are what a rebuild from the journal gives.
    const QDir copy(tmp.filePath("copy"));
    QVERIFY(QDir().mkpath(copy.path()));
    for (const QString &name : out.entryList(QDir::Files))
        QVERIFY(QFile::copy(out.filePath(name), copy.filePath(name)));
    QProcess summarize;
    summarize.start(QCoreApplication::applicationDirPath() + "/k352-cli", {"summarize", copy.path(), "--period", "5"});
    QVERIFY(summarize.waitForFinished(20000));
    QCOMPARE(summarize.exitCode(), 0);
    QCOMPARE(rowsOfFiles(copy, "*.periods.csv"), periods);
    meter.stop();
}

void TestE2EMonitorCli::folderFaultsHaveTheirOwnExitCodes()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    // A folder that cannot be made: refused before any port is touched (this one does not exist).
    QFile blocker(tmp.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Monitor refused;
    refused.start({"--port", tmp.filePath("no-such-port"), "monitor", "--out", tmp.filePath("file/sub")});
    QVERIFY(refused.p.waitForFinished(10000));
    refused.read();
    QCOMPARE(refused.p.exitCode(), 4);
    QVERIFY2(refused.err.contains("cannot be created"), refused.err.constData());

    // The folder removed while the monitor writes into it.
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    const QDir out(tmp.filePath("monitor"));
    Monitor m;
    m.start({"--port", meter.slavePath(), "monitor", "--out", out.path(), "--interval", "0.1", "--period", "5"});
    QVERIFY2(m.waitFor([&] { return rowsOfFiles(out, "*.samples.csv").size() >= 3; }, 15000), m.err.constData());
    QVERIFY(QDir(out).removeRecursively());
    QVERIFY(m.p.waitForFinished(10000));
    m.read();
    QCOMPARE(m.p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m.p.exitCode(), 6);
    QVERIFY2(m.err.contains(out.path().toUtf8()) && m.err.contains("written before is intact"), m.err.constData());
    meter.stop();
}

QTEST_GUILESS_MAIN(TestE2EMonitorCli)
#include "test_e2e_monitor_cli.moc"
