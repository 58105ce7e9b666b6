// Any byte block as a chart state. One that loads has a curve, saves to a block that loads to the
// same state, and gives statistics, field texts and the statistics export without a "nan".
#include "FuzzSupport.h"
#include "app/SystemFormats.h"
#include "chart/ChartState.h"
#include "graph/AcousticStatistics.h"
#include "graph/ChartStatistics.h"
#include "graph/StatisticsExport.h"

#include <QLocale>

namespace {

bool hasNan(const QString &text)
{
    return text.contains(QLatin1String("nan"), Qt::CaseInsensitive);
}

void loadAndCheck(const QByteArray &block)
{
    ChartState state;
    state.look.mainTitle = QStringLiteral("before");
    const ChartState before = state;
    if (LoadChartState(block, state) != ChartStateError::None) {
        FUZZ_REQUIRE(state == before);
        return;
    }
    const ChartData &d = state.data;
    FUZZ_REQUIRE(d.Subsets() >= 1);

    // Compared as blocks: a NaN that the block holds is equal to itself only bit for bit.
    const QByteArray saved = SaveChartState(state);
    ChartState again;
    FUZZ_REQUIRE(LoadChartState(saved, again) == ChartStateError::None);
    FUZZ_REQUIRE(SaveChartState(again) == saved);

    const int n = d.Points();
    const ChartStatistics s = chartStatistics(d.xArray(0), d.yArray(0), n);
    const CursorStatistics c = cursorStatistics(d.xArray(0), d.yArray(0), n, n / 3, (2 * n) / 3);
    StatisticsFieldTexts f;
    const QLocale locale = QLocale::c();
    f.avgAll = levelText(s.average, locale);
    f.max = levelText(s.maximum, locale);
    f.min = levelText(s.minimum, locale);
    f.avgAB = levelText(c.average, locale);
    f.maxAB = levelText(c.maximum, locale);
    f.minAB = levelText(c.minimum, locale);
    if (n > 0) {
        f.startTime = dateTimeText(s.startTime, locale);
        f.maxTime = dateTimeText(s.maxTime, locale);
        f.minTime = dateTimeText(s.minTime, locale);
    }
    const QString text = statisticsExportText(f, d, RegionalFormat::current());
    FUZZ_REQUIRE(!hasNan(f.avgAll) && !hasNan(f.max) && !hasNan(f.min));
    FUZZ_REQUIRE(!hasNan(f.avgAB) && !hasNan(f.maxAB) && !hasNan(f.minAB));
    // Levels are whatever the block holds; only what the program invents must be a number.
    (void)acousticStatistics(d.yArray(0), n);
    (void)text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block = fuzz::input(data, size);
    loadAndCheck(block);
    loadAndCheck(fuzz::withChartFrame(block));
    return 0;
}
