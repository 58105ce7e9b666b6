#pragma once
// Page layout of a printed table: one grid row per line in a fixed-pitch font, each cell followed
// by two spaces for every character it is shorter than its column's nominal width, and by at least
// one blank before the next column. Line k of a page has its top at (k + 1) line heights; a page
// holds as many lines as end within its height.
#include "tables/TextGrid.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

enum class TablePrintKind {
    List,         // table window: columns 0 to columnCount - 2, the time column (2) 17 wide
    DataCapture,  // single-values window: every column, date and time (2, 3) 17 wide; a row
                  // without a value is a blank line
};

// Nominal width in characters of a printed column.
int printColumnWidth(TablePrintKind kind, int column);
// The printed line of grid row r.
QString printLine(const TextGrid &grid, TablePrintKind kind, qint64 row);

// The line height: the height of the measuring text plus 14 printer pixels.
inline constexpr const char *kPrintMeasureText = "String Grid Printout";
int printLineHeight(int measuredTextHeight);
// Lines that end within a page of the given printable height, the first starting one line height
// down; at least 1, so a page too small for a single line still prints one line per page instead
// of dividing by zero.
int printLinesPerPage(int pageHeight, int lineHeight);
// Top of line position k on a page.
inline int printLineTop(int position, int lineHeight) { return (position + 1) * lineHeight; }

// Calls line(page, position, text) for every grid row from 0 (the header) to the last, in order:
// row r goes to page r / linesPerPage at position r mod linesPerPage.
void forEachPrintLine(const TextGrid &grid, TablePrintKind kind, int linesPerPage,
                      const std::function<void(qint64 page, int position, const QString &text)> &line);
// Every grid row from 0 (the header) to the last, cut into pages: page p holds rows
// p * linesPerPage onwards, the row at position r mod linesPerPage.
std::vector<QStringList> layoutPrintPages(const TextGrid &grid, TablePrintKind kind, int linesPerPage);
