#pragma once
// The graph window's handlers for marks, over its chart widget: placing a mark where the chart was
// clicked, deleting one by a double-click, the list dialog, and the hint over a mark.
#include "graph/GraphMarks.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class PESGraph;
class QWidget;

// Shows the text dialog; nullopt when cancelled.
using AskMarkText = std::function<std::optional<QString>()>;

// PESGraph1Click: in text or cross mode a mark at the chart's LastMousePos shifted for the mode,
// when that lies in the plot area. A text note asks for its text (TfrmAnnoEdit unless askText is
// given); Cancel places nothing. The chart is redrawn unless the mode is normal or the point is
// outside. Returns the mark's slot or -1.
int placeMarkAtClick(PESGraph &chart, int &counter, ClickMode mode, const AskMarkText &askText = {},
                     QWidget *dialogParent = nullptr);

// PESGraph1GraphAnnotHotSpot: a double-click deletes the mark in that slot and redraws; a single
// click does nothing. Returns whether a mark was deleted.
bool deleteMarkOnDoubleClick(PESGraph &chart, int slot, bool doubleClick);

// ToolButton13Click: the list dialog; after " Löschen " the selected marks are deleted and the
// chart redrawn. Returns the number of marks deleted.
int showMarkList(PESGraph &chart, QWidget *parent);

// The pointer's hint over the chart: "Doppelklick um zu löschen." over a mark that a double-click
// deletes, else empty.
QString markHintAt(const PESGraph &chart, QPoint pixel);

// The chart's redraw pair: rebuild, then repaint.
void redrawChart(PESGraph &chart);
