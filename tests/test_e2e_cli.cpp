// End to end: the k352-cli program against the simulated meter on a pseudo-terminal, in real
// time. A download writes the collection file and lists what the meter's memory holds; `sets`
// lists the same from the file; `export` writes a set's readings line by line in the graph text
// format; a recording meter and a damaged data set are refused with their exit codes.
#include "sim/PtyMeter.h"

#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

// Runs k352-cli from the build folder with a German locale, so that the files follow German
// regional settings while standard output stays ISO 8601 with a point.
Run runCli(const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "de_DE.UTF-8");
    env.insert("LANG", "de_DE.UTF-8");
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + "/k352-cli", args);
    Run r;
    if (!p.waitForStarted(5000))
        return r;
    p.waitForFinished(timeoutMs);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

double tenthsToLevel(quint16 v)
{
    const double db = (v & 0x0FFF) * 0.1;
    return db < 20.0 || db > 140.0 ? 50.0 : db;
}

// One line of the set list as the meter's memory says it should read, from the sets the
// simulated meter was given (not from the file).
struct ExpectedSet {
    QString head; // number, start, interval, count, weighting
    double min = 0, max = 0, mean = 0, leq = 0;
    QList<double> levels;
};

QList<ExpectedSet> expectedSets()
{
    QList<ExpectedSet> out;
    const QList<SimDataSet> sets = LoggerMemory::standardSets();
    for (int k = 0; k < sets.size(); ++k) {
        const SimDataSet &s = sets[k];
        ExpectedSet e;
        e.head = QStringLiteral("%1\t%2\t%3:%4\t%5\t%6")
                     .arg(k + 1)
                     .arg(s.start.toString("yyyy-MM-ddTHH:mm:ss"))
                     .arg(s.intervalSeconds / 60, 2, 10, QLatin1Char('0'))
                     .arg(s.intervalSeconds % 60, 2, 10, QLatin1Char('0'))
                     .arg(s.levels.size())
                     .arg(s.weightingA ? "A" : "C");
        double energy = 0, sum = 0;
        e.min = 1e9;
        e.max = -1e9;
        for (quint16 v : s.levels) {
            const double db = tenthsToLevel(v);
            e.levels << db;
            e.min = std::min(e.min, db);
            e.max = std::max(e.max, db);
            sum += db;
            energy += std::pow(10.0, db / 10.0);
        }
        if (!s.levels.isEmpty()) {
            e.mean = sum / s.levels.size();
            e.leq = 10.0 * std::log10(energy / s.levels.size());
        }
        out << e;
    }
    return out;
}

// Checks a printed set list against the meter's memory.
void compareSetList(const QString &printed)
{
    QStringList lines = printed.split('\n');
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeFirst(), QString("set\tstart\tinterval\tcount\tweighting\tmin\tmax\tmean\tLeq"));
    const QList<ExpectedSet> expected = expectedSets();
    QCOMPARE(lines.size(), expected.size());
    for (int k = 0; k < lines.size(); ++k) {
        const QStringList f = lines[k].split('\t');
        QCOMPARE(f.size(), 9);
        QCOMPARE(f.mid(0, 5).join('\t'), expected[k].head);
        if (expected[k].levels.isEmpty()) {
            QCOMPARE(f.mid(5), (QStringList{"-", "-", "-", "-"}));
            continue;
        }
        const double values[4] = {expected[k].min, expected[k].max, expected[k].mean, expected[k].leq};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(QRegularExpression(R"(^\d+\.\d$)").match(f[5 + i]).hasMatch(), qPrintable(lines[k]));
            QVERIFY2(std::abs(f[5 + i].toDouble() - values[i]) <= 0.051, qPrintable(lines[k]));
        }
    }
}

} // namespace

class TestE2ECli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void downloadThenSetsThenExport();
    void recordingMeterIsRefused();
    void damagedSetIsReportedAndRepaired();

private:
    QTemporaryDir m_dir;
};

