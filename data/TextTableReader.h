#pragma once
// Reads a text file (graph text or table text) into a new table grid, or a capture file into a new
// single-values grid. Lines end with LF (a CR before it is dropped); a line of more than 179
// characters gives its first 179 and ends the reading; the first line without a separator ends
// it, too. Each field before a separator fills the next column; fields beyond the grid's last
// column are dropped; column 0 of each row read gets its row number.
#include "data/TextUi.h"
#include "tables/TextGrid.h"

#include <QIODevice>
#include <memory>

struct TextReadResult {
    std::shared_ptr<TextGrid> grid;  // null when the file could not be opened
    qint64 rows = 0;                 // data rows read
    bool cancelled = false;          // Cancel of "Open Progress" ended the reading
};

constexpr int kMaxTextLine = 179;

// A text file into a new table window grid (7 columns), with the "Open Progress" window.
TextReadResult readTextTable(const QString &fileName, char separator, TextUi &ui);
// A capture file (always tab-separated) into a new single-values grid (6 columns, 101 rows).
TextReadResult readCaptureFile(const QString &fileName);

// The reading loop over an open device into a fresh grid (rows 1 on). With ui, each row is a
// progress step and Cancel ends the reading. Returns the number of rows read.
qint64 readTextLines(QIODevice &in, char separator, TextGrid &grid, TextUi *ui, bool *cancelled = nullptr);
