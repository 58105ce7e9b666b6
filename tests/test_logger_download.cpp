// The memory download against the simulated meter (and a scripted port) on virtual time: the
// wire bytes of the pointer read, the block loop and its end, rejected blocks, the error limit,
// the repair writes, the command's dialogs and the link handed back on every path.
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"
#include "sim/SimPort.h"
#include "support/Frames.h"
#include "support/ScriptPort.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
struct ScriptedUi : LoggerUi {
    QStringList messages, confirms;
    QList<Button> answers;
    int progressOpened = 0, progressClosed = 0, loaded = 0, unsaved = 0, infoShown = 0, infoClosed = 0;
    int lastProgress = -1, total = -1;
    void showPreparing() override { ++infoShown; }
    void closePreparing() override { ++infoClosed; }
    void openProgress(const QString &caption, int t) override
    {
        QCOMPARE(caption, QString("Datenabfrageprozess"));
        ++progressOpened;
        total = t;
    }
    void setProgress(int r) override { lastProgress = r; }
    void refreshProgress() override {}
    void closeProgress() override { ++progressClosed; }
    void message(const QString &t) override { messages << t; }
    Button confirm(const QString &t, const QList<Button> &) override
    {
        confirms << t;
        return answers.isEmpty() ? Button::Cancel : answers.takeFirst();
    }
    bool prepareDataSetWindow() override { return true; }
    void dataSetsLoaded() override { ++loaded; }
    void setDownloadUnsaved() override { ++unsaved; }
};

struct Rig {
    QTemporaryDir dir;
    VirtualClock clock;
    SimulatedMeter meter{QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0))};
    SimPort port{clock};
    LinkState state;
    ManualTimer timer{1000};
    DataSetStore store;
    MemoryImage image;
    ScriptedUi ui;
    MemoryDownload dl{state, port, clock, timer, store, image, ui};
    int handlerCalls = 0;
    Rig()
    {
        port.addDevice("ttyUSB0", &meter);
        port.setDeviceName("ttyUSB0");
        port.open();
        port.setRxHandler([this] { ++handlerCalls; });
        state.Connected = true;
        timer.setEnabled(true);
        dl.setWorkingCopyFolder(workingCopyFolder(dir.path() + "/", {}));
    }
    QList<QByteArray> frames() const
    {
        QList<QByteArray> out;
        const QByteArray all = port.written();
        for (int i = 0; i + 8 <= all.size(); i += 8)
            out << all.mid(i, 8);
        return out;
    }
    int countOf(char c) const
    {
        int n = 0;
        for (const QByteArray &f : frames())
            n += f[1] == c;
        return n;
    }
};
} // namespace

class TestLoggerDownload : public QObject {
    Q_OBJECT
private slots:
    void fullDownloadParsesAndRestoresLink();
    void pointer299GivesFiveBlocksAndQuitOnSixth();
    void badAndShortBlocksAreRejectedAndResent();
    void twentyFirstErrorEndsWithQuit();
    void silenceMidTransferIsShortTransfer();
    void pointerReadWithTwoBytesIsCode4();
    void startWithoutEchoIsCode5();
    void repairWritesFaultIntoHeader();
    void commandRefusalsAndMessages();
    void damagedSetOkRepairsRetryReloads();
    void repairOnlyWhenKeptAndEchoed();
    void folderErrorStillRestoresLink();
    void fixedAndReplyWaitsPutTheSameBytesOnTheWire();
};

