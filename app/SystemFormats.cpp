#include "app/SystemFormats.h"

#include "app/DateFormatFacts.h"

#include <QLocale>

QString levelText(double value)
{
    return QLocale().toString(value, 'f', 1);
}

QString dateTimeText(TDateTime value)
{
    const QLocale locale;
    const QDateTime t = fromTDateTime(value);
    const QString sep = timeSeparatorOf(locale.timeFormat(QLocale::ShortFormat));
    const QString time = t.time().toString(QStringLiteral("hh'%1'mm'%1'ss").arg(sep));
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') + time;
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
