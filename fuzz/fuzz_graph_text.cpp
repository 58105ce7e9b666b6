// Any file read as a graph text file and turned into a graph, in the C and a German locale: one
// point per row or none at all, and every converted time a finite number.
#include "FuzzSupport.h"
#include "tables/TextTableReader.h"
#include "tables/TableToGraph.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    const QString path = fuzz::writeScratch(QStringLiteral("in.csv"), bytes);
    for (const char *name : {"C", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        for (char separator : {'\t', ','}) {
            UnattendedTextUi ui;
            const TextReadResult r = readTextTable(path, separator, ui);
            FUZZ_REQUIRE(r.grid);
            const TableGraph g = convertTableToGraph(*r.grid, ui);
            FUZZ_REQUIRE(g.xs.size() == g.ys.size());
            if (g.status == TableGraph::Converted)
                FUZZ_REQUIRE(qint64(g.xs.size()) == r.grid->rowCount() - 1);
            for (double x : g.xs)
                FUZZ_REQUIRE(std::isfinite(x));
        }
    }
    return 0;
}
