#pragma once
// How the chart's look becomes the plot's: colours, fonts, titles, grid, axes, the date ticker,
// the zoom directions and the pointer; and the marks and cursor lines drawn as plot items.
#include "chart/ChartState.h"

#include <QColor>
#include <QFont>
#include <QPen>

class QCustomPlot;
class QCPTextElement;

// A cross mark's half size, and how near the pointer must come to a mark, line or point to hit it.
inline constexpr int kHotSpotPixels = 5;

QColor toQColor(PEColor c);
QPen subsetPen(PEColor color, int lineType);
// A chart font over the widget's font; percent scales its point size.
QFont toFont(const ChartFont &font, const QFont &base, double percent = 100);

struct PlotTitles {
    QCPTextElement *main = nullptr;
    QCPTextElement *sub = nullptr;
};

// Applies the look to the plot. newTicker: the date-time mode changed since the plot's axis got
// its ticker. zoomSuspended: a drag draws no zoom rectangle.
void applyPlotLook(QCustomPlot *plot, const ChartLook &look, const PlotTitles &titles, const QFont &base,
                   bool newTicker, bool zoomSuspended);
// The marks and the cursor lines with their labels, as the look shows them, replacing the plot's items.
void drawPlotItems(QCustomPlot *plot, const ChartState &state, const QFont &base);
