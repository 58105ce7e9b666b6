// The logger information read, its memory test and the whole initialisation: reply rules and
// label texts against scripted replies, and against the simulated meter the header fields, a
// memory test that leaves a full memory's data sets as they were, and the initialisation's steps.
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"
#include "logger/SetupFrames.h"
#include "support/ScriptPort.h"
#include "support/SetupRig.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
using L = SetupUi::Label;

// Replies of a meter as a script: the information frames and a memory of 64 KiB.
struct ScriptedReplies {
    QByteArray version = QByteArray("K352-4FW\x6E", 9);
    QByteArray meterTime = QByteArray("\x20\x00\x03\x15\x09\x05\x30\x00", 8);
    QByteArray memory = QByteArray(65536, '\0');
    // Addresses whose byte the memory does not keep (a faulty cell reads 0x00).
    QList<quint8> faulty;
    // Address bytes whose writes of anything but the test byte go unanswered (and undone).
    QList<quint8> deaf;
    // Called after the reply to a test write (byte 0x96).
    std::function<void(quint8 addressByte)> afterTestWrite;

    void attach(ScriptPort &p)
    {
        p.responder = [this, &p](const QByteArray &f) {
            if (f.size() != 8)
                return;
            const int address = (quint8(f[3]) << 16) | (quint8(f[4]) << 8) | quint8(f[5]);
            if (f == SetupFrames::Version) {
                p.feed(version, 3000);
            } else if (f == SetupFrames::Time) {
                p.feed(meterTime, 3000);
            } else if (f == SetupFrames::FirstBlock) {
                p.feed(f, 3000);
                QByteArray block = memory.left(64);
                quint8 sum = 0;
                for (char c : block)
                    sum = quint8(sum + quint8(c));
                p.feed(block + char(sum), 40000);
            } else if (f[1] == 'w' && f[2] == 'E') {
                if (deaf.contains(quint8(f[4])) && quint8(f[6]) != 0x96)
                    return;
                if (!faulty.contains(quint8(f[4])))
                    memory[address] = f[6];
                p.feed(f + memory[address], 3000);
                if (quint8(f[6]) == 0x96 && afterTestWrite)
                    afterTestWrite(quint8(f[4]));
            } else if (f[1] == 'r' && f[2] == 'E') {
                p.feed(f + memory[address], 3000);
            }
        };
    }
    void setHeader(int sets, int end, quint8 mm, quint8 ss)
    {
        memory[9] = char(sets >> 8);
        memory[10] = char(sets);
        memory[11] = char(end >> 16);
        memory[12] = char(end >> 8);
        memory[13] = char(end);
        memory[14] = char(mm);
        memory[15] = char(ss);
    }
};

struct ScriptRig {
    VirtualClock clock;
    ScriptPort comm1{clock}, comm2{clock};
    LinkState state;
    ManualTimer timer{1000};
    ScriptedSetupUi ui;
    ScriptedReplies replies;
    LoggerSetup setup{state, comm1, comm2, clock, timer, ui};
    ScriptRig()
    {
        comm1.addDevice("COM1");
        comm2.addDevice("COM1");
        comm1.open();
        comm2.open();
        replies.attach(comm2);
        replies.setHeader(5, 1023, 0x00, 0x02);
        state.DateSeparator = ".";
        state.DateOrder = 1;
    }
};

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

// Two long sets that fill the memory beyond the test addresses (end pointer above 0xFF00).
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

class TestServiceInfo : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void versionAndMeterTimeTexts();
    void headerFieldsAndMemoryAvailable();
    void versionReplyOfTenBytesEndsTheRead();
    void faultyCellFailsTheTestAndIsWrittenBack();
    void restoreIsRetriedAndAFailureSaidPlainly();
    void memoryTestLeavesAFullMemoryIntact();
    void initialisationRunsEveryStep();
    void initialisationWithABadIntervalFails();
};

