#pragma once
// The chart's subsets as lines on the plot, kept in step with the chart's data: a subset whose
// points were only appended since the last build gets just those points, any other change builds
// its line again. Unwritten points (NaN) are left out and break the line; null values are gaps;
// a pause much longer than the recording's pace breaks the line too (chart/LineGaps.h).
#include "chart/ChartState.h"

#include <qcustomplot.h>
#include <limits>
#include <vector>

// Between a chart's X (TDateTime days in date-time mode) and the plot's keys, which count seconds
// since 1970 in UTC on a date axis, so that a local wall-clock time shows unshifted.
double plotKey(double x, int dateTimeMode);
double chartXOfKey(double key, int dateTimeMode);

class PlotSeries {
public:
    explicit PlotSeries(QCustomPlot *plot) : m_plot(plot) {}

    // Takes the data's changes over into the plot and clears them. keysChanged: the date-time
    // mode or the null value changed since the last build, so every line is built again.
    void update(ChartData &data, const ChartLook &look, bool keysChanged);
    // The extent of the drawn keys and values; false for an axis without any.
    bool keyRange(QCPRange &range) const;
    bool valueRange(QCPRange &range) const;

private:
    void rebuildSubset(int subset);
    void appendSubset(int subset, int first, int last);
    static QCPGraphData lineBreak(const QCPGraphData &before, const QCPGraphData &after);
    void includeValue(int subset, double value);

    QCustomPlot *m_plot;
    const ChartData *m_data = nullptr;
    const ChartLook *m_look = nullptr;
    std::vector<QCPGraph *> m_graphs;
    // Per subset: the source points before this index are in the plot's data.
    std::vector<int> m_builtUpTo;
    // Per subset: the range of the drawn values.
    std::vector<QCPRange> m_valueRange;
    std::vector<bool> m_hasValues;
    // Per subset: where its line is broken.
    struct GapState {
        double step = std::numeric_limits<double>::infinity(); // a longer step breaks the line
        qsizetype basis = 0;   // points in the plot when the step was measured
        qsizetype written = 0; // points in the plot, breaks not counted
    };
    std::vector<GapState> m_gaps;
};
