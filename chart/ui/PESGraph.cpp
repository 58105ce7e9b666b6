#include "chart/ui/PESGraph.h"

#include "chart/ui/PlotLook.h"

#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

PESGraph::PESGraph(QWidget *parent) : QWidget(parent), m_plot(new QCustomPlot(this)), m_series(m_plot)
{
    m_plot->setGeometry(rect());
    m_pendingReplot.setSingleShot(true);
    m_pendingReplot.setInterval(0);
    connect(&m_pendingReplot, &QTimer::timeout, m_plot, [this] { m_plot->replot(); });
    m_plot->setNoAntialiasingOnDrag(true);
    m_plot->plotLayout()->insertRow(0);
    m_plot->plotLayout()->insertRow(0);
    m_mainTitle = new QCPTextElement(m_plot, QString());
    m_subTitle = new QCPTextElement(m_plot, QString());
    m_plot->plotLayout()->addElement(0, 0, m_mainTitle);
    m_plot->plotLayout()->addElement(1, 0, m_subTitle);
    m_plot->setSelectionRectMode(QCP::srmCustom);
    m_plot->setMouseTracking(true);

    connect(m_plot, &QCustomPlot::mousePress, this, &PESGraph::onPress);
    connect(m_plot, &QCustomPlot::mouseMove, this, &PESGraph::onMove);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &PESGraph::onRelease);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, &PESGraph::onDoubleClick);
    // Connected after the plot's own zoom handler, so the new ranges are set when this runs.
    // The rectangle is the plot's custom selection: the zoom is done here, so that the zoomed view
    // is known and survives redraws.
    connect(m_plot->selectionRect(), &QCPSelectionRect::accepted, this, [this](const QRect &drawn, QMouseEvent *) {
        const QRect r = drawn.normalized().intersected(m_plot->axisRect()->rect());
        const Qt::Orientations o = m_plot->axisRect()->rangeZoom();
        if (!o || r.width() < 2 || r.height() < 2)
            return;
        m_zoomX = m_plot->xAxis->range();
        m_zoomY = m_plot->yAxis->range();
        if (o & Qt::Horizontal)
            m_zoomX = QCPRange(m_plot->xAxis->pixelToCoord(r.left()), m_plot->xAxis->pixelToCoord(r.right())).sanitizedForLinScale();
        if (o & Qt::Vertical)
            m_zoomY = QCPRange(m_plot->yAxis->pixelToCoord(r.bottom()), m_plot->yAxis->pixelToCoord(r.top())).sanitizedForLinScale();
        m_zoomed = true;
        m_plot->xAxis->setRange(m_zoomX);
        m_plot->yAxis->setRange(m_zoomY);
        updateScrollBars();
        if (OnZoomIn)
            OnZoomIn();
    });
    // Scroll bars move a zoomed view through the whole scale; shown only while zoomed.
    m_hScroll = new QScrollBar(Qt::Horizontal, this);
    m_vScroll = new QScrollBar(Qt::Vertical, this);
    m_hScroll->setObjectName(QStringLiteral("hScroll"));
    m_vScroll->setObjectName(QStringLiteral("vScroll"));
    m_hScroll->hide();
    m_vScroll->hide();
    connect(m_hScroll, &QScrollBar::valueChanged, this, [this](int v) { scrollTo(Qt::Horizontal, v); });
    connect(m_vScroll, &QScrollBar::valueChanged, this, [this](int v) { scrollTo(Qt::Vertical, v); });
    Redraw();
}

PESGraph::~PESGraph() = default;

double PESGraph::toKey(double x) const
{
    return plotKey(x, m_state.look.dateTimeMode);
}

double PESGraph::fromKey(double key) const
{
    return chartXOfKey(key, m_state.look.dateTimeMode);
}


double PESGraph::VertLineAnnotation(int line) const
{
    return line >= 0 && line < ChartState::kVertLines ? m_state.vertLines[size_t(line)].x : 0.0;
}

void PESGraph::setVertLineAnnotation(int line, double x)
{
    if (line >= 0 && line < ChartState::kVertLines)
        m_state.vertLines[size_t(line)].x = x;
}

QString PESGraph::VertLineAnnotationText(int line) const
{
    return line >= 0 && line < ChartState::kVertLines ? m_state.vertLines[size_t(line)].text : QString();
}

void PESGraph::setVertLineAnnotationText(int line, const QString &text)
{
    if (line >= 0 && line < ChartState::kVertLines)
        m_state.vertLines[size_t(line)].text = text;
}

void PESGraph::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitPlot();
}

