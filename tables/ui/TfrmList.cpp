#include "tables/ui/TfrmList.h"

#include "tables/TableTextFile.h"
#include "tables/TextTableReader.h"
#include "data/ui/ScopeTextUi.h"
#include "tables/ui/GridView.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

TfrmList::TfrmList(std::shared_ptr<TextGrid> grid, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmList"));
    setAttribute(Qt::WA_DeleteOnClose);
    Grid1 = new GridView(std::move(grid), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
    resize(387, 415);
}

TfrmList::~TfrmList() = default;

TfrmList *TfrmList::readTextFile(const QString &fileName, char separator, QWidget *dialogParent)
{
    ScopeTextUi ui(dialogParent);
    const TextReadResult read = readTextTable(fileName, separator, ui);
    if (!read.grid)
        return nullptr;
    auto *window = new TfrmList(read.grid);
    window->setWindowTitle(fileName);
    return window;
}

QMdiSubWindow *TfrmList::addToWorkspace(QMdiArea *area)
{
    QMdiSubWindow *sub = area->addSubWindow(this);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(sub, &QMdiSubWindow::aboutToActivate, this, &TfrmList::FormActivate);
    sub->resize(sub->sizeHint().expandedTo(QSize(387, 415)));
    sub->show();
    return sub;
}

TextGridModel *TfrmList::model() const
{
    return Grid1->gridModel();
}

std::shared_ptr<const TextGrid> TfrmList::grid() const
{
    return Grid1->gridModel()->sharedGrid();
}

TextExportResult TfrmList::saveAs(const QString &fileName)
{
    // The grid is held for the whole export, so closing the window meanwhile cannot free it.
    const std::shared_ptr<const TextGrid> rows = grid();
    ScopeTextUi ui(this, windowTitle());
    return exportTableText(ui, fileName, *rows);
}

void TfrmList::btnOutputToGraphClick()
{
    const std::shared_ptr<const TextGrid> rows = grid();
    const QString title = windowTitle();
    // The conversion processes window events between rows; the callback is copied so that it
    // outlives this window if the user closes it meanwhile.
    const auto deliver = outputToGraph;
    ScopeTextUi ui(window(), title);
    const TableGraph graph = convertTableToGraph(*rows, ui);
    if (graph.status == TableGraph::NoData)
        return;
    if (deliver)
        deliver(graph, title);
}

void TfrmList::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TfrmList::FormShow()
{
    model()->rewrite(writeListHeader);
}

void TfrmList::FormActivate()
{
    if (onActivated)
        onActivated();
}

void TfrmList::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && onClosed)
        onClosed();
}
