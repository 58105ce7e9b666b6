#pragma once
// Reads a text file (graph text or table text) into a new table grid, or a capture file into a new
// single-values grid. Lines end with LF (a CR before it is dropped); a line of more than 179
// characters gives its first 179 and ends the reading; the first line without a separator ends
// it, too. Each field before a separator fills the next column (a field in double quotes may hold
// the separator); fields beyond the grid's last column are dropped; column 0 of each row read gets
// its row number.
//
// Before anything is read the table's memory is estimated from the file's size and its first
// lines; a file whose table would not fit is refused with a message, and a long read shows
// "Open Progress" with Cancel.
#include "data/TextUi.h"
#include "tables/TextGrid.h"

#include <QByteArrayView>
#include <QIODevice>
#include <memory>

struct TextReadResult {
    std::shared_ptr<TextGrid> grid;  // null when the file could not be opened or was refused
    qint64 rows = 0;                 // data rows read
    bool cancelled = false;          // Cancel of "Open Progress" ended the reading
    bool refused = false;            // the table would not fit in memory; the message was shown
};

constexpr int kMaxTextLine = 179;

// The largest table the readers build: a quarter of the machine's memory.
qint64 defaultTableMemoryLimit();

struct TextReadLimits {
    qint64 tableBytes = defaultTableMemoryLimit();  // a larger estimated table is refused
    qint64 captureProgressFrom = 1 << 20;           // capture files from this size show progress
};

// Estimated grid memory of a file of fileSize bytes whose first bytes are sample: the rows that
// lines as long as the sample's would give, each with its text and the grid's bookkeeping.
struct TableEstimate {
    qint64 rows = 0;
    qint64 textBytes = 0;
    qint64 bytes = 0;
};
TableEstimate estimateTable(qint64 fileSize, QByteArrayView sample, int columns);

// A text file into a new table window grid (7 columns), with the "Open Progress" window.
TextReadResult readTextTable(const QString &fileName, char separator, TextUi &ui, const TextReadLimits &limits = {});
// A capture file into a new single-values grid (6 columns, 101 rows). The separator follows the
// file name as the capture export chooses it (a comma for a name ending in "csv", else a tab);
// "Open Progress" is shown only for a file of captureProgressFrom bytes or more.
TextReadResult readCaptureFile(const QString &fileName, TextUi &ui, const TextReadLimits &limits = {});

// The reading loop over an open device into a fresh grid (rows 1 on). With ui, each row is a
// progress step and Cancel ends the reading. Returns the number of rows read.
qint64 readTextLines(QIODevice &in, char separator, TextGrid &grid, TextUi *ui, bool *cancelled = nullptr);
