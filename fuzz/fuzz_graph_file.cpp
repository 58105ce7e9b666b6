// Any file opened as a graph file and as the chart template: refused with a message or loaded,
// never read beyond its end nor allocated beyond its size.
#include "FuzzSupport.h"
#include "graph/GraphFile.h"

#include <QDir>

namespace {

void openAsGraphFile(const QByteArray &bytes)
{
    const QString path = fuzz::writeScratch(QStringLiteral("in.ghf"), bytes);
    QByteArray block;
    const GraphFileResult read = readGraphFile(path, &block);
    FUZZ_REQUIRE(read.ok() || block.isEmpty());
    FUZZ_REQUIRE(block.size() <= bytes.size());

    ChartState state;
    const GraphFileResult r = loadGraphFile(path, state);
    FUZZ_REQUIRE(r.ok() || !r.message.isEmpty());
    FUZZ_REQUIRE(!r.ok() || state.data.Subsets() >= 1);

    // The same bytes as the template of new charts.
    const QString appData = fuzz::scratchFile(QStringLiteral("app"));
    QDir().mkpath(templateFolder(appData));
    fuzz::writeScratch(QStringLiteral("app/template/graph.ghf"), bytes);
    ChartState fresh;
    const TemplateLoad t = loadTemplate(fresh, appData);
    FUZZ_REQUIRE(t.loaded == r.ok());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    openAsGraphFile(bytes);
    // The same with a length field and a block frame that fit, so the chart state is reached.
    if (bytes.size() >= 4) {
        QByteArray framed = bytes.left(4) + fuzz::withChartFrame(bytes.mid(4));
        qToLittleEndian(quint32(framed.size() - 4), framed.data());
        openAsGraphFile(framed);
    }
    return 0;
}
