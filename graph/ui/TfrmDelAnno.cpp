#include "graph/ui/TfrmDelAnno.h"
#include "app/WindowTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

TfrmDelAnno::TfrmDelAnno(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDelAnno"));
    setWindowTitle(QStringLiteral("Vermerk löschen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    StringGrid1 = new QTableWidget(0, 3, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels(
        windowText(QStringLiteral("TfrmDelAnno"), "StringGrid1").split(QLatin1Char(',')));
    StringGrid1->setColumnWidth(0, 50);
    StringGrid1->setColumnWidth(1, 120);
    StringGrid1->setColumnWidth(2, 200);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(StringGrid1);

    auto *buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral(" Löschen "), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setEnabled(false);
    BitBtn2 = new QPushButton(QStringLiteral("Abbrechen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(420, 300);
    applyWindowTexts(this, QStringLiteral("TfrmDelAnno"));
}

void TfrmDelAnno::setRows(const std::vector<MarkRow> &rows)
{
    m_rows = rows;
    StringGrid1->clearContents();
    StringGrid1->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const MarkRow &row = rows[size_t(r)];
        StringGrid1->setItem(r, 0, new QTableWidgetItem(QString::number(row.row)));
        StringGrid1->setItem(r, 1, new QTableWidgetItem(row.time));
        StringGrid1->setItem(r, 2, new QTableWidgetItem(row.comment));
    }
    BitBtn1->setEnabled(!rows.empty());
    if (!rows.empty())
        StringGrid1->selectRow(0);
}

std::pair<int, int> TfrmDelAnno::selectedRows() const
{
    const QList<QTableWidgetSelectionRange> ranges = StringGrid1->selectedRanges();
    if (ranges.isEmpty())
        return {0, -1};
    int top = ranges.first().topRow(), bottom = ranges.first().bottomRow();
    for (const QTableWidgetSelectionRange &r : ranges) {
        top = std::min(top, r.topRow());
        bottom = std::max(bottom, r.bottomRow());
    }
    return {top + 1, bottom + 1};
}

int TfrmDelAnno::editMarks(ChartState &chart, QWidget *parent)
{
    TfrmDelAnno dialog(parent);
    dialog.setRows(markRows(chart));
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    const auto [top, bottom] = dialog.selectedRows();
    if (top > bottom)
        return 0;
    return deleteMarkRows(chart, dialog.rows(), top, bottom);
}
