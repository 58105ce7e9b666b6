#include "graph/ui/GraphMarkActions.h"

#include "chart/ui/PESGraph.h"
#include "graph/ui/TfrmAnnoEdit.h"
#include "graph/ui/TfrmDelAnno.h"

void redrawChart(PESGraph &chart)
{
    chart.PEactions(sgResetImage);
    chart.PEactions(sgInvalidateImage);
}

int placeMarkAtClick(PESGraph &chart, int &counter, ClickMode mode, const AskMarkText &askText, QWidget *dialogParent)
{
    const std::optional<QPoint> pixel = markPixel(mode, chart.LastMousePos(), chart.GraphRect());
    if (!pixel)
        return -1;
    const QPointF at = chart.PixelToGraph(pixel->x(), pixel->y());
    int slot = -1;
    if (mode == ClickMode::Text) {
        const std::optional<QString> text = askText ? askText() : TfrmAnnoEdit::askText(dialogParent);
        if (text)
            slot = placeMark(chart.state(), counter, mode, at.x(), at.y(), *text);
    } else {
        slot = placeMark(chart.state(), counter, mode, at.x(), at.y());
    }
    redrawChart(chart);
    return slot;
}

bool deleteMarkOnDoubleClick(PESGraph &chart, int slot, bool doubleClick)
{
    if (!doubleClick || !chart.graphAnnotation(slot).visible())
        return false;
    deleteMark(chart.state(), slot);
    redrawChart(chart);
    return true;
}

int showMarkList(PESGraph &chart, QWidget *parent)
{
    const int deleted = TfrmDelAnno::editMarks(chart.state(), parent);
    if (deleted > 0)
        redrawChart(chart);
    return deleted;
}

QString markHintAt(const PESGraph &chart, QPoint pixel)
{
    if (!chart.state().look.allowGraphAnnotHotSpots)
        return {};
    const HotSpot h = chart.HotSpotAt(pixel.x(), pixel.y());
    return h.kind == sgHotSpotGraphAnnotation ? GraphMarks::deleteHint() : QString();
}
