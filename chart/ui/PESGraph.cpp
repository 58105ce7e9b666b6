#include "chart/ui/PESGraph.h"

#include "chart/LineGaps.h"
#include "chart/ui/DateAxisTicker.h"

#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace {

// TDateTime day 25569 is 1970-01-01. The plot's date axis counts seconds since then in UTC, so the
// local wall-clock time of a TDateTime is shown unshifted when the ticker works in UTC.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kHotSpotPixels = 5;

QColor toQColor(PEColor c)
{
    return QColor(PEred(c), PEgreen(c), PEblue(c), PEalpha(c));
}

QPen subsetPen(PEColor color, int lineType)
{
    QPen pen(toQColor(color));
    switch (lineType) {
    case PELT_DASH: pen.setStyle(Qt::DashLine); break;
    case PELT_DOT: pen.setStyle(Qt::DotLine); break;
    case PELT_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
    case PELT_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
    case PELT_MEDIUMSOLID: pen.setWidth(2); break;
    case PELT_THICKSOLID: pen.setWidth(3); break;
    default: break;
    }
    return pen;
}

QFont toFont(const FontSpec &spec, const QFont &base, double percent = 100)
{
    QFont f = base;
    if (!spec.family.isEmpty())
        f.setFamily(spec.family);
    if (spec.pointSize > 0)
        f.setPointSizeF(std::max(1.0, spec.pointSize * percent / 100.0));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    return f;
}

// Line annotation texts may start with "|t" (text at the top of the line); the label is always
// drawn there, so the marker itself is not shown.
QString lineLabel(const QString &text)
{
    return text.startsWith(QLatin1String("|t")) ? text.mid(2) : text;
}

} // namespace

PESGraph::PESGraph(QWidget *parent) : QWidget(parent), m_plot(new QCustomPlot(this))
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
    return m_state.look.dateTimeMode == sgVBDateTime ? (x - kUnixEpochDays) * kSecondsPerDay : x;
}

double PESGraph::fromKey(double key) const
{
    return m_state.look.dateTimeMode == sgVBDateTime ? key / kSecondsPerDay + kUnixEpochDays : key;
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
    const ChartLook &l = m_state.look;
    m_plot->setBackground(QBrush(toQColor(l.deskColor)));
    m_plot->axisRect()->setBackground(QBrush(toQColor(l.graphBackColor)));
    const QColor fore = toQColor(l.graphForeColor);
    const QColor text = toQColor(l.textColor);
    const QFont base = font();

    m_mainTitle->setText(l.mainTitle);
    m_mainTitle->setFont(toFont(l.mainTitleFont, base));
    m_mainTitle->setTextColor(text);
    m_subTitle->setText(l.subTitle);
    m_subTitle->setFont(toFont(l.subTitleFont, base));
    m_subTitle->setTextColor(text);
    // A blank title takes no room above the plot: only the titles with text have a layout row.
    placeTitles(!l.mainTitle.trimmed().isEmpty(), !l.subTitle.trimmed().isEmpty());

    QPen grid(fore, 0, Qt::SolidLine);
    if (l.gridStyle == sgDot)
        grid.setStyle(Qt::DotLine);
    else if (l.gridStyle == sgDash)
        grid.setStyle(Qt::DashLine);
    else if (l.gridStyle == sgThick)
        grid.setWidth(2);

    for (QCPAxis *axis : {m_plot->xAxis, m_plot->yAxis}) {
        const QColor axisColor = axis == m_plot->yAxis ? toQColor(l.yAxisColor) : fore;
        axis->setBasePen(QPen(axisColor));
        axis->setTickPen(QPen(axisColor));
        axis->setSubTickPen(QPen(axisColor));
        axis->setLabelColor(axis == m_plot->yAxis ? axisColor : text);
        axis->setTickLabelColor(axis == m_plot->yAxis ? axisColor : text);
        axis->setLabelFont(toFont(l.labelFont, base));
        axis->setTickLabelFont(toFont(l.tickFont, base));
        axis->grid()->setPen(grid);
    }
    m_plot->xAxis->grid()->setVisible(l.gridLines == sgGridBoth || l.gridLines == sgGridX);
    m_plot->yAxis->grid()->setVisible(l.gridLines == sgGridBoth || l.gridLines == sgGridY);
    m_plot->xAxis->setLabel(l.xAxisLabel);
    m_plot->yAxis->setLabel(l.yAxisLabel);

    if (l.dateTimeMode != m_builtDateTimeMode) {
        if (l.dateTimeMode == sgVBDateTime) {
            m_plot->xAxis->setTicker(QSharedPointer<DateAxisTicker>::create());
        } else {
            m_plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        }
    }

    Qt::Orientations zoom;
    if (l.allowZooming == sgHorzZooming || l.allowZooming == sgHorzPlusVertZooming)
        zoom |= Qt::Horizontal;
    if (l.allowZooming == sgVertZooming || l.allowZooming == sgHorzPlusVertZooming)
        zoom |= Qt::Vertical;
    m_plot->axisRect()->setRangeZoom(zoom);
    m_plot->setSelectionRectMode(zoom && !m_zoomSuspended ? QCP::srmCustom : QCP::srmNone);

    if (l.arrowCursor == sgArrowCross)
        m_plot->setCursor(Qt::CrossCursor);
    else if (l.arrowCursor == sgArrowText)
        m_plot->setCursor(Qt::IBeamCursor);
    else
        m_plot->setCursor(Qt::ArrowCursor);
}

