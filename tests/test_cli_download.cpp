// The command-line download in-process, over the real tty port against the simulated meter on a
// pseudo-terminal: a transfer that stops halfway is retried when asked to, reported with its exit
// code when not, and a collection file that cannot be written does not lose the downloaded memory
// nor lets a repair cut the meter's header.
#include "cli/CliLink.h"
#include "cli/ConsoleLoggerUi.h"
#include "cli/DownloadCommand.h"
#include "cli/ExitCodes.h"
#include "cli/ServiceCli.h"
#include "logger/MemoryDownload.h"
#include "sim/PtyMeter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray memoryOf(PtyMeter &meter)
{
    QByteArray bytes;
    meter.withMeter([&](SimulatedMeter &m) { bytes = m.loggerMemory().bytes(); });
    return bytes;
}

int lastAddress(const QByteArray &memory)
{
    return (quint8(memory[12]) << 8) | quint8(memory[13]);
}
} // namespace

class TestCliDownload : public QObject {
    Q_OBJECT
private slots:
    void silenceMidTransferIsRetriedWhenAsked();
    void silenceWithoutRetryIsShortTransfer();
    void unwritableFileKeepsTheMemory();

private:
    QTemporaryDir m_dir;
};

void TestCliDownload::silenceMidTransferIsRetriedWhenAsked()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    meter.withMeter([](SimulatedMeter &m) { m.blockTransfer().silentAfterBlock(10); });
    CliLink cli;
    QVERIFY(connectTrackingRecording(cli, meter.slavePath()));
    DownloadOptions o;
    o.outPath = m_dir.filePath("retried.rec");
    o.retries = 1;
    ConsoleLoggerUi ui(nullptr, o.retries);
    DataSetStore store;
    QString error;
    QCOMPARE(runDownload(cli, o, ui, store, error), CliExit::Success);
    QCOMPARE(ui.messages(), QStringList{MemoryDownload::resultMessage(LoadResult::ShortTransfer)});
    QCOMPARE(ui.retriesLeft(), 0);
    QCOMPARE(ui.loads(), 1);
    QCOMPARE(store.setCount(), 5);
    const QByteArray memory = memoryOf(meter);
    const QByteArray file = readFile(o.outPath);
    QCOMPARE(file.size(), lastAddress(memory) + 257);
    QCOMPARE(file.left(lastAddress(memory) + 1), memory.left(lastAddress(memory) + 1));
    // The link is the live link's again.
    QVERIFY(cli.port().rxHandler());
    QVERIFY(cli.mainTimer().isEnabled());
    cli.disconnect();
    meter.stop();
}

void TestCliDownload::silenceWithoutRetryIsShortTransfer()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    meter.withMeter([](SimulatedMeter &m) { m.blockTransfer().silentAfterBlock(3); });
    CliLink cli;
    QVERIFY(connectTrackingRecording(cli, meter.slavePath()));
    DownloadOptions o;
    o.outPath = m_dir.filePath("short.rec");
    ConsoleLoggerUi ui(nullptr);
    DataSetStore store;
    QString error;
    QCOMPARE(runDownload(cli, o, ui, store, error), CliExit::ShortTransfer);
    QCOMPARE(error, loadResultDescription(LoadResult::ShortTransfer));
    QVERIFY(!QFile::exists(o.outPath));
    QVERIFY(store.isEmpty());
    cli.disconnect();
    meter.stop();
}

void TestCliDownload::unwritableFileKeepsTheMemory()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    CliLink cli;
    QVERIFY(connectTrackingRecording(cli, meter.slavePath()));
    DownloadOptions o;
    o.outPath = m_dir.filePath("no/such/folder/memory.rec");
    ConsoleLoggerUi ui(nullptr);
    DataSetStore store;
    QString error;
    QCOMPARE(runDownload(cli, o, ui, store, error), CliExit::FileError);
    const QString kept = error.section("the memory is kept in ", 1);
    QVERIFY2(QFileInfo(kept).isFile(), qPrintable(error));
    const QByteArray memory = memoryOf(meter);
    QCOMPARE(readFile(kept).left(lastAddress(memory) + 1), memory.left(lastAddress(memory) + 1));
    QDir(QFileInfo(kept).absolutePath() + "/..").removeRecursively(); // the kept temporary folder

    // A damaged set with --repair: the meter's header is cut only once the file is written.
    meter.withMeter([](SimulatedMeter &m) { m.loggerMemory().damageSet(2); });
    ConsoleLoggerUi repairUi(nullptr, 0, true);
    o.repair = true;
    QCOMPARE(runDownload(cli, o, repairUi, store, error), CliExit::FileError);
    QVERIFY2(error.contains("header was left as it is"), qPrintable(error));
    QVERIFY(repairUi.messages().contains(MemoryDownload::repairWithheldText()));
    meter.withMeter([](SimulatedMeter &m) {
        QCOMPARE(m.loggerMemory().setCountField(), 5);
        for (const auto &f : m.receivedFrames())
            QVERIFY(f.bytes[1] != 'w');
    });
    const QString keptToo = error.section("the memory is kept in ", 1).section(';', 0, 0);
    QVERIFY2(QFileInfo(keptToo).isFile(), qPrintable(error));
    QDir(QFileInfo(keptToo).absolutePath() + "/..").removeRecursively();
    cli.disconnect();
    meter.stop();
}

QTEST_GUILESS_MAIN(TestCliDownload)
#include "test_cli_download.moc"
