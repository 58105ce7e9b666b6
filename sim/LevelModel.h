#pragma once
// The sound level the simulated meter measures: a seeded random walk that is pulled back to a
// quiet background of about 55 dB, with now and then a louder event (a passing car, a door)
// that rises quickly and dies away over a few seconds.
#include <QtGlobal>
#include <random>

class LevelModel {
public:
    explicit LevelModel(std::mt19937 &rng) : m_rng(rng) {}

    // The level after dtSeconds more of measuring, in dB, within 30..130. FAST follows the
    // sound more nervously than SLOW.
    double step(double dtSeconds, bool fast);
    double level() const { return m_level; }

    static constexpr double Background = 55.0;
    static constexpr double Lowest = 30.0;
    static constexpr double Highest = 130.0;

private:
    std::mt19937 &m_rng;
    double m_background = Background; // the random walk
    double m_event = 0;               // the louder event on top of it, decaying
    double m_level = Background;
};