void PESGraph::rebuildData()
{
    ChartData &d = m_state.data;
    const bool keysChanged = m_builtDateTimeMode != m_state.look.dateTimeMode
        || m_builtNullValue != m_state.look.nullDataValueY;
    while (int(m_graphs.size()) > d.Subsets()) {
        m_plot->removeGraph(m_graphs.back());
        m_graphs.pop_back();
    }
    m_builtUpTo.resize(size_t(d.Subsets()), 0);
    m_valueRange.resize(size_t(d.Subsets()));
    m_hasValues.resize(size_t(d.Subsets()), false);
    m_gaps.resize(size_t(d.Subsets()));
    for (int s = 0; s < d.Subsets(); ++s) {
        bool fresh = false;
        if (size_t(s) >= m_graphs.size()) {
            QCPGraph *g = m_plot->addGraph();
            g->setAdaptiveSampling(true);
            m_graphs.push_back(g);
            fresh = true;
        }
        m_graphs[size_t(s)]->setPen(subsetPen(m_state.look.subsetColor(s), m_state.look.subsetLineType(s)));
        const ChartData::Change &c = d.change(s);
        // Only points after those already taken over changed: add them to the plot's data.
        if (!fresh && !keysChanged && !c.structural && c.any() && c.first >= m_builtUpTo[size_t(s)])
            appendSubset(s, c.first, c.last);
        else if (fresh || keysChanged || c.any())
            rebuildSubset(s);
    }
    m_builtDateTimeMode = m_state.look.dateTimeMode;
    m_builtNullValue = m_state.look.nullDataValueY;
    d.clearChanges();
}

void PESGraph::rebuildSubset(int subset)
{
    const ChartData &d = m_state.data;
    const double *x = d.xArray(subset);
    const float *y = d.yArray(subset);
    const float nullValue = m_state.look.nullDataValueY;
    QVector<QCPGraphData> points;
    points.reserve(d.Points());
    m_hasValues[size_t(subset)] = false;
    bool sorted = true;
    int last = -1;
    // Written points before an unwritten one that lies between them: the line breaks there.
    std::vector<qsizetype> unwrittenBefore;
    for (int i = 0; i < d.Points(); ++i) {
        // Unwritten points are left out; null values stay in as gaps in the line.
        if (std::isnan(y[i])) {
            if (!points.isEmpty() && (unwrittenBefore.empty() || unwrittenBefore.back() != points.size()))
                unwrittenBefore.push_back(points.size());
            continue;
        }
        const double key = toKey(x[i]);
        if (!points.isEmpty() && key < points.constLast().key)
            sorted = false;
        const bool gap = y[i] == nullValue;
        points.append(QCPGraphData(key, gap ? kNaN : double(y[i])));
        if (!gap)
            includeValue(subset, double(y[i]));
        last = i;
    }
    GapState &g = m_gaps[size_t(subset)];
    g.written = points.size();
    g.basis = points.size();
    g.step = std::numeric_limits<double>::infinity();
    if (sorted) {
        std::vector<double> keys;
        keys.reserve(size_t(points.size()));
        for (const QCPGraphData &p : points)
            keys.push_back(p.key);
        g.step = lineGapThreshold(keys.data(), qsizetype(keys.size()));
        QVector<QCPGraphData> broken;
        broken.reserve(points.size() + qsizetype(unwrittenBefore.size()) + 16);
        auto nextUnwritten = unwrittenBefore.cbegin();
        for (qsizetype i = 0; i < points.size(); ++i) {
            const bool afterUnwritten = nextUnwritten != unwrittenBefore.cend() && *nextUnwritten == i;
            if (afterUnwritten)
                ++nextUnwritten;
            if (i > 0 && (afterUnwritten || points[i].key - points[i - 1].key > g.step))
                broken.append(lineBreak(points[i - 1], points[i]));
            broken.append(points[i]);
        }
        points = std::move(broken);
    }
    auto container = m_graphs[size_t(subset)]->data();
    container->set(points, sorted);
    m_builtUpTo[size_t(subset)] = last + 1;
}

