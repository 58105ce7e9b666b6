#pragma once
// Printing of the table windows: their grid as fixed-pitch 8-point text lines, one row per line,
// on the given printer (a real printer or a PDF file).
#include "tables/PrintLayout.h"

class QFont;
class QPrinter;
class QWidget;

struct TablePrintMetrics {
    int lineHeight = 0;
    int linesPerPage = 0;
    qint64 pages = 0;
};

// The fixed-pitch 8-point font of the printout.
QFont tablePrintFont();

// Prints every row of grid; returns the layout used (lines per page 0: the document could not be
// begun).
TablePrintMetrics printTable(QPrinter &printer, const TextGrid &grid, TablePrintKind kind);

// The Print command for a table window or the single-values window: shows the print dialog and,
// unless it is cancelled, prints the window's grid. Returns false when activeChild is neither
// kind of window (the caller handles graph windows itself).
bool printTableWindow(QWidget *activeChild, QPrinter &printer, QWidget *dialogParent = nullptr);
