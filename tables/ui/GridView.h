#pragma once
// The read-only text grid of the table windows: a table view over a TextGridModel whose first
// column holds the row labels and is drawn like a fixed column. Rows have one fixed height, so a
// grid of a million rows costs no layout work.
#include "tables/TextGridModel.h"

#include <QTableView>

class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(std::shared_ptr<TextGrid> grid, QWidget *parent = nullptr);

    TextGridModel *gridModel() const { return m_model; }

private:
    TextGridModel *m_model;
};
