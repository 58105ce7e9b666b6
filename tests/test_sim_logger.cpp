// The simulated meter's data logger: the standard memory holds varied, parseable data sets
// (including the page-boundary count field and an empty set), the block transfer over the wire
// with 'y', 'n' and 'Q', and the scripted faults of k352-sim.
#include "data/MemoryImageParser.h"
#include "panel/ReadingDecoder.h"
#include "sim/LoggerFaultCommands.h"
#include "sim/SimulatedMeter.h"
#include "support/Frames.h"

#include <QSet>
#include <QtTest>

namespace {
const QDateTime kStart(QDate(2026, 12, 9), QTime(12, 0, 0));

// Drives a meter directly on its timeline: a frame in at 9600 baud, then what came out by the
// time the wait is over.
struct Wire {
    SimulatedMeter meter{kStart};
    qint64 t = 0;
    QByteArray exchange(const QByteArray &frame, qint64 waitUs = 200000)
    {
        for (int i = 0; i < frame.size(); ++i)
            meter.receive(frame[i], t + (i + 1) * SimulatedMeter::ByteUs);
        t += frame.size() * SimulatedMeter::ByteUs + waitUs;
        return meter.takeOutput(t);
    }
};

quint8 sumOf(const QByteArray &block)
{
    quint8 s = 0;
    for (int i = 0; i < 64; ++i)
        s = quint8(s + quint8(block[i]));
    return s;
}

using R = LoggerCommandResult;
} // namespace

class TestSimLogger : public QObject {
    Q_OBJECT
private slots:
    void standardMemoryHoldsVariedSets();
    void blockTransferAcceptRejectAndQuit();
    void scriptedTransferFaults();
    void scriptedMemoryFaultsAndRecording();
    void memoryWritesAreEchoedUnlessSwitchedOff();
};

void TestSimLogger::standardMemoryHoldsVariedSets()
{
    const QList<SimDataSet> sets = LoggerMemory::standardSets();
    QVERIFY(sets.size() >= 5);
    QSet<int> intervals;
    QSet<QDate> days;
    bool a = false, c = false, empty = false;
    for (const SimDataSet &s : sets) {
        intervals << s.intervalSeconds;
        days << s.start.date();
        (s.weightingA ? a : c) = true;
        empty = empty || s.levels.isEmpty();
    }
    QVERIFY(intervals.contains(1) && intervals.contains(2) && intervals.contains(60));
    QCOMPARE(days.size(), sets.size());
    QVERIFY(a && c && empty);

    LoggerMemory memory;
    const QList<int> offsets = memory.store(sets);
    QCOMPARE(memory.setCountField(), sets.size());
    // One set's count field starts on the last byte of a page, which the meter leaves erased.
    int boundary = -1;
    for (int k = 0; k < offsets.size(); ++k) {
        if ((offsets[k] + 11) % 256 == 255)
            boundary = k;
    }
    QVERIFY(boundary >= 0);
    QCOMPARE(memory.at(offsets[boundary] + 11), quint8(0xFF));

    // The program's parser reads the sets back as they were stored.
    DataSetStore store;
    store.LastAddress = memory.endPointer();
    QCOMPARE(ParseMemoryImage(memory.bytes().left(memory.endPointer() + 1), store, 0), ParseResult::Loaded);
    QCOMPARE(store.setCount(), sets.size());
    for (int k = 0; k < sets.size(); ++k) {
        QCOMPARE(store.SetCount[k], qint32(sets[k].levels.size()));
        QCOMPARE(store.SetInterval[k], sets[k].intervalSeconds);
        QCOMPARE(store.isWeightingA(k), sets[k].weightingA);
        QCOMPARE(fromTDateTime(store.SetStart[k]), sets[k].start);
        QCOMPARE(store.SetHeaderOffset[k], offsets[k]);
    }
    QCOMPARE(store.SetEndOffset.last(), memory.endPointer());
}

void TestSimLogger::blockTransferAcceptRejectAndQuit()
{
    Wire w;
    const LoggerMemory &memory = w.meter.loggerMemory();
    QByteArray out = w.exchange(loggerFrame('P'));
    QCOMPARE(out.left(8), loggerFrame('P'));
    const QByteArray block0 = out.mid(8);
    QCOMPARE(block0.size(), 65);
    QCOMPARE(block0.left(64), memory.bytes().left(64));
    QCOMPARE(quint8(block0[64]), sumOf(block0));
    // 'n': the same block again; 'y': the next one.
    QCOMPARE(w.exchange(loggerFrame('n')), block0);
    const QByteArray block1 = w.exchange(loggerFrame('y'));
    QCOMPARE(block1, BlockTransfer::blockBytes(memory, 1));
    QCOMPARE(block1.left(64), memory.bytes().mid(64, 64));
    QCOMPARE(w.meter.blockTransfer().rejections(), 1);
    // 'Q' ends it: no more blocks, the live stream is back.
    out = w.exchange(loggerFrame('Q'), 300000);
    QVERIFY(!w.meter.blockTransfer().isActive());
    QCOMPARE(out.size(), 19);
    QCOMPARE(out.at(0), '\x02');
    QCOMPARE(out.at(18), '\x03');
    QCOMPARE(w.exchange(loggerFrame('y')), QByteArray());
}

