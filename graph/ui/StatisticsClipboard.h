#pragma once
// Button2Click: the statistics and readings of a graph window's chart to the clipboard as text.
#include "graph/StatisticsExport.h"

class PESGraph;

// Replaces the clipboard's content with statisticsExportText of the fields and the chart's
// readings; returns the message to show afterwards.
QString copyStatisticsToClipboard(const StatisticsFieldTexts &fields, const PESGraph &chart);
