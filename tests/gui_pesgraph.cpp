// The chart widget offscreen: which points reach the plot (null values, reset, appended tails),
// pixel and chart coordinates, the date axis, the state block through the widget, annotation hot
// spots, zoom undo and printing to a PDF file.
#include "app/TDateTime.h"
#include "chart/ui/PESGraph.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <qcustomplot.h>

namespace {

// A zone away from UTC, so that a shifted date axis shows; set before the application starts.
const bool kZoneSet = qputenv("TZ", "Europe/Berlin");

constexpr double kDay0 = 46000.5; // a TDateTime at noon

void fill(PESGraph &g, int points, double firstX = kDay0)
{
    g.setPoints(points);
    for (int i = 0; i < points; ++i) {
        g.setXDataII(0, i, firstX + i / 86400.0);
        g.setYData(0, i, 40.0f + float(i % 10));
    }
}

// Values of the plot's data for subset 0, NaN where a gap is drawn.
QVector<double> plotted(const PESGraph &g, int subset = 0)
{
    QVector<double> v;
    auto data = g.plot()->graph(subset)->data();
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        v.append(it->value);
    return v;
}

} // namespace

class TestPESGraph : public QObject {
    Q_OBJECT
private slots:
    void nullAndUnwrittenPointsAreNotDrawn()
    {
        PESGraph g;
        g.setPoints(6);
        for (int i = 0; i < 6; ++i)
            g.setXDataII(0, i, 1.0 + i);
        g.setYData(0, 0, 50.0f);
        g.setYData(0, 1, 9999.0f);
        g.setYData(0, 2, 52.0f);
        // points 3..5 keep their X but no Y: not in the plot at all
        g.Redraw();
        const QVector<double> v = plotted(g);
        QCOMPARE(v.size(), 3);
        QCOMPARE(v[0], 50.0);
        QVERIFY(std::isnan(v[1]));
        QCOMPARE(v[2], 52.0);

        // Another null level chosen later applies to the points already drawn.
        g.setNullDataValueY(52.0f);
        g.Redraw();
        QVERIFY(!std::isnan(plotted(g)[1]));
        QVERIFY(std::isnan(plotted(g)[2]));
    }

    void resetAtPointMinusOneEmptiesTheSubset()
    {
        PESGraph g;
        g.setSubsets(2);
        fill(g, 20);
        g.setYData(1, 0, 70.0f);
        g.Redraw();
        QCOMPARE(plotted(g).size(), 20);
        g.setYData(0, -1, 0.0f);
        g.Redraw();
        QCOMPARE(plotted(g).size(), 0);
        QCOMPARE(g.XDataII(0, 5), 0.0);
        QCOMPARE(plotted(g, 1).size(), 1); // the other subset stays
        g.setXDataII(1, -1, 0.0);
        g.Redraw();
        QCOMPARE(plotted(g, 1).size(), 0);
    }

    void appendedTailAndChangedPointsBothReachThePlot()
    {
        PESGraph g;
        g.setPoints(100);
        for (int i = 0; i < 10; ++i) {
            g.setXDataII(0, i, double(i));
            g.setYData(0, i, float(i));
        }
        g.Redraw();
        QCOMPARE(plotted(g).size(), 10);
        // Appended point: added to the data.
        g.setXDataII(0, 10, 10.0);
        g.setYData(0, 10, 99.0f);
        g.Redraw();
        QCOMPARE(plotted(g).size(), 11);
        QCOMPARE(plotted(g).last(), 99.0);
        // A point already drawn is changed: the plot follows.
        g.setYData(0, 3, 77.0f);
        g.Redraw();
        QCOMPARE(plotted(g)[3], 77.0);
        QCOMPARE(plotted(g).size(), 11);
        // A whole-subset transfer replaces the data.
        const std::vector<double> xs{0, 1, 2};
        const std::vector<float> ys{5, 6, 7};
        g.setPoints(3);
        g.setXDataII(0, xs.data(), 3);
        g.setYData(0, ys.data(), 3);
        g.Redraw();
        QCOMPARE(plotted(g), (QVector<double>{5, 6, 7}));
        // Appended X going backwards still ends up sorted in the plot.
        g.setPoints(4);
        g.setXDataII(0, 3, 1.5);
        g.setYData(0, 3, 8.0f);
        g.Redraw();
        QCOMPARE(plotted(g), (QVector<double>{5, 6, 8, 7}));
    }

