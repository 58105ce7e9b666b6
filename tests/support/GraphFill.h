#pragma once
// A graph window filled for a test: n points one second apart from kT0, levels from a function,
// and the window's statistics shown.
#include "chart/ui/PESGraph.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmGraph.h"

#include <functional>

constexpr double kT0 = 46365.5;

inline void fill(TfrmGraph &g, int n, const std::function<float(int)> &level)
{
    PESGraph *c = g.PESGraph1;
    PrepareChart(c, 1, 130, 30, 0, 0, n);
    for (int i = 0; i < n; ++i) {
        c->setXDataII(0, i, kT0 + i / 86400.0);
        c->setYData(0, i, level(i));
    }
    c->Redraw();
    g.ShowChartStatistics();
}