void TestLoggerDownload::fullDownloadParsesAndRestoresLink()
{
    Rig r;
    r.state.CommandFrame[1] = 'l';
    const auto out = r.dl.LoadData1Click();
    QCOMPARE(out.kind, MemoryDownload::Outcome::Finished);
    QCOMPARE(out.lastCode, LoadResult::Loaded);
    QCOMPARE(r.store.setCount(), 5);
    QCOMPARE(r.store.SetCount, (QList<qint32>{300, 182, 0, 240, 120}));
    QCOMPARE(r.store.SetInterval, (QList<qint32>{1, 2, 60, 60, 1}));
    QCOMPARE(r.store.Levels[r.store.setOffset(4) + 7], 50.0f);
    QCOMPARE(r.ui.loaded, 1);
    QCOMPARE(r.ui.unsaved, 1);
    QCOMPARE(r.ui.progressOpened, 1);
    QCOMPARE(r.ui.progressClosed, 1);
    QCOMPARE(r.ui.infoShown, r.ui.infoClosed);
    QVERIFY(r.image.isEmpty());
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
    const QList<QByteArray> f = r.frames();
    QCOMPARE(f[0], QByteArray("\x02l\0\0\0\0\0\x03", 8));
    QCOMPARE(f[1], loggerFrame('r', 0x0B));
    QCOMPARE(f[2], loggerFrame('r', 0x0C));
    QCOMPARE(f[3], loggerFrame('r', 0x0D));
    QCOMPARE(f[4], loggerFrame('P', 0x0D));
    QCOMPARE(f.last(), loggerFrame('Q', 0x0D));
    const int L = r.meter.loggerMemory().endPointer();
    QFile wc(workingCopyPath(r.dl.workingCopyFolder()));
    QVERIFY(wc.open(QIODevice::ReadOnly));
    const QByteArray copy = wc.readAll();
    QCOMPARE(copy.size(), L + 257);
    QCOMPARE(copy.left(L + 1), r.meter.loggerMemory().bytes().left(L + 1));
    // After 'Q' the meter is back on its live stream.
    r.port.write(QByteArray("\x02X\0\0\0\0\0\x03", 8));
    BusyWait(r.clock, 300);
    QVERIFY(r.port.bytesWaiting() >= 19);
}

void TestLoggerDownload::pointer299GivesFiveBlocksAndQuitOnSixth()
{
    Rig r;
    r.meter.loggerMemory().write(12, 0x01);
    r.meter.loggerMemory().write(13, 0x2B);
    r.port.setRxHandler({});
    QCOMPARE(r.dl.TransferMemory(), LoadResult::Loaded);
    QCOMPARE(r.store.LastAddress, 299);
    QCOMPARE(r.ui.total, 320);
    QCOMPARE(r.image.size(), 384);
    QCOMPARE(r.countOf('y'), 6);
    QCOMPARE(r.countOf('Q'), 1);
    QCOMPARE(r.frames().last()[1], 'Q');
    QCOMPARE(r.meter.blockTransfer().blocksSent(), 7);
    QCOMPARE(r.image, r.meter.loggerMemory().bytes().left(384));
}

void TestLoggerDownload::badAndShortBlocksAreRejectedAndResent()
{
    Rig r;
    r.meter.blockTransfer().badSumInBlock(2);
    r.meter.blockTransfer().cutBlockShort(5, 30);
    QCOMPARE(r.dl.LoadData1Click().lastCode, LoadResult::Loaded);
    QCOMPARE(r.countOf('n'), 2);
    QCOMPARE(r.dl.blocksRejected(), 2);
    QCOMPARE(r.store.setCount(), 5);
}

void TestLoggerDownload::twentyFirstErrorEndsWithQuit()
{
    Rig r;
    r.meter.blockTransfer().alwaysBadSums(true);
    QCOMPARE(r.dl.TransferMemory(), LoadResult::ShortTransfer);
    QCOMPARE(r.countOf('n'), 21);
    QCOMPARE(r.frames().last()[1], 'Q');
    QVERIFY(r.image.isEmpty());
}

void TestLoggerDownload::silenceMidTransferIsShortTransfer()
{
    Rig r;
    r.meter.blockTransfer().silentAfterBlock(10);
    r.ui.answers = {LoggerUi::Button::Cancel};
    const auto out = r.dl.LoadData1Click();
    QCOMPARE(out.lastCode, LoadResult::ShortTransfer);
    QCOMPARE(r.ui.confirms, QStringList{MemoryDownload::resultMessage(LoadResult::ShortTransfer)});
    QVERIFY(r.store.isEmpty());
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
}

void TestLoggerDownload::pointerReadWithTwoBytesIsCode4()
{
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    port.responder = [&](const QByteArray &b) {
        if (b.size() == 8 && b[1] == 'r')
            port.feed(b + QByteArray("\x01\x02", 2), 9000);
    };
    LinkState state;
    ManualTimer timer(1000);
    DataSetStore store;
    MemoryImage image;
    ScriptedUi ui;
    MemoryDownload dl(state, port, clock, timer, store, image, ui);
    for (auto w : {MemoryDownload::Waits::Fixed, MemoryDownload::Waits::Replies}) {
        dl.setWaits(w);
        QCOMPARE(dl.ReadMemoryPointer(), 0);
        QCOMPARE(dl.TransferMemory(), LoadResult::PointerFailed);
    }
}

