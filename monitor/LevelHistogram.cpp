#include "monitor/LevelHistogram.h"

#include <algorithm>
#include <cmath>

namespace {
int clampTenths(int t) { return std::clamp(t, LevelHistogram::MinTenths, LevelHistogram::MaxTenths); }
}

double LevelHistogram::energy(int tenths)
{
    static const auto table = [] {
        std::array<double, MaxTenths - MinTenths + 1> t{};
        for (int i = 0; i < int(t.size()); ++i)
            t[size_t(i)] = std::pow(10.0, double(i + MinTenths) / 100.0);
        return t;
    }();
    return table[size_t(clampTenths(tenths) - MinTenths)];
}

void LevelHistogram::clear() { *this = LevelHistogram(); }

void LevelHistogram::add(int tenths)
{
    tenths = clampTenths(tenths);
    ++m_bins[size_t(tenths - MinTenths)];
    m_energy += energy(tenths);
    m_min = m_count == 0 ? tenths : std::min(m_min, tenths);
    m_max = m_count == 0 ? tenths : std::max(m_max, tenths);
    ++m_count;
}

double LevelHistogram::leq() const { return m_count ? 10.0 * std::log10(m_energy / double(m_count)) : 0.0; }

int LevelHistogram::valueAt(qint64 rank) const
{
    qint64 seen = 0;
    for (int i = m_min; i <= m_max; ++i) {
        seen += m_bins[size_t(i - MinTenths)];
        if (seen > rank)
            return i;
    }
    return m_max;
}

double LevelHistogram::exceeded(double n) const
{
    if (m_count == 0)
        return 0.0;
    const double h = double(m_count - 1) * (1.0 - n / 100.0);
    const qint64 lo = qint64(std::floor(h));
    const int a = valueAt(lo);
    const int b = lo + 1 < m_count ? valueAt(lo + 1) : a;
    return (double(a) + (double(b) - double(a)) * (h - double(lo))) / 10.0;
}
