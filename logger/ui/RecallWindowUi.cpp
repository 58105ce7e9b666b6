#include "logger/ui/RecallWindowUi.h"

#include "app/ui/K352Application.h"

#include <QApplication>

RecallWindowUi::RecallWindowUi(QPointer<TfrmDataCapture> &window, QMdiArea *workspace, QWidget *messageParent)
    : m_window(window), m_workspace(workspace), m_messageParent(messageParent)
{
}

void RecallWindowUi::prepareWindow()
{
    if (m_window) {
        QWidget *frame = m_window->parentWidget() ? m_window->parentWidget() : m_window.data();
        frame->showNormal();
        frame->raise();
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
            m_window->model()->setCell(c, r, QString());
}

void RecallWindowUi::setRow(int row, const QStringList &cells)
{
    if (!m_window)
        return;
    for (int c = 0; c < 5 && c < cells.size(); ++c)
        m_window->model()->setCell(c + 1, row, cells[c]);
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
