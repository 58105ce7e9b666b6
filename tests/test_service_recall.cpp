// The stored-values recall: decoding of the single-value memory into the window's rows, and the
// whole command against the simulated meter on virtual time (refusals, rows emptied and filled,
// the block loop's end, the link handed back with nothing of the transfer left for the live link).
#include "app/Catalogue.h"
#include "logger/SingleValuesRecall.h"
#include "sim/SimPort.h"
#include "support/ServiceUis.h"

#include <QtTest>

namespace {
QByteArray record(quint8 flags, QByteArray dateTime, quint8 hi, quint8 lo)
{
    return QByteArray(1, char(flags)) + dateTime + char(hi) + char(lo) + '\0';
}

QByteArray memoryWith(const QList<QByteArray> &records, int count = -1)
{
    QByteArray m(1024, '\0');
    m[20] = char(count < 0 ? records.size() : count);
    for (int i = 0; i < records.size(); ++i)
        m.replace(26 + 10 * i, 10, records[i]);
    return m;
}

const QByteArray March15("\x20\x03\x15\x09\x05\x30", 6);

struct Rig {
    VirtualClock clock{46000.5};
    SimulatedMeter meter{QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0))};
    SimPort port{clock};
    LinkState state;
    ManualTimer timer{1000};
    ScriptedRecallUi ui;
    SingleValuesRecall recall{state, port, clock, timer, ui};
    int handlerCalls = 0;
    QByteArray delivered;
    Rig()
    {
        port.addDevice("ttyUSB0", &meter);
        port.setDeviceName("ttyUSB0");
        port.open();
        port.setRxHandler([this] {
            ++handlerCalls;
            delivered += port.read(port.bytesWaiting());
        });
        state.Connected = true;
        timer.setEnabled(true);
    }
    QList<QByteArray> frames() const
    {
        QList<QByteArray> out;
        const QByteArray all = port.written();
        for (int i = 0; i + 8 <= all.size(); i += 8)
            out << all.mid(i, 8);
        return out;
    }
};
} // namespace

class TestServiceRecall : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void levelsWeightingsAndSpeeds();
    void datesAndInvalidDates();
    void countRulesAndShortMemory();
    void recallFillsRowsAndEmptiesTheRest();
    void sixteenBlocksThenQuitAndEndLeaveNothingForTheLiveLink();
    void refusalsSendNothing();
    void tooManyBadBlocksEndWithoutRows();
    void silentMeterEndsAfterTheTimeLimit();
    void valueStoredWithTheMemKeyIsRecalled();
};

void TestServiceRecall::levelsWeightingsAndSpeeds()
{
    const QByteArray m = memoryWith({record(0x18, March15, 0x09, 0x45), record(0x00, March15, 0x15, 0x00),
                                     record(0x08, March15, 0x15, 0x01), record(0x10, March15, 0x99, 0x99)});
    const auto readings = decodeStoredReadings(m);
    QCOMPARE(readings.size(), 4);
    QStringList levels, weightings, speeds;
    for (const StoredReading &r : readings) {
        const QStringList c = storedReadingCells(r);
        levels << c[0];
        weightings << c[3];
        speeds << c[4];
    }
    QCOMPARE(levels, (QStringList{"94.5", "150.0", "----", "----"}));
    QCOMPARE(weightings, (QStringList{LoadStr(19), LoadStr(18), LoadStr(19), LoadStr(18)}));
    QCOMPARE(speeds, (QStringList{LoadStr(15), LoadStr(14), LoadStr(14), LoadStr(15)}));
    QCOMPARE(LoadStr(19), QString("dBA"));
    QCOMPARE(LoadStr(14), QString("SLOW"));
    // The system's number format.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(storedReadingCells(readings[0])[0], QString("94,5"));
    // Digits are not checked: 0x1A reads as 20.
    QCOMPARE(bcdValue(0x1A), 20);
}

