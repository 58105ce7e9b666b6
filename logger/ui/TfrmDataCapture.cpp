#include "logger/ui/TfrmDataCapture.h"

#include "app/ui/K352Application.h"
#include "tables/TextGridModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int ColumnWidths[6] = {64, 81, 94, 90, 64, 64};
}

TfrmDataCapture::TfrmDataCapture(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TfrmDataCapture"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Datenaufzeichnung"));
    m_model = new TextGridModel(newDataCaptureGrid(), this);
    Grid1 = new QTableView(this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setModel(m_model);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->setDefaultSectionSize(18);
    for (int c = 0; c < 6; ++c)
        Grid1->setColumnWidth(c, ColumnWidths[c]);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
    resize(619, 638);
}

QString TfrmDataCapture::cell(int col, int row) const
{
    return m_model->grid().cell(col, row);
}

void TfrmDataCapture::setCell(int col, int row, const QString &text)
{
    m_model->setCell(col, row, text);
}

void TfrmDataCapture::addToWorkspace(QMdiArea *area)
{
    QMdiSubWindow *sub = area->addSubWindow(this);
    sub->resize(619, 638);
    sub->show();
}

void TfrmDataCapture::showNormalInWorkspace()
{
    QWidget *frame = parentWidget() ? parentWidget() : this;
    frame->showNormal();
    frame->raise();
}

RecallWindowUi::RecallWindowUi(QPointer<TfrmDataCapture> &window, QMdiArea *workspace, QWidget *messageParent)
    : m_window(window), m_workspace(workspace), m_messageParent(messageParent)
{
}

void RecallWindowUi::prepareWindow()
{
    if (m_window) {
        m_window->showNormalInWorkspace();
        return;
    }
    m_window = new TfrmDataCapture;
    if (m_workspace)
        m_window->addToWorkspace(m_workspace);
    else
        m_window->show();
}

void RecallWindowUi::clearRows()
{
    if (!m_window)
        return;
    for (int r = 1; r <= 99; ++r)
        for (int c = 1; c <= 5; ++c)
            m_window->setCell(c, r, QString());
}

void RecallWindowUi::setRow(int row, const QStringList &cells)
{
    if (!m_window)
        return;
    for (int c = 0; c < 5 && c < cells.size(); ++c)
        m_window->setCell(c + 1, row, cells[c]);
}

void RecallWindowUi::message(const QString &text)
{
    showMessage(m_messageParent, QMessageBox::Information, QStringLiteral("Information"), text);
}

void RecallWindowUi::setBusyCursor(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
