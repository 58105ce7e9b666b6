#include "logger/ui/WindowLoggerUi.h"

#include "app/ui/K352Application.h"
#include "data/ui/TfrmScope.h"
#include "logger/ui/TfrmInfo.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

WindowLoggerUi::WindowLoggerUi(QWidget *parent) : m_parent(parent) {}

WindowLoggerUi::~WindowLoggerUi()
{
    closePreparing();
    closeProgress();
}

void WindowLoggerUi::showPreparing()
{
    closePreparing();
    m_info = new TfrmInfo(m_parent);
    m_info->show();
    // The transfer blocks the event loop from here on: paint the window now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WindowLoggerUi::closePreparing()
{
    if (m_info)
        m_info->close();
    m_info.clear();
}

void WindowLoggerUi::openProgress(const QString &caption, int total)
{
    closeProgress();
    m_progress = new TfrmScope(m_parent);
    m_progress->setWindowTitle(caption);
    m_progress->showProgressControls(true, false);
    m_progress->SText2->setVisible(true);
    m_progress->lblTotalBytes->setVisible(true);
    m_progress->lblBytesReceived->setVisible(true);
    m_progress->Progress1->setRange(0, total);
    m_progress->Progress1->setValue(0);
    m_progress->lblTotalBytes->setText(QString::number(total));
    m_progress->lblBytesReceived->setText(QStringLiteral("0"));
    m_progress->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WindowLoggerUi::setProgress(int received)
{
    if (!m_progress)
        return;
    m_progress->lblBytesReceived->setText(QString::number(received));
    m_progress->Progress1->setValue(std::min(received, m_progress->Progress1->maximum()));
    if (onProgress)
        onProgress(m_progress->Progress1->value(), m_progress->Progress1->maximum());
}

void WindowLoggerUi::refreshProgress()
{
    if (m_progress)
        m_progress->repaint();
}

void WindowLoggerUi::closeProgress()
{
    // A progress window refuses to be closed by the user (that counts as Cancel): it is taken down
    // here.
    if (TfrmScope *scope = m_progress) {
        m_progress.clear();
        scope->hide();
        delete scope;
    }
}

void WindowLoggerUi::message(const QString &text)
{
    showMessage(m_parent, QMessageBox::Information, QStringLiteral("Information"), text);
}

LoggerUi::Button WindowLoggerUi::confirm(const QString &text, const QList<Button> &buttons)
{
    QMessageBox::StandardButtons offered;
    for (Button b : buttons)
        offered |= b == Button::Ok ? QMessageBox::Ok : b == Button::Retry ? QMessageBox::Retry : QMessageBox::Cancel;
    const QMessageBox::StandardButton answer =
        showMessage(m_parent, QMessageBox::Question, QStringLiteral("Confirm"), text, offered);
    if (answer == QMessageBox::Ok)
        return Button::Ok;
    if (answer == QMessageBox::Retry)
        return Button::Retry;
    return Button::Cancel;
}

bool WindowLoggerUi::prepareDataSetWindow()
{
    return onPrepareDataSetWindow && onPrepareDataSetWindow();
}

void WindowLoggerUi::dataSetsLoaded()
{
    if (onDataSetsLoaded)
        onDataSetsLoaded();
}

void WindowLoggerUi::setDownloadUnsaved()
{
    if (onDownloadUnsaved)
        onDownloadUnsaved();
}