void PESGraph::fitPlot()
{
    // Also while hidden, when the plot gets no resize event of its own: its viewport is what its
    // layout and GraphRect() work from.
    QRect area = rect();
    if (m_vScroll && m_vScroll->isVisibleTo(this))
        area.setRight(area.right() - m_vScroll->sizeHint().width());
    if (m_hScroll && m_hScroll->isVisibleTo(this))
        area.setBottom(area.bottom() - m_hScroll->sizeHint().height());
    if (m_hScroll) {
        m_hScroll->setGeometry(area.left(), area.bottom() + 1, area.width(), rect().bottom() - area.bottom());
        m_vScroll->setGeometry(area.right() + 1, area.top(), rect().right() - area.right(), area.height());
    }
    if (m_plot->geometry() != area)
        m_plot->setGeometry(area);
    if (m_plot->viewport() != m_plot->rect())
        m_plot->setViewport(m_plot->rect());
}

void PESGraph::rebuild()
{
    fitPlot();
    applyLook();
    rebuildData();
    rebuildItems();
    applyScales();
}

void PESGraph::Redraw()
{
    rebuild();
    m_pendingReplot.stop();
    m_plot->replot();
}

void PESGraph::PEactions(int action)
{
    switch (action) {
    case sgResetImage:
        // Rebuilt now, drawn once: by the sgInvalidateImage that usually follows, or else when
        // the event loop runs next.
        rebuild();
        m_pendingReplot.start();
        break;
    case sgInvalidateImage:
        m_pendingReplot.stop();
        m_plot->replot();
        break;
    case sgReinitAndReset:
        m_state.data.markAllChanged();
        Redraw();
        break;
    case sgUndoZoom:
        m_zoomed = false;
        applyScales();
        m_pendingReplot.stop();
        m_plot->replot();
        break;
    case sgCustomize:
        customize(true);
        break;
    case sgPrintDialog:
        PrintDialog(ownPrinter());
        break;
    default:
        break;
    }
}

QPrinter &PESGraph::ownPrinter()
{
    if (!m_ownPrinter)
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_ownPrinter;
}

bool PESGraph::PrintDialog(QPrinter &printer)
{
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted && PrintTo(printer);
}

void PESGraph::customize(bool notify)
{
    m_dialogResult = 0;
    {
        ChartCustomizeDialog dialog(m_state.look, m_state.data.Subsets(), m_pages, this);
        if (dialog.exec() == QDialog::Accepted) {
            m_state.look = dialog.look();
            m_dialogResult = 1;
            Redraw();
        }
    }
    if (notify && OnCustomizeDlg)
        OnCustomizeDlg();
}

void PESGraph::CustomizeAndPrint(QPrinter &printer)
{
    const CustomizePages saved = m_pages;
    m_pages = CustomizePages{false, false, false, false};
    // The look is adjusted for this printout: no question about keeping it for new charts.
    customize(false);
    m_pages = saved;
    PrintDialog(printer);
}


void PESGraph::applyLook()
{
    applyPlotLook(m_plot, m_state.look, {m_mainTitle, m_subTitle}, font(), m_state.look.dateTimeMode != m_builtDateTimeMode,
                  m_zoomSuspended);
}

void PESGraph::rebuildData()
{
    const bool keysChanged = m_builtDateTimeMode != m_state.look.dateTimeMode
        || m_builtNullValue != m_state.look.nullDataValueY;
    m_series.update(m_state.data, m_state.look, keysChanged);
    m_builtDateTimeMode = m_state.look.dateTimeMode;
    m_builtNullValue = m_state.look.nullDataValueY;
}

void PESGraph::rebuildItems()
{
    drawPlotItems(m_plot, m_state, font());
}

void PESGraph::applyScales()
{
    const ChartLook &l = m_state.look;
    // The data's extent, kept up to date by the rebuild and the appends.
    QCPRange xr(0, 0), yr(0, 0);
    const bool anyKey = m_series.keyRange(xr);
    const bool anyValue = m_series.valueRange(yr);
    if (!anyKey)
        xr = QCPRange(toKey(0), toKey(1));
    else if (xr.size() == 0)
        xr = QCPRange(xr.lower - 1, xr.upper + 1);
    if (!anyValue)
        yr = QCPRange(0, 1);
    else if (yr.size() == 0)
        yr = QCPRange(yr.lower - 1, yr.upper + 1);
    if (l.manualScaleControlX & sgManualMin)
        xr.lower = toKey(l.manualMinX);
    if (l.manualScaleControlX & sgManualMax)
        xr.upper = toKey(l.manualMaxX);
    if (l.manualScaleControlY & sgManualMin)
        yr.lower = l.manualMinY;
    if (l.manualScaleControlY & sgManualMax)
        yr.upper = l.manualMaxY;
    m_fullX = xr;
    m_fullY = yr;
    // A zoomed view stays until it is undone, however often the chart is redrawn.
    m_plot->xAxis->setRange(m_zoomed ? m_zoomX : xr);
    m_plot->yAxis->setRange(m_zoomed ? m_zoomY : yr);
    updateScrollBars();
}

