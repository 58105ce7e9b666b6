#include "realtime/RealTimeSetup.h"

#include "app/Catalogue.h"
#include "app/SystemFormats.h"

#include <cmath>

namespace {
qint64 roundedSeconds(double n, double rate)
{
    const double s = std::trunc(n * rate + 0.5);
    return std::isfinite(s) && s > 0 ? qint64(s) : 0;
}
} // namespace

QString recordingPeriodText(int n, double rate)
{
    const qint64 s = roundedSeconds(n, rate);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg((s % 3600) / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString initialPeriodText(double rate)
{
    const qint64 s = roundedSeconds(2000, rate);
    return QStringLiteral("%1:%2:%3").arg(s / 3600).arg((s % 3600) / 60).arg(s % 60);
}

bool parseValueCount(const QString &text, int *n)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int start = 0;
    if (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-'))
        start = 1;
    if (start == t.size())
        return false;
    for (int i = start; i < t.size(); ++i) {
        if (t.at(i) < QLatin1Char('0') || t.at(i) > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok && n)
        *n = v;
    return ok;
}

RealTimeStart readRealTimeStart(const QString &countText, const QString &rateText)
{
    RealTimeStart r;
    double rate = 0;
    if (!parseLocalNumber(rateText, &rate)) {
        r.message = notAFloatMessage(rateText);
        return r;
    }
    int n = 0;
    // A recording of no values would end at its first sample with an empty chart: refused too.
    if (!parseValueCount(countText, &n) || n < 1) {
        r.message = joinTexts(countText, LoadStr(28));
        return r;
    }
    r.ok = true;
    r.count = n;
    r.rate = float(rate);
    return r;
}
