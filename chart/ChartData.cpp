#include "chart/ChartData.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr float kUnwritten = std::numeric_limits<float>::quiet_NaN();
}

ChartData::ChartData()
{
    setSubsets(1);
}

void ChartData::setSubsets(int count)
{
    count = std::clamp(count, 0, kMaxSubsets);
    const size_t old = m_x.size();
    m_x.resize(size_t(count));
    m_y.resize(size_t(count));
    m_changes.resize(size_t(count));
    for (size_t s = old; s < size_t(count); ++s) {
        m_x[s].assign(size_t(m_points), 0.0);
        m_y[s].assign(size_t(m_points), kUnwritten);
        m_changes[s].structural = true;
    }
}

void ChartData::setPoints(int count)
{
    count = std::clamp(count, 0, kMaxPoints);
    if (count == m_points)
        return;
    for (size_t s = 0; s < m_x.size(); ++s) {
        m_x[s].resize(size_t(count), 0.0);
        m_y[s].resize(size_t(count), kUnwritten);
        // Release the memory of a large chart made small.
        if (count < m_points / 2) {
            m_x[s].shrink_to_fit();
            m_y[s].shrink_to_fit();
        }
        m_changes[s].structural = true;
    }
    m_points = count;
}

double ChartData::XDataII(int subset, int point) const
{
    return valid(subset, point) ? m_x[size_t(subset)][size_t(point)] : 0.0;
}

float ChartData::YData(int subset, int point) const
{
    if (!valid(subset, point))
        return 0.0f;
    const float y = m_y[size_t(subset)][size_t(point)];
    return std::isnan(y) ? 0.0f : y;
}

void ChartData::setXDataII(int subset, int point, double value)
{
    if (point == -1 && value == 0.0) {
        reset(subset);
        return;
    }
    if (!valid(subset, point))
        return;
    m_x[size_t(subset)][size_t(point)] = value;
    touch(subset, point);
}

void ChartData::setYData(int subset, int point, float value)
{
    if (point == -1 && value == 0.0f) {
        reset(subset);
        return;
    }
    if (!valid(subset, point))
        return;
    m_y[size_t(subset)][size_t(point)] = value;
    touch(subset, point);
}

void ChartData::setXDataII(int subset, const double *values, qsizetype count)
{
    if (subset < 0 || subset >= Subsets() || !values || count <= 0)
        return;
    const size_t n = size_t(std::min<qsizetype>(count, m_points));
    if (n > 0)
        std::memcpy(m_x[size_t(subset)].data(), values, n * sizeof(double));
    m_changes[size_t(subset)].structural = true;
}

void ChartData::setYData(int subset, const float *values, qsizetype count)
{
    if (subset < 0 || subset >= Subsets() || !values || count <= 0)
        return;
    const size_t n = size_t(std::min<qsizetype>(count, m_points));
    if (n > 0)
        std::memcpy(m_y[size_t(subset)].data(), values, n * sizeof(float));
    m_changes[size_t(subset)].structural = true;
}

void ChartData::reset(int subset)
{
    if (subset < 0 || subset >= Subsets())
        return;
    std::fill(m_x[size_t(subset)].begin(), m_x[size_t(subset)].end(), 0.0);
    std::fill(m_y[size_t(subset)].begin(), m_y[size_t(subset)].end(), kUnwritten);
    m_changes[size_t(subset)].structural = true;
}

void ChartData::resetAll()
{
    for (int s = 0; s < Subsets(); ++s)
        reset(s);
}

bool ChartData::isDrawn(int subset, int point, float nullValue) const
{
    if (!valid(subset, point))
        return false;
    const float y = m_y[size_t(subset)][size_t(point)];
    return !std::isnan(y) && y != nullValue;
}

void ChartData::touch(int subset, int point)
{
    Change &c = m_changes[size_t(subset)];
    c.first = std::min(c.first, point);
    c.last = std::max(c.last, point);
}

void ChartData::clearChanges()
{
    for (auto &c : m_changes)
        c = Change{};
}

void ChartData::markAllChanged()
{
    for (auto &c : m_changes)
        c.structural = true;
}

bool ChartData::operator==(const ChartData &other) const
{
    if (m_points != other.m_points || Subsets() != other.Subsets())
        return false;
    for (size_t s = 0; s < m_x.size(); ++s) {
        if (m_x[s] != other.m_x[s])
            return false;
        // Bitwise, so that unwritten points (NaN) compare equal.
        if (!m_y[s].empty() && std::memcmp(m_y[s].data(), other.m_y[s].data(), m_y[s].size() * sizeof(float)) != 0)
            return false;
    }
    return true;
}