void TestServiceRecall::datesAndInvalidDates()
{
    const QByteArray month0("\x20\x00\x15\x09\x05\x30", 6);
    // Month 0 as a later record: the row above's date and time.
    auto r = decodeStoredReadings(memoryWith({record(0x18, March15, 0x05, 0x00), record(0x18, month0, 0x05, 0x00)}));
    QCOMPARE(r.size(), 2);
    QCOMPARE(fromTDateTime(r[0].when), QDateTime(QDate(2020, 3, 15), QTime(9, 5, 30)));
    QVERIFY(!r[1].dateValid);
    QCOMPARE(r[1].when, r[0].when);
    QStringList cells = storedReadingCells(r[0]);
    QCOMPARE(cells[1], QLocale().toString(QDate(2020, 3, 15), QLocale::ShortFormat));
    QCOMPARE(cells[2], QString("09:05:30"));
    QCOMPARE(storedReadingCells(r[1]).mid(1, 2), cells.mid(1, 2));

    // As the first record: the zero of the date-time scale.
    r = decodeStoredReadings(memoryWith({record(0x18, month0, 0x05, 0x00), record(0x18, March15, 0x05, 0x00)}));
    QCOMPARE(r[0].when, 0.0);
    cells = storedReadingCells(r[0]);
    QCOMPARE(cells[1], QLocale().toString(QDate(1899, 12, 30), QLocale::ShortFormat));
    QCOMPARE(cells[2], QString("00:00:00"));
    // A time out of range is as invalid as a date.
    r = decodeStoredReadings(memoryWith({record(0x18, March15, 0x05, 0x00),
                                         record(0x18, QByteArray("\x20\x03\x15\x24\x00\x00", 6), 0x05, 0x00)}));
    QCOMPARE(r[1].when, r[0].when);
}

void TestServiceRecall::countRulesAndShortMemory()
{
    const QList<QByteArray> three{record(0x18, March15, 0x05, 0x00), record(0x18, March15, 0x05, 0x00),
                                  record(0x18, March15, 0x05, 0x00)};
    QCOMPARE(decodeStoredReadings(memoryWith(three, 100)).size(), 0);
    QCOMPARE(decodeStoredReadings(memoryWith(three, 99)).size(), 99);
    QCOMPARE(storedReadingCount(memoryWith(three, 100)), 0);
    QCOMPARE(decodeStoredReadings(memoryWith(three).left(1023)).size(), 0);
}

void TestServiceRecall::recallFillsRowsAndEmptiesTheRest()
{
    Rig r;
    auto out = r.recall.RECALL1Click();
    QCOMPARE(out.kind, SingleValuesRecall::Outcome::Finished);
    QCOMPARE(out.memory.size(), 1024);
    // The simulated meter's five: both weightings, 150.0 shown, 150.1 not, an invalid date.
    QCOMPARE(r.ui.rows[1], (QStringList{"94.5", QLocale().toString(QDate(2026, 11, 30), QLocale::ShortFormat),
                                        "09:05:30", "dBA", "FAST"}));
    QCOMPARE(r.ui.rows[2][3], QString("dBC"));
    QCOMPARE(r.ui.rows[2][4], QString("SLOW"));
    QCOMPARE(r.ui.rows[3][0], QString("150.0"));
    QCOMPARE(r.ui.rows[4].mid(1, 2), r.ui.rows[3].mid(1, 2));
    QCOMPARE(r.ui.rows[5][0], QString("----"));
    QVERIFY(r.ui.rowEmpty(6));

    // An earlier recall of more readings leaves nothing behind.
    QList<SimReading> three = LoggerMemory::standardReadings().mid(0, 3);
    r.meter.loggerMemory().setReadings(three);
    out = r.recall.RECALL1Click();
    QCOMPARE(out.readings.size(), 3);
    QCOMPARE(r.ui.clears, 2);
    QCOMPARE(r.ui.windowsPrepared, 2);
    for (int row = 1; row <= 3; ++row)
        QVERIFY(!r.ui.rowEmpty(row));
    for (int row = 4; row <= 99; ++row)
        QVERIFY2(r.ui.rowEmpty(row), qPrintable(QString::number(row)));
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.port.rxHandler());
    QVERIFY(!r.ui.busy);
    QVERIFY(r.ui.messages.isEmpty());
}