void TestLoggerDownload::startWithoutEchoIsCode5()
{
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    port.responder = [&](const QByteArray &b) {
        if (b.size() == 8 && b[1] == 'r')
            port.feed(b + QByteArray(1, b[5] == 0x0D ? char(0x40) : char(0x01)), 9000);
    };
    LinkState state;
    ManualTimer timer(1000);
    DataSetStore store;
    MemoryImage image;
    ScriptedUi ui;
    MemoryDownload dl(state, port, clock, timer, store, image, ui);
    QCOMPARE(dl.ReadMemoryPointer(), 0x141);
    QCOMPARE(dl.TransferMemory(), LoadResult::NoStartEcho);
    int p = 0;
    for (const auto &w : port.writes())
        p += w.bytes == loggerFrame('P', 0x0D);
    QCOMPARE(p, 3);
    QCOMPARE(ui.progressOpened, 0);
}

void TestLoggerDownload::repairWritesFaultIntoHeader()
{
    Rig r;
    r.port.setRxHandler({});
    r.store.FaultSet = 300;
    r.store.FaultOffset = 0x2345 - 1; // the damaged set starts at 0x2345; the header ends before it
    r.dl.RepairMemoryHeader();
    QCOMPARE(r.frames(), (QList<QByteArray>{loggerFrame('w', 0x09, 0x01), loggerFrame('w', 0x0A, 0x2C),
                                            loggerFrame('w', 0x0B, 0x00), loggerFrame('w', 0x0C, 0x23),
                                            loggerFrame('w', 0x0D, 0x44)}));
    const LoggerMemory &m = r.meter.loggerMemory();
    QCOMPARE(m.setCountField(), 300);
    QCOMPARE(m.endPointer(), 0x2344);
    QCOMPARE(r.ui.messages, QStringList{"Please power off and power on meter before recording data or loading again!"});

    r.meter.silence(-1);
    r.ui.messages.clear();
    QCOMPARE(r.dl.RepairMemoryHeader(), 0);
    QCOMPARE(r.ui.messages.count("Fixing error failed !"), 5);

    // A live frame the meter starts just as each write goes out comes before the echo: the echo
    // still counts, and no write goes out twice.
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    const QByteArray live = SimulatedMeter::liveFrame(MeterState(), QDateTime(QDate(2026, 12, 9), QTime(12, 0)));
    port.responder = [&](const QByteArray &b) {
        port.feed(live, 20000);
        port.feed(b, 30000);
    };
    LinkState state;
    ManualTimer timer(1000);
    ScriptedUi ui;
    MemoryDownload dl(state, port, clock, timer, r.store, r.image, ui);
    QCOMPARE(dl.RepairMemoryHeader(), 5);
    QCOMPARE(port.writes().size(), 5);
    QVERIFY(!ui.messages.contains("Fixing error failed !"));
}

void TestLoggerDownload::commandRefusalsAndMessages()
{
    {
        Rig r;
        r.state.Connected = false;
        QCOMPARE(r.dl.LoadData1Click().kind, MemoryDownload::Outcome::NotConnected);
        QCOMPARE(r.ui.messages, QStringList{"Keine Verbindung mit dem Gerät"});
        r.state.Connected = true;
        r.state.MeterRecording = true;
        QCOMPARE(r.dl.LoadData1Click().kind, MemoryDownload::Outcome::Recording);
        QCOMPARE(r.ui.messages.size(), 2);
        QVERIFY(r.port.written().isEmpty());
    }
    {
        Rig r;
        r.meter.loggerMemory().setSetCountField(0);
        QCOMPARE(r.dl.LoadData1Click().lastCode, LoadResult::NoDataSet);
        QCOMPARE(r.ui.messages, QStringList{"Keine Messdaten im Speicher."});
        QVERIFY(QFile::exists(workingCopyPath(r.dl.workingCopyFolder())));
    }
    {
        Rig r;
        r.meter.loggerMemory().setSetCountField(4001);
        QCOMPARE(r.dl.LoadData1Click().lastCode, LoadResult::TooManySets);
        QCOMPARE(r.ui.messages, QStringList{"Memory error!"});
    }
}

