// The memory image parser: counts, the page-boundary count field, markers at page starts, value
// and interval rules, ties, replacement of the store only on success, images too short.
#include "logger/DataSetDisplay.h"
#include "data/MemoryImageParser.h"
#include "support/ImageBuilder.h"

#include <QtTest>

namespace {
constexpr TDateTime kNow = 46000.25;

int parse(const QByteArray &img, DataSetStore &store)
{
    store.LastAddress = lastAddressOf(img);
    return int(ParseMemoryImage(img, store, kNow));
}
} // namespace

class TestParser : public QObject {
    Q_OBJECT
private slots:
    void setCountLimits();
    void pageBoundaryCountFieldIsSearched();
    void startMarkerMissingAtPageStart();
    void valueAndIntervalRules();
    void tiesAndStatistics();
    void failedParseKeepsPreviousCollection();
    void shortImagesAreDamagedNotRead();
    void undecodableStartGetsNow();
    void listRowsAndDisplay();
};

void TestParser::setCountLimits()
{
    DataSetStore store;
    ImageBuilder b;
    for (int i = 0; i < 4000; ++i)
        b.add(ImageSet{});
    QCOMPARE(parse(b.finish(), store), 0);
    QCOMPARE(store.setCount(), 4000);
    QCOMPARE(store.SetHeaderOffset.last(), 1024 + 3999 * 16);
    QCOMPARE(parse(b.finish(4001), store), 2);
    QCOMPARE(parse(b.finish(0), store), 6);
    QCOMPARE(store.setCount(), 4000);
}

void TestParser::pageBoundaryCountFieldIsSearched()
{
    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 1, ramp(114)});
    ImageSet s;
    s.values = ramp(10);
    s.storedCount = 0xFF0003; // whatever the field says
    QCOMPARE(b.add(s), 1268);
    b.add(ImageSet{0x00, QByteArray("\x26\x11\x03\x08\x15\x00", 6), 0, 2, ramp(3)});
    DataSetStore store;
    QCOMPARE(parse(b.finish(), store), 0);
    QCOMPARE(store.SetCount, (QList<qint32>{114, 10, 3}));
    QCOMPARE(store.SetEndOffset[1], 1268 + 15 + 20);
    QCOMPARE(store.SetHeaderOffset[2], store.SetEndOffset[1] + 1);
}

void TestParser::startMarkerMissingAtPageStart()
{
    for (int n : {120, 121}) {
        ImageBuilder b;
        b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 1, ramp(n)});
        ImageSet s;
        s.values = ramp(5);
        s.startMarker = false;
        const int q = b.add(s);
        DataSetStore store;
        store.FaultSet = -7;
        const int code = parse(b.finish(), store);
        if (n == 120) {
            QCOMPARE(q, 1280);
            QCOMPARE(code, 0);
            QCOMPARE(store.SetCount[1], 5);
            QCOMPARE(store.FaultSet, -7);
        } else {
            QCOMPARE(q, 1282);
            QCOMPARE(code, 1);
            QCOMPARE(store.FaultSet, 1);
            QCOMPARE(store.FaultOffset, 1281);
            QVERIFY(store.isEmpty());
        }
    }
}

void TestParser::valueAndIntervalRules()
{
    QCOMPARE(decodeLevel(0x00, 0xC8), 20.0f);
    QCOMPARE(decodeLevel(0x05, 0x78), 140.0f);
    QCOMPARE(decodeLevel(0x00, 0xC7), 50.0f);
    QCOMPARE(decodeLevel(0x05, 0x79), 50.0f);
    QCOMPARE(decodeLevel(0x0F, 0xFF), 50.0f);
    QCOMPARE(decodeLevel(0xF0, 0xC8), 20.0f);
    QCOMPARE(decodeInterval(0x01, 0x00), 60);
    QCOMPARE(decodeInterval(0x01, 0x01), 2);
    QCOMPARE(decodeInterval(0x00, 0x00), 0);
    QCOMPARE(decodeInterval(0xF0, 0x59), 59);

    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 0, {0x0C7, 0x300, 0x579}});
    DataSetStore store;
    QCOMPARE(parse(b.finish(), store), 0);
    QCOMPARE(store.Levels, (QList<float>{50.0f, 76.8f, 50.0f}));
    QCOMPARE(store.LevelTimes[0], store.SetStart[0]);
    QCOMPARE(store.LevelTimes[2], store.SetStart[0]);
    QCOMPARE(store.SetMean[0], (50.0 + double(76.8f) + 50.0) / 3);
}

void TestParser::tiesAndStatistics()
{
    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 2, {600, 800, 400, 800, 400}});
    b.add({0x00, QByteArray("\x26\x11\x02\x09\x00\x00", 6), 0, 1, {}});
    b.add({0x00, QByteArray("\x26\x11\x02\x10\x00\x00", 6), 0, 1, {700}});
    DataSetStore store;
    QCOMPARE(parse(b.finish(), store), 0);
    QCOMPARE(store.SetMaxIndex, (QList<qint32>{1, 0, 0}));
    QCOMPARE(store.SetMinIndex, (QList<qint32>{2, 0, 0}));
    QCOMPARE(store.SetMean[1], 0.0);
    QCOMPARE(store.setOffset(1), 5);
    QCOMPARE(store.setOffset(2), 5);
    QCOMPARE(store.Levels.size(), 6);
    QCOMPARE(store.LevelTimes[4], store.SetStart[0] + 4 * 2.0 / 86400.0);
    // The invariants that tie the lists together.
    for (int k = 0; k < store.setCount(); ++k)
        QCOMPARE(store.SetCount[k], (store.SetEndOffset[k] - store.SetHeaderOffset[k] - 15) / 2);

    // A second parse replaces every statistic.
    ImageBuilder c;
    c.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 2, {900, 300}});
    QCOMPARE(parse(c.finish(), store), 0);
    QCOMPARE(store.setCount(), 1);
    QCOMPARE(store.SetMaxIndex, (QList<qint32>{0}));
    QCOMPARE(store.SetMinIndex, (QList<qint32>{1}));
    QCOMPARE(store.SetMean[0], (double(90.0f) + double(30.0f)) / 2);
}

