#pragma once
// The graph text file: one line per chart point, "date<sep>hh:mm:ss.z<sep>level" with CR LF, no
// header. Written from the chart's contiguous arrays (X as TDateTime, Y in dB) after the range
// dialog, with a progress window.
#include "app/TDateTime.h"
#include "data/TextUi.h"

#include <QString>

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

// ',' when the name's last three characters are "csv" in any case, otherwise a tab.
char separatorForFileName(const QString &fileName);

// Exports points [0, count) of x and y, of which the range dialog picks a part. The file is written
// to a temporary file and renamed over fileName at the end, so an existing file is replaced only by
// a complete export. A point whose time is exactly 0 ends the export. The regional settings are
// those of the default locale.
TextExportResult exportGraphText(TextUi &ui, const QString &fileName, const TDateTime *x, const float *y,
                                 qint64 count, char separator);
