#include "app/SystemFormats.h"

#include "app/DateFormatFacts.h"

#include <QLocale>

QLocale numberLocale(const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return l;
}

QString numberText(double value, int decimals, const QLocale &locale)
{
    return numberLocale(locale).toString(value, 'f', decimals);
}

QString levelText(double value, const QLocale &locale)
{
    return numberText(value, 1, locale);
}

QString levelText(double value)
{
    return levelText(value, QLocale());
}

QString timeText(TDateTime value, const QLocale &locale)
{
    const QString sep = timeSeparatorOf(locale.timeFormat(QLocale::ShortFormat));
    return fromTDateTime(value).time().toString(QStringLiteral("hh'%1'mm'%1'ss").arg(sep));
}

QString timeText(TDateTime value)
{
    return timeText(value, QLocale());
}

QString dateTimeText(TDateTime value, const QLocale &locale)
{
    return locale.toString(fromTDateTime(value).date(), QLocale::ShortFormat) + QLatin1Char(' ') + timeText(value, locale);
}

QString dateTimeText(TDateTime value)
{
    return dateTimeText(value, QLocale());
}

bool parseLocalNumber(const QString &text, double *value, const QLocale &locale)
{
    bool ok = false;
    const double v = numberLocale(locale).toDouble(text.trimmed(), &ok);
    if (ok && value)
        *value = v;
    return ok;
}

QString notAFloatMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}