void TestParser::failedParseKeepsPreviousCollection()
{
    DataSetStore store;
    ImageBuilder good;
    good.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 2, ramp(10)});
    good.add({0x08, QByteArray("\x26\x11\x02\x09\x15\x00", 6), 0, 2, ramp(20, 700)});
    QCOMPARE(parse(good.finish(), store), 0);
    const DataSetStore before = store;

    ImageBuilder bad;
    bad.add({0x08, QByteArray("\x26\x10\x02\x08\x15\x00", 6), 0, 1, ramp(3)});
    bad.add({0x08, QByteArray("\x26\x10\x02\x08\x15\x00", 6), 0, 1, ramp(4)});
    ImageSet broken;
    broken.values = ramp(5);
    broken.endMarker = false;
    broken.startMarker = false;
    bad.add(broken);
    QCOMPARE(parse(bad.finish(), store), 1);
    QCOMPARE(store.FaultSet, 2);
    QCOMPARE(store.FaultOffset, 1024 + 22 + 24 - 1);
    QCOMPARE(store.SetCount, before.SetCount);
    QCOMPARE(store.SetMean, before.SetMean);
    QCOMPARE(store.Levels, before.Levels);
    QCOMPARE(store.SetStart, before.SetStart);
}

void TestParser::shortImagesAreDamagedNotRead()
{
    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 2, ramp(50)});
    QByteArray img = b.finish(-1, 0);
    DataSetStore store;
    store.LastAddress = lastAddressOf(img);
    // Cut off inside the set: the header still claims the full length.
    const QByteArray cut = img.left(1024 + 40);
    QCOMPARE(ParseMemoryImage(cut, store, kNow), ParseResult::DamagedSet);
    QCOMPARE(ParseMemoryImage(img.left(1030), store, kNow), ParseResult::DamagedSet);
    QCOMPARE(ParseMemoryImage(img.left(10), store, kNow), ParseResult::NoDataSet);
    QCOMPARE(lastAddressOf(img.left(13)), -1);
    // End pointer beyond the image, the set's end marker the last byte of the image: accepted.
    QCOMPARE(ParseMemoryImage(img, store, kNow), ParseResult::Loaded);
    QCOMPARE(store.SetCount[0], 50);
}

void TestParser::undecodableStartGetsNow()
{
    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x00\x02\x08\x15\x00", 6), 0, 2, ramp(2)}); // month 0
    b.add({0x08, QByteArray("\x26\x1A\x02\x08\x15\x00", 6), 0, 2, ramp(2)}); // not BCD
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 2, ramp(2)});
    DataSetStore store;
    QCOMPARE(parse(b.finish(), store), 0);
    QCOMPARE(store.SetStart[0], kNow);
    QCOMPARE(store.SetStart[1], kNow);
    QCOMPARE(fromTDateTime(store.SetStart[2]), QDateTime(QDate(2026, 11, 2), QTime(8, 15, 0)));
}

void TestParser::listRowsAndDisplay()
{
    ImageBuilder b;
    b.add({0x08, QByteArray("\x26\x11\x02\x08\x15\x07", 6), 0, 2, {600, 800, 400}});
    b.add({0x00, QByteArray("\x26\x11\x02\x09\x00\x00", 6), 1, 0, {}});
    DataSetStore store;
    QCOMPARE(parse(b.finish(), store), 0);
    const QLocale de(QLocale::German, QLocale::Germany);
    const auto rows = dataSetListRows(store, de);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], (QStringList{"1", de.toString(QDate(2026, 11, 2), QLocale::ShortFormat), "08:15:07", "00:02",
                                    "3", "A"}));
    QCOMPARE(rows[1][3], QString("01:00"));
    QCOMPARE(rows[1][5], QString("C"));

    const DataSetDisplay d = ShowDataSet(store, 0, de);
    QCOMPARE(d.count, 3);
    QCOMPARE(d.x, store.LevelTimes.constData());
    QCOMPARE(d.y, store.Levels.constData());
    QCOMPARE(d.chart.minX, store.SetStart[0]);
    QCOMPARE(d.chart.maxX, store.SetStart[0] + 3 * 2.0 / 86400.0);
    QCOMPARE(d.txtMax, QString("80,0"));
    QCOMPARE(d.txtMin, QString("40,0"));
    QVERIFY(d.txtMaxTime.endsWith("08:15:09"));
    QCOMPARE(d.txtAvgAll, QString("60,0"));
    QCOMPARE(d.sliderThumb1, 1);
    QCOMPARE(d.sliderThumb2, 2);
    const DataSetDisplay e = ShowDataSet(store, 1, de);
    QCOMPARE(e.count, 0);
    QVERIFY(e.x == nullptr && e.txtMax.isEmpty());
    QCOMPARE(ShowDataSet(store, 2, de).set, -1);
}

QTEST_GUILESS_MAIN(TestParser)
#include "test_parser.moc"
