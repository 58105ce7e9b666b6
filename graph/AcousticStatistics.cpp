#include "graph/AcousticStatistics.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

struct Span {
    const float *first = nullptr;
    qsizetype size = 0;
};

Span subRange(const float *levels, qsizetype n, qsizetype a, qsizetype b)
{
    if (!levels || n <= 0)
        return {};
    if (a > b)
        std::swap(a, b);
    a = std::clamp<qsizetype>(a, 0, n - 1);
    b = std::clamp<qsizetype>(b, 0, n - 1);
    return {levels + a, b - a + 1};
}

// Energy mean relative to the highest level, so that no power of ten overflows or underflows
// whatever the levels are.
std::optional<double> leqOf(const float *v, qsizetype n)
{
    double top = -INFINITY;
    qsizetype finite = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::isfinite(v[i])) {
            top = std::max(top, double(v[i]));
            ++finite;
        }
    }
    if (finite == 0)
        return std::nullopt;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::isfinite(v[i]))
            sum += std::pow(10.0, (double(v[i]) - top) / 10.0);
    }
    return top + 10.0 * std::log10(sum / double(finite));
}

double percentile(const std::vector<float> &sorted, double p)
{
    const double h = double(sorted.size() - 1) * p;
    const size_t lo = size_t(std::floor(h));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    const double frac = h - double(lo);
    return double(sorted[lo]) + (double(sorted[hi]) - double(sorted[lo])) * frac;
}

std::optional<AcousticFigures> figuresOf(const float *v, qsizetype n)
{
    const std::optional<double> leq = leqOf(v, n);
    if (!leq)
        return std::nullopt;
    std::vector<float> sorted;
    sorted.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        if (std::isfinite(v[i]))
            sorted.push_back(v[i]);
    }
    std::sort(sorted.begin(), sorted.end());
    AcousticFigures f;
    f.leq = *leq;
    f.l10 = percentile(sorted, 0.90);
    f.l50 = percentile(sorted, 0.50);
    f.l90 = percentile(sorted, 0.10);
    f.count = qsizetype(sorted.size());
    return f;
}

} // namespace

std::optional<AcousticFigures> acousticStatistics(const float *levels, qsizetype n)
{
    return acousticStatistics(levels, n, 0, n - 1);
}

std::optional<AcousticFigures> acousticStatistics(const float *levels, qsizetype n, qsizetype a, qsizetype b)
{
    const Span s = subRange(levels, n, a, b);
    if (s.size == 0)
        return std::nullopt;
    return figuresOf(s.first, s.size);
}

std::optional<double> equivalentLevel(const float *levels, qsizetype n)
{
    return equivalentLevel(levels, n, 0, n - 1);
}

std::optional<double> equivalentLevel(const float *levels, qsizetype n, qsizetype a, qsizetype b)
{
    const Span s = subRange(levels, n, a, b);
    if (s.size == 0)
        return std::nullopt;
    return leqOf(s.first, s.size);
}