void TestE2ECli::initTestCase()
{
    QVERIFY2(QFile::exists(QCoreApplication::applicationDirPath() + "/k352-cli"), "k352-cli is not built");
    QVERIFY(m_dir.isValid());
}

void TestE2ECli::downloadThenSetsThenExport()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    const QString rec = m_dir.filePath("memory.rec");
    const Run dl = runCli({"--port", meter.slavePath(), "download", "--out", rec});
    QVERIFY2(dl.exitCode == 0, qPrintable(dl.err));
    compareSetList(dl.out);
    QVERIFY(dl.err.contains("bytes received"));

    // The file is the meter's memory up to its end pointer, then filler to L + 257 bytes.
    QByteArray memory;
    meter.withMeter([&](SimulatedMeter &m) { memory = m.loggerMemory().bytes(); });
    const int L = (quint8(memory[12]) << 8) | quint8(memory[13]);
    QFile file(rec);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), L + 257);
    QCOMPARE(bytes.left(L + 1), memory.left(L + 1));
    meter.stop();

    const Run sets = runCli({"sets", rec});
    QCOMPARE(sets.exitCode, 0);
    QCOMPARE(sets.out, dl.out);

    // Set 2 (2 s interval, C weighting) as a comma-separated file, set 5 (with readings out of
    // range) as a tab-separated one: German date, time with milliseconds, level with a comma.
    const QList<SimDataSet> simSets = LoggerMemory::standardSets();
    const QList<ExpectedSet> expected = expectedSets();
    for (const auto &[k, name, sep] : {std::tuple{2, QString("set2.csv"), QChar(',')},
                                       std::tuple{5, QString("set5.txt"), QChar('\t')}}) {
        const QString path = m_dir.filePath(name);
        const Run ex = runCli({"export", rec, "--set", QString::number(k), "--out", path});
        QVERIFY2(ex.exitCode == 0, qPrintable(ex.err));
        QFile text(path);
        QVERIFY(text.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = text.readAll().split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        const SimDataSet &s = simSets[k - 1];
        QCOMPARE(lines.size(), s.levels.size());
        for (int i = 0; i < lines.size(); ++i) {
            const QDateTime t = s.start.addSecs(qint64(i) * s.intervalSeconds);
            // The level holds the decimal comma: quoted in the comma-separated file.
            const QString level = QString::number(expected[k - 1].levels[i], 'f', 1).replace('.', ',');
            const QString want = t.toString("dd.MM.yyyy") + sep + t.toString("HH:mm:ss") + ".0" + sep
                                 + (sep == ',' ? '"' + level + '"' : level) + "\r";
            QCOMPARE(QString::fromLatin1(lines[i]), want);
        }
    }
    // Set 3 has no readings: an empty file. A set that does not exist: usage error, no file.
    const Run empty = runCli({"export", rec, "--set", "3", "--out", m_dir.filePath("set3.txt")});
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(QFileInfo(m_dir.filePath("set3.txt")).size(), 0);
    const Run none = runCli({"export", rec, "--set", "6", "--out", m_dir.filePath("set6.txt")});
    QCOMPARE(none.exitCode, 1);
    QVERIFY(!QFile::exists(m_dir.filePath("set6.txt")));
}

void TestE2ECli::recordingMeterIsRefused()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    meter.withMeter([](SimulatedMeter &m) { m.state().recording = true; });
    const QString rec = m_dir.filePath("recording.rec");
    // The meter sends one live frame after the link's 'a', then nothing for 4 s: the refusal
    // rests on that first frame alone.
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + "/k352-cli",
            {"--port", meter.slavePath(), "download", "--out", rec});
    QVERIFY(p.waitForStarted(5000));
    bool paused = false;
    QElapsedTimer t;
    t.start();
    while (!paused && t.elapsed() < 20000) {
        meter.withMeter([&](SimulatedMeter &m) {
            qint64 linkUp = -1;
            for (const auto &f : m.receivedFrames())
                if (f.bytes[1] == 'a')
                    linkUp = f.us;
            if (linkUp >= 0 && !m.sentFrames().isEmpty() && m.sentFrames().last().us >= linkUp) {
                m.silence(4000);
                paused = true;
            }
        });
        QThread::usleep(300);
    }
    QVERIFY(paused);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 3);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("The meter is recording data"));
    QVERIFY(p.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(rec));
    meter.stop();
}

