#include "graph/ui/PrepareChart.h"
#include "app/Catalogue.h"

#include "chart/ui/PESGraph.h"
#include "graph/GraphFile.h"

namespace {

// The steps both set-ups share: images, null value, subsets and points, the reset of every
// subset, the Y scale and, when minX is not 0, the X scale.
void prepareScales(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n)
{
    ChartLook &look = chart->look();
    look.prepareImages = true;
    look.nullDataValueY = 9999;
    look.subsetByPoint = false;
    chart->setSubsets(s);
    chart->setPoints(n);
    look.allowPopup = false;
    look.noHelp = true;
    chart->state().data.resetAll();
    look.manualScaleControlY = sgManualMinAndMax;
    look.manualMinY = minY;
    look.manualMaxY = maxY;
    if (minX != 0) {
        look.manualScaleControlX = sgManualMinAndMax;
        look.manualMinX = minX;
        look.manualMaxX = maxX;
    }
    look.allowDataLabels = sgNoDataLabels;
}

} // namespace

bool PrepareChart(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n,
                  const QString &templatePath, QString *error)
{
    const TemplateLoad t = loadTemplateFile(chart->state(), templatePath);
    const bool fromTemplate = t.loaded;
    if (error && !t.message.isEmpty())
        *error = t.message;
    ChartLook &look = chart->look();
    prepareScales(chart, s, maxY, minY, maxX, minX, n);
    if (!fromTemplate) {
        const PEColor grey = PEargb(255, 190, 190, 190);
        const PEColor black = PEargb(255, 0, 0, 0);
        look.showVertLineAnnotations = true;
        look.allowVertLineAnnotHotSpots = true;
        look.lineAnnotationTextSize = 100;
        look.showGraphAnnotations = true;
        look.graphAnnotationTextSize = 100;
        look.gridStyle = sgDot;
        look.mainTitle.clear();
        look.subTitle = QStringLiteral(" ");
        look.dateTimeMode = sgVBDateTime;
        look.usingXDataII = true;
        look.allowZooming = sgHorzPlusVertZooming;
        look.scrollingHorzZoom = true;
        look.scrollingVertZoom = true;
        look.graphForeColor = grey;
        look.deskColor = grey;
        look.graphBackColor = black;
        look.textColor = black;
        look.subsetColors = {PEargb(255, 255, 255, 0), PEargb(255, 255, 0, 0)};
        look.subsetLineTypes = {0, 0};
        look.arrowCursor = sgArrowNormal;
        look.yAxisColor = PEargb(255, 255, 0, 0);
    }
    look.xAxisLabel = LoadStr(10);
    look.workingAxis = 0;
    look.allowGraphAnnotHotSpots = true;
    chart->PEactions(sgReinitAndReset);
    chart->Redraw();
    return fromTemplate;
}

void PrepareDataSetChart(PESGraph *chart, int s, double maxY, double minY, TDateTime maxX, TDateTime minX, int n)
{
    prepareScales(chart, s, maxY, minY, maxX, minX, n);
    ChartLook &look = chart->look();
    look.workingAxis = 0;
    look.allowGraphAnnotHotSpots = true;
    chart->PEactions(sgResetImage);
    chart->PEactions(sgInvalidateImage);
}
