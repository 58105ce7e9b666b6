#pragma once
// The table text file and the capture file: one line per grid row, the texts of columns 1 to the
// last column each followed by the separator (so every line ends with one), CR LF, no header.
// Column 0 (the row labels) and the header row are not written. Both go through a temporary file
// that replaces the target only when it is complete.
#include "data/GraphTextFile.h"
#include "tables/TextGrid.h"

// Exports data rows of a table window grid (rows 1 to rowCount - 1), of which the range dialog
// picks a part, with the "Saving Progress" window. The separator follows the file name.
TextExportResult exportTableText(TextUi &ui, const QString &fileName, const TextGrid &grid);

// Number of lines of a capture file: rows 1 to 99 of the single-values grid.
constexpr qint64 kCaptureLines = 99;

// Exports rows 1 to 99 of a single-values grid, whatever they hold (empty rows give lines of
// separators only). No range dialog, no progress window; a failure to write is reported through
// ui, a failure to create the file is not.
TextExportResult exportCaptureText(TextUi &ui, const QString &fileName, const TextGrid &grid);

// One table line of grid row r: columns 1 to the last column, each followed by sep, then CR LF.
void appendTableLine(QByteArray &out, const TextGrid &grid, qint64 row, char sep);