    void scaleFollowsAppendedPointsAndOneReplotPerChange()
    {
        PESGraph g;
        g.resize(400, 300);
        g.setPoints(10);
        g.setXDataII(0, 0, 1.0);
        g.setYData(0, 0, 50.0f);
        g.setXDataII(0, 1, 2.0);
        g.setYData(0, 1, 9999.0f); // a gap does not widen the scale
        g.Redraw();
        QCOMPARE(g.plot()->xAxis->range().upper, 2.0);
        QVERIFY(g.plot()->yAxis->range().upper < 100.0);
        g.setXDataII(0, 2, 3.0);
        g.setYData(0, 2, 80.0f);
        g.Redraw();
        QCOMPARE(g.plot()->xAxis->range().upper, 3.0);
        QCOMPARE(g.plot()->yAxis->range().upper, 80.0);
        QCOMPARE(g.plot()->yAxis->range().lower, 50.0);

        QCoreApplication::processEvents(); // whatever the plot had queued
        int replots = 0;
        connect(g.plot(), &QCustomPlot::afterReplot, this, [&] { ++replots; });
        g.setXDataII(0, 3, 4.0);
        g.setYData(0, 3, 20.0f);
        g.PEactions(sgResetImage);
        QCOMPARE(g.plot()->yAxis->range().lower, 20.0); // rebuilt at once
        g.PEactions(sgInvalidateImage);
        QCoreApplication::processEvents();
        QCOMPARE(replots, 1);
        g.PEactions(sgResetImage); // alone: drawn when the event loop runs
        QCOMPARE(replots, 1);
        QTRY_COMPARE(replots, 2);
    }

    void pixelAndChartCoordinatesAreInverse()
    {
        PESGraph g;
        g.resize(640, 480);
        g.setDateTimeMode(sgVBDateTime);
        fill(g, 100);
        g.setManualScaleControlY(sgManualMinAndMax);
        g.setManualMinY(30);
        g.setManualMaxY(130);
        g.Redraw();
        const QRect r = g.GraphRect();
        QVERIFY(r.isValid());
        QVERIFY(QRect(QPoint(0, 0), g.size()).contains(r));
        QVERIFY(r.width() > 300 && r.height() > 200);
        // Y scale: the manual limits at the bottom and the top of the plot area.
        QVERIFY(std::abs(g.GraphToPixel(kDay0, 30).y() - (r.bottom() + 1)) <= 1.0);
        QVERIFY(std::abs(g.GraphToPixel(kDay0, 130).y() - r.top()) <= 1.0);
        for (const QPoint p : {r.topLeft(), r.center(), r.bottomRight() - QPoint(3, 3)}) {
            const QPointF v = g.PixelToGraph(p.x(), p.y());
            const QPointF back = g.GraphToPixel(v.x(), v.y());
            QVERIFY2(std::abs(back.x() - p.x()) <= 1.0 && std::abs(back.y() - p.y()) <= 1.0,
                     qPrintable(QStringLiteral("%1,%2 -> %3,%4").arg(p.x()).arg(p.y()).arg(back.x()).arg(back.y())));
        }
        // X in date-time mode is a TDateTime: the first point's X maps to the left edge.
        QVERIFY(std::abs(g.GraphToPixel(kDay0, 50).x() - r.left()) <= 1.0);
        QVERIFY(std::abs(g.PixelToGraph(r.left(), r.top()).x() - kDay0) < 2.0 / 86400.0);
    }

    void manualXScaleAndUndoZoom()
    {
        PESGraph g;
        g.resize(640, 480);
        fill(g, 50, 0.0);
        g.setManualScaleControlX(sgManualMinAndMax);
        g.setManualMinX(10 / 86400.0);
        g.setManualMaxX(20 / 86400.0);
        g.Redraw();
        QCOMPARE(g.plot()->xAxis->range().lower, 10 / 86400.0);
        QCOMPARE(g.plot()->xAxis->range().upper, 20 / 86400.0);
        g.plot()->xAxis->setRange(12 / 86400.0, 13 / 86400.0); // as a rubber-band zoom would
        g.PEactions(sgUndoZoom);
        QCOMPARE(g.plot()->xAxis->range().lower, 10 / 86400.0);
        QCOMPARE(g.ManualMaxX(), 20 / 86400.0);
    }

