#include "data/GraphTextFile.h"

#include "app/Catalogue.h"
#include "data/DateTimeText.h"
#include "data/TextRange.h"

#include <QSaveFile>

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

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        ui.progressClose();
        result.status = TextExportResult::OpenFailed;
        return result;
    }

    GraphLineFormatter formatter(separator);
    QByteArray buffer;
    constexpr qsizetype kChunk = 1 << 16;
    buffer.reserve(kChunk + 256);
    bool cancelled = false, failed = false;
    for (qint64 i = range.start - 1; i < range.end; ++i) {
        if (x[i] == 0.0)
            break;
        formatter.append(buffer, x[i], y[i]);
        ++result.lines;
        if (buffer.size() >= kChunk) {
            failed = file.write(buffer) != buffer.size();
            buffer.clear();
            if (failed)
                break;
        }
        if (!ui.progressStep(result.lines)) {
            cancelled = true;
            break;
        }
    }
    ui.progressClose();

    if (cancelled) {
        file.cancelWriting();
        result.status = TextExportResult::Cancelled;
        return result;
    }
    if (!failed && !buffer.isEmpty())
        failed = file.write(buffer) != buffer.size();
    if (failed || !file.commit()) {
        if (failed)
            file.cancelWriting();
        result.status = TextExportResult::WriteFailed;
        ui.message(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(fileName));
        return result;
    }
    result.status = TextExportResult::Written;
    return result;
}
