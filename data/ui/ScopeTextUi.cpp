#include "data/ui/ScopeTextUi.h"

#include "app/ui/K352Application.h"
#include "data/ui/TfrmScope.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <climits>

ScopeTextUi::ScopeTextUi(QWidget *parent, QString messageCaption)
    : m_parent(parent), m_caption(std::move(messageCaption))
{
}

ScopeTextUi::~ScopeTextUi()
{
    progressClose();
}

std::optional<RangeEntry> ScopeTextUi::askRange(const QString &caption, qint64 count)
{
    TfrmScope dialog(m_parent);
    dialog.setWindowTitle(caption);
    dialog.showRangeControls(count);
    const int result = dialog.exec();
    if (result != TfrmScope::ResultOk)
        return std::nullopt;
    RangeEntry entry;
    entry.all = dialog.radAll->isChecked();
    entry.from = dialog.edtSelFrom->text();
    entry.to = dialog.edtSelTo->text();
    return entry;
}

void ScopeTextUi::message(const QString &text)
{
    const QString caption = m_caption.isEmpty() ? QApplication::applicationName() : m_caption;
    showMessage(m_parent, QMessageBox::Information, caption, text);
}

void ScopeTextUi::progressOpen(const ProgressSetup &setup)
{
    progressClose();
    m_setup = setup;
    auto *scope = new TfrmScope(m_parent);
    scope->setAttribute(Qt::WA_DeleteOnClose, false);
    scope->setWindowTitle(setup.caption);
    scope->showProgressControls(setup.showBar, setup.showCancel);
    scope->SText1->setText(setup.text);
    m_scale = 1;
    while (setup.total / m_scale > INT_MAX)
        m_scale *= 2;
    scope->Progress1->setRange(0, int(std::max<qint64>(0, setup.total) / m_scale));
    scope->Progress1->setValue(0);
    // Exports start at 0, the text reader at -1; Cancel makes it 2.
    scope->setResult(setup.countInText ? -1 : TfrmScope::ResultNone);
    scope->show();
    m_progress = scope;
    m_sinceRefresh.start();
    if (setup.processEvents)
        QCoreApplication::processEvents();
    else
        scope->repaint();
}

bool ScopeTextUi::progressStep(qint64 position)
{
    if (!m_progress)
        return false;  // the window went away: nobody can see or cancel the operation any more
    // The last step of a known total is always shown; a count without a total (the text reader)
    // only at the refresh pace.
    if (m_sinceRefresh.elapsed() >= m_refreshMs || (m_setup.total > 0 && position == m_setup.total))
        refresh(position);
    return m_progress && m_progress->result() != TfrmScope::ResultCancel;
}

void ScopeTextUi::refresh(qint64 position)
{
    m_sinceRefresh.restart();
    m_progress->Progress1->setValue(int(std::min<qint64>(position, m_setup.total) / m_scale));
    if (m_setup.countInText)
        m_progress->SText1->setText(QString::number(position));
    if (m_setup.processEvents)
        QCoreApplication::processEvents();
    else
        m_progress->repaint();
}

void ScopeTextUi::progressClose()
{
    if (!m_progress)
        return;
    TfrmScope *scope = m_progress;
    m_progress = nullptr;
    scope->hide();
    delete scope;
}
