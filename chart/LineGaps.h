#pragma once
// Where a chart's line is broken. A recording keeps a steady pace between its points; when the
// meter was lost for a while the next point comes much later, and a line drawn straight across
// that pause would show levels that were never measured. A pause is a step between neighbouring
// points of more than kLineGapFactor times the typical (median) step, and only counts in points
// that mostly keep a steady pace: irregular points (single values taken now and then) are joined
// as they are.
#include <QtGlobal>
#include <limits>

inline constexpr double kLineGapFactor = 2.5;
// Fewer steps than this say nothing about a pace.
inline constexpr qsizetype kLineGapMinSteps = 8;

// The step above which the line between two neighbouring keys is broken; +infinity when the
// sorted keys keep no steady pace (too few, irregular, or all equal).
double lineGapThreshold(const double *sortedKeys, qsizetype count);