QCPGraphData PESGraph::lineBreak(const QCPGraphData &before, const QCPGraphData &after)
{
    // In the middle of the pause, so that the plot's adaptive sampling keeps it in a pixel
    // column of its own and the line stays broken at every zoom.
    return QCPGraphData((before.key + after.key) / 2, kNaN);
}

void PESGraph::appendSubset(int subset, int first, int last)
{
    const ChartData &d = m_state.data;
    const double *x = d.xArray(subset);
    const float *y = d.yArray(subset);
    const float nullValue = m_state.look.nullDataValueY;
    GapState &g = m_gaps[size_t(subset)];
    // The pace is measured again whenever the points have doubled since it was last measured,
    // so a recording that grows point by point costs a full pass only now and then.
    const qsizetype written = g.written + (last - first + 1);
    if (written >= 2 * std::max<qsizetype>(g.basis, kLineGapMinSteps / 2 + 1)) {
        rebuildSubset(subset);
        return;
    }
    auto container = m_graphs[size_t(subset)]->data();
    QVector<QCPGraphData> points;
    points.reserve(last - first + 2);
    const bool any = !container->isEmpty();
    QCPGraphData previous = any ? *(container->constEnd() - 1) : QCPGraphData(-std::numeric_limits<double>::infinity(), kNaN);
    int lastWritten = m_builtUpTo[size_t(subset)] - 1;
    // Unwritten points between those already drawn and the new ones break the line.
    bool unwritten = any && first > lastWritten + 1;
    for (int i = first; i <= last; ++i) {
        if (std::isnan(y[i])) {
            unwritten = any || !points.isEmpty();
            continue;
        }
        const double key = toKey(x[i]);
        if (key < previous.key) { // out of order: the whole subset is sorted again
            rebuildSubset(subset);
            return;
        }
        const bool gap = y[i] == nullValue;
        const QCPGraphData point(key, gap ? kNaN : double(y[i]));
        if ((any || !points.isEmpty()) && (unwritten || key - previous.key > g.step))
            points.append(lineBreak(previous, point));
        unwritten = false;
        points.append(point);
        previous = point;
        ++g.written;
        if (!gap)
            includeValue(subset, double(y[i]));
        lastWritten = i;
    }
    container->add(points, true);
    m_builtUpTo[size_t(subset)] = lastWritten + 1;
}

