// The chart widget offscreen: which points reach the plot (null values, reset, appended tails),
// pixel and chart coordinates, the date axis, the state block through the widget, annotation hot
// spots, zoom undo, breaks in the line, date tick labels and the printed page.
#include "app/TDateTime.h"
#include "chart/ui/PESGraph.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
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

// The first page of a PDF file as an image, read back with pdftoppm at 50 dpi.
QImage pdfPage(const QString &pdf, const QString &dir)
{
    const QString base = QDir(dir).filePath(QFileInfo(pdf).completeBaseName());
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                                   QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QLatin1String(".png"));
}

// With K352_SHOTS set, a printed page is kept there as print-NAME.png for a look by eye.
void keepShot(const QImage &page, const char *name)
{
    const QString shots = qEnvironmentVariable("K352_SHOTS");
    if (!shots.isEmpty())
        page.save(QDir(shots).filePath(QStringLiteral("print-%1.png").arg(QLatin1String(name))));
}

// The smallest rectangle holding every pixel of within (default: the whole image) that matches.
QRect boundingBox(const QImage &image, const std::function<bool(QRgb)> &matches, QRect within = {})
{
    within = within.isNull() ? image.rect() : within.intersected(image.rect());
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (matches(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
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

    void aPrintedPageIsFilledByTheChartInReadableSizes()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is needed to look at the printed page");
        QTemporaryDir dir;
        PESGraph g;
        g.resize(640, 480);
        g.setDateTimeMode(sgVBDateTime);
        g.setXAxisLabel(QStringLiteral("Zeit"));
        g.setYAxisLabel(QStringLiteral("dB"));
        // Paper colours that tell the plot (black) from the text (blue) on the white page.
        g.look().deskColor = PEargb(255, 255, 255, 255);
        g.look().graphBackColor = PEargb(255, 0, 0, 0);
        g.look().textColor = PEargb(255, 0, 0, 255);
        g.look().yAxisColor = PEargb(255, 0, 0, 255);
        fill(g, 1000);
        g.Redraw();
        const QRect screenPlot = g.GraphRect();
        struct Page {
            QPageSize::PageSizeId size;
            QPageLayout::Orientation orientation;
            const char *name;
        };
        for (const Page &p : {Page{QPageSize::A4, QPageLayout::Landscape, "a4-landscape"},
                              Page{QPageSize::A4, QPageLayout::Portrait, "a4-portrait"},
                              Page{QPageSize::Letter, QPageLayout::Landscape, "letter-landscape"},
                              Page{QPageSize::Letter, QPageLayout::Portrait, "letter-portrait"}}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setPageSize(QPageSize(p.size));
            printer.setPageOrientation(p.orientation);
            const QString pdf = dir.filePath(QLatin1String(p.name) + QLatin1String(".pdf"));
            printer.setOutputFileName(pdf);
            const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Inch);
            const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Inch).size();
            QVERIFY(g.PrintTo(printer));
            QCOMPARE(printer.resolution(), 1200); // the printer is left as it was
            const QImage page = pdfPage(pdf, dir.path());
            QVERIFY2(!page.isNull(), p.name);
            keepShot(page, p.name);
            const double dpi = page.width() / paper.width();

            // The plot (black) takes most of the printable area, whatever the page's shape.
            const QRect plot = boundingBox(page, [](QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; });
            const QString where = QStringLiteral("%1: plot %2x%3 of printable %4x%5 px")
                                      .arg(QLatin1String(p.name))
                                      .arg(plot.width()).arg(plot.height())
                                      .arg(printable.width() * dpi).arg(printable.height() * dpi);
            QVERIFY2(plot.width() > 0.8 * printable.width() * dpi, qPrintable(where));
            QVERIFY2(plot.height() > 0.75 * printable.height() * dpi, qPrintable(where));
            QVERIFY2(plot.left() >= printable.left() * dpi - 2 && plot.top() >= printable.top() * dpi - 2, qPrintable(where));

            // The labels (blue) below the plot: tick times, dates and "Zeit", at most a few
            // lines of text in point sizes a reader expects.
            const auto blue = [](QRgb c) { return qBlue(c) > 150 && qRed(c) < 120; };
            const QRect below = boundingBox(page, blue, QRect(0, plot.bottom() + 2, page.width(), page.height()));
            const double belowInches = (below.bottom() - plot.bottom()) / dpi;
            QVERIFY2(below.isValid() && belowInches > 0.25 && belowInches < 0.8,
                     qPrintable(where + QStringLiteral(", labels below %1 in").arg(belowInches)));
            // Left of it: the level ticks and "dB", a few characters wide.
            const QRect left = boundingBox(page, blue, QRect(0, plot.top(), plot.left() - 2, plot.height()));
            const double leftInches = (plot.left() - left.left()) / dpi;
            QVERIFY2(left.isValid() && leftInches > 0.15 && leftInches < 0.8,
                     qPrintable(where + QStringLiteral(", labels left %1 in").arg(leftInches)));
        }
        // The screen's layout comes back after printing.
        QCOMPARE(g.GraphRect(), screenPlot);
    }

    void aPauseInARecordingIsLeftEmpty()
    {
        // 20 points a second apart, a minute without points (the meter was lost), 20 more.
        const auto at = [](int i) { return kDay0 + (i + (i >= 20 ? 60 : 0)) / 86400.0; };
        const auto breaks = [](const PESGraph &g) {
            QVector<double> keys;
            auto data = g.plot()->graph(0)->data();
            for (auto it = data->constBegin(); it != data->constEnd(); ++it) {
                if (std::isnan(it->value))
                    keys << it->key;
            }
            return keys;
        };
        const double pauseFrom = (at(19) - 25569.0) * 86400.0, pauseTo = (at(20) - 25569.0) * 86400.0;
        PESGraph whole;
        whole.setDateTimeMode(sgVBDateTime);
        whole.setPoints(40);
        for (int i = 0; i < 40; ++i) {
            whole.setXDataII(0, i, at(i));
            whole.setYData(0, i, 50.0f + float(i % 3));
        }
        whole.Redraw();
        QVector<double> b = breaks(whole);
        QCOMPARE(b.size(), 1);
        QVERIFY(b[0] > pauseFrom && b[0] < pauseTo);
        QCOMPARE(plotted(whole).size(), 41);

        // Recorded point by point, as the real-time chart grows, into a chart of 2000 points.
        PESGraph growing;
        growing.setDateTimeMode(sgVBDateTime);
        growing.setPoints(2000);
        growing.Redraw();
        for (int i = 0; i < 40; ++i) {
            growing.setXDataII(0, i, at(i));
            growing.setYData(0, i, 50.0f + float(i % 3));
            growing.Redraw();
        }
        b = breaks(growing);
        QCOMPARE(b.size(), 1);
        QVERIFY(b[0] > pauseFrom && b[0] < pauseTo);

        // A point that was never written between written ones breaks the line too.
        PESGraph holed;
        holed.setPoints(5);
        for (int i = 0; i < 5; ++i) {
            holed.setXDataII(0, i, 1.0 + i);
            if (i != 2)
                holed.setYData(0, i, 60.0f);
        }
        holed.Redraw();
        QCOMPARE(breaks(holed).size(), 1);

        // Points taken now and then at no steady pace are joined as they are.
        PESGraph irregular;
        irregular.setDateTimeMode(sgVBDateTime);
        const int steps[] = {1, 7, 2, 30, 3, 11, 1, 60, 4, 2, 19, 5, 1, 45, 8};
        irregular.setPoints(16);
        double t = kDay0;
        for (int i = 0; i < 16; ++i) {
            irregular.setXDataII(0, i, t);
            irregular.setYData(0, i, 70.0f);
            t += (i < 15 ? steps[i] : 0) / 86400.0;
        }
        irregular.Redraw();
        QVERIFY(breaks(irregular).isEmpty());
    }

    void dateTickLabelsNeverRepeatAndTellTheirTicksTime()
    {
        PESGraph g;
        g.resize(900, 400);
        g.setDateTimeMode(sgVBDateTime);
        fill(g, 2);
        g.setManualScaleControlX(sgManualMinAndMax);
        for (double span : {0.6, 2.0, 7.0, 12.0, 20.0, 90.0, 4000.0}) {
            g.setManualMinX(kDay0);
            g.setManualMaxX(kDay0 + span / 86400.0);
            g.Redraw();
            const QVector<QString> labels = g.plot()->xAxis->tickVectorLabels();
            const QVector<double> ticks = g.plot()->xAxis->tickVector();
            const QString all = QStringList(labels.begin(), labels.end()).join(QLatin1String(" | "));
            QVERIFY2(labels.size() >= 2, qPrintable(all));
            QVERIFY2(QSet<QString>(labels.begin(), labels.end()).size() == labels.size(),
                     qPrintable(QStringLiteral("%1 s: %2").arg(span).arg(all)));
            for (int i = 0; i < ticks.size(); ++i) {
                // A label to the second stands at a whole second.
                if (!labels[i].section(QLatin1Char('\n'), 0, 0).contains(QLatin1Char('.')))
                    QVERIFY2(std::abs(ticks[i] - std::round(ticks[i])) < 1e-6, qPrintable(QStringLiteral("%1 s: %2").arg(span).arg(all)));
            }
        }
    }
};

QTEST_MAIN(TestPESGraph)
#include "gui_pesgraph.moc"
