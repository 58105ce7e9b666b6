// The chart's state without a widget: readings with reset, null value and block transfers, change
// tracking, and the state block: round trips and the refusal of blocks it did not write.
#include "chart/ChartState.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <cstring>

namespace {

ChartState sampleState()
{
    ChartState s;
    s.data.setSubsets(2);
    s.data.setPoints(50);
    for (int i = 0; i < 50; ++i) {
        s.data.setXDataII(0, i, 46000.5 + i / 86400.0);
        s.data.setYData(0, i, 30.0f + float(i) * 0.5f);
    }
    s.data.setYData(1, 3, 9999.0f);
    s.look.mainTitle = QStringLiteral("Pegel äöü");
    s.look.subTitle = QStringLiteral(" ");
    s.look.xAxisLabel = QStringLiteral("Zeit");
    s.look.yAxisLabel = QStringLiteral("dB");
    s.look.manualScaleControlY = sgManualMinAndMax;
    s.look.manualMinY = 30;
    s.look.manualMaxY = 130;
    s.look.manualScaleControlX = sgManualMinAndMax;
    s.look.manualMinX = 46000.5;
    s.look.manualMaxX = 46000.6;
    s.look.dateTimeMode = sgVBDateTime;
    s.look.graphBackColor = PEargb(255, 0, 0, 0);
    s.look.deskColor = PEargb(255, 190, 190, 190);
    s.look.subsetColors = {PEargb(255, 255, 255, 0), PEargb(255, 255, 0, 0)};
    s.look.gridStyle = sgDot;
    s.look.tickFont = ChartFont{QStringLiteral("Sans"), 11, true, true};
    s.look.arrowCursor = sgArrowCross;
    GraphAnnotation *a = s.annotationForWrite(5);
    a->type = sgAnnotCross;
    a->x = 46000.55;
    a->y = 80;
    a->color = PEargb(255, 255, 255, 0);
    s.annotationForWrite(6)->text = QStringLiteral("Notiz\r2");
    s.vertLines[0] = {46000.51, QStringLiteral("|t12:00:00\n55.0dB")};
    s.vertLines[1] = {46000.59, QString()};
    return s;
}

void putU32(QByteArray &b, qsizetype at, quint32 v)
{
    v = qToLittleEndian(v);
    std::memcpy(b.data() + at, &v, 4);
}

void fixCrc(QByteArray &b)
{
    putU32(b, b.size() - 4, ChartStateCrc32(b.constData(), b.size() - 4));
}

} // namespace

class TestChartState : public QObject {
    Q_OBJECT
private slots:
    void resetNullAndBounds()
    {
        ChartData d;
        d.setPoints(10);
        QCOMPARE(d.Subsets(), 1);
        d.setXDataII(0, 2, 45000.25);
        d.setYData(0, 2, 65.5f);
        QVERIFY(d.isDrawn(0, 2, 9999.0f));
        QVERIFY(!d.isDrawn(0, 3, 9999.0f)); // never written
        d.setYData(0, 3, 9999.0f);
        QVERIFY(d.isWritten(0, 3));
        QVERIFY(!d.isDrawn(0, 3, 9999.0f)); // the null value
        // Writes outside the chart are ignored, reads give 0.
        d.setYData(0, 10, 1.0f);
        d.setXDataII(1, 0, 1.0);
        QCOMPARE(d.YData(0, 10), 0.0f);
        QCOMPARE(d.XDataII(0, -5), 0.0);
        // 0 at point -1 resets: X reads 0, nothing drawn.
        d.setYData(0, -1, 0.0f);
        QCOMPARE(d.XDataII(0, 2), 0.0);
        QCOMPARE(d.YData(0, 2), 0.0f);
        QVERIFY(!d.isDrawn(0, 2, 9999.0f));
        // A value other than 0 at -1 is no reset.
        d.setXDataII(0, 4, 7.0);
        d.setXDataII(0, -1, 1.0);
        QCOMPARE(d.XDataII(0, 4), 7.0);
        d.setXDataII(0, -1, 0.0);
        QCOMPARE(d.XDataII(0, 4), 0.0);
    }

