#pragma once
// The regional settings that the text files, the table windows and the conversions follow: the
// short date format, the time and decimal separators. They are taken from the default QLocale,
// which is the system's locale unless the program (or a test) has set another default, so an
// export and its read-back always use the same settings.
#include <QChar>
#include <QLocale>
#include <QString>

struct RegionalFormat {
    QLocale locale;
    // Short date format of the locale, with a two-digit year widened to four digits so that a
    // date written to a file reads back as the same date.
    QString shortDate;
    QChar decimal;     // decimal separator
    QChar timeSep;     // separator between hours, minutes and seconds
    QString amText, pmText;

    // Settings of the current default locale.
    static RegionalFormat current();
    static RegionalFormat of(const QLocale &locale);
};
