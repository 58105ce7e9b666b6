#include "chart/ui/PlotLook.h"

#include "chart/ui/DateAxisTicker.h"
#include "chart/ui/PlotSeries.h"

#include <qcustomplot.h>
#include <cmath>

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

QFont toFont(const ChartFont &font, const QFont &base, double percent)
{
    QFont f = base;
    if (!font.family.isEmpty())
        f.setFamily(font.family);
    if (font.pointSize > 0)
        f.setPointSizeF(std::max(1.0, font.pointSize * percent / 100.0));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return f;
}

namespace {

// Line annotation texts may start with "|t" (text at the top of the line); the label is always
// drawn there, so the marker itself is not shown.
QString lineLabel(const QString &text)
{
    return text.startsWith(QLatin1String("|t")) ? text.mid(2) : text;
}

// Gives each title that is shown a row of the plot's layout, in order, and takes the others out.
void placeTitles(QCustomPlot *plot, const PlotTitles &titles, bool main, bool sub)
{
    QCPLayoutGrid *layout = plot->plotLayout();
    const auto placed = [layout](QCPLayoutElement *e) {
        for (int i = 0; i < layout->elementCount(); ++i) {
            if (layout->elementAt(i) == e)
                return true;
        }
        return false;
    };
    if (placed(titles.main) == main && placed(titles.sub) == sub)
        return;
    for (QCPLayoutElement *e : {static_cast<QCPLayoutElement *>(titles.main), static_cast<QCPLayoutElement *>(titles.sub)}) {
        if (placed(e))
            layout->take(e);
    }
    layout->simplify();
    int row = 0;
    for (auto [title, show] : {std::pair{titles.main, main}, std::pair{titles.sub, sub}}) {
        if (!show)
            continue;
        layout->insertRow(row);
        layout->addElement(row++, 0, title);
    }
}

} // namespace

void applyPlotLook(QCustomPlot *plot, const ChartLook &l, const PlotTitles &titles, const QFont &base,
                   bool newTicker, bool zoomSuspended)
{
    plot->setBackground(QBrush(toQColor(l.deskColor)));
    plot->axisRect()->setBackground(QBrush(toQColor(l.graphBackColor)));
    const QColor fore = toQColor(l.graphForeColor);
    const QColor text = toQColor(l.textColor);

    titles.main->setText(l.mainTitle);
    titles.main->setFont(toFont(l.mainTitleFont, base));
    titles.main->setTextColor(text);
    titles.sub->setText(l.subTitle);
    titles.sub->setFont(toFont(l.subTitleFont, base));
    titles.sub->setTextColor(text);
    // A blank title takes no room above the plot: only the titles with text have a layout row.
    placeTitles(plot, titles, !l.mainTitle.trimmed().isEmpty(), !l.subTitle.trimmed().isEmpty());

    QPen grid(fore, 0, Qt::SolidLine);
    if (l.gridStyle == sgDot)
        grid.setStyle(Qt::DotLine);
    else if (l.gridStyle == sgDash)
        grid.setStyle(Qt::DashLine);
    else if (l.gridStyle == sgThick)
        grid.setWidth(2);

    for (QCPAxis *axis : {plot->xAxis, plot->yAxis}) {
        const QColor axisColor = axis == plot->yAxis ? toQColor(l.yAxisColor) : fore;
        axis->setBasePen(QPen(axisColor));
        axis->setTickPen(QPen(axisColor));
        axis->setSubTickPen(QPen(axisColor));
        axis->setLabelColor(axis == plot->yAxis ? axisColor : text);
        axis->setTickLabelColor(axis == plot->yAxis ? axisColor : text);
        axis->setLabelFont(toFont(l.labelFont, base));
        axis->setTickLabelFont(toFont(l.tickFont, base));
        axis->grid()->setPen(grid);
    }
    plot->xAxis->grid()->setVisible(l.gridLines == sgGridBoth || l.gridLines == sgGridX);
    plot->yAxis->grid()->setVisible(l.gridLines == sgGridBoth || l.gridLines == sgGridY);
    plot->xAxis->setLabel(l.xAxisLabel);
    plot->yAxis->setLabel(l.yAxisLabel);

    if (newTicker) {
        if (l.dateTimeMode == sgVBDateTime) {
            plot->xAxis->setTicker(QSharedPointer<DateAxisTicker>::create());
        } else {
            plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        }
    }

    Qt::Orientations zoom;
    if (l.allowZooming == sgHorzZooming || l.allowZooming == sgHorzPlusVertZooming)
        zoom |= Qt::Horizontal;
    if (l.allowZooming == sgVertZooming || l.allowZooming == sgHorzPlusVertZooming)
        zoom |= Qt::Vertical;
    plot->axisRect()->setRangeZoom(zoom);
    plot->setSelectionRectMode(zoom && !zoomSuspended ? QCP::srmCustom : QCP::srmNone);

    if (l.arrowCursor == sgArrowCross)
        plot->setCursor(Qt::CrossCursor);
    else if (l.arrowCursor == sgArrowText)
        plot->setCursor(Qt::IBeamCursor);
    else
        plot->setCursor(Qt::ArrowCursor);
}

void drawPlotItems(QCustomPlot *plot, const ChartState &state, const QFont &base)
{
    plot->clearItems();
    const ChartLook &l = state.look;
    if (l.showGraphAnnotations) {
        const QFont f = toFont(l.labelFont, base, l.graphAnnotationTextSize);
        for (const GraphAnnotation &a : state.annotations) {
            if (!a.visible())
                continue;
            const QColor color = toQColor(a.color);
            const double key = plotKey(a.x, l.dateTimeMode);
            if (a.type == sgAnnotCross) {
                auto *cross = new QCPItemTracer(plot);
                cross->setStyle(QCPItemTracer::tsPlus);
                cross->setSize(2 * kHotSpotPixels + 1);
                cross->setPen(QPen(color));
                cross->position->setCoords(key, a.y);
            }
            if (!a.text.isEmpty()) {
                auto *text = new QCPItemText(plot);
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
        for (const ::VertLineAnnotation &v : state.vertLines) {
            const double key = plotKey(v.x, l.dateTimeMode);
            auto *line = new QCPItemStraightLine(plot);
            line->setPen(QPen(fore));
            line->point1->setCoords(key, 0);
            line->point2->setCoords(key, 1);
            const QString label = lineLabel(v.text);
            if (label.isEmpty())
                continue;
            auto *text = new QCPItemText(plot);
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