    void pointsAndSubsetsResize()
    {
        ChartData d;
        d.setPoints(5);
        for (int i = 0; i < 5; ++i)
            d.setYData(0, i, float(i));
        d.setPoints(3); // keeps the lower points
        QCOMPARE(d.Points(), 3);
        QCOMPARE(d.YData(0, 2), 2.0f);
        d.setPoints(6);
        QVERIFY(!d.isWritten(0, 4));
        QCOMPARE(d.YData(0, 1), 1.0f);
        d.setSubsets(3);
        QCOMPARE(d.Subsets(), 3);
        QVERIFY(!d.isWritten(2, 0));
        QCOMPARE(d.YData(0, 1), 1.0f);
        d.setPoints(-4);
        QCOMPARE(d.Points(), 0);
    }

    void blockTransfers()
    {
        ChartData d;
        d.setPoints(4);
        const double xs[6] = {1, 2, 3, 4, 5, 6};
        const float ys[2] = {40.0f, 9999.0f};
        d.setXDataII(0, xs, 6); // more than Points: the first four taken
        d.setYData(0, ys, 2);   // fewer: only those points written
        QCOMPARE(d.XDataII(0, 3), 4.0);
        QCOMPARE(d.YData(0, 0), 40.0f);
        QVERIFY(!d.isDrawn(0, 1, 9999.0f));
        QVERIFY(!d.isWritten(0, 2));
        QVERIFY(d.change(0).structural);
    }

    void changeTracking()
    {
        ChartData d;
        d.setPoints(100);
        d.clearChanges();
        QVERIFY(!d.change(0).any());
        d.setXDataII(0, 40, 1.0);
        d.setYData(0, 41, 2.0f);
        QVERIFY(!d.change(0).structural);
        QCOMPARE(d.change(0).first, 40);
        QCOMPARE(d.change(0).last, 41);
        d.reset(0);
        QVERIFY(d.change(0).structural);
        d.clearChanges();
        d.setPoints(50);
        QVERIFY(d.change(0).structural);
    }

    void annotationSlots()
    {
        ChartState s;
        QVERIFY(!s.annotation(7).visible());
        QVERIFY(s.annotationForWrite(-1) == nullptr);
        QVERIFY(s.annotationForWrite(ChartState::kMaxGraphAnnotations) == nullptr);
        s.annotationForWrite(7)->type = sgAnnotTextOnly;
        QVERIFY(!s.annotation(7).visible()); // text only and empty: nothing shown
        s.annotationForWrite(7)->text = QStringLiteral("x");
        QVERIFY(s.annotation(7).visible());
        QCOMPARE(int(s.annotations.size()), 8);
    }

    void roundTrip()
    {
        const ChartState original = sampleState();
        const QByteArray block = SaveChartState(original);
        ChartState loaded;
        QCOMPARE(LoadChartState(block, loaded), ChartStateError::None);
        QVERIFY(loaded == original);
        QCOMPARE(loaded.data.YData(0, 49), 54.5f);
        QVERIFY(!loaded.data.isWritten(1, 0));
        QVERIFY(!loaded.data.isDrawn(1, 3, loaded.look.nullDataValueY));
        QCOMPARE(loaded.annotation(6).text, QStringLiteral("Notiz\r2"));
        QCOMPARE(loaded.look.mainTitle, QStringLiteral("Pegel äöü"));
        // Loading marks everything for a full rebuild.
        QVERIFY(loaded.data.change(0).structural);
        // Saving the loaded state gives the same block.
        QCOMPARE(SaveChartState(loaded), block);
    }

    // A state without subsets has no curve to show; one that claims 20,000,000 points besides
    // would have the next subset of the chart take them (240 MB) without a byte behind them.
    void refusesAStateWithoutSubsets()
    {
        ChartState empty;
        empty.data.setSubsets(0);
        QByteArray block = SaveChartState(empty);
        ChartState loaded = sampleState();
        const ChartState before = loaded;
        QCOMPARE(LoadChartState(block, loaded), ChartStateError::Malformed);
        putU32(block, block.size() - 8, quint32(ChartData::kMaxPoints));
        fixCrc(block);
        QCOMPARE(LoadChartState(block, loaded), ChartStateError::Malformed);
        QVERIFY(loaded == before);
    }

