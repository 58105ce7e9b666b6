// The service commands end to end: the real serial port against the simulated meter on a
// pseudo-terminal, in real time: the recall as lines and as a capture file that reads back, the
// information read with the memory test leaving the meter's memory as it was, and a download
// after the test that still parses every data set.
#include "cli/CliLink.h"
#include "cli/RecallCommand.h"
#include "cli/ServiceCli.h"
#include "cli/SetupCommand.h"
#include "tables/TextTableReader.h"
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"
#include "sim/PtyMeter.h"
#include "support/ScriptedTextUi.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct NoScreen : LoggerUi {
    void showPreparing() override {}
    void closePreparing() override {}
    void openProgress(const QString &, int) override {}
    void setProgress(int) override {}
    void refreshProgress() override {}
    void closeProgress() override {}
    void message(const QString &) override {}
    Button confirm(const QString &, const QList<Button> &) override { return Button::Cancel; }
    bool prepareDataSetWindow() override { return false; }
    void dataSetsLoaded() override {}
    void setDownloadUnsaved() override {}
};

QList<SimDataSet> fullMemorySets()
{
    QList<SimDataSet> sets;
    for (int k = 0; k < 2; ++k) {
        SimDataSet s{QDateTime(QDate(2026, 10, 1 + k), QTime(8, 0, 0)), 1, k == 0, {}};
        for (int i = 0; i < 16100; ++i)
            s.levels.append(quint16(400 + (i * 7 + k) % 500));
        sets.append(s);
    }
    return sets;
}
} // namespace

class TestServiceE2E : public QObject {
    Q_OBJECT
private slots:
    void recallLinesAndCaptureFile();
    void infoWithMemoryTestThenDownload();
    void eraseNeedsYesAndRefusesWhileRecording();
};

void TestServiceE2E::recallLinesAndCaptureFile()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    trackMeterRecording(cli);
    QVERIFY(cli.connectMeter(meter.slavePath()));

    QStringList lines, messages;
    auto keep = [&](const QString &l) {
        lines << l;
        return true;
    };
    auto note = [&](const QString &m) { messages << m; };
    QCOMPARE(runRecall(cli, {}, keep, note), CliExit::Success);
    QCOMPARE(lines, (QStringList{"01\t2026-11-30T09:05:30\t94.5\tdBA\tFAST", "02\t2026-11-30T09:06:02\t61.2\tdBC\tSLOW",
                                 "03\t2026-12-01T17:45:00\t150.0\tdBA\tSLOW", "04\t2026-12-01T17:45:00\t73.3\tdBC\tFAST",
                                 "05\t2026-12-03T06:00:59\t----\tdBA\tFAST"}));
    QVERIFY(messages.isEmpty());
    // The live link carries on afterwards.
    const quint32 before = cli.link().decodedFrames();
    QElapsedTimer t;
    t.start();
    while (cli.link().decodedFrames() < before + 3 && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QVERIFY(cli.link().decodedFrames() >= before + 3);
    QCOMPARE(cli.link().checksumFailures(), 0u);

    QTemporaryDir dir;
    const QString cap = dir.filePath("values.cap");
    QCOMPARE(runRecall(cli, cap, keep, note), CliExit::Success);
    QFile f(cap);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> fileLines = f.readAll().split('\n');
    QCOMPARE(fileLines.size(), 100); // 99 lines ending in CR LF
    QVERIFY(fileLines[0].endsWith("\t\r"));
    QCOMPARE(fileLines[5], QByteArray("\t\t\t\t\t\r"));
    ScriptedTextUi ui;
    const TextReadResult back = readCaptureFile(cap, ui);
    QVERIFY(back.grid);
    QCOMPARE(back.grid->cell(1, 1), QString("94.5"));
    QCOMPARE(back.grid->cell(4, 2), QString("dBC"));
    QCOMPARE(back.grid->cell(1, 5), QString("----"));

    // Recording: refused before anything is sent.
    meter.withMeter([](SimulatedMeter &m) { m.state().recording = true; });
    t.restart();
    while (!cli.state().MeterRecording && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCOMPARE(runRecall(cli, {}, keep, note), CliExit::MeterRecording);
    cli.disconnect();
    meter.stop();
}

void TestServiceE2E::infoWithMemoryTestThenDownload()
{
    PtyMeter meter;
    QByteArray before;
    meter.withMeter([&](SimulatedMeter &m) {
        m.loggerMemory().store(fullMemorySets());
        before = m.loggerMemory().bytes();
    });
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    QVERIFY(cli.connectMeter(meter.slavePath()));

    QStringList lines, messages;
    SetupCliOptions o;
    o.memoryTest = true;
    QCOMPARE(runInfo(cli, o, [&](const QString &l) { lines << l; return true; }, [&](const QString &m) { messages << m; }),
             CliExit::Success);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QString("Firmware version: 1.10"));
    QVERIFY(QRegularExpression(R"(^Meter time: 20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d$)").match(lines[1]).hasMatch());
    QCOMPARE(lines[2], QString("Recording interval: 00:02"));
    QCOMPARE(lines[3], QString("Data sets: 2"));
    QCOMPARE(lines[4], QString("Memory available: 0 values"));
    QCOMPARE(lines[5], QString("Memory test: OK"));
    QByteArray after;
    meter.withMeter([&](SimulatedMeter &m) { after = m.loggerMemory().bytes(); });
    QCOMPARE(after, before);

    // A download afterwards, of a memory small enough for real time, parses every set.
    meter.withMeter([](SimulatedMeter &m) { m.loggerMemory().store(LoggerMemory::standardSets()); });
    QElapsedTimer t;
    t.start();
    while (!cli.state().Connected && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QVERIFY(cli.state().Connected);
    QTemporaryDir dir;
    DataSetStore store;
    MemoryImage image;
    NoScreen screen;
    MemoryDownload dl(cli.state(), cli.link().port(), cli.clock(), cli.mainTimer(), store, image, screen,
                      [] { QCoreApplication::processEvents(); });
    dl.setReceiveHandler(cli.link().receiveHandler());
    dl.setWorkingCopyFolder(workingCopyFolder(dir.path() + "/", {}));
    const auto out = dl.LoadData1Click();
    QCOMPARE(out.lastCode, LoadResult::Loaded);
    QCOMPARE(store.SetCount, (QList<qint32>{300, 182, 0, 240, 120}));
    cli.disconnect();
    meter.stop();
}

void TestServiceE2E::eraseNeedsYesAndRefusesWhileRecording()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    auto sets = [&] {
        int n = -1;
        meter.withMeter([&](SimulatedMeter &m) { n = m.loggerMemory().setCountField(); });
        return n;
    };
    QCOMPARE(runServiceCommand("erase", meter.slavePath(), {}), CliExit::Usage);
    meter.withMeter([](SimulatedMeter &m) { m.state().recording = true; });
    QCOMPARE(runServiceCommand("erase", meter.slavePath(), {"--yes"}), CliExit::MeterRecording);
    QCOMPARE(sets(), 5);
    meter.withMeter([](SimulatedMeter &m) { m.state().recording = false; });
    QCOMPARE(runServiceCommand("erase", meter.slavePath(), {"--yes"}), CliExit::Success);
    QCOMPARE(sets(), 0);
    QCOMPARE(runServiceCommand("set-interval", meter.slavePath(), {"00:61"}), CliExit::Usage);
    meter.stop();
}

QTEST_GUILESS_MAIN(TestServiceE2E)
#include "test_service_e2e.moc"
