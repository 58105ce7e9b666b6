#pragma once
// The tool bar of a graph window: panels shown or hidden, the click modes, the mark list, clearing
// the real-time chart, the zoom, the chart options and the statistics export.
class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

// The tool bar's buttons, named as on screen.
struct GraphToolBarButtons {
    QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr;  // the panels above and under the chart
    QToolButton *ToolButton4 = nullptr, *ToolButton5 = nullptr, *ToolButton9 = nullptr;  // the click modes
    QToolButton *ToolButton13 = nullptr, *tbntClr = nullptr;
    QPushButton *UndoZoom = nullptr, *Button1 = nullptr, *Button2 = nullptr;
};

// Builds the tool bar and fills in `buttons`; exactly one click mode is down (the normal one), and
// the clear button with its separator shows only when clearShown. Connecting them is the window's.
QToolBar *buildGraphToolBar(QWidget *parent, GraphToolBarButtons &buttons, bool clearShown);