    void rubberBandZoomStaysScrollsAndUndoes()
    {
        PESGraph g;
        g.resize(640, 480);
        g.look().allowZooming = sgHorzPlusVertZooming;
        g.look().scrollingHorzZoom = true;
        g.look().scrollingVertZoom = true;
        fill(g, 100, 0.0);
        g.Redraw();
        const QCPRange full = g.plot()->xAxis->range();
        const QRect r = g.GraphRect();
        const QPoint from = r.topLeft() + QPoint(r.width() / 4, r.height() / 4) - g.plot()->pos();
        const QPoint to = r.topLeft() + QPoint(r.width() / 2, r.height() / 2) - g.plot()->pos();
        QTest::mousePress(g.plot(), Qt::LeftButton, {}, from);
        QTest::mouseMove(g.plot(), to);
        QTest::mouseRelease(g.plot(), Qt::LeftButton, {}, to);
        QVERIFY(g.isZoomed());
        const QCPRange zoomed = g.plot()->xAxis->range();
        QVERIFY(zoomed.size() < full.size() * 0.5);
        // A redraw (a new sample) keeps the zoomed view.
        g.setYData(0, 5, 80);
        g.Redraw();
        QCOMPARE(g.plot()->xAxis->range().lower, zoomed.lower);
        auto *h = g.findChild<QScrollBar *>("hScroll");
        auto *v = g.findChild<QScrollBar *>("vScroll");
        QVERIFY(h && v && !h->isHidden() && !v->isHidden());
        // Scrolled to the end, the view keeps its width and ends at the scale's end.
        h->setValue(h->maximum());
        QVERIFY(std::abs(g.plot()->xAxis->range().size() - zoomed.size()) < 1e-9);
        QVERIFY(std::abs(g.plot()->xAxis->range().upper - full.upper) < full.size() * 0.001);
        g.PEactions(sgUndoZoom);
        QVERIFY(!g.isZoomed());
        QCOMPARE(g.plot()->xAxis->range().lower, full.lower);
        QVERIFY(h->isHidden() && v->isHidden());
    }

    void draggingALineDrawsNoZoomRectangle()
    {
        PESGraph g;
        g.resize(640, 480);
        g.look().allowZooming = sgHorzPlusVertZooming;
        g.look().showVertLineAnnotations = true;
        g.look().allowVertLineAnnotHotSpots = true;
        fill(g, 100, 0.0);
        g.setVertLineAnnotation(0, 30 / 86400.0);
        g.Redraw();
        int hotLine = -1;
        g.OnVertLineAnnotHotSpot = [&](int line) { hotLine = line; };
        const QRect r = g.GraphRect();
        const QPoint on(int(std::lround(g.GraphToPixel(30 / 86400.0, 0).x())), r.center().y());
        QTest::mousePress(g.plot(), Qt::LeftButton, {}, on - g.plot()->pos());
        QTest::mouseMove(g.plot(), on + QPoint(120, 60) - g.plot()->pos());
        QTest::mouseRelease(g.plot(), Qt::LeftButton, {}, on + QPoint(120, 60) - g.plot()->pos());
        QCOMPARE(hotLine, 0);
        QVERIFY(!g.isZoomed());
        // After the drag, zooming works again.
        QCOMPARE(g.plot()->selectionRectMode(), QCP::srmCustom);
    }

