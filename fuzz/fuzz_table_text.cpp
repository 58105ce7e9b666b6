// Any file read as a table text file, tab- and comma-separated, then written out again: the grid
// holds no more rows than the file has lines and no cell longer than a line may be.
#include "FuzzSupport.h"
#include "tables/TableTextFile.h"
#include "tables/TextTableReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    const QString path = fuzz::writeScratch(QStringLiteral("in.txt"), bytes);
    for (char separator : {'\t', ','}) {
        UnattendedTextUi ui;
        const TextReadResult r = readTextTable(path, separator, ui);
        FUZZ_REQUIRE(r.grid);
        FUZZ_REQUIRE(r.rows <= bytes.count('\n') + 1);
        FUZZ_REQUIRE(r.grid->rowCount() > r.rows);
        for (qint64 row = 1; row <= r.rows; ++row) {
            for (int col = 1; col < r.grid->columnCount(); ++col)
                FUZZ_REQUIRE(r.grid->cellUtf8(col, row).size() <= size_t(kMaxTextLine));
        }
        const QString out = fuzz::scratchFile(separator == ',' ? QStringLiteral("out.csv") : QStringLiteral("out.txt"));
        const TextExportResult w = exportTableText(ui, out, *r.grid);
        FUZZ_REQUIRE(w.status == TextExportResult::Written);
    }
    return 0;
}