bool PESGraph::isZoomed() const
{
    return m_zoomed;
}

void PESGraph::setZoomSuspended(bool suspended)
{
    m_zoomSuspended = suspended;
    const int z = m_state.look.allowZooming;
    const bool allowed = z == sgHorzZooming || z == sgVertZooming || z == sgHorzPlusVertZooming;
    m_plot->setSelectionRectMode(allowed && !suspended ? QCP::srmCustom : QCP::srmNone);
}

namespace {
constexpr int kScrollSteps = 10000;
}

void PESGraph::updateScrollBars()
{
    if (!m_hScroll)
        return;
    const ChartLook &l = m_state.look;
    const auto setUp = [](QScrollBar *bar, bool wanted, const QCPRange &full, const QCPRange &view, bool inverted) {
        const bool show = wanted && full.size() > 0 && view.size() < full.size() * 0.999;
        if (show) {
            const QSignalBlocker block(bar);
            const int page = std::max(1, int(std::lround(kScrollSteps * view.size() / full.size())));
            bar->setRange(0, std::max(0, kScrollSteps - page));
            bar->setPageStep(page);
            bar->setSingleStep(std::max(1, page / 10));
            const double offset = (view.lower - full.lower) / full.size() * kScrollSteps;
            const int v = int(std::lround(offset));
            bar->setValue(inverted ? bar->maximum() - v : v);
        }
        return show;
    };
    const bool h = setUp(m_hScroll, m_zoomed && l.scrollingHorzZoom, m_fullX, m_zoomX, false);
    const bool v = setUp(m_vScroll, m_zoomed && l.scrollingVertZoom, m_fullY, m_zoomY, true);
    if (h != m_hScroll->isVisibleTo(this) || v != m_vScroll->isVisibleTo(this)) {
        m_hScroll->setVisible(h);
        m_vScroll->setVisible(v);
        fitPlot();
    }
}

void PESGraph::scrollTo(Qt::Orientation orientation, int value)
{
    if (!m_zoomed)
        return;
    const bool horizontal = orientation == Qt::Horizontal;
    const QCPRange &full = horizontal ? m_fullX : m_fullY;
    QCPRange &view = horizontal ? m_zoomX : m_zoomY;
    const int step = horizontal ? value : m_vScroll->maximum() - value;
    const double size = view.size();
    view.lower = full.lower + full.size() * step / kScrollSteps;
    view.upper = view.lower + size;
    (horizontal ? m_plot->xAxis : m_plot->yAxis)->setRange(view);
    m_pendingReplot.stop();
    m_plot->replot();
}


QRect PESGraph::GraphRect() const
{
    const QRect r = m_plot->axisRect()->rect();
    return r.translated(m_plot->pos());
}

QPointF PESGraph::PixelToGraph(double x, double y) const
{
    const QPoint off = m_plot->pos();
    return QPointF(fromKey(m_plot->xAxis->pixelToCoord(x - off.x())), m_plot->yAxis->pixelToCoord(y - off.y()));
}

QPointF PESGraph::GraphToPixel(double X, double Y) const
{
    const QPoint off = m_plot->pos();
    return QPointF(m_plot->xAxis->coordToPixel(toKey(X)) + off.x(), m_plot->yAxis->coordToPixel(Y) + off.y());
}

HotSpot PESGraph::HotSpotAt(int x, int y) const
{
    HotSpot h;
    const ChartLook &l = m_state.look;
    if (l.showGraphAnnotations) {
        for (size_t n = 0; n < m_state.annotations.size(); ++n) {
            const GraphAnnotation &a = m_state.annotations[n];
            if (!a.visible())
                continue;
            const QPointF p = GraphToPixel(a.x, a.y);
            if (std::abs(p.x() - x) <= kHotSpotPixels && std::abs(p.y() - y) <= kHotSpotPixels)
                return {sgHotSpotGraphAnnotation, int(n), -1};
        }
    }
    if (l.showVertLineAnnotations && GraphRect().contains(x, y)) {
        for (int line = 0; line < ChartState::kVertLines; ++line) {
            const QPointF p = GraphToPixel(m_state.vertLines[size_t(line)].x, 0);
            if (std::abs(p.x() - x) <= kHotSpotPixels)
                return {sgHotSpotVertLineAnnotation, line, -1};
        }
    }
    if (l.allowDataHotSpots && GraphRect().contains(x, y)) {
        // The nearest drawn point within reach: X is sorted, so only the points whose X lies
        // within reach of the pointer are looked at.
        const double x0 = PixelToGraph(x - kHotSpotPixels, y).x(), x1 = PixelToGraph(x + kHotSpotPixels, y).x();
        double best = kHotSpotPixels * kHotSpotPixels * 2 + 1;
        for (int s = 0; s < m_state.data.Subsets(); ++s) {
            const double *xs = m_state.data.xArray(s);
            const float *ys = m_state.data.yArray(s);
            const int n = m_state.data.Points();
            if (!xs || !ys)
                continue;
            for (int i = int(std::lower_bound(xs, xs + n, std::min(x0, x1)) - xs); i < n && xs[i] <= std::max(x0, x1); ++i) {
                if (ys[i] == l.nullDataValueY)
                    continue;
                const QPointF p = GraphToPixel(xs[i], ys[i]);
                const double d = (p.x() - x) * (p.x() - x) + (p.y() - y) * (p.y() - y);
                if (d < best) {
                    best = d;
                    h = {sgHotSpotData, s, i};
                }
            }
        }
    }
    return h;
}