void TestServiceInfo::versionAndMeterTimeTexts()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    {
        ScriptRig r;
        QVERIFY(r.setup.ReadLoggerInfo());
        QCOMPARE(r.ui.labels[L::Version], QString("1.10"));
        QCOMPARE(r.ui.labels[L::MeterTime], QString("15.03.20  09:05:30"));
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const auto &[order, sep, text] : QList<std::tuple<int, QString, QString>>{
             {2, "/", "03/15/20  09:05:30"}, {3, "-", "20-03-15  09:05:30"}, {4, "-", "20-15-03  09:05:30"},
             {0, "/", "03/15/20  09:05:30"}}) {
        ScriptRig r;
        r.state.DateOrder = order;
        r.state.DateSeparator = sep;
        QVERIFY(r.setup.ReadLoggerInfo());
        QCOMPARE(r.ui.labels[L::MeterTime], text);
        QCOMPARE(r.ui.labels[L::Version], QString("1,10"));
    }
}

void TestServiceInfo::headerFieldsAndMemoryAvailable()
{
    for (const auto &[end, available] : QList<QPair<int, QString>>{
             {1023, "31616"}, {64255, "0"}, {64254, "0"}, {64253, "1"}, {65535, "0"}, {0x0500, "31487"}}) {
        ScriptRig r;
        r.replies.setHeader(0x0102, end, 0x01, 0x30);
        QVERIFY(r.setup.ReadLoggerInfo());
        QCOMPARE(r.ui.labels[L::MemoryAvailable], available);
        QCOMPARE(r.ui.labels[L::DataSets], QString("258"));
        QCOMPARE(r.ui.labels[L::Interval], QString("01:30(mm:ss)"));
        QCOMPARE(r.ui.labels[L::MemTest], QString("OK"));
        // The block transfer ends with 'Q' before the test.
        QVERIFY(r.comm2.allWritten().contains(SetupFrames::EndBlocks));
    }
}

void TestServiceInfo::versionReplyOfTenBytesEndsTheRead()
{
    ScriptRig r;
    r.replies.version = QByteArray("K352-4FW\x6E\x00", 10);
    const qint64 t0 = r.clock.elapsedUs();
    QVERIFY(!r.setup.ReadLoggerInfo());
    QVERIFY(r.clock.elapsedUs() - t0 >= 2'500'000);
    QVERIFY(r.ui.labelWrites.isEmpty());
    // Nothing after the version frame.
    QCOMPARE(r.comm2.allWritten(), SetupFrames::Version);
}

void TestServiceInfo::faultyCellFailsTheTestAndIsWrittenBack()
{
    ScriptRig r;
    r.replies.memory[0xAF00] = char(0x5A);
    r.replies.faulty = {0xBF};
    QVERIFY(r.setup.ReadLoggerInfo());
    QCOMPARE(r.ui.labels[L::MemTest], QString("False"));
    // Two good addresses and the faulty one shown: the echo, the byte now there, the time.
    QCOMPARE(r.ui.memTestRows.size(), 4);
    QCOMPARE(r.ui.memTestRows[0].mid(0, 9),
             (QStringList{"02", "77", "45", "00", "8F", "00", "96", "03", "96"}));
    QCOMPARE(r.ui.memTestRows[0].size(), 10);
    QCOMPARE(r.ui.memTestRows[3][8], QString("00"));
    // What the addresses held before is there again.
    QCOMPARE(quint8(r.replies.memory[0xAF00]), quint8(0x5A));
    QCOMPARE(quint8(r.replies.memory[0x8F00]), quint8(0x00));
    QVERIFY(r.comm2.allWritten().contains(memoryWriteFrame(0xAF, 0x5A)));
}

void TestServiceInfo::restoreIsRetriedAndAFailureSaidPlainly()
{
    {
        // The port fails right after the test write: the byte is still written back.
        ScriptRig r;
        r.replies.memory[0xAF00] = char(0x5A);
        r.replies.afterTestWrite = [&](quint8 a) {
            if (a == 0xAF)
                r.comm2.close();
        };
        bool raised = false;
        try {
            r.setup.ReadLoggerInfo();
        } catch (const PortError &) {
            raised = true;
        }
        QVERIFY(raised);
        QCOMPARE(quint8(r.replies.memory[0xAF00]), quint8(0x5A));
        QVERIFY(r.ui.messages.isEmpty());
        QVERIFY(r.setup.info().unrestoredAddresses.isEmpty());
    }
    {
        // The meter never confirms the restore: three tries, then the address is named and the
        // test stops there.
        ScriptRig r;
        r.replies.memory[0x9F00] = char(0x11);
        r.replies.deaf = {0x9F};
        QVERIFY(r.setup.ReadLoggerInfo());
        QCOMPARE(r.ui.labels[L::MemTest], QString("False"));
        QCOMPARE(r.comm2.allWritten().count(memoryWriteFrame(0x9F, 0x11)), 3);
        QCOMPARE(r.setup.info().unrestoredAddresses, QList<int>{0x9F00});
        QCOMPARE(r.ui.messages, QStringList{"Memory test: the byte at address 0x009F00 could not be written back "
                                            "and may have changed."});
        QVERIFY(!r.comm2.allWritten().contains(memoryWriteFrame(0xAF, 0x96)));
    }
}

