#include "graph/ui/StatisticsClipboard.h"

#include "chart/ui/PESGraph.h"

#include <QClipboard>
#include <QGuiApplication>

QString copyStatisticsToClipboard(const StatisticsFieldTexts &fields, const PESGraph &chart)
{
    QGuiApplication::clipboard()->setText(statisticsExportText(fields, chart.state().data));
    return statisticsExportDoneMessage();
}
