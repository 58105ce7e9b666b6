#include "sim/LevelModel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPull = 0.3;           // per second, back toward the background level
constexpr double kSpreadFast = 1.6;     // dB per square root of a second
constexpr double kSpreadSlow = 0.6;
constexpr double kEventsPerSecond = 0.05;
constexpr double kEventDecay = 1.5;     // seconds
}

double LevelModel::step(double dtSeconds, bool fast)
{
    const double dt = std::clamp(dtSeconds, 0.0, 5.0);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);

    const double spread = fast ? kSpreadFast : kSpreadSlow;
    m_background += kPull * (Background - m_background) * dt + spread * std::sqrt(dt) * gauss(m_rng);
    m_background = std::clamp(m_background, 35.0, 80.0);

    m_event *= std::exp(-dt / kEventDecay);
    if (uniform(m_rng) < kEventsPerSecond * dt)
        m_event = std::max(m_event, 15.0 + 25.0 * uniform(m_rng));

    // Levels add as powers, not as decibels.
    const double combined =
        m_event > 0.05 ? 10.0 * std::log10(std::pow(10.0, m_background / 10.0)
                                           + std::pow(10.0, (m_background + m_event) / 10.0))
                       : m_background;
    m_level = std::clamp(combined, Lowest, Highest);
    return m_level;
}
