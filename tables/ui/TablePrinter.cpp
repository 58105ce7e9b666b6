#include "tables/ui/TablePrinter.h"

#include "tables/ui/TfrmDataCapture.h"
#include "tables/ui/TfrmList.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

QFont tablePrintFont()
{
    QFont font(QStringLiteral("FixedSys"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(8);
    if (!QFontInfo(font).fixedPitch()) {
        // No such face here: the system's fixed-pitch face keeps the columns aligned as well.
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(8);
    }
    return font;
}

TablePrintMetrics printTable(QPrinter &printer, const TextGrid &grid, TablePrintKind kind)
{
    TablePrintMetrics m;
    QPainter painter;
    if (!painter.begin(&printer))
        return m;
    painter.setFont(tablePrintFont());
    const QFontMetrics fm = painter.fontMetrics();
    m.lineHeight = printLineHeight(fm.boundingRect(QLatin1String(kPrintMeasureText)).height());
    m.linesPerPage = printLinesPerPage(int(printer.pageRect(QPrinter::DevicePixel).height()), m.lineHeight);
    qint64 currentPage = 0;
    forEachPrintLine(grid, kind, m.linesPerPage, [&](qint64 page, int position, const QString &text) {
        if (page != currentPage) {
            printer.newPage();
            currentPage = page;
        }
        if (!text.isEmpty())
            painter.drawText(QPoint(1, printLineTop(position, m.lineHeight) + fm.ascent()), text);
    });
    m.pages = currentPage + 1;
    painter.end();
    return m;
}

bool printTableWindow(QWidget *activeChild, QPrinter &printer, QWidget *dialogParent)
{
    std::shared_ptr<const TextGrid> grid;
    TablePrintKind kind = TablePrintKind::List;
    if (auto *list = qobject_cast<TfrmList *>(activeChild)) {
        grid = list->grid();
    } else if (auto *capture = qobject_cast<TfrmDataCapture *>(activeChild)) {
        grid = capture->grid();
        kind = TablePrintKind::DataCapture;
    } else {
        return false;
    }
    QPrintDialog dialog(&printer, dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    printTable(printer, *grid, kind);
    return true;
}
