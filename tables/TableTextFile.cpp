#include "tables/TableTextFile.h"

#include "app/Catalogue.h"
#include "data/TextFields.h"
#include "data/TextFileWriter.h"
#include "data/TextRange.h"

void appendTableLine(QByteArray &out, const TextGrid &grid, qint64 row, char sep)
{
    for (int c = 1; c < grid.columnCount(); ++c) {
        appendField(out, grid.cellUtf8(c, row), sep);
        out.append(sep);
    }
    out.append("\r\n", 2);
}

TextExportResult exportTableText(TextUi &ui, const QString &fileName, const TextGrid &grid)
{
    const RangeChoice range = askRange(ui, LoadStr(40), grid.rowCount() - 1);
    if (range.status != RangeChoice::Ok)
        return {};
    ProgressSetup setup;
    setup.caption = QStringLiteral("Saving Progress");
    setup.text = LoadStr(43);
    const char sep = separatorForFileName(fileName);
    return writeRangedExport(ui, fileName, setup, range.start, range.end, [&](QByteArray &out, qint64 row) {
        appendTableLine(out, grid, row, sep);
        return true;
    });
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
