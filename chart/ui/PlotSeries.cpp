#include "chart/ui/PlotSeries.h"

#include "chart/LineGaps.h"
#include "chart/ui/PlotLook.h"

#include <algorithm>
#include <cmath>

namespace {
// TDateTime day 25569 is 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

double plotKey(double x, int dateTimeMode)
{
    return dateTimeMode == sgVBDateTime ? (x - kUnixEpochDays) * kSecondsPerDay : x;
}

double chartXOfKey(double key, int dateTimeMode)
{
    return dateTimeMode == sgVBDateTime ? key / kSecondsPerDay + kUnixEpochDays : key;
}

void PlotSeries::update(ChartData &d, const ChartLook &look, bool keysChanged)
{
    m_data = &d;
    m_look = &look;
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
        m_graphs[size_t(s)]->setPen(subsetPen(look.subsetColor(s), look.subsetLineType(s)));
        const ChartData::Change &c = d.change(s);
        // Only points after those already taken over changed: add them to the plot's data.
        if (!fresh && !keysChanged && !c.structural && c.any() && c.first >= m_builtUpTo[size_t(s)])
            appendSubset(s, c.first, c.last);
        else if (fresh || keysChanged || c.any())
            rebuildSubset(s);
    }
    d.clearChanges();
}

bool PlotSeries::keyRange(QCPRange &range) const
{
    // Keys are sorted, so the first and last point of each line bound them.
    bool any = false;
    for (QCPGraph *g : m_graphs) {
        auto data = g->data();
        if (data->isEmpty())
            continue;
        const QCPRange keys(data->constBegin()->key, (data->constEnd() - 1)->key);
        range = any ? QCPRange(std::min(range.lower, keys.lower), std::max(range.upper, keys.upper)) : keys;
        any = true;
    }
    return any;
}

bool PlotSeries::valueRange(QCPRange &range) const
{
    bool any = false;
    for (size_t s = 0; s < m_graphs.size(); ++s) {
        if (m_graphs[s]->data()->isEmpty() || !m_hasValues[s])
            continue;
        range = any ? QCPRange(std::min(range.lower, m_valueRange[s].lower), std::max(range.upper, m_valueRange[s].upper))
                    : m_valueRange[s];
        any = true;
    }
    return any;
}

void PlotSeries::rebuildSubset(int subset)
{
    const ChartData &d = *m_data;
    const double *x = d.xArray(subset);
    const float *y = d.yArray(subset);
    const float nullValue = m_look->nullDataValueY;
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
        const double key = plotKey(x[i], m_look->dateTimeMode);
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

QCPGraphData PlotSeries::lineBreak(const QCPGraphData &before, const QCPGraphData &after)
{
    // In the middle of the pause, so that the plot's adaptive sampling keeps it in a pixel
    // column of its own and the line stays broken at every zoom.
    return QCPGraphData((before.key + after.key) / 2, kNaN);
}

void PlotSeries::appendSubset(int subset, int first, int last)
{
    const ChartData &d = *m_data;
    const double *x = d.xArray(subset);
    const float *y = d.yArray(subset);
    const float nullValue = m_look->nullDataValueY;
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
        const double key = plotKey(x[i], m_look->dateTimeMode);
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
void PlotSeries::includeValue(int subset, double value)
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
