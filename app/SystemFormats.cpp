#include "app/SystemFormats.h"

#include "app/DateFormatFacts.h"

#include <QLocale>

QString levelText(double value)
{
    return QLocale().toString(value, 'f', 1);
}

QString timeText(TDateTime value)
{
    const QString sep = timeSeparatorOf(QLocale().timeFormat(QLocale::ShortFormat));
    return fromTDateTime(value).time().toString(QStringLiteral("hh'%1'mm'%1'ss").arg(sep));
}

QString dateTimeText(TDateTime value)
{
    return QLocale().toString(fromTDateTime(value).date(), QLocale::ShortFormat) + QLatin1Char(' ') + timeText(value);
}

bool parseLocalNumber(const QString &text, double *value)
{
    bool ok = false;
    const double v = QLocale().toDouble(text.trimmed(), &ok);
    if (ok && value)
        *value = v;
    return ok;
}

QString notAFloatMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}