void PESGraph::applyScales()
{
    const ChartLook &l = m_state.look;
    // The data's extent, kept up to date by the rebuild and the appends: keys are sorted, so the
    // first and last point bound them.
    QCPRange xr(0, 0), yr(0, 0);
    bool anyKey = false, anyValue = false;
    for (size_t s = 0; s < m_graphs.size(); ++s) {
        auto data = m_graphs[s]->data();
        if (data->isEmpty())
            continue;
        const QCPRange keys(data->constBegin()->key, (data->constEnd() - 1)->key);
        xr = anyKey ? QCPRange(std::min(xr.lower, keys.lower), std::max(xr.upper, keys.upper)) : keys;
        anyKey = true;
        if (m_hasValues[s]) {
            yr = anyValue ? QCPRange(std::min(yr.lower, m_valueRange[s].lower), std::max(yr.upper, m_valueRange[s].upper))
                          : m_valueRange[s];
            anyValue = true;
        }
    }
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

void PESGraph::includeValue(int subset, double value)
{
    QCPRange &r = m_valueRange[size_t(subset)];
    if (!m_hasValues[size_t(subset)]) {
        r = QCPRange(value, value);
        m_hasValues[size_t(subset)] = true;
    } else {
        r.lower = std::min(r.lower, value);
        r.upper = std::max(r.upper, value);
    }
}

void PESGraph::rebuildItems()
{
    m_plot->clearItems();
    const ChartLook &l = m_state.look;
    const QFont base = font();
    if (l.showGraphAnnotations) {
        const QFont f = toFont(l.labelFont, base, l.graphAnnotationTextSize);
        for (const GraphAnnotation &a : m_state.annotations) {
            if (!a.visible())
                continue;
            const QColor color = toQColor(a.color);
            const double key = toKey(a.x);
            if (a.type == sgAnnotCross) {
                auto *cross = new QCPItemTracer(m_plot);
                cross->setStyle(QCPItemTracer::tsPlus);
                cross->setSize(2 * kHotSpotPixels + 1);
                cross->setPen(QPen(color));
                cross->position->setCoords(key, a.y);
            }
            if (!a.text.isEmpty()) {
                auto *text = new QCPItemText(m_plot);
                text->setText(a.text);
                text->setFont(f);
                text->setColor(color);
                text->setPositionAlignment(a.type == sgAnnotCross ? Qt::AlignLeft | Qt::AlignBottom
                                                                  : Qt::AlignCenter);
                text->position->setCoords(key, a.y);
                if (a.type == sgAnnotCross)
                    text->setPadding(QMargins(kHotSpotPixels + 1, 0, 0, kHotSpotPixels + 1));
            }
        }
    }
    if (l.showVertLineAnnotations) {
        const QFont f = toFont(l.labelFont, base, l.lineAnnotationTextSize);
        const QColor fore = toQColor(l.graphForeColor);
        for (const ::VertLineAnnotation &v : m_state.vertLines) {
            const double key = toKey(v.x);
            auto *line = new QCPItemStraightLine(m_plot);
            line->setPen(QPen(fore));
            line->point1->setCoords(key, 0);
            line->point2->setCoords(key, 1);
            const QString label = lineLabel(v.text);
            if (label.isEmpty())
                continue;
            auto *text = new QCPItemText(m_plot);
            text->setText(label);
            text->setFont(f);
            // The labels lie on the plot: in the text colour unless that vanishes on the plot's
            // background, then in the grid colour.
            const QColor textColor = toQColor(l.textColor);
            const QColor back = toQColor(l.graphBackColor);
            text->setColor(std::abs(textColor.lightness() - back.lightness()) > 96 ? textColor : fore);
            text->setClipToAxisRect(false);
            text->position->setTypeX(QCPItemPosition::ptPlotCoords);
            text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
            text->position->setCoords(key, 0);
            text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
            text->setPadding(QMargins(3, 2, 0, 0));
        }
    }
}

void PESGraph::placeTitles(bool main, bool sub)
{
    QCPLayoutGrid *layout = m_plot->plotLayout();
    const auto placed = [layout](QCPLayoutElement *e) {
        for (int i = 0; i < layout->elementCount(); ++i) {
            if (layout->elementAt(i) == e)
                return true;
        }
        return false;
    };
    if (placed(m_mainTitle) == main && placed(m_subTitle) == sub)
        return;
    for (QCPLayoutElement *e : {static_cast<QCPLayoutElement *>(m_mainTitle), static_cast<QCPLayoutElement *>(m_subTitle)}) {
        if (placed(e))
            layout->take(e);
    }
    layout->simplify();
    int row = 0;
    for (auto [title, show] : {std::pair{m_mainTitle, main}, std::pair{m_subTitle, sub}}) {
        if (!show)
            continue;
        layout->insertRow(row);
        layout->addElement(row++, 0, title);
    }
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
