#include "tables/ui/TfrmDataCapture.h"
#include "app/WindowTexts.h"

#include "tables/TableTextFile.h"
#include "tables/TextTableReader.h"
#include "data/ui/ScopeTextUi.h"
#include "tables/ui/GridView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVBoxLayout>

TfrmDataCapture::TfrmDataCapture(std::shared_ptr<TextGrid> grid, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDataCapture"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(windowText(QStringLiteral("TfrmDataCapture"), "TfrmDataCapture"));
    Grid1 = new GridView(std::move(grid), this);
    applyColumnWidths();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
    resize(619, 638);
}

TfrmDataCapture::~TfrmDataCapture() = default;

TfrmDataCapture *TfrmDataCapture::readCaptureFile(const QString &fileName, QWidget *dialogParent)
{
    ScopeTextUi ui(dialogParent);
    const TextReadResult read = ::readCaptureFile(fileName, ui);
    if (!read.grid)
        return nullptr;
    auto *window = new TfrmDataCapture(read.grid);
    window->setWindowTitle(fileName);
    return window;
}

QMdiSubWindow *TfrmDataCapture::addToWorkspace(QMdiArea *area)
{
    QMdiSubWindow *sub = area->addSubWindow(this);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(sub->sizeHint().expandedTo(QSize(619, 638)));
    // Centred on the screen, as far as the workspace allows.
    if (const QScreen *screen = area->screen()) {
        const QPoint centre = area->viewport()->mapFromGlobal(screen->availableGeometry().center());
        QRect frame = sub->frameGeometry();
        frame.moveCenter(centre);
        sub->move(std::max(0, frame.left()), std::max(0, frame.top()));
    }
    sub->show();
    return sub;
}

TextGridModel *TfrmDataCapture::model() const
{
    return Grid1->gridModel();
}

std::shared_ptr<const TextGrid> TfrmDataCapture::grid() const
{
    return Grid1->gridModel()->sharedGrid();
}

TextExportResult TfrmDataCapture::saveAs(const QString &fileName)
{
    ScopeTextUi ui(this, windowTitle());
    return exportCaptureText(ui, fileName, *grid());
}

void TfrmDataCapture::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TfrmDataCapture::FormShow()
{
    model()->rewrite(writeDataCaptureHeader);
    applyColumnWidths();
}

void TfrmDataCapture::applyColumnWidths()
{
    const int widths[] = {64, 81, 94, 90, 64, 64};
    for (int c = 0; c < 6; ++c)
        Grid1->horizontalHeader()->resizeSection(c, widths[c]);
}

void TfrmDataCapture::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && onClosed)
        onClosed();
}
