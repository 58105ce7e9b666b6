#include "data/GraphTextFile.h"

#include "app/Catalogue.h"
#include "data/DateTimeText.h"
#include "data/TextFileWriter.h"
#include "data/TextRange.h"


char separatorForFileName(const QString &fileName)
{
    return fileName.right(3).compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0 ? ',' : '\t';
}

TextExportResult exportGraphText(TextUi &ui, const QString &fileName, const TDateTime *x, const float *y,
                                 qint64 count, char separator)
{
    TextExportResult result;
    const RangeChoice range = askRange(ui, LoadStr(40), count);
    if (range.status != RangeChoice::Ok)
        return result;

    ProgressSetup setup;
    setup.caption = LoadStr(42);
    setup.text = LoadStr(43);
    setup.total = range.end - range.start + 1;
    ui.progressOpen(setup);

    TextFileWriter file(fileName);
    if (!file.open()) {
        ui.progressClose();
        result.status = TextExportResult::OpenFailed;
        return result;
    }

    GraphLineFormatter formatter(separator);
    bool cancelled = false, failed = false;
    for (qint64 i = range.start - 1; i < range.end; ++i) {
        if (x[i] == 0.0)
            break;
        formatter.append(file.buffer(), x[i], y[i]);
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
