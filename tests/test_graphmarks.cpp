// Crosses and text notes on a chart: where a click puts them, which slot they take, the list and
// its multi-row delete, the clear of the real-time chart, and marks kept by a graph file.
#include "app/SystemFormats.h"
#include "graph/GraphFile.h"
#include "graph/GraphMarks.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr double kDay = 46000.5;

double second(int s) { return kDay + s / 86400.0; }

struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

QList<int> slotsOf(const std::vector<MarkRow> &rows)
{
    QList<int> out;
    for (const MarkRow &r : rows)
        out << r.slot;
    return out;
}
} // namespace

class TestGraphMarks : public QObject {
    Q_OBJECT
private slots:
    void clickPositionByModeAndPlotEdges()
    {
        const QRect plot(50, 40, 100, 80); // pixels x 50..149, y 40..119; edges at 150 and 120
        QVERIFY(!markPixel(ClickMode::Normal, QPoint(60, 60), plot));
        QCOMPARE(*markPixel(ClickMode::Text, QPoint(60, 60), plot), QPoint(61, 67));
        QCOMPARE(*markPixel(ClickMode::Cross, QPoint(60, 60), plot), QPoint(60, 60) + GraphMarks::CrossOffset);
        // The shifted point decides, and the edges count as inside.
        QCOMPARE(*markPixel(ClickMode::Text, QPoint(149, 113), plot), QPoint(150, 120));
        QVERIFY(!markPixel(ClickMode::Text, QPoint(150, 60), plot));
        QVERIFY(!markPixel(ClickMode::Text, QPoint(60, 114), plot));
        QCOMPARE(*markPixel(ClickMode::Text, QPoint(49, 33), plot), QPoint(50, 40));
        QVERIFY(!markPixel(ClickMode::Cross, QPoint(49, 60), plot));
    }