bool PESGraph::LoadState(const QByteArray &block)
{
    if (LoadChartState(block, m_state) != ChartStateError::None)
        return false;
    m_state.data.markAllChanged();
    Redraw();
    return true;
}

bool PESGraph::PrintTo(QPrinter &printer)
{
    // The plot is laid out in the units its fonts are measured in on screen (1/dpi inch) across
    // the page's whole printable area, with the printer set to that resolution while it draws:
    // text and lines stay vectors, and the text has its size in points on paper. Drawing the
    // screen's pixels scaled up to the printer's resolution makes the fonts huge and the plot small.
    const int dpi = std::max(1, m_plot->logicalDpiY());
    const int saved = printer.resolution();
    printer.setResolution(dpi);
    QCPPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        QRectF area = printer.pageRect(QPrinter::DevicePixel);
        if (!printer.fullPage())
            area.moveTopLeft(QPointF(0, 0));
        painter.translate(area.topLeft());
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        // Hairlines would be one printer dot wide: lines are at least 1/dpi inch.
        painter.setMode(QCPPainter::pmNonCosmetic);
        m_plot->toPainter(&painter, int(area.width()), int(area.height()));
        ok = painter.end();
    }
    printer.setResolution(saved);
    // The page's layout is not the screen's: the plot is laid out for the screen again.
    m_plot->replot();
    return ok;
}

void PESGraph::hotSpotEvent(QPoint pos, bool doubleClick)
{
    const HotSpot h = HotSpotAt(pos.x(), pos.y());
    if (h.kind == sgHotSpotGraphAnnotation && m_state.look.allowGraphAnnotHotSpots && OnGraphAnnotHotSpot)
        OnGraphAnnotHotSpot(h.index, doubleClick);
    else if (h.kind == sgHotSpotVertLineAnnotation && m_state.look.allowVertLineAnnotHotSpots && !doubleClick
             && OnVertLineAnnotHotSpot)
        OnVertLineAnnotHotSpot(h.index);
    else if (h.kind == sgHotSpotData && !doubleClick && OnDataHotSpot)
        OnDataHotSpot(h.index, h.point);
}

void PESGraph::onPress(QMouseEvent *event)
{
    m_lastMousePos = event->position().toPoint() + m_plot->pos();
    m_pressPos = m_lastMousePos;
    m_pressed = true;
    const HotSpot h = HotSpotAt(m_lastMousePos.x(), m_lastMousePos.y());
    if (h.kind == sgHotSpotVertLineAnnotation && m_state.look.allowVertLineAnnotHotSpots) {
        m_dragSuspendsZoom = !m_zoomSuspended;
        if (m_dragSuspendsZoom)
            setZoomSuspended(true);
    }
    hotSpotEvent(m_lastMousePos, false);
}

void PESGraph::onMove(QMouseEvent *event)
{
    m_lastMousePos = event->position().toPoint() + m_plot->pos();
    if (OnMouseMove)
        OnMouseMove(m_lastMousePos);
}

void PESGraph::onRelease(QMouseEvent *event)
{
    m_lastMousePos = event->position().toPoint() + m_plot->pos();
    const bool click = m_pressed && (m_lastMousePos - m_pressPos).manhattanLength() <= 3;
    m_pressed = false;
    if (m_dragSuspendsZoom) {
        m_dragSuspendsZoom = false;
        setZoomSuspended(false);
    }
    if (OnMouseUp)
        OnMouseUp(m_lastMousePos);
    if (click && OnClick)
        OnClick(m_lastMousePos);
}

void PESGraph::onDoubleClick(QMouseEvent *event)
{
    m_lastMousePos = event->position().toPoint() + m_plot->pos();
    hotSpotEvent(m_lastMousePos, true);
}