namespace {
// The 'w' frames the meter took in, in order.
QList<QByteArray> writeFrames(PtyMeter &meter)
{
    QList<QByteArray> out;
    meter.withMeter([&](SimulatedMeter &m) {
        for (const auto &f : m.receivedFrames())
            if (f.bytes[1] == 'w')
                out << f.bytes;
    });
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void TestE2ECli::damagedSetIsReportedAndRepaired()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    int damagedAt = 0;
    QByteArray memory;
    meter.withMeter([&](SimulatedMeter &m) {
        m.loggerMemory().damageSet(3);
        damagedAt = m.loggerMemory().headerOffsets().at(3);
        memory = m.loggerMemory().bytes();
    });
    const int L = (quint8(memory[12]) << 8) | quint8(memory[13]);
    // Without --repair: the memory as it came is in the file, the header is untouched.
    const QString rec = m_dir.filePath("damaged.rec");
    const Run dl = runCli({"--port", meter.slavePath(), "download", "--out", rec});
    QCOMPARE(dl.exitCode, 11);
    QVERIFY(dl.err.contains("Data error !"));
    QCOMPARE(fileBytes(rec).left(L + 1), memory.left(L + 1));
    meter.withMeter([&](SimulatedMeter &m) { QCOMPARE(m.loggerMemory().setCountField(), 5); });

    // With --repair: the file holds the whole memory (the sets the repair drops included), the
    // five writes go out once each and the program saw every echo.
    const QString fixedRec = m_dir.filePath("repaired.rec");
    const Run fix = runCli({"--port", meter.slavePath(), "download", "--out", fixedRec, "--repair"});
    QCOMPARE(fix.exitCode, 11);
    QVERIFY2(!fix.err.contains("Fixing error failed !"), qPrintable(fix.err));
    QVERIFY2(fix.err.contains("header was repaired"), qPrintable(fix.err));
    QVERIFY2(fix.err.contains("Please power off and power on meter"), qPrintable(fix.err));
    const QByteArray repairedFile = fileBytes(fixedRec);
    QCOMPARE(repairedFile.size(), L + 257);
    QCOMPARE(repairedFile.left(L + 1), memory.left(L + 1));
    const QList<QByteArray> writes = writeFrames(meter);
    QCOMPARE(writes.size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(quint8(writes[i][5]), quint8(0x09 + i));
    meter.withMeter([&](SimulatedMeter &m) {
        QCOMPARE(m.loggerMemory().setCountField(), 3);
        QCOMPARE(m.loggerMemory().endPointer(), damagedAt - 1);
    });
    // Downloaded again, the three intact sets come through.
    const Run again = runCli({"--port", meter.slavePath(), "download", "--out", rec});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QCOMPARE(again.out.count('\n'), 4);

    // A meter that does not echo the writes: the repair failed, and nothing says it was done.
    meter.withMeter([](SimulatedMeter &m) {
        m.loggerMemory().store(LoggerMemory::standardSets());
        m.loggerMemory().damageSet(3);
        m.setEchoWrites(false);
    });
    const Run failed = runCli({"--port", meter.slavePath(), "download", "--out", fixedRec, "--repair"});
    QCOMPARE(failed.exitCode, 5);
    QCOMPARE(failed.err.count("Fixing error failed !"), 5);
    QVERIFY2(!failed.err.contains("repaired"), qPrintable(failed.err));
    meter.stop();
}

QTEST_GUILESS_MAIN(TestE2ECli)
#include "test_e2e_cli.moc"
