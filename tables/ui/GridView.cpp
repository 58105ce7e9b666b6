#include "tables/ui/GridView.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {
// Paints column 0 with the button colour, as a fixed column of labels.
class FixedColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = option->palette.button();
        option->palette.setBrush(QPalette::Text, option->palette.buttonText());
    }
};
} // namespace

GridView::GridView(std::shared_ptr<TextGrid> grid, QWidget *parent)
    : QTableView(parent), m_model(new TextGridModel(std::move(grid), this))
{
    setObjectName(QStringLiteral("Grid1"));
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setItemDelegateForColumn(0, new FixedColumnDelegate(this));
}
