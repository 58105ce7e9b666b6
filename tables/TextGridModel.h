#pragma once
// Table models of the table window (TfrmList) and the single-values window (TfrmDataCapture).
// Model row r is grid row r + 1; model column c is grid column c (column 0 holds the row labels,
// which are also the vertical header). The horizontal header is the grid's header row.
#include "tables/TextGrid.h"

#include <QAbstractTableModel>
#include <memory>

class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextGridModel(std::shared_ptr<TextGrid> grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const TextGrid &grid() const { return *m_grid; }
    std::shared_ptr<const TextGrid> sharedGrid() const { return m_grid; }
    void setCell(int col, qint64 row, const QString &text);  // grid coordinates
    void replaceGrid(std::shared_ptr<TextGrid> grid);
    // Changes the grid in place (header texts, row labels); the views take everything anew.
    void rewrite(void (*change)(TextGrid &grid));

private:
    std::shared_ptr<TextGrid> m_grid;
};

// A new table window grid: 7 columns, 2 rows, header "Nr", "Datum", "Zeit", "Wert".
std::shared_ptr<TextGrid> newListGrid();
// A new single-values grid: 6 columns, 101 rows, header "No", "Wert", "Datum", "Zeit", "Wei.",
// "F/S", rows labelled "01" to "100".
std::shared_ptr<TextGrid> newDataCaptureGrid();
void writeListHeader(TextGrid &grid);
void writeDataCaptureHeader(TextGrid &grid);
