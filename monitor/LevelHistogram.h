#pragma once
// The levels of a period or a day as counts per tenth of a dB: constant memory however many
// samples there are, and the exact Leq, extremes and percentile levels of the samples, since
// the meter resolves levels to tenths of a dB.
#include <QtGlobal>
#include <array>

class LevelHistogram {
public:
    static constexpr int MinTenths = -500;  // -50.0 dB; lower levels count here
    static constexpr int MaxTenths = 2000;  // 200.0 dB; higher levels count here

    void clear();
    void add(int tenths);
    qint64 count() const { return m_count; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // 10*log10(mean of 10^(L/10)); the energy sum is kept in sample order.
    double leq() const;
    // The level exceeded by n % of the samples: the samples sorted ascending, linear interpolation
    // at (count - 1) * (1 - n/100).
    double exceeded(double n) const;
    // 10^(L/10) of a level in tenths.
    static double energy(int tenths);

private:
    int valueAt(qint64 rank) const; // rank-th smallest sample, from 0
    std::array<quint32, MaxTenths - MinTenths + 1> m_bins{};
    qint64 m_count = 0;
    double m_energy = 0;
    int m_min = 0, m_max = 0;
};
