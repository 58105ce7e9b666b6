#include "data/TableTextFile.h"

#include "app/Catalogue.h"
#include "data/TextFileWriter.h"
#include "data/TextRange.h"

void appendTableLine(QByteArray &out, const TextGrid &grid, qint64 row, char sep)
{
    for (int c = 1; c < grid.columnCount(); ++c) {
        const std::string_view cell = grid.cellUtf8(c, row);
        out.append(cell.data(), qsizetype(cell.size()));
        out.append(sep);
    }
    out.append("\r\n", 2);
}

TextExportResult exportTableText(TextUi &ui, const QString &fileName, const TextGrid &grid)
{
    TextExportResult result;
    const RangeChoice range = askRange(ui, LoadStr(40), grid.rowCount() - 1);
    if (range.status != RangeChoice::Ok)
        return result;

    ProgressSetup setup;
    setup.caption = QStringLiteral("Saving Progress");
    setup.text = LoadStr(43);
    setup.total = range.end - range.start + 1;
    ui.progressOpen(setup);

    TextFileWriter file(fileName);
    if (!file.open()) {
        ui.progressClose();
        result.status = TextExportResult::OpenFailed;
        return result;
    }

    const char sep = separatorForFileName(fileName);
    bool cancelled = false, failed = false;
    for (qint64 r = range.start; r <= range.end; ++r) {
        appendTableLine(file.buffer(), grid, r, sep);
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

TextExportResult exportCaptureText(TextUi &ui, const QString &fileName, const TextGrid &grid)
{
    TextExportResult result;
    TextFileWriter file(fileName);
    if (!file.open()) {
        result.status = TextExportResult::OpenFailed;
        return result;
    }
    const char sep = separatorForFileName(fileName);
    for (qint64 r = 1; r <= kCaptureLines; ++r) {
        appendTableLine(file.buffer(), grid, r, sep);
        ++result.lines;
    }
    if (!file.commit()) {
        file.cancel();
        result.status = TextExportResult::WriteFailed;
        ui.message(TextFileWriter::failureMessage(fileName));
        return result;
    }
    result.status = TextExportResult::Written;
    return result;
}
