#pragma once
// The graph text file: one line per chart point, "date<sep>hh:mm:ss.z<sep>level" with CR LF, no
// header. Written from the chart's contiguous arrays (X as TDateTime, Y in dB) after the range
// dialog, with a progress window.
#include "app/TDateTime.h"
#include "data/TextUi.h"

#include <QByteArray>
#include <QString>
#include <functional>

struct TextExportResult {
    enum Status {
        Written,      // the file holds the lines of the range (up to a point with time 0)
        NotChosen,    // the range dialog was cancelled or its entry refused; nothing written
        Cancelled,    // Cancel pressed in the progress window; the file was left as it was
        OpenFailed,   // the file could not be created; nothing written, no message
        WriteFailed,  // writing or replacing the file failed; the old file is left as it was
    } status = NotChosen;
    qint64 lines = 0;  // lines written (for Cancelled: written before the cancel, then discarded)
};

// The write loop every ranged export shares: the progress window of setup, then lines first to last
// (1-based, both included) through a temporary file. appendLine appends line i to the buffer, or
// returns false to end the export before it. Cancel or a write failure leaves the target as it was.
TextExportResult writeRangedExport(TextUi &ui, const QString &fileName, ProgressSetup setup, qint64 first,
                                   qint64 last, const std::function<bool(QByteArray &out, qint64 i)> &appendLine);

// ',' when the name's last three characters are "csv" in any case, otherwise a tab.
char separatorForFileName(const QString &fileName);

// Exports points [0, count) of x and y, of which the range dialog picks a part. The file is written
// to a temporary file and renamed over fileName at the end, so an existing file is replaced only by
// a complete export. A point whose time is exactly 0 ends the export. The regional settings are
// those of the default locale.
TextExportResult exportGraphText(TextUi &ui, const QString &fileName, const TDateTime *x, const float *y,
                                 qint64 count, char separator);
