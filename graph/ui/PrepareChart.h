#pragma once
// The chart set-up every graph window shares: scales, null value, look, and the axis label "Zeit".
#include "app/TDateTime.h"

#include <QString>

class PESGraph;

// Sets up the chart for s subsets of n points with Y from minY to maxY and, when minX is not 0,
// X from minX to maxX. A template graph file, when templatePath names one that the chart accepts,
// replaces the built-in look. A template file that cannot be read leaves the chart's look and puts
// the file error's message into *error; a template the chart refuses is passed over. Returns
// whether a template was used.
bool PrepareChart(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n,
                  const QString &templatePath = QString(), QString *error = nullptr);

// The chart set-up of a data set: scales, null value and hot spots, without the look (which the
// window keeps from its first preparation or from a template).
void PrepareDataSetChart(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n);
