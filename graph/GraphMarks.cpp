#include "graph/GraphMarks.h"

#include "app/SystemFormats.h"
#include "app/WindowTexts.h"

#include <algorithm>

namespace {

int highestVisibleSlot(const ChartState &chart)
{
    for (int n = int(chart.annotations.size()) - 1; n >= GraphMarks::FirstSlot; --n) {
        if (chart.annotations[size_t(n)].visible())
            return n;
    }
    return -1;
}

} // namespace

int arrowCursorFor(ClickMode mode)
{
    switch (mode) {
    case ClickMode::Text: return sgArrowText;
    case ClickMode::Cross: return sgArrowCross;
    case ClickMode::Normal: break;
    }
    return sgArrowNormal;
}

std::optional<QPoint> markPixel(ClickMode mode, QPoint click, const QRect &graphRect)
{
    QPoint p;
    switch (mode) {
    case ClickMode::Normal: return std::nullopt;
    case ClickMode::Text: p = click + GraphMarks::TextOffset; break;
    case ClickMode::Cross: p = click + GraphMarks::CrossOffset; break;
    }
    // The plot area's edges count as inside: its left and top pixels and the lines just past its
    // last column and row, where the frame is drawn (as the pointer read-out counts them).
    if (p.x() < graphRect.left() || p.x() > graphRect.right() + 1 || p.y() < graphRect.top()
        || p.y() > graphRect.bottom() + 1)
        return std::nullopt;
    return p;
}

int nextMarkSlot(const ChartState &chart, int counter)
{
    const int above = std::max({counter, highestVisibleSlot(chart), GraphMarks::FirstSlot - 1});
    if (above < ChartState::kMaxGraphAnnotations - 1)
        return above + 1;
    // The last slot is taken: the lowest slot from 5 that shows nothing.
    for (int n = GraphMarks::FirstSlot; n < ChartState::kMaxGraphAnnotations; ++n) {
        if (!chart.annotation(n).visible())
            return n;
    }
    return -1;
}

int placeMark(ChartState &chart, int &counter, ClickMode mode, double x, double y, const QString &text)
{
    if (mode == ClickMode::Normal)
        return -1;
    const int slot = nextMarkSlot(chart, counter);
    GraphAnnotation *a = slot >= 0 ? chart.annotationForWrite(slot) : nullptr;
    if (!a)
        return -1;
    counter = std::max(counter, slot);
    a->x = x;
    a->y = y;
    if (mode == ClickMode::Cross) {
        a->type = sgAnnotCross;
        a->text.clear();
    } else {
        a->type = sgAnnotTextOnly;
        a->text = text;
    }
    a->color = markColor(chart.look);
    return slot;
}

void deleteMark(ChartState &chart, int slot)
{
    if (slot < 0 || size_t(slot) >= chart.annotations.size())
        return;
    GraphAnnotation &a = chart.annotations[size_t(slot)];
    a.type = sgAnnotTextOnly;
    a.text.clear();
}

std::vector<MarkRow> markRows(const ChartState &chart)
{
    std::vector<MarkRow> rows;
    for (int n = GraphMarks::FirstSlot; n < int(chart.annotations.size()); ++n) {
        const GraphAnnotation &a = chart.annotations[size_t(n)];
        if (a.type == sgAnnotCross)
            rows.push_back({int(rows.size()) + 1, n, dateTimeText(a.x), GraphMarks::CrossListText});
        else if (!a.text.isEmpty())
            rows.push_back({int(rows.size()) + 1, n, dateTimeText(a.x), a.text});
    }
    return rows;
}

int deleteMarkRows(ChartState &chart, const std::vector<MarkRow> &rows, int topRow, int bottomRow)
{
    if (topRow > bottomRow)
        std::swap(topRow, bottomRow);
    int deleted = 0;
    for (const MarkRow &r : rows) {
        if (r.row >= topRow && r.row <= bottomRow) {
            deleteMark(chart, r.slot);
            ++deleted;
        }
    }
    return deleted;
}

void clearMarks(ChartState &chart, int &counter)
{
    for (int n = GraphMarks::FirstClearedSlot; n < int(chart.annotations.size()); ++n) {
        GraphAnnotation &a = chart.annotations[size_t(n)];
        a.x = 0;
        a.y = 0;
        a.type = sgAnnotTextOnly;
        a.text.clear();
    }
    counter = GraphMarks::CounterAtStart;
}

PEColor markColor(const ChartLook &look)
{
    const PEColor back = look.graphBackColor;
    // Perceived brightness of the plot area, 0 .. 255.
    const int brightness = (PEred(back) * 299 + PEgreen(back) * 587 + PEblue(back) * 114) / 1000;
    return brightness < 128 ? PEargb(255, 255, 255, 255) : PEargb(255, 0, 0, 0);
}

QString GraphMarks::deleteHint()
{
    return windowText(QStringLiteral("TfrmGraph"), "DeleteHint");
}
