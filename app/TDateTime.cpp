#include "app/TDateTime.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxDays = 365.25 * 1e6;
}

TDateTime toTDateTime(const QDateTime &local)
{
    const QDateTime t = local.toLocalTime();
    const double days = double(kEpoch.daysTo(t.date()));
    return days + double(t.time().msecsSinceStartOfDay()) / kMsPerDay;
}

QDateTime fromTDateTime(TDateTime value)
{
    // A time read from a file may be any double; beyond a million years either way it names no
    // date (and would not convert to a whole number of days).
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays)
        return QDateTime();
    double days = std::floor(value);
    qint64 ms = qint64(std::llround((value - days) * kMsPerDay));
    if (ms >= qint64(kMsPerDay)) {
        days += 1;
        ms -= qint64(kMsPerDay);
    }
    return QDateTime(kEpoch.addDays(qint64(days)), QTime::fromMSecsSinceStartOfDay(int(ms)));
}
