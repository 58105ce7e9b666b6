#include "graph/ui/PrepareChart.h"

#include "chart/ui/PESGraph.h"

#include <QFile>

bool PrepareChart(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n,
                  const QString &templatePath)
{
    bool fromTemplate = false;
    if (!templatePath.isEmpty() && QFile::exists(templatePath)) {
        QFile file(templatePath);
        if (file.open(QIODevice::ReadOnly))
            fromTemplate = chart->LoadState(file.readAll());
    }
    chart->setPrepareImages(true);
    chart->setNullDataValueY(9999);
    chart->setSubsetByPoint(false);
    chart->setSubsets(s);
    chart->setPoints(n);
    chart->setAllowPopup(false);
    chart->setNoHelp(true);
    for (int i = 0; i < s; ++i) {
        chart->setXDataII(i, -1, 0);
        chart->setYData(i, -1, 0);
    }
    chart->setManualScaleControlY(sgManualMinAndMax);
    chart->setManualMinY(minY);
    chart->setManualMaxY(maxY);
    if (minX != 0) {
        chart->setManualScaleControlX(sgManualMinAndMax);
        chart->setManualMinX(minX);
        chart->setManualMaxX(maxX);
    }
    chart->setAllowDataLabels(sgNoDataLabels);
    if (!fromTemplate) {
        const PEColor grey = PEargb(255, 190, 190, 190);
        const PEColor black = PEargb(255, 0, 0, 0);
        chart->setShowVertLineAnnotations(true);
        chart->setAllowVertLineAnnotHotSpots(true);
        chart->setLineAnnotationTextSize(100);
        chart->setShowGraphAnnotations(true);
        chart->setGraphAnnotationTextSize(100);
        chart->setGridStyle(sgDot);
        chart->setMainTitle(QString());
        chart->setSubTitle(QStringLiteral(" "));
        chart->setDateTimeMode(sgVBDateTime);
        chart->setUsingXDataII(true);
        chart->setAllowZooming(sgHorzPlusVertZooming);
        chart->setScrollingHorzZoom(true);
        chart->setScrollingVertZoom(true);
        chart->setGraphForeColor(grey);
        chart->setDeskColor(grey);
        chart->setGraphBackColor(black);
        chart->setTextColor(black);
        chart->setSubsetColors(0, PEargb(255, 255, 255, 0));
        chart->setSubsetColors(1, PEargb(255, 255, 0, 0));
        chart->setSubsetLineTypes(0, 0);
        chart->setSubsetLineTypes(1, 0);
        chart->setArrowCursor(1);
        chart->setYAxisColor(PEargb(255, 255, 0, 0));
    }
    chart->setXAxisLabel(QStringLiteral("Zeit"));
    chart->setWorkingAxis(0);
    chart->setAllowGraphAnnotHotSpots(true);
    chart->PEactions(sgReinitAndReset);
    chart->Redraw();
    return fromTemplate;
}