void TestLoggerDownload::damagedSetOkRepairsRetryReloads()
{
    Rig r;
    r.meter.loggerMemory().damageSet(3);
    r.ui.answers = {LoggerUi::Button::Retry, LoggerUi::Button::Ok};
    const auto out = r.dl.LoadData1Click();
    QCOMPARE(out.lastCode, LoadResult::DamagedSet);
    QVERIFY(out.repaired);
    QCOMPARE(out.repairWritesEchoed, 5);
    // The program saw every echo: each write went out once, none was reported as failed (the
    // live frame the meter sends after the transfer's end is still on its way at the first one).
    QVERIFY2(!r.ui.messages.contains("Fixing error failed !"), qPrintable(r.ui.messages.join('|')));
    QCOMPARE(r.countOf('w'), 5);
    QCOMPARE(r.ui.confirms.size(), 2);
    QCOMPARE(r.countOf('P'), 2);
    QCOMPARE(r.store.FaultSet, 3);
    QCOMPARE(r.store.FaultOffset, r.meter.loggerMemory().headerOffsets()[3] - 1);
    QCOMPARE(r.meter.loggerMemory().setCountField(), 3);
    QCOMPARE(r.meter.loggerMemory().endPointer(), r.store.FaultOffset);
    QVERIFY(r.timer.isEnabled());

    // After the repair the three intact sets load.
    r.ui.messages.clear();
    QCOMPARE(r.dl.LoadData1Click().lastCode, LoadResult::Loaded);
    QCOMPARE(r.store.setCount(), 3);
}

void TestLoggerDownload::repairOnlyWhenKeptAndEchoed()
{
    using Repair = MemoryDownload::Outcome::Repair;
    {
        // The working copy cannot be written: the meter's header is left alone, and the user is told.
        Rig r;
        r.meter.loggerMemory().damageSet(3);
        QVERIFY(QDir(r.dir.path()).mkpath("temp/DataSetsTemp.tmp")); // a folder where the file should be
        r.ui.answers = {LoggerUi::Button::Ok};
        const auto out = r.dl.LoadData1Click();
        QCOMPARE(out.lastCode, LoadResult::DamagedSet);
        QCOMPARE(out.repair, Repair::Withheld);
        QVERIFY(!out.repaired);
        QCOMPARE(r.countOf('w'), 0);
        QCOMPARE(r.ui.messages, QStringList{MemoryDownload::repairWithheldText()});
        QCOMPARE(r.meter.loggerMemory().setCountField(), 5);
    }
    {
        // A meter that takes the writes without echoing them: each is tried three times, the line
        // let fall quiet in between, and the repair is reported as failed.
        Rig r;
        r.meter.loggerMemory().damageSet(3);
        r.meter.setEchoWrites(false);
        r.ui.answers = {LoggerUi::Button::Ok};
        const auto out = r.dl.LoadData1Click();
        QCOMPARE(out.repair, Repair::Failed);
        QVERIFY(!out.repaired);
        QCOMPARE(out.repairWritesEchoed, 0);
        QCOMPARE(r.ui.messages.count("Fixing error failed !"), 5);
        QCOMPARE(r.countOf('w'), 15);
        QList<qint64> times;
        for (const auto &f : r.meter.receivedFrames())
            if (f.bytes[1] == 'w')
                times << f.us;
        for (int i = 1; i < times.size(); ++i)
            QVERIFY2(times[i] - times[i - 1] >= 250'000, qPrintable(QString::number(times[i] - times[i - 1])));
    }
}

void TestLoggerDownload::folderErrorStillRestoresLink()
{
    Rig r;
    QFile blocker(r.dir.path() + "/temp");
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const auto out = r.dl.LoadData1Click();
    QCOMPARE(out.kind, MemoryDownload::Outcome::FolderError);
    QCOMPARE(r.ui.messages, QStringList{r.dl.workingCopyFolder()});
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
    QVERIFY(r.store.isEmpty());
    QVERIFY(r.image.isEmpty());
}

void TestLoggerDownload::fixedAndReplyWaitsPutTheSameBytesOnTheWire()
{
    QByteArray wire[2];
    qint64 duration[2];
    for (int i = 0; i < 2; ++i) {
        Rig r;
        r.dl.setWaits(i == 0 ? MemoryDownload::Waits::Fixed : MemoryDownload::Waits::Replies);
        QCOMPARE(r.dl.LoadData1Click().lastCode, LoadResult::Loaded);
        wire[i] = r.port.written();
        duration[i] = r.clock.elapsedUs();
    }
    QCOMPARE(wire[1], wire[0]);
    QVERIFY(duration[1] < duration[0]);
}

QTEST_GUILESS_MAIN(TestLoggerDownload)
#include "test_logger_download.moc"
