// Graph text export of 100,000 and 1,000,000 points and reading the files back into a table grid:
// time per run, the grid's memory and the growth between the two sizes.
#include "data/GraphTextFile.h"
#include "tables/TextTableReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

double exportSeconds(qint64 n, const QString &name)
{
    std::vector<TDateTime> x(static_cast<size_t>(n));
    std::vector<float> y(static_cast<size_t>(n));
    for (qint64 i = 0; i < n; ++i) {
        x[size_t(i)] = 40543.5 + double(i) / 86400.0 * 0.5;
        y[size_t(i)] = 40.0f + float(i % 900) / 10.0f;
    }
    UnattendedTextUi ui;
    QElapsedTimer t;
    t.start();
    exportGraphText(ui, name, x.data(), y.data(), n, '\t');
    return double(t.nsecsElapsed()) / 1e9;
}
double readSeconds(const QString &name, qint64 &memory)
{
    UnattendedTextUi ui;
    QElapsedTimer t;
    t.start();
    const TextReadResult r = readTextTable(name, '\t', ui);
    const double s = double(t.nsecsElapsed()) / 1e9;
    memory = r.grid ? r.grid->memoryBytes() : 0;
    return s;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    QTemporaryDir dir;
    const double small = exportSeconds(100000, dir.filePath(QStringLiteral("s.txt")));
    const double large = exportSeconds(1000000, dir.filePath(QStringLiteral("l.txt")));
    std::printf("graph_text_export_100k: %.3f s\n", small);
    std::printf("graph_text_export_1M: %.3f s\n", large);
    std::printf("graph_text_export_growth_1M_over_100k: %.2f ratio\n", large / small);
    qint64 smallMem = 0, largeMem = 0;
    const double readSmall = readSeconds(dir.filePath(QStringLiteral("s.txt")), smallMem);
    const double readLarge = readSeconds(dir.filePath(QStringLiteral("l.txt")), largeMem);
    std::printf("text_read_100k: %.3f s\n", readSmall);
    std::printf("text_read_1M: %.3f s\n", readLarge);
    std::printf("text_read_growth_1M_over_100k: %.2f ratio\n", readLarge / readSmall);
    std::printf("text_grid_memory_100k: %.1f MB\n", double(smallMem) / 1e6);
    std::printf("text_grid_memory_1M: %.1f MB\n", double(largeMem) / 1e6);
    return 0;
}
