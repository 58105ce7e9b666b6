#pragma once
// The text that the graph window's statistics export puts on the clipboard: eleven statistics
// lines with the window's field texts as they are shown, then one line per reading of subset 0.
// Lines end with a single line feed; reading fields are separated by a tab.
#include "chart/ChartData.h"
#include "data/RegionalFormat.h"

#include <QString>

// The texts of the statistics fields of a graph window, exactly as displayed.
struct StatisticsFieldTexts {
    QString startTime, samplingRate, dataNo, avgAll;
    QString max, maxTime, min, minTime;
    QString cursorA, cursorATime, cursorB, cursorBTime;
    QString maxAB, maxABTime, minAB, minABTime, avgAB;
};

// The statistics lines, then a reading line for each point i = 0, 1, ... of subset 0 up to the
// first point whose X is exactly 0 (a point not yet recorded) or the last point: the short date,
// a tab, hh:mm:ss.ms (milliseconds without leading zeros), a tab and the level with one decimal.
QString statisticsExportText(const StatisticsFieldTexts &fields, const ChartData &data,
                             const RegionalFormat &format = RegionalFormat::current());

// What the user is told afterwards.
// The note after a copy to the clipboard, in the active language.
QString statisticsExportDoneMessage();