    void placedMarksAreListedEmptyNotesAndSlotTwoAreNot()
    {
        const LocaleGuard de{QLocale(QLocale::German, QLocale::Germany)};
        ChartState chart;
        GraphAnnotation *point = chart.annotationForWrite(GraphMarks::DataPointSlot);
        point->type = sgAnnotCross;
        point->text = QStringLiteral("12:00:00\r55,0 dB");
        int counter = GraphMarks::CounterAtStart;

        QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(1), 60, QStringLiteral("ignored")), 5);
        QCOMPARE(placeMark(chart, counter, ClickMode::Text, second(2), 61, QStringLiteral("Tür zu")), 6);
        QCOMPARE(placeMark(chart, counter, ClickMode::Text, second(3), 62, QString()), 7);
        QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(4), 63), 8);
        QCOMPARE(placeMark(chart, counter, ClickMode::Normal, second(5), 64), -1);
        QCOMPARE(counter, 8);

        // The empty note took its slot but shows nothing.
        QCOMPARE(chart.annotation(7).type, int(sgAnnotTextOnly));
        QVERIFY(!chart.annotation(7).visible());
        QCOMPARE(chart.annotation(5).type, int(sgAnnotCross));
        QVERIFY(chart.annotation(5).text.isEmpty());
        QCOMPARE(chart.annotation(6).y, 61.0);

        const std::vector<MarkRow> rows = markRows(chart);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0], (MarkRow{1, 5, dateTimeText(second(1)), QStringLiteral("X")}));
        QCOMPARE(rows[1], (MarkRow{2, 6, dateTimeText(second(2)), QStringLiteral("Tür zu")}));
        QCOMPARE(rows[2], (MarkRow{3, 8, dateTimeText(second(4)), QStringLiteral("X")}));
        QCOMPARE(rows[0].time, QStringLiteral("09.12.25 12:00:01"));
    }

    void deletingRowsTwoToFourRemovesThoseThreeMarks()
    {
        ChartState chart;
        int counter = GraphMarks::CounterAtStart;
        for (int i = 0; i < 6; ++i)
            placeMark(chart, counter, i % 2 ? ClickMode::Cross : ClickMode::Text, second(i), 50 + i,
                      QStringLiteral("n%1").arg(i));
        const std::vector<MarkRow> rows = markRows(chart);
        QCOMPARE(slotsOf(rows), (QList<int>{5, 6, 7, 8, 9, 10}));

        // The selection may be given bottom row first.
        QCOMPARE(deleteMarkRows(chart, rows, 4, 2), 3);
        for (int slot : {6, 7, 8}) {
            QCOMPARE(chart.annotation(slot).type, int(sgAnnotTextOnly));
            QVERIFY(chart.annotation(slot).text.isEmpty());
        }
        const std::vector<MarkRow> after = markRows(chart);
        QCOMPARE(slotsOf(after), (QList<int>{5, 9, 10}));
        QCOMPARE(after[1].row, 2);

        // Rows past the list delete nothing; a double-click deletes one mark by its slot.
        QCOMPARE(deleteMarkRows(chart, after, 4, 9), 0);
        deleteMark(chart, 9);
        deleteMark(chart, 70000);
        deleteMark(chart, -1);
        QCOMPARE(slotsOf(markRows(chart)), (QList<int>{5, 10}));
    }

    void moreThan255MarksAreAllListedAndDeletable()
    {
        ChartState chart;
        int counter = GraphMarks::CounterAtStart;
        for (int i = 0; i < 300; ++i)
            QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(i), 40), 5 + i);
        std::vector<MarkRow> rows = markRows(chart);
        QCOMPARE(rows.size(), size_t(300));
        QCOMPARE(rows[279].slot, 284); // not 284 mod 256
        QCOMPARE(deleteMarkRows(chart, rows, 256, 280), 25);
        // Rows 256 .. 280 are slots 260 .. 284; row 255 (slot 259) and row 281 (slot 285) stay.
        QCOMPARE(chart.annotation(259).type, int(sgAnnotCross));
        QCOMPARE(chart.annotation(260).type, int(sgAnnotTextOnly));
        QCOMPARE(chart.annotation(284).type, int(sgAnnotTextOnly));
        QCOMPARE(chart.annotation(285).type, int(sgAnnotCross));
        rows = markRows(chart);
        QCOMPARE(rows.size(), size_t(275));
        QCOMPARE(rows.back().slot, 304);
    }

    void aFullChartReusesFreeSlotsAndThenRefuses()
    {
        ChartState chart;
        int counter = ChartState::kMaxGraphAnnotations - 2;
        QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(1), 40), ChartState::kMaxGraphAnnotations - 1);
        // The last slot is taken: the lowest free slot from 5 is used, the counter stays.
        QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(2), 41), 5);
        QCOMPARE(counter, ChartState::kMaxGraphAnnotations - 1);
        for (int n = GraphMarks::FirstSlot; n < ChartState::kMaxGraphAnnotations; ++n)
            chart.annotationForWrite(n)->type = sgAnnotCross;
        const ChartState before = chart;
        QCOMPARE(placeMark(chart, counter, ClickMode::Text, second(3), 42, QStringLiteral("voll")), -1);
        QVERIFY(chart == before);
        // An empty note's slot is free for a new mark.
        chart.annotationForWrite(300)->type = sgAnnotTextOnly;
        QCOMPARE(placeMark(chart, counter, ClickMode::Text, second(3), 42, QStringLiteral("frei")), 300);
        QCOMPARE(chart.annotation(300).text, QStringLiteral("frei"));
    }

    void theSharedCounterNeverOverwritesMarksOfAChart()
    {
        int counter = GraphMarks::CounterAtStart;
        ChartState first, second;
        for (int i = 0; i < 3; ++i)
            placeMark(first, counter, ClickMode::Cross, kDay, 50);
        QCOMPARE(counter, 7);
        // Another window takes the next slot of the shared counter; its list skips the empty ones.
        QCOMPARE(placeMark(second, counter, ClickMode::Cross, kDay, 50), 8);
        QCOMPARE(slotsOf(markRows(second)), (QList<int>{8}));

        // Marks loaded from a file above the counter stay; the new mark goes above them.
        ChartState loaded;
        for (int n = 5; n <= 12; ++n)
            loaded.annotationForWrite(n)->type = sgAnnotCross;
        int fresh = GraphMarks::CounterAtStart;
        QCOMPARE(placeMark(loaded, fresh, ClickMode::Text, kDay, 50, QStringLiteral("neu")), 13);
        QCOMPARE(fresh, 13);
        QCOMPARE(markRows(loaded).size(), size_t(9));
    }

    void clearRemovesEveryMarkFromSlotThreeAndRestartsAtFive()
    {
        ChartState chart;
        GraphAnnotation *point = chart.annotationForWrite(GraphMarks::DataPointSlot);
        point->type = sgAnnotCross;
        point->x = second(9);
        chart.annotationForWrite(3)->text = QStringLiteral("drei");
        int counter = GraphMarks::CounterAtStart;
        for (int i = 0; i < 5; ++i)
            placeMark(chart, counter, ClickMode::Text, second(i), 70, QStringLiteral("t"));
        // A mark above the counter (from another window's counter or a template) goes too.
        chart.annotationForWrite(40)->type = sgAnnotCross;
        chart.annotationForWrite(40)->x = second(40);

        clearMarks(chart, counter);
        QCOMPARE(counter, GraphMarks::CounterAtStart);
        for (int n = 3; n <= 40; ++n) {
            const GraphAnnotation &a = chart.annotation(n);
            QVERIFY(!a.visible());
            QCOMPARE(a.x, 0.0);
            QCOMPARE(a.y, 0.0);
        }
        QCOMPARE(chart.annotation(2).x, second(9)); // the data-point mark is not the user's
        QVERIFY(markRows(chart).empty());
        QCOMPARE(placeMark(chart, counter, ClickMode::Cross, second(1), 50), 5);
        QCOMPARE(slotsOf(markRows(chart)), (QList<int>{5}));
    }

    void marksSurviveAGraphFileButTheCounterGoesOn()
    {
        QTemporaryDir dir;
        ChartState chart;
        chart.data.setPoints(3);
        int counter = GraphMarks::CounterAtStart;
        placeMark(chart, counter, ClickMode::Cross, second(1), 50);
        placeMark(chart, counter, ClickMode::Text, second(2), 51, QStringLiteral("Notiz"));
        const QString path = dir.filePath(QStringLiteral("marks.ghf"));
        QVERIFY(saveGraphFile(chart, path).ok());

        ChartState reopened;
        QVERIFY(loadGraphFile(path, reopened).ok());
        QCOMPARE(markRows(reopened), markRows(chart));
        QCOMPARE(reopened.annotation(6).text, QStringLiteral("Notiz"));
        // Placed after reopening, with the counter where it was: the next slot, not over a loaded mark.
        QCOMPARE(placeMark(reopened, counter, ClickMode::Cross, second(3), 52), 7);
    }

    void marksShowOnThePlotBackground()
    {
        ChartLook look;
        look.graphBackColor = PEargb(255, 0, 0, 0);
        QCOMPARE(markColor(look), PEargb(255, 255, 255, 255));
        look.graphBackColor = PEargb(255, 255, 255, 255);
        QCOMPARE(markColor(look), PEargb(255, 0, 0, 0));
        ChartState chart;
        chart.look.graphBackColor = PEargb(255, 10, 10, 40);
        int counter = GraphMarks::CounterAtStart;
        const int slot = placeMark(chart, counter, ClickMode::Cross, kDay, 50);
        QCOMPARE(chart.annotation(slot).color, PEargb(255, 255, 255, 255));
    }
};

QTEST_GUILESS_MAIN(TestGraphMarks)
#include "test_graphmarks.moc"