void TestServiceRecall::sixteenBlocksThenQuitAndEndLeaveNothingForTheLiveLink()
{
    Rig r;
    r.recall.RECALL1Click();
    QList<QByteArray> frames = r.frames();
    // 'P', a 'y' for each of the sixteen blocks, then 'Q' and 'X', all on the logger frame.
    QCOMPARE(frames.first(), QByteArray("\x02P\0\0\0\0\0\x03", 8));
    QCOMPARE(frames.size(), 19);
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(frames[i][1], 'y');
    QCOMPARE(frames[17][1], 'Q');
    QCOMPARE(frames[18][1], 'X');
    QCOMPARE(r.state.LoggerFrame[1], 'X');
    // The meter sent a seventeenth block on the sixteenth 'y'; it was not read as data and is not
    // handed to the live link.
    QCOMPARE(r.meter.blockTransfer().blocksSent(), 17);
    // Whatever the live link receives now are whole live frames.
    r.port.write(QByteArray("\x02\x61\0\0\0\0\0\x03", 8));
    r.clock.advanceMs(200);
    r.port.deliver();
    QVERIFY(!r.delivered.isEmpty());
    QCOMPARE(r.delivered.size() % 19, 0);
    for (int i = 0; i < r.delivered.size(); i += 19) {
        QCOMPARE(r.delivered[i], '\x02');
        QCOMPARE(r.delivered[i + 18], '\x03');
    }
}

void TestServiceRecall::refusalsSendNothing()
{
    Rig r;
    r.ui.rows[7] = QStringList{"1", "2", "3", "4", "5"};
    r.state.Connected = false;
    auto out = r.recall.RECALL1Click();
    QCOMPARE(out.kind, SingleValuesRecall::Outcome::NotConnected);
    QCOMPARE(r.ui.messages, QStringList{LoadStr(103)});
    QVERIFY(r.ui.rowEmpty(7));
    QCOMPARE(r.ui.windowsPrepared, 1);

    r.state.Connected = true;
    r.state.MeterRecording = true;
    out = r.recall.RECALL1Click();
    QCOMPARE(out.kind, SingleValuesRecall::Outcome::Recording);
    QCOMPARE(r.ui.messages.last(),
             QString::fromUtf8("Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten öffnen."));
    QVERIFY(r.port.written().isEmpty());
    QVERIFY(r.timer.isEnabled());
}

void TestServiceRecall::tooManyBadBlocksEndWithoutRows()
{
    Rig r;
    r.meter.blockTransfer().alwaysBadSums(true);
    const auto out = r.recall.RECALL1Click();
    QCOMPARE(r.recall.blocksRejected(), 21);
    QVERIFY(out.memory.isEmpty());
    QVERIFY(out.readings.isEmpty());
    QVERIFY(r.ui.rowEmpty(1));
    const QList<QByteArray> frames = r.frames();
    QCOMPARE(frames[frames.size() - 2][1], 'Q');
    QCOMPARE(frames.last()[1], 'X');
    QVERIFY(r.timer.isEnabled());
}

void TestServiceRecall::silentMeterEndsAfterTheTimeLimit()
{
    Rig r;
    r.meter.silence(-1);
    const qint64 start = r.clock.elapsedUs();
    const auto out = r.recall.RECALL1Click();
    QVERIFY(out.readings.isEmpty());
    QVERIFY(r.clock.elapsedUs() - start >= 3'000'000);
    // Three 'P' attempts without an echo, then 'X' alone.
    const QList<QByteArray> frames = r.frames();
    QCOMPARE(frames.size(), 4);
    QCOMPARE(frames.last()[1], 'X');
    QVERIFY(r.ui.messages.isEmpty());
    QVERIFY(r.port.rxHandler());
}

void TestServiceRecall::valueStoredWithTheMemKeyIsRecalled()
{
    Rig r;
    r.meter.state().weightingA = false;
    r.meter.state().fast = false;
    r.port.write(QByteArray("\x02R\0\0\0\0\0\x03", 8));
    r.clock.advanceMs(50);
    r.port.purgeInput();
    const auto out = r.recall.RECALL1Click();
    QCOMPARE(out.readings.size(), 6);
    const StoredReading &v = out.readings.last();
    QCOMPARE(qRound(v.level * 10), int(r.meter.state().storedValues.last()));
    QVERIFY(!v.weightingA);
    QVERIFY(!v.fast);
    QCOMPARE(fromTDateTime(v.when).date(), QDate(2026, 12, 9));
}

QTEST_GUILESS_MAIN(TestServiceRecall)
#include "test_service_recall.moc"
