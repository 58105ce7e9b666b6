#include "graph/ui/CustomizeTemplate.h"

#include "chart/ui/PESGraph.h"
#include "graph/GraphFile.h"
#include "graph/ui/TfrmYesNo.h"

QString keepCustomizationAsTemplate(PESGraph &chart, const QString &appData, const std::function<bool()> &askKeep)
{
    if (chart.DialogResult() != 1)
        return {};
    const bool keep = askKeep ? askKeep() : TfrmYesNo::ask(&chart);
    if (!keep)
        return {};
    // The look only: the readings, marks and cursor lines belong to this chart alone.
    return saveTemplate(SaveChartState(chartTemplateOf(chart.state())), appData).message;
}
