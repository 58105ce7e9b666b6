#pragma once
// The data-set list beside the chart of the data-set graph window: one row per data set of the
// store (number, date, time, interval, count, weighting).
#include <QList>
#include <QStringList>
#include <QWidget>

class QTableWidget;

class DataSetListPanel : public QWidget {
public:
    explicit DataSetListPanel(QWidget *parent);

    QTableWidget *grid() const { return m_grid; }
    // One row per data set, the first selected; columns as wide as their texts.
    void fill(const QList<QStringList> &rows);
    // The row picked in the list, or -1 when it is no data set (no row, or a row without a date).
    int chosenRow() const;

private:
    QTableWidget *m_grid = nullptr;
};
