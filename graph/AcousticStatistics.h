#pragma once
// Acoustic figures of a run of sound levels: the equivalent continuous level and the levels
// exceeded by 10, 50 and 90 % of the readings. The arithmetic mean of dB values is not an acoustic
// average; these are computed from the sound energy and from the distribution of the readings.
//
// Leq = 10 * log10(mean of 10^(L/10)). The percentile levels use linear interpolation between the
// closest ranks: with the n readings sorted in ascending order v[0] .. v[n-1], the p-th percentile
// (0 <= p <= 1) is v[h] interpolated at h = (n - 1) * p, and L_N is the percentile p = 1 - N/100.
// So about N % of the readings lie above L_N and (100 - N) % below it; it is always
// between the lowest and highest reading, L10 >= L50 >= L90, and one reading or a constant run
// gives that level for every figure. Readings that are not finite numbers (NaN marks a point that
// is not drawn) are left out; without a finite reading there are no figures.
#include <QtGlobal>
#include <optional>

struct AcousticFigures {
    double leq = 0;  // equivalent continuous level, dB
    double l10 = 0;  // exceeded by 10 % of the readings
    double l50 = 0;  // the median
    double l90 = 0;  // exceeded by 90 % of the readings
    qsizetype count = 0;  // readings the figures were computed from
};

// Figures over levels[0 .. n-1]; none for an empty run.
std::optional<AcousticFigures> acousticStatistics(const float *levels, qsizetype n);
// Figures over levels[a .. b], either order, both ends included; the ends are clamped to the run.
// None when n is 0.
std::optional<AcousticFigures> acousticStatistics(const float *levels, qsizetype n, qsizetype a, qsizetype b);

// Only Leq, without sorting: over levels[0 .. n-1], or levels[a .. b] as above.
std::optional<double> equivalentLevel(const float *levels, qsizetype n);
std::optional<double> equivalentLevel(const float *levels, qsizetype n, qsizetype a, qsizetype b);
