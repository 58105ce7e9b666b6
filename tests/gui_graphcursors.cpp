// The line cursors of a graph window: the A-B statistics from the slider in either order, a
// slider without range, dragging a line with the mouse (also beyond the last point), the read-out
// under the pointer and the mark on a clicked data point.
#include "app/SystemFormats.h"
#include "support/GraphTestState.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TwoThumbSlider.h"
#include "support/GraphFill.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

QPoint pixelOf(PESGraph *c, int i, double level)
{
    return c->GraphToPixel(c->XDataII(0, i), level).toPoint();
}

// Mouse events as the chart reports them, in the chart's own coordinates.
void press(PESGraph *c, QPoint p) { QTest::mousePress(c->plot(), Qt::LeftButton, {}, p - c->plot()->pos()); }
void move(PESGraph *c, QPoint p) { QTest::mouseMove(c->plot(), p - c->plot()->pos()); }
void release(PESGraph *c, QPoint p) { QTest::mouseRelease(c->plot(), Qt::LeftButton, {}, p - c->plot()->pos()); }

} // namespace

class GuiGraphCursors : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void statisticsDoNotDependOnTheThumbOrder()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(800, 600);
        // Two equal highest levels at 4 and 7: the earlier is shown.
        fill(g, 12, [](int i) { return i == 4 || i == 7 ? 88.0f : 40.0f + i; });
        g.Slider1->setValue1(2);
        g.Slider1->setValue2(9);
        const QStringList forward = {g.txtMaxAB->text(), g.txtMaxABTime->text(), g.txtMinAB->text(),
                                     g.txtMinABTime->text(), g.txtAvgAB->text()};
        QCOMPARE(g.txtMaxABTime->text(), dateTimeText(kT0 + 4 / 86400.0));
        QCOMPARE(g.txtMinAB->text(), QString("42.0"));
        g.Slider1->setValue1(9);
        g.Slider1->setValue2(2);
        QCOMPARE(state.CursorA, 9);
        QCOMPARE(state.CursorB, 2);
        const QStringList swapped = {g.txtMaxAB->text(), g.txtMaxABTime->text(), g.txtMinAB->text(),
                                     g.txtMinABTime->text(), g.txtAvgAB->text()};
        QCOMPARE(swapped, forward);
        // Line A follows its thumb, with the label of its point.
        QCOMPARE(g.PESGraph1->VertLineAnnotation(0), kT0 + 9 / 86400.0);
        QVERIFY(g.PESGraph1->VertLineAnnotationText(0).startsWith("|t"));
        QVERIFY(g.PESGraph1->VertLineAnnotationText(0).endsWith("\n49.0dB"));

        // Both cursors on one point.
        g.Slider1->setValue1(5);
        g.Slider1->setValue2(5);
        QCOMPARE(g.txtMaxAB->text(), QString("45.0"));
        QCOMPARE(g.txtMinAB->text(), QString("45.0"));
        QCOMPARE(g.txtAvgAB->text(), QString("45.0"));
        QCOMPARE(g.txtMaxABTime->text(), g.txtMinABTime->text());
    }

    void aSliderWithoutRangeChangesNoField()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        fill(g, 1, [](int) { return 61.5f; });
        QCOMPARE(g.Slider1->Maximum(), 0);
        g.txtCursorA->setText("untouched");
        g.Slider1->setValue1(0);
        g.Slider1ValueChange1();
        QCOMPARE(g.txtCursorA->text(), QString("untouched"));
    }

    void draggingALineStopsOnTheLastPoint()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(900, 600);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fill(g, 30, [](int i) { return 50.0f + i % 7; });
        PESGraph *c = g.PESGraph1;
        QCOMPARE(state.CursorA, 10);
        const QRect r = c->GraphRect();
        const QPoint onA = pixelOf(c, 10, 80);
        press(c, onA);
        QVERIFY(state.DragA);
        QVERIFY(!state.DragB);
        // Right of point 20: A moves onto the first point at or right of the pointer.
        const QPoint mid((pixelOf(c, 20, 80).x() + pixelOf(c, 21, 80).x()) / 2, onA.y());
        move(c, mid);
        QCOMPARE(state.CursorA, 21);
        QCOMPARE(g.Slider1->Value1(), 21);
        QCOMPARE(c->VertLineAnnotation(0), kT0 + 21 / 86400.0);
        QCOMPARE(g.txtCursorA->text(), levelText(c->YData(0, 21)));
        // At the right edge of the plot, beyond the last point's X: A stays on the last point.
        c->setManualScaleControlX(sgManualMinAndMax);
        c->setManualMinX(kT0);
        c->setManualMaxX(kT0 + 60 / 86400.0);
        c->Redraw();
        move(c, QPoint(r.right(), onA.y()));
        QCOMPARE(state.CursorA, 29);
        release(c, QPoint(r.right(), onA.y()));
        QVERIFY(!state.DragA);
        // Without a drag mark a move only updates the read-out.
        move(c, pixelOf(c, 3, 70));
        QCOMPARE(state.CursorA, 29);
        QVERIFY(!c->isZoomed());
    }

    void readOutOnThePlotEdgeAndNotOutside()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(800, 600);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fill(g, 10, [](int) { return 60.0f; });
        PESGraph *c = g.PESGraph1;
        const QRect r = c->GraphRect();
        QVERIFY(!g.Panel12->isVisible());
        g.PESGraph1MouseMove(r.topLeft());
        const QPointF at = c->PixelToGraph(r.left(), r.top());
        QCOMPARE(g.Panel12->text(), pointerReadout(at.y(), at.x()));
        QVERIFY(g.Panel12->text().contains("dB@"));
        QVERIFY(g.Panel12->isVisible());
        const QString before = g.Panel12->text();
        g.PESGraph1MouseMove(r.topLeft() - QPoint(3, 3));
        QCOMPARE(g.Panel12->text(), before);
    }

    void theSliderSpansThePlotAndItsThumbsStandUnderTheLines()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        // A recording with a gap: 20 readings a second apart, 10 more after ten minutes. The
        // statistics are shown before the window is, as when a graph file is opened.
        PESGraph *c = g.PESGraph1;
        PrepareChart(c, 1, 130, 30, 0, 0, 30);
        for (int i = 0; i < 30; ++i) {
            c->setXDataII(0, i, kT0 + (i < 20 ? i : 600 + i) / 86400.0);
            c->setYData(0, i, 60.0f);
        }
        c->Redraw();
        g.ShowChartStatistics();
        g.resize(700, 500);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        TwoThumbSlider *s = g.Slider1;
        const auto check = [&](const char *when) {
            QTest::qWait(20);
            const QRect plot = c->GraphRect();
            // The track runs between the thumbs' outermost centres.
            const QRect track(TwoThumbSlider::ThumbHeight / 2, 0, s->width() - TwoThumbSlider::ThumbHeight, 1);
            QCOMPARE(s->mapToGlobal(track.topLeft()).x(), c->mapToGlobal(plot.topLeft()).x());
            QCOMPARE(track.width(), plot.width());
            for (int line = 0; line < 2; ++line) {
                const int i = line == 0 ? state.CursorA : state.CursorB;
                const int lineX = c->mapToGlobal(c->GraphToPixel(c->VertLineAnnotation(line), 60).toPoint()).x();
                const int thumbX = s->mapToGlobal(QPoint(s->thumbCentre(i), 0)).x();
                QVERIFY2(std::abs(lineX - thumbX) <= 1, qPrintable(QString("%1: line %2 at %3, thumb at %4")
                                                                      .arg(when).arg(line).arg(lineX).arg(thumbX)));
            }
        };
        QCOMPARE(state.CursorB, 20);
        check("after show");
        g.resize(1300, 800);
        check("larger");
        g.resize(640, 480);
        check("smaller");
        // Dragging thumb A to the line of point 25 puts cursor A on that point.
        const int y = s->height() / 2;
        const int from = s->thumbCentre(state.CursorA);
        const int to = s->mapFromGlobal(c->mapToGlobal(pixelOf(c, 25, 60))).x();
        QTest::mousePress(s, Qt::LeftButton, {}, QPoint(from, y));
        QMouseEvent drag(QEvent::MouseMove, QPointF(to, y), s->mapToGlobal(QPointF(to, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s, &drag);
        QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(to, y));
        QCOMPARE(state.CursorA, 25);
        QCOMPARE(c->VertLineAnnotation(0), c->XDataII(0, 25));
    }

    void aClickedDataPointGetsTheMarkInSlotTwo()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(800, 600);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fill(g, 10, [](int i) { return 50.0f + i; });
        PESGraph *c = g.PESGraph1;
        // The set-up of a graph window does not offer data hot spots.
        QVERIFY(!c->look().allowDataHotSpots);
        QCOMPARE(c->HotSpotAt(pixelOf(c, 4, 54).x(), pixelOf(c, 4, 54).y()).kind, sgHotSpotNone);
        c->look().allowDataHotSpots = true;
        c->look().showVertLineAnnotations = false;
        c->Redraw();
        const HotSpot h = c->HotSpotAt(pixelOf(c, 4, 54).x(), pixelOf(c, 4, 54).y());
        QCOMPARE(h.kind, sgHotSpotData);
        QCOMPARE(h.point, 4);
        press(c, pixelOf(c, 4, 54));
        release(c, pixelOf(c, 4, 54));
        const GraphAnnotation &mark = c->graphAnnotation(2);
        QCOMPARE(mark.type, int(sgAnnotCross));
        QCOMPARE(mark.color, PEargb(255, 255, 255, 0));
        QCOMPARE(mark.x, c->XDataII(0, 4));
        QCOMPARE(mark.text, timeText(c->XDataII(0, 4)) + "\r54.0 dB");
        // A second click reuses the slot.
        press(c, pixelOf(c, 6, 56));
        QCOMPARE(c->graphAnnotation(2).x, c->XDataII(0, 6));
    }
};

QTEST_MAIN(GuiGraphCursors)
#include "gui_graphcursors.moc"
