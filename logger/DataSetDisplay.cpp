#include "logger/DataSetDisplay.h"
#include <algorithm>

namespace {
// The extent of the time axis of a set whose readings span no time.
constexpr double EmptyAxisSeconds = 60.0;
} // namespace

DataSetDisplay ShowDataSet(const DataSetStore &store, int n, const QLocale &locale)
{
    DataSetDisplay d;
    if (n < 0 || n >= store.setCount())
        return d;
    d.set = n;
    d.offset = store.setOffset(n);
    d.count = store.SetCount.at(n);
    const TDateTime start = store.SetStart.at(n);
    const double step = double(store.SetInterval.at(n)) / 86400.0;

    d.chart.minX = start;
    // A time axis of the set's own, also when its readings span no time (none, or an interval of
    // 0): a scale without extent would leave the axis of the chart shown before.
    const double span = double(d.count) * step;
    d.chart.maxX = start + (span > 0 ? span : EmptyAxisSeconds / 86400.0);
    d.chart.points = d.count;
    if (d.count > 0) {
        d.x = store.LevelTimes.constData() + d.offset;
        d.y = store.Levels.constData() + d.offset;
    }

    d.txtStartTime = dateTimeText(start, locale);
    d.txtSamplingRate = QString::number(store.SetInterval.at(n));
    d.txtDataNo = QString::number(d.count);
    if (d.count > 0) {
        const qsizetype maxAt = d.offset + store.SetMaxIndex.at(n);
        const qsizetype minAt = d.offset + store.SetMinIndex.at(n);
        d.txtMax = levelText(store.Levels.at(maxAt), locale);
        d.txtMaxTime = dateTimeText(store.LevelTimes.at(maxAt), locale);
        d.txtMin = levelText(store.Levels.at(minAt), locale);
        d.txtMinTime = dateTimeText(store.LevelTimes.at(minAt), locale);
    }
    // Without readings there is no mean to show, only an empty field.
    if (d.count > 0)
        d.txtAvgAll = levelText(store.SetMean.at(n), locale);

    d.sliderMin = 0;
    // The last reading is point count - 1: a thumb beyond it would stand on no reading.
    d.sliderMax = std::max(0, d.count - 1);
    d.sliderThumb1 = d.count / 3;
    d.sliderThumb2 = (2 * d.count) / 3;
    return d;
}
