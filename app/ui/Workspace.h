#pragma once
// The main window's workspace: every child window keeps the smallest size its contents need, so
// neither the user nor tiling squashes its fields, and the workspace shows scroll bars to reach
// windows that lie beyond its edges.
#include <vector>

class QMdiArea;

// Scroll bars as needed, and the minimum size kept up to date for every child window that is
// added to the workspace from now on.
void setUpWorkspace(QMdiArea *area);

// Heights for windows stacked in `available` pixels: equal shares, except that a window never
// gets less than its minimum; the others share what is left. The heights add up to `available`
// unless the minimums alone need more, and then each window gets its minimum.
std::vector<int> shareHeights(int available, const std::vector<int> &minimums);

// The visible, not minimised child windows one below the other in the order of the window list,
// each as wide as the workspace, together filling its height where their minimums allow;
// otherwise the workspace scrolls. Windows of a fixed width stand in a column at the left edge
// instead, and the others fill the width to their right.
void tileOneBelowTheOther(QMdiArea *area);
