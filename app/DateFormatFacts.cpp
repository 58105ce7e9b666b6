#include "app/DateFormatFacts.h"

DateFormatFacts dateFormatFacts(const QString &f)
{
    DateFormatFacts facts;
    // The first separator character found in this order of preference.
    facts.separator = "-";
    for (const char *sep : {"/", "-", ".", ","}) {
        if (f.contains(QLatin1String(sep))) {
            facts.separator = QLatin1String(sep);
            break;
        }
    }

    // First part: up to and including the first separator; second part: the rest up to and
    // including the next one. Without a separator both parts are empty.
    const QChar sep = facts.separator.at(0);
    const int first = f.indexOf(sep);
    const QString part1 = first < 0 ? QString() : f.left(first + 1);
    QString part2;
    if (first >= 0) {
        const int second = f.indexOf(sep, first + 1);
        part2 = second < 0 ? f.mid(first + 1) : f.mid(first + 1, second - first);
    }

    // Lower-case letters only, as the format text spells them.
    if (part1.contains(QLatin1Char('d')))
        facts.order = 1;
    else if (part1.contains(QLatin1Char('m')))
        facts.order = 2;
    else if (part1.contains(QLatin1Char('y')))
        facts.order = part2.contains(QLatin1Char('m')) ? 3 : 4;
    else
        facts.order = 2;
    return facts;
}

QString timeSeparatorOf(const QString &timeFormat)
{
    int i = 0;
    while (i < timeFormat.size() && timeFormat.at(i).toLower() != QLatin1Char('h'))
        ++i;
    while (i < timeFormat.size() && timeFormat.at(i).toLower() == QLatin1Char('h'))
        ++i;
    for (; i < timeFormat.size(); ++i) {
        const QChar c = timeFormat.at(i);
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return QString(c);
    }
    return QStringLiteral(":");
}
