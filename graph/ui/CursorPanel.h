#pragma once
// The panel under a graph window's chart: the two-thumb slider that moves the line cursors A and B,
// the level and time at each cursor, and the highest, lowest, mean level and Leq between them.
// It keeps the cursors' lines on the chart in step with the slider and lets a line be dragged.
#include <QPoint>
#include <QPointF>
#include <QWidget>

class PESGraph;
class QLineEdit;
class TwoThumbSlider;
struct GraphWindowsState;
struct SliderSpan;

// The panel's fields, named as on screen.
struct CursorFields {
    QLineEdit *txtCursorA = nullptr, *txtCursorATime = nullptr, *txtCursorB = nullptr, *txtCursorBTime = nullptr;
    QLineEdit *txtMaxAB = nullptr, *txtMaxABTime = nullptr, *txtMinAB = nullptr, *txtMinABTime = nullptr;
    QLineEdit *txtAvgAB = nullptr, *txtLeqAB = nullptr;
    TwoThumbSlider *Slider1 = nullptr;
};

class CursorPanel : public QWidget {
public:
    // Builds the panel under `chart` and fills in `fields`; the read-only fields are created on
    // window, the graph window that holds chart and panel.
    CursorPanel(CursorFields &fields, PESGraph &chart, GraphWindowsState &state, QWidget *window, QWidget *parent);

    // Lays the slider's track along the plot area, whose place changes with every drawing.
    void placeSlider();
    // The slider moved: the cursors, their lines and the figures between them follow.
    void followSlider();
    // A new range and thumb positions; the cursors follow.
    void setSpan(const SliderSpan &span);
    // The pointer moved to pos, at the chart's value `value`: a line being dragged follows it.
    void dragLine(QPoint pos, QPointF value);
    // Highest, lowest and mean level and Leq between the cursors.
    void updateCursorStatistics();
    // Leq between the cursors: empty without readings there.
    void updateCursorLeq();
    // Empties every field.
    void clearFigures();

private:
    void placeThumbsByTime();
    void showCursor(int line, int i);
    void moveCursor(int line, int i, double pointerLevel);

    CursorFields &f;
    PESGraph &m_chart;
    GraphWindowsState &m_state;
    QWidget *m_window;
    QWidget *m_sliderRow = nullptr;
};
