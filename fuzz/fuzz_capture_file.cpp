// Any file read as a capture file into the single-values grid, which can then be written out again.
#include "FuzzSupport.h"
#include "tables/TableTextFile.h"
#include "tables/TextTableReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("in.cap"), fuzz::input(data, size));
    UnattendedTextUi ui;
    const TextReadResult r = readCaptureFile(path, ui);
    FUZZ_REQUIRE(r.grid);
    FUZZ_REQUIRE(r.grid->columnCount() == 6);
    const TextExportResult w = exportCaptureText(ui, fuzz::scratchFile(QStringLiteral("out.cap")), *r.grid);
    FUZZ_REQUIRE(w.status == TextExportResult::Written);
    return 0;
}
