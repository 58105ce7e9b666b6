#include "graph/ui/DataSetListPanel.h"

#include "app/WindowTexts.h"
#include "graph/ui/PanelFields.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

DataSetListPanel::DataSetListPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlDataSets"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->addWidget(panelCaption(this, QStringLiteral("Messreihen"), QColor(), "lblDataSets"));
    m_grid = new QTableWidget(1, 6, this);
    m_grid->setObjectName(QStringLiteral("Grid2"));
    m_grid->setHorizontalHeaderLabels(windowText(QStringLiteral("TfrmGraph"), "Grid2").split(QLatin1Char(',')));
    const int widths[6] = {25, 60, 60, 65, 40, 40};
    for (int c = 0; c < 6; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->viewport()->setCursor(Qt::PointingHandCursor);
    column->addWidget(m_grid);
}

void DataSetListPanel::fill(const QList<QStringList> &rows)
{
    const QSignalBlocker block(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(std::max<qsizetype>(1, rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 6 && c < rows[r].size(); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
    // Columns as wide as their texts, so dates and times show whole.
    if (!rows.isEmpty()) {
        m_grid->resizeColumnsToContents();
        int width = 2 * m_grid->frameWidth() + 8;
        for (int c = 0; c < m_grid->columnCount(); ++c)
            width += m_grid->columnWidth(c);
        setMinimumWidth(std::min(width, 460));
    }
    m_grid->clearSelection();
    if (!rows.isEmpty())
        m_grid->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 4), true);
}

int DataSetListPanel::chosenRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    const int row = ranges.isEmpty() ? m_grid->currentRow() : ranges.first().topRow();
    if (row < 0)
        return -1;
    const QTableWidgetItem *date = m_grid->item(row, 1);
    if (!date || date->text().isEmpty())
        return -1;
    return row;
}
