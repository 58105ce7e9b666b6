#include "monitor/Summarize.h"

#include "monitor/Journal.h"
#include "monitor/RowFiles.h"
#include "monitor/StatisticsStream.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace {

std::optional<qint64> intervalFromEvents(const QString &dir)
{
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.events.csv")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QList<QByteArray> rows;
        if (MonitorFiles::readRows(dir + '/' + name, QByteArrayLiteral("time,event,detail"), rows))
            continue;
        for (const QByteArray &r : rows) {
            const QList<QByteArray> f = r.split(',');
            if (f.size() != 3 || f[1] != "start" || !f[2].startsWith("interval "))
                continue;
            const QList<QByteArray> words = f[2].split(' ');
            bool ok = false;
            const double s = words.value(1).toDouble(&ok); // QByteArray::toDouble is locale-independent
            if (ok && s > 0)
                return qint64(std::llround(s * 1000));
        }
    }
    return std::nullopt;
}

} // namespace

qint64 folderIntervalMs(const QString &dir)
{
    if (const auto ms = intervalFromEvents(dir))
        return *ms;
    // A sample is the first frame at least one interval after the one before: the smallest gap
    // is the interval plus less than a frame, rounded down to a tenth of a second.
    for (const QString &path : Journal::files(dir)) {
        JournalReader r(path);
        if (!r.isJournal())
            continue;
        Sample s, prev;
        qint64 smallest = -1;
        for (int i = 0; i < 1000 && r.next(s); ++i) {
            const qint64 gap = s.time.utcMs - prev.time.utcMs;
            if (i > 0 && gap > 0 && (smallest < 0 || gap < smallest))
                smallest = gap;
            prev = s;
        }
        if (smallest > 0)
            return std::max<qint64>(100, (smallest + 20) / 100 * 100);
    }
    return 1000;
}

SummarizeReport summarizeFolder(const QString &dir, int periodS)
{
    SummarizeReport report;
    StatisticsStream stats(periodS, folderIntervalMs(dir));
    QList<QByteArray> dayRows;       // the rows of the period file being built
    QList<QByteArray> allDays;
    qint64 rowsDay = std::numeric_limits<qint64>::min();

    auto flushPeriods = [&] {
        if (rowsDay == std::numeric_limits<qint64>::min() || report.error)
            return;
        report.error = MonitorFiles::writeAtomically(MonitorFiles::periodsFileName(dir, rowsDay),
                                                     MonitorFiles::PeriodsHeader, dayRows);
        dayRows.clear();
        rowsDay = std::numeric_limits<qint64>::min();
    };
    stats.periodFinished = [&](const FinishedPeriod &p) {
        if (p.day != rowsDay)
            flushPeriods();
        rowsDay = p.day;
        dayRows << p.row;
    };
    stats.dayFinished = [&](const FinishedDay &d) {
        flushPeriods();
        allDays << d.row;
        ++report.days;
    };

    for (const QString &path : Journal::files(dir)) {
        JournalReader reader(path);
        if (!reader.isJournal()) {
            report.foreign << path;
            continue;
        }
        Sample s;
        while (reader.next(s) && !report.error) {
            stats.add(s);
            ++report.samples;
        }
        if (report.error)
            return report;
    }
    stats.finish();
    flushPeriods();
    if (!report.error)
        report.error = MonitorFiles::writeAtomically(MonitorFiles::daysFileName(dir), MonitorFiles::DaysHeader, allDays);
    return report;
}
