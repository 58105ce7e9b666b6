#include "data/RegionalFormat.h"

namespace {

// Widen a "yy" year field that is not part of a longer run to "yyyy".
QString widenYear(const QString &format)
{
    QString out;
    out.reserve(format.size() + 2);
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (!quoted && c == QLatin1Char('y')) {
            qsizetype j = i;
            while (j < format.size() && format.at(j) == QLatin1Char('y'))
                ++j;
            out += (j - i == 2) ? QStringLiteral("yyyy") : format.mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// The character after the hour field of a time format, ':' when there is none.
QChar timeSeparatorOf(const QString &format)
{
    qsizetype i = 0;
    while (i < format.size() && format.at(i) != QLatin1Char('h') && format.at(i) != QLatin1Char('H'))
        ++i;
    while (i < format.size() && (format.at(i) == QLatin1Char('h') || format.at(i) == QLatin1Char('H')))
        ++i;
    if (i < format.size() && !format.at(i).isLetter() && !format.at(i).isSpace())
        return format.at(i);
    return QLatin1Char(':');
}

} // namespace

RegionalFormat RegionalFormat::of(const QLocale &locale)
{
    RegionalFormat f;
    f.locale = locale;
    f.shortDate = widenYear(locale.dateFormat(QLocale::ShortFormat));
    const QString dp = locale.decimalPoint();
    f.decimal = dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
    f.timeSep = timeSeparatorOf(locale.timeFormat(QLocale::LongFormat));
    f.amText = locale.amText();
    f.pmText = locale.pmText();
    return f;
}

RegionalFormat RegionalFormat::current()
{
    return of(QLocale());
}
