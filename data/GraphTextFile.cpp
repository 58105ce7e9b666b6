#include "data/GraphTextFile.h"

#include "app/Catalogue.h"
#include "data/DateTimeText.h"
#include "data/TextFileWriter.h"
#include "data/TextRange.h"

char separatorForFileName(const QString &fileName)
{
    return fileName.right(3).compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0 ? ',' : '\t';
}

TextExportResult writeRangedExport(TextUi &ui, const QString &fileName, ProgressSetup setup, qint64 first,
                                   qint64 last, const std::function<bool(QByteArray &out, qint64 i)> &appendLine)
{
    TextExportResult result;
    setup.total = last - first + 1;
    ui.progressOpen(setup);

    TextFileWriter file(fileName);
    if (!file.open()) {
        ui.progressClose();
        result.status = TextExportResult::OpenFailed;
        return result;
    }

    bool cancelled = false, failed = false;
    for (qint64 i = first; i <= last; ++i) {
        if (!appendLine(file.buffer(), i))
            break;
        ++result.lines;
        if (!file.flush()) {
            failed = true;
            break;
        }
        if (!ui.progressStep(result.lines)) {
            cancelled = true;
            break;
        }
    }
    ui.progressClose();

    if (cancelled) {
        file.cancel();
        result.status = TextExportResult::Cancelled;
        return result;
    }
    if (failed || !file.commit()) {
        file.cancel();
        result.status = TextExportResult::WriteFailed;
        ui.message(TextFileWriter::failureMessage(fileName));
        return result;
    }
    result.status = TextExportResult::Written;
    return result;
}

TextExportResult exportGraphText(TextUi &ui, const QString &fileName, const TDateTime *x, const float *y,
                                 qint64 count, char separator)
{
    const RangeChoice range = askRange(ui, LoadStr(40), count);
    if (range.status != RangeChoice::Ok)
        return {};
    ProgressSetup setup;
    setup.caption = LoadStr(42);
    setup.text = LoadStr(43);
    GraphLineFormatter formatter(separator);
    // Points are 0-based; a point whose time is exactly 0 ends the export.
    return writeRangedExport(ui, fileName, setup, range.start, range.end, [&](QByteArray &out, qint64 line) {
        const qint64 i = line - 1;
        if (x[i] == 0.0)
            return false;
        formatter.append(out, x[i], y[i]);
        return true;
    });
}
