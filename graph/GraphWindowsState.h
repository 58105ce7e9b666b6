#pragma once
// What every graph window shares with the others: one pair of line cursors, the drag in
// progress, the click mode and the counter of annotation slots.
#include "graph/GraphMarks.h"

struct GraphWindowsState {
    // The line cursors: point indexes into subset 0, one pair for all windows.
    qint32 CursorA = 0;
    qint32 CursorB = 0;
    // Set while a cursor line is being dragged with the mouse.
    bool DragA = false;
    bool DragB = false;
    // The click mode and the last annotation slot a mark took.
    ClickMode GraphClickMode = ClickMode::Normal;
    qint32 LastAnnotation = GraphMarks::CounterAtStart;
};