void TestSimLogger::scriptedTransferFaults()
{
    Wire w;
    QCOMPARE(applyLoggerCommand(w.meter, "blockbadsum", "1"), R::Done);
    QCOMPARE(applyLoggerCommand(w.meter, "blockcut", "2 30"), R::Done);
    QCOMPARE(applyLoggerCommand(w.meter, "blocksilent", "3"), R::Done);
    const LoggerMemory &memory = w.meter.loggerMemory();
    w.exchange(loggerFrame('P'));
    QByteArray b = w.exchange(loggerFrame('y'));
    QCOMPARE(b.left(64), memory.bytes().mid(64, 64));
    QVERIFY(quint8(b[64]) != sumOf(b));
    QCOMPARE(w.exchange(loggerFrame('n')), BlockTransfer::blockBytes(memory, 1)); // once only
    QCOMPARE(w.exchange(loggerFrame('y')), BlockTransfer::blockBytes(memory, 2).left(30));
    QCOMPARE(w.exchange(loggerFrame('n')), BlockTransfer::blockBytes(memory, 2));
    QCOMPARE(w.exchange(loggerFrame('y')), BlockTransfer::blockBytes(memory, 3));
    QCOMPARE(w.exchange(loggerFrame('y'), 3000000), QByteArray()); // silent after block 3
    QCOMPARE(w.exchange(loggerFrame('n'), 3000000), QByteArray());
    // A new transfer runs without the faults that were spent.
    w.exchange(loggerFrame('Q'));
    w.exchange(QByteArray("\x02X\0\0\0\0\0\x03", 8)); // drain the live frame
    QCOMPARE(w.exchange(loggerFrame('P')).mid(8), BlockTransfer::blockBytes(memory, 0));
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(w.exchange(loggerFrame('y')), BlockTransfer::blockBytes(memory, k));

    // Arguments out of range or malformed are refused; other words are not these commands.
    for (const auto &[word, arg] : {std::pair{"blockbadsum", ""}, {"blockbadsum", "-1"}, {"blockbadsum", "x"},
                                    {"blockcut", "2"}, {"blockcut", "2 65"}, {"blockcut", "2 3 4"},
                                    {"blocksilent", "99999"}, {"damage", "5"}, {"setcount", "65536"},
                                    {"record", "maybe"}, {"memory", "1"}})
        QCOMPARE(applyLoggerCommand(w.meter, word, arg), R::BadArgument);
    QCOMPARE(applyLoggerCommand(w.meter, "badsum", ""), R::NotMine);
}

void TestSimLogger::scriptedMemoryFaultsAndRecording()
{
    SimulatedMeter m(kStart);
    LoggerMemory &memory = m.loggerMemory();
    const QByteArray pristine = memory.bytes();
    QCOMPARE(applyLoggerCommand(m, "damage", "2"), R::Done);
    DataSetStore store;
    store.LastAddress = memory.endPointer();
    QCOMPARE(ParseMemoryImage(memory.bytes(), store, 0), ParseResult::DamagedSet);
    QCOMPARE(store.FaultSet, 2);
    QCOMPARE(store.FaultOffset, memory.headerOffsets()[2] - 1);

    QCOMPARE(applyLoggerCommand(m, "setcount", "0"), R::Done);
    QCOMPARE(ParseMemoryImage(memory.bytes(), store, 0), ParseResult::NoDataSet);
    QCOMPARE(applyLoggerCommand(m, "setcount", "4001"), R::Done);
    QCOMPARE(ParseMemoryImage(memory.bytes(), store, 0), ParseResult::TooManySets);
    QCOMPARE(applyLoggerCommand(m, "memory", ""), R::Done);
    QCOMPARE(memory.bytes(), pristine);

    QCOMPARE(applyLoggerCommand(m, "record", "on"), R::Done);
    QVERIFY(decodeReading(SimulatedMeter::liveFrame(m.state(), kStart)).recording);
    QCOMPARE(applyLoggerCommand(m, "record", "off"), R::Done);
    QVERIFY(!decodeReading(SimulatedMeter::liveFrame(m.state(), kStart)).recording);
}

void TestSimLogger::memoryWritesAreEchoedUnlessSwitchedOff()
{
    Wire w;
    QByteArray write = loggerFrame('w', 0x0A);
    write[6] = char(0x07);
    // A write is answered by its echo alone; a read by the echo and the byte.
    QCOMPARE(w.exchange(write), write);
    QCOMPARE(w.exchange(loggerFrame('r', 0x0A)), loggerFrame('r', 0x0A) + char(0x07));
    QCOMPARE(applyLoggerCommand(w.meter, "writeecho", "off"), R::Done);
    write[6] = char(0x08);
    QCOMPARE(w.exchange(write), QByteArray());
    QCOMPARE(w.meter.loggerMemory().at(0x0A), quint8(0x08));
    QCOMPARE(applyLoggerCommand(w.meter, "writeecho", "maybe"), R::BadArgument);
    QCOMPARE(applyLoggerCommand(w.meter, "writeecho", "on"), R::Done);
    QCOMPARE(w.exchange(write), write);
}

QTEST_GUILESS_MAIN(TestSimLogger)
#include "test_sim_logger.moc"