    void refusesForeignBlocks()
    {
        const ChartState original = sampleState();
        const QByteArray block = SaveChartState(original);
        ChartState target = sampleState();
        target.look.mainTitle = QStringLiteral("unchanged");
        const ChartState before = target;

        QCOMPARE(LoadChartState(QByteArray(), target), ChartStateError::TooShort);
        QCOMPARE(LoadChartState(QByteArray(4, '\0'), target), ChartStateError::TooShort);
        QByteArray other = block;
        other[0] = 'X';
        QCOMPARE(LoadChartState(other, target), ChartStateError::NotAChartState);
        QByteArray newer = block;
        newer[4] = 2;
        QCOMPARE(LoadChartState(newer, target), ChartStateError::Version);
        QByteArray flipped = block;
        flipped[100] = char(flipped[100] ^ 0x01);
        QCOMPARE(LoadChartState(flipped, target), ChartStateError::Checksum);
        QByteArray longer = block + QByteArray(8, '\0');
        QCOMPARE(LoadChartState(longer, target), ChartStateError::Length);
        QVERIFY(target == before);
    }

    // Counts that claim more than the block holds, with a valid checksum: refused before any
    // allocation of what they claim.
    void refusesAbsurdCounts()
    {
        ChartState small;
        small.data.setPoints(2);
        small.data.setYData(0, 0, 50.0f);
        QByteArray block = SaveChartState(small);
        const qsizetype pointsAt = block.size() - 4 - 2 * 12 - 4;
        const qsizetype subsetsAt = pointsAt - 4;
        ChartState target;

        QByteArray hugePoints = block;
        putU32(hugePoints, pointsAt, 0xFFFFFFFFu);
        fixCrc(hugePoints);
        QCOMPARE(LoadChartState(hugePoints, target), ChartStateError::Malformed);

        QByteArray claimsMore = block;
        putU32(claimsMore, pointsAt, 1'000'000);
        fixCrc(claimsMore);
        QCOMPARE(LoadChartState(claimsMore, target), ChartStateError::Malformed);

        QByteArray manySubsets = block;
        putU32(manySubsets, subsetsAt, 1000);
        fixCrc(manySubsets);
        QCOMPARE(LoadChartState(manySubsets, target), ChartStateError::Malformed);

        // The first string (the main title) claims 4 GB.
        QByteArray longTitle = block;
        putU32(longTitle, 12, 0xFFFFFFF0u);
        fixCrc(longTitle);
        QCOMPARE(LoadChartState(longTitle, target), ChartStateError::Malformed);
        QVERIFY(target == ChartState());
    }

    // Every truncation and many random mutations (with and without a repaired checksum) are
    // refused or, where a mutation is harmless, load; none may crash or read outside the block
    // (the sanitizer build checks the latter).
    void truncationAndMutationLoops()
    {
        const QByteArray block = SaveChartState(sampleState());
        ChartState target;
        for (qsizetype n = 0; n < block.size(); ++n) {
            QByteArray cut(block.constData(), n); // a separate buffer of exactly n bytes
            QVERIFY(LoadChartState(cut.constData(), n, target) != ChartStateError::None);
        }
        QRandomGenerator rng(352);
        int refused = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray m = block;
            const int changes = 1 + int(rng.bounded(4));
            for (int k = 0; k < changes; ++k)
                m[rng.bounded(int(m.size() - 16)) + 12] = char(rng.bounded(256));
            const bool repaired = round % 2 == 1;
            if (repaired)
                fixCrc(m);
            const ChartState before = target;
            const ChartStateError e = LoadChartState(m, target);
            if (e != ChartStateError::None) {
                ++refused;
                QVERIFY(target == before);
            }
            if (!repaired && m != block)
                QCOMPARE(e, ChartStateError::Checksum);
        }
        QVERIFY(refused >= 1500);
    }
};

QTEST_GUILESS_MAIN(TestChartState)
#include "test_chartstate.moc"