void TestServiceInfo::memoryTestLeavesAFullMemoryIntact()
{
    SetupRig r;
    r.meter.loggerMemory().store(fullMemorySets());
    QVERIFY(r.meter.loggerMemory().endPointer() > 0xFF00);
    const QByteArray before = r.meter.loggerMemory().bytes();
    QVERIFY(r.setup.Button4Click());
    QCOMPARE(r.ui.labels[L::MemTest], QString("OK"));
    QCOMPARE(r.ui.labels[L::MemoryAvailable], QString("0"));
    QCOMPARE(r.ui.labels[L::DataSets], QString("2"));
    QCOMPARE(r.ui.labels[L::Version], QString("1.10"));
    QCOMPARE(r.ui.memTestRows.size(), 8);
    QCOMPARE(r.meter.loggerMemory().bytes(), before);
    QVERIFY(r.handedBack());

    // A download afterwards parses every set.
    QTemporaryDir dir;
    DataSetStore store;
    MemoryImage image;
    NoScreen screen;
    r.state.Connected = true;
    MemoryDownload dl(r.state, r.comm1, r.clock, r.timer, store, image, screen);
    dl.setWorkingCopyFolder(workingCopyFolder(dir.path() + "/", {}));
    const auto out = dl.LoadData1Click();
    QCOMPARE(out.lastCode, LoadResult::Loaded);
    QCOMPARE(store.SetCount, (QList<qint32>{16100, 16100}));
}

void TestServiceInfo::initialisationRunsEveryStep()
{
    SetupRig r(QDateTime(QDate(2024, 2, 29), QTime(23, 0, 0)));
    r.ui.minutes = "00";
    r.ui.seconds = "05";
    QVERIFY(r.setup.Button5Click());
    QCOMPARE(r.ui.infoTexts, (QStringList{"開始設定電表時間", "設定記錄間隔", "清除記憶體", "開始測試記憶體",
                                          "Preparing to load ....."}));
    QCOMPARE(r.ui.infoShown, 1);
    QCOMPARE(r.ui.infoClosed, 1);
    QVERIFY(r.ui.messages.isEmpty());
    QCOMPARE(r.meter.clockAt(r.meter.nowUs()).date(), QDate(2024, 2, 29));
    QCOMPARE(r.meter.loggerMemory().at(15), quint8(0x05));
    QCOMPARE(r.ui.labels[L::Interval], QString("00:05(mm:ss)"));
    QCOMPARE(r.ui.labels[L::DataSets], QString("0"));
    QCOMPARE(r.ui.labels[L::MemoryAvailable], QString("31616"));
    QCOMPARE(r.ui.labels[L::MemTest], QString("OK"));
    QCOMPARE(r.ui.labels[L::MeterTime].left(10), QString("29.02.24  "));
    QCOMPARE(r.meter.boots(), 1);
    QCOMPARE(SetupRig::frames(r.port2).last(), SetupFrames::Boot);
    QVERIFY(r.handedBack());
}

void TestServiceInfo::initialisationWithABadIntervalFails()
{
    SetupRig r;
    r.ui.minutes = "02";
    r.ui.seconds = "00";
    const int sets = r.meter.loggerMemory().setCountField();
    QVERIFY(!r.setup.Button5Click());
    QCOMPARE(r.ui.messages, QStringList{"設定失敗"});
    QCOMPARE(r.meter.loggerMemory().setCountField(), sets);
    QCOMPARE(r.ui.infoTexts.last(), QString("Preparing to load ....."));
    QCOMPARE(SetupRig::frames(r.port2).last(), SetupFrames::Boot);
    QVERIFY(r.handedBack());
}

QTEST_GUILESS_MAIN(TestServiceInfo)
#include "test_service_info.moc"
