#pragma once
// The readings of a chart: Subsets curves of Points points each, X as TDateTime (double) and Y as a
// level in dB (float), one contiguous array of each per subset. A point whose Y has not been
// written since the last reset is held as NaN: it reads Y 0 and is not drawn.
//
// The class also remembers which points changed since the widget last took the data over, so a
// redraw after one appended sample does not convert every point again.
#include <QtGlobal>
#include <cmath>
#include <limits>
#include <vector>

class ChartData {
public:
    static constexpr int kMaxSubsets = 64;
    static constexpr int kMaxPoints = 20'000'000;

    ChartData();

    int Subsets() const { return int(m_x.size()); }
    // Keeps the data of the subsets that remain; new subsets start empty.
    void setSubsets(int count);
    int Points() const { return m_points; }
    // Lowering keeps the lower points; raising adds unwritten points.
    void setPoints(int count);

    double XDataII(int subset, int point) const;
    // Point -1 with the value 0 resets the subset (see reset()); other writes outside the chart are
    // ignored.
    void setXDataII(int subset, int point, double value);
    float YData(int subset, int point) const;
    void setYData(int subset, int point, float value);
    double YDataII(int subset, int point) const { return YData(subset, point); }
    void setYDataII(int subset, int point, double value) { setYData(subset, point, float(value)); }

    // Whole-subset transfers: the first min(count, Points) points of the subset take the values.
    void setXDataII(int subset, const double *values, qsizetype count);
    void setYData(int subset, const float *values, qsizetype count);

    // Empties a subset: every point reads X 0 and is not drawn until its Y is written.
    void reset(int subset);
    void resetAll();

    // Y is written and not the null value: the point is drawn.
    bool isDrawn(int subset, int point, float nullValue) const;
    bool isWritten(int subset, int point) const { return !std::isnan(m_y[size_t(subset)][size_t(point)]); }

    const double *xArray(int subset) const { return m_x[size_t(subset)].data(); }
    const float *yArray(int subset) const { return m_y[size_t(subset)].data(); }
    // Raw access for restoring a saved state (NaN kept as "not written").
    double *xArray(int subset) { return m_x[size_t(subset)].data(); }
    float *yArray(int subset) { return m_y[size_t(subset)].data(); }

    // Change tracking for the widget. A subset is either unchanged, changed in the points
    // [dirtyFirst, dirtyLast], or changed throughout (structure: reset, resize, block transfer).
    struct Change {
        bool structural = false;
        int first = std::numeric_limits<int>::max();
        int last = -1;
        bool any() const { return structural || last >= 0; }
    };
    const Change &change(int subset) const { return m_changes[size_t(subset)]; }
    void clearChanges();
    void markAllChanged();

    bool operator==(const ChartData &other) const;

private:
    bool valid(int subset, int point) const
    {
        return subset >= 0 && subset < Subsets() && point >= 0 && point < m_points;
    }
    void touch(int subset, int point);

    int m_points = 0;
    std::vector<std::vector<double>> m_x;
    std::vector<std::vector<float>> m_y;
    std::vector<Change> m_changes;
};