    void dateAxisShowsTheLocalTimeOfTheValue()
    {
        PESGraph g;
        g.resize(800, 400);
        g.setDateTimeMode(sgVBDateTime);
        // Two hours around a summer noon: a zone offset would shift the labels by two hours.
        const TDateTime t0 = toTDateTime(QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        fill(g, 7200, t0);
        g.Redraw();
        const QVector<double> ticks = g.plot()->xAxis->tickVector();
        const QVector<QString> labels = g.plot()->xAxis->tickVectorLabels();
        QVERIFY(ticks.size() >= 2);
        bool sawNoon = false;
        for (int i = 0; i < ticks.size(); ++i) {
            const QDateTime local = fromTDateTime(ticks[i] / 86400.0 + 25569.0);
            QCOMPARE(labels[i], local.toString(QStringLiteral("hh:mm:ss\ndd.MM.yyyy")));
            sawNoon = sawNoon || labels[i].startsWith(QLatin1String("12:") ) || labels[i].startsWith(QLatin1String("13:"));
        }
        QVERIFY(sawNoon);
    }

    void stateRoundTripAndRefusedBlock()
    {
        PESGraph a;
        fill(a, 30);
        a.setMainTitle(QStringLiteral("Pegel"));
        a.setYAxisLabel(QStringLiteral("dB"));
        a.look().gridStyle = sgDot;
        a.setVertLineAnnotation(1, kDay0 + 5 / 86400.0);
        GraphAnnotation *n = a.graphAnnotationForWrite(3);
        n->type = sgAnnotCross;
        n->x = kDay0;
        n->y = 45;
        const QByteArray block = a.SaveState();

        PESGraph b;
        QVERIFY(b.LoadState(block));
        QVERIFY(b.state() == a.state());
        QCOMPARE(plotted(b).size(), 30);
        QCOMPARE(b.plot()->xAxis->grid()->pen().style(), Qt::DotLine);

        // A damaged block is refused and the chart keeps what it had.
        PESGraph c;
        fill(c, 5);
        c.setMainTitle(QStringLiteral("bleibt"));
        c.Redraw();
        const ChartState before = c.state();
        QByteArray bad = block;
        bad[bad.size() / 2] = char(bad[bad.size() / 2] ^ 0x40);
        QVERIFY(!c.LoadState(bad));
        QVERIFY(!c.LoadState(block.left(block.size() - 1)));
        QVERIFY(!c.LoadState(QByteArray()));
        QVERIFY(c.state() == before);
        QCOMPARE(plotted(c).size(), 5);
    }

    void annotationHotSpotsAndEvents()
    {
        PESGraph g;
        g.resize(640, 480);
        fill(g, 100, 0.0);
        g.setManualScaleControlY(sgManualMinAndMax);
        g.setManualMinY(0);
        g.setManualMaxY(100);
        GraphAnnotation *n = g.graphAnnotationForWrite(7);
        n->type = sgAnnotCross;
        n->x = 50 / 86400.0;
        n->y = 60;
        g.graphAnnotationForWrite(8)->type = sgAnnotTextOnly; // empty text: nothing there
        g.setVertLineAnnotation(0, 20 / 86400.0);
        g.setVertLineAnnotation(1, 80 / 86400.0);
        g.setVertLineAnnotationText(0, QStringLiteral("|tA"));
        g.look().allowGraphAnnotHotSpots = true;
        g.look().allowVertLineAnnotHotSpots = true;
        g.Redraw();
        QVERIFY(g.plot()->itemCount() >= 4); // cross, two lines, one label

        const QPoint at = g.GraphToPixel(50 / 86400.0, 60).toPoint();
        HotSpot h = g.HotSpotAt(at.x() + 2, at.y() - 2);
        QCOMPARE(int(h.kind), int(sgHotSpotGraphAnnotation));
        QCOMPARE(h.index, 7);
        const QPoint line1 = g.GraphToPixel(80 / 86400.0, 10).toPoint();
        h = g.HotSpotAt(line1.x() + 1, line1.y());
        QCOMPARE(int(h.kind), int(sgHotSpotVertLineAnnotation));
        QCOMPARE(h.index, 1);
        const QPoint empty = g.GraphToPixel(35 / 86400.0, 30).toPoint();
        QCOMPARE(int(g.HotSpotAt(empty.x(), empty.y()).kind), int(sgHotSpotNone));

        // Hidden annotations have no hot spots.
        g.look().showGraphAnnotations = false;
        g.Redraw();
        QCOMPARE(int(g.HotSpotAt(at.x(), at.y()).kind), int(sgHotSpotNone));
        g.look().showGraphAnnotations = true;
        g.Redraw();

        // Mouse events reach the handlers with the widget's pixels.
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        int annot = -1, line = -1, clicks = 0;
        bool dbl = true;
        QPoint up;
        g.OnGraphAnnotHotSpot = [&](int i, bool d) { annot = i; dbl = d; };
        g.OnVertLineAnnotHotSpot = [&](int l) { line = l; };
        g.OnClick = [&](QPoint) { ++clicks; };
        g.OnMouseUp = [&](QPoint p) { up = p; };
        QTest::mouseClick(g.plot(), Qt::LeftButton, {}, at - g.plot()->pos());
        QCOMPARE(annot, 7);
        QCOMPARE(dbl, false);
        QCOMPARE(clicks, 1);
        QCOMPARE(up, at);
        QCOMPARE(g.LastMousePos(), at);
        QTest::mouseClick(g.plot(), Qt::LeftButton, {}, line1 - g.plot()->pos());
        QCOMPARE(line, 1);
    }

    void lookAndCursor()
    {
        PESGraph g;
        g.look().graphBackColor = PEargb(255, 0, 0, 0);
        g.look().deskColor = PEargb(255, 190, 190, 190);
        g.look().subsetColors = {PEargb(255, 255, 255, 0)};
        g.look().subsetLineTypes = {PELT_DASH};
        g.look().arrowCursor = sgArrowCross;
        g.setXAxisLabel(QStringLiteral("Zeit"));
        g.Redraw();
        QCOMPARE(g.plot()->axisRect()->backgroundBrush().color(), QColor(0, 0, 0));
        QCOMPARE(g.plot()->graph(0)->pen().color(), QColor(255, 255, 0));
        QCOMPARE(g.plot()->graph(0)->pen().style(), Qt::DashLine);
        QCOMPARE(g.plot()->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(g.plot()->xAxis->label(), QStringLiteral("Zeit"));
        QVERIFY(g.plot()->graph(0)->adaptiveSampling());
    }

    void printsToAPdfFile()
    {
        QTemporaryDir dir;
        PESGraph g;
        g.resize(640, 480);
        g.setDateTimeMode(sgVBDateTime);
        fill(g, 1000);
        g.Redraw();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString file = dir.filePath(QStringLiteral("chart.pdf"));
        printer.setOutputFileName(file);
        QVERIFY(g.PrintTo(printer));
        QFileInfo info(file);
        QVERIFY(info.exists());
        QVERIFY(info.size() > 1000);
    }
};

QTEST_MAIN(TestPESGraph)
#include "gui_pesgraph.moc"
