#include "chart/ui/DateAxisTicker.h"

#include <QDateTime>
#include <cmath>

DateAxisTicker::DateAxisTicker()
{
    // The plot's keys are wall-clock seconds counted as if in UTC, so local times show unshifted.
    setDateTimeSpec(Qt::UTC);
    setDateTimeFormat(QStringLiteral("hh:mm:ss\ndd.MM.yyyy"));
}

double DateAxisTicker::getTickStep(const QCPRange &range)
{
    double step = QCPAxisTickerDateTime::getTickStep(range);
    if (step == 2.5)
        step = 2;
    m_secondDecimals = 0;
    // Decimals that tell every multiple of the step apart (a step of 0.25 s needs two).
    while (m_secondDecimals < 3) {
        const double scaled = step * std::pow(10.0, m_secondDecimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled))
            break;
        ++m_secondDecimals;
    }
    return step;
}

QString DateAxisTicker::getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision)
{
    if (m_secondDecimals == 0)
        return QCPAxisTickerDateTime::getTickLabel(tick, locale, formatChar, precision);
    const qint64 ms = qint64(std::llround(tick * 1000));
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    const QString fraction = QString::number(ms % 1000 + (ms % 1000 < 0 ? 1000 : 0)).rightJustified(3, QLatin1Char('0'));
    return t.toString(QStringLiteral("hh:mm:ss")) + QLocale().decimalPoint() + fraction.left(m_secondDecimals)
        + t.toString(QStringLiteral("\ndd.MM.yyyy"));
}
