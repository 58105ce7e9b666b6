#include "chart/LineGaps.h"

#include <algorithm>
#include <vector>

double lineGapThreshold(const double *sortedKeys, qsizetype count)
{
    constexpr double kNone = std::numeric_limits<double>::infinity();
    if (count - 1 < kLineGapMinSteps)
        return kNone;
    std::vector<double> steps;
    steps.reserve(size_t(count - 1));
    for (qsizetype i = 1; i < count; ++i)
        steps.push_back(sortedKeys[i] - sortedKeys[i - 1]);
    const auto middle = steps.begin() + qsizetype(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    const double median = *middle;
    if (!(median > 0))
        return kNone;
    // Steady: at least four steps in five lie within half and twice the median.
    const auto steady = std::count_if(steps.begin(), steps.end(),
                                      [median](double s) { return s >= median / 2 && s <= median * 2; });
    if (steady * 5 < qsizetype(steps.size()) * 4)
        return kNone;
    return median * kLineGapFactor;
}
