#include "graph/SamplingRateChoice.h"
#include "app/WindowTexts.h"

#include "app/SystemFormats.h"
#include "graph/ChartStatistics.h"

QString rateLockedMessage()
{
    return windowText(QStringLiteral("TfrmGraph"), "RateLocked");
}

SamplingRateChoice chooseSamplingRate(const QString &picked, bool recording, double currentRate)
{
    SamplingRateChoice c;
    c.rate = currentRate;
    if (recording) {
        c.entry = RateToEntry(currentRate);
        c.message = rateLockedMessage();
        return c;
    }
    double value = 0;
    if (parseLocalNumber(picked, &value))
        c.rate = value;
    return c;
}
