#pragma once
// The list of a chart's marks: number, date and time, "X" or the note's text; one or more adjacent
// rows are selected and deleted together. Each row remembers the slot of its mark.
#include "graph/GraphMarks.h"

#include <QDialog>
#include <utility>
#include <vector>

class QPushButton;
class QTableWidget;

class TfrmDelAnno : public QDialog {
public:
    explicit TfrmDelAnno(QWidget *parent = nullptr);

    QTableWidget *StringGrid1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // " Löschen ": closes with OK
    QPushButton *BitBtn2 = nullptr; // "Abbrechen"

    // Fills one grid row per mark and enables " Löschen " when there is one; the first row is
    // selected, as the grid's selection starts there.
    void setRows(const std::vector<MarkRow> &rows);
    const std::vector<MarkRow> &rows() const { return m_rows; }
    // Row numbers (1 = first mark) of the top and bottom of the selection; {0, -1} when nothing is
    // selected.
    std::pair<int, int> selectedRows() const;

    // ToolButton13Click: lists the chart's marks and, after " Löschen ", deletes those of the
    // selected rows. Returns the number of marks deleted; the caller redraws the chart.
    static int editMarks(ChartState &chart, QWidget *parent);

private:
    std::vector<MarkRow> m_rows;
};
