#include "tables/PrintLayout.h"

#include <algorithm>

int printColumnWidth(TablePrintKind kind, int column)
{
    if (kind == TablePrintKind::List)
        return column == 2 ? 17 : 10;
    return column == 2 || column == 3 ? 17 : 10;
}

QString printLine(const TextGrid &grid, TablePrintKind kind, qint64 row)
{
    if (kind == TablePrintKind::DataCapture && grid.cellEmpty(1, row))
        return QString();
    const int columns = kind == TablePrintKind::List ? grid.columnCount() - 1 : grid.columnCount();
    QString line;
    for (int c = 0; c < columns; ++c) {
        const QString text = grid.cell(c, row);
        line += text;
        const qsizetype shortBy = printColumnWidth(kind, c) - text.size();
        if (shortBy > 0)
            line += QString(2 * shortBy, QLatin1Char(' '));
        else if (c + 1 < columns)
            line += QLatin1Char(' '); // a full cell is still kept apart from the next one
    }
    return line;
}

int printLineHeight(int measuredTextHeight)
{
    return measuredTextHeight + 14;
}

int printLinesPerPage(int pageHeight, int lineHeight)
{
    if (lineHeight <= 0)
        return 1;
    // The first line starts one line height down, so the last of n lines ends at (n + 1) heights.
    return std::max(1, pageHeight / lineHeight - 1);
}

void forEachPrintLine(const TextGrid &grid, TablePrintKind kind, int linesPerPage,
                      const std::function<void(qint64 page, int position, const QString &text)> &line)
{
    linesPerPage = std::max(1, linesPerPage);
    for (qint64 r = 0; r < grid.rowCount(); ++r)
        line(r / linesPerPage, int(r % linesPerPage), printLine(grid, kind, r));
}

std::vector<QStringList> layoutPrintPages(const TextGrid &grid, TablePrintKind kind, int linesPerPage)
{
    std::vector<QStringList> pages;
    forEachPrintLine(grid, kind, linesPerPage, [&](qint64 page, int, const QString &text) {
        if (qint64(pages.size()) <= page)
            pages.emplace_back();
        pages.back() << text;
    });
    return pages;
}
