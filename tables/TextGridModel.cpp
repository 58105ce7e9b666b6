#include "tables/TextGridModel.h"

TextGridModel::TextGridModel(std::shared_ptr<TextGrid> grid, QObject *parent)
    : QAbstractTableModel(parent), m_grid(std::move(grid))
{
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(std::max<qint64>(0, m_grid->rowCount() - 1));
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid->columnCount();
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_grid->cell(index.column(), index.row() + 1);
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_grid->cell(section, 0);
    return m_grid->cell(0, section + 1);
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TextGridModel::setCell(int col, qint64 row, const QString &text)
{
    const qint64 before = m_grid->rowCount();
    if (row >= before) {
        beginResetModel();
        m_grid->setCell(col, row, text);
        endResetModel();
        return;
    }
    m_grid->setCell(col, row, text);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(int(row - 1), col), index(int(row - 1), col));
}

void TextGridModel::replaceGrid(std::shared_ptr<TextGrid> grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
}

void TextGridModel::rewrite(void (*change)(TextGrid &grid))
{
    beginResetModel();
    change(*m_grid);
    endResetModel();
}

void writeListHeader(TextGrid &g)
{
    const char *h[] = {"Nr", "Datum", "Zeit", "Wert"};
    for (int c = 0; c < 4; ++c)
        g.setCell(c, 0, QString::fromLatin1(h[c]));
}

void writeDataCaptureHeader(TextGrid &g)
{
    const char *h[] = {"No", "Wert", "Datum", "Zeit", "Wei.", "F/S"};
    for (int c = 0; c < 6; ++c)
        g.setCell(c, 0, QString::fromLatin1(h[c]));
    for (int r = 1; r <= 100; ++r)
        g.setCell(0, r, QStringLiteral("%1").arg(r, 2, 10, QLatin1Char('0')));
}

std::shared_ptr<TextGrid> newListGrid()
{
    auto g = std::make_shared<TextGrid>(7, 2);
    writeListHeader(*g);
    return g;
}

std::shared_ptr<TextGrid> newDataCaptureGrid()
{
    auto g = std::make_shared<TextGrid>(6, 101);
    writeDataCaptureHeader(*g);
    return g;
}
