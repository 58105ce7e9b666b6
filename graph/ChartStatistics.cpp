#include "graph/ChartStatistics.h"

#include "app/SystemFormats.h"
#include "chart/ChartData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// A point whose level was never written (NaN in the chart's array) reads 0, as the chart reports it.
float levelAt(const float *y, int i)
{
    return std::isnan(y[i]) ? 0.0f : y[i];
}
} // namespace

QStringList samplingRateTexts()
{
    QStringList out;
    for (double r : SamplingRates)
        out << levelText(r);
    return out;
}

int RateToEntry(double r)
{
    constexpr double bounds[9] = {0.15, 0.25, 0.55, 1.5, 2.5, 5.5, 10.5, 20.5, 30.5};
    for (int i = 0; i < 9; ++i) {
        if (r < bounds[i])
            return i;
    }
    return -1;
}

ChartStatistics chartStatistics(const double *x, const float *y, int n)
{
    ChartStatistics s;
    if (n <= 0 || !x || !y)
        return s;
    s.count = n;
    s.startTime = x[0];
    s.rate = (x[n - 1] - x[0]) * 86400.0 / n;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const float v = levelAt(y, i);
        sum += v;
        if (v > s.maximum) {
            s.maximum = v;
            s.maxIndex = i;
        }
        if (v < s.minimum) {
            s.minimum = v;
            s.minIndex = i;
        }
    }
    s.average = sum / n;
    if (s.maxIndex >= 0)
        s.maxTime = x[s.maxIndex];
    if (s.minIndex >= 0)
        s.minTime = x[s.minIndex];
    return s;
}

SliderSpan sliderSpan(int n)
{
    SliderSpan s;
    s.min = 0;
    s.max = n - 1;
    s.a = n / 3;
    s.b = (2 * n) / 3;
    return s;
}

int nearestPoint(const double *x, int first, int last, double value)
{
    if (!x || last <= first || !std::isfinite(value))
        return first;
    const double *it = std::lower_bound(x + first, x + last + 1, value);
    if (it == x + last + 1)
        return last;
    const int i = int(it - x);
    if (i > first && value - x[i - 1] <= x[i] - value)
        return i - 1;
    return i;
}

CursorStatistics cursorStatistics(const double *x, const float *y, int n, int a, int b)
{
    CursorStatistics s;
    const int lo = std::max(0, std::min(a, b));
    const int hi = std::min(n - 1, std::max(a, b));
    if (!x || !y || lo > hi)
        return s;
    double sum = 0;
    for (int i = lo; i <= hi; ++i) {
        const float v = levelAt(y, i);
        sum += v;
        if (v > s.maximum) {
            s.maximum = v;
            s.maxTime = x[i];
        }
        if (v < s.minimum) {
            s.minimum = v;
            s.minTime = x[i];
        }
    }
    s.average = sum / (hi - lo + 1);
    s.valid = true;
    return s;
}

QString cursorLineLabel(TDateTime x, float y)
{
    return QStringLiteral("|t") + timeText(x) + QLatin1Char('\n') + levelText(y) + QStringLiteral("dB");
}

QString pointerReadout(double level, TDateTime x)
{
    return levelText(level) + QStringLiteral("dB@") + timeText(x);
}

std::vector<float> chartReadings(const ChartData &data, float nullValue)
{
    const int n = data.Subsets() > 0 ? data.Points() : 0;
    std::vector<float> levels(size_t(std::max(0, n)));
    if (n <= 0)
        return levels;
    const double *x = data.xArray(0);
    const float *y = data.yArray(0);
    for (int i = 0; i < n; ++i) {
        const bool reading = x[i] != 0 && std::isfinite(y[i]) && y[i] != nullValue;
        levels[size_t(i)] = reading ? y[i] : std::numeric_limits<float>::quiet_NaN();
    }
    return levels;
}
