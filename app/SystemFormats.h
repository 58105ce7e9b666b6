#pragma once
// The user-facing text formats that follow the regional settings: levels with one decimal and the
// decimal separator, dates and times in the short date format and a seconds time. The default
// QLocale stands for the system's settings (tests set it to a German or English locale).
#include "app/TDateTime.h"

#include <QLocale>
#include <QString>

// The locale through which every number typed by the user or shown to the user passes: the given
// locale's decimal separator, no group separators written and none accepted ("1.200,0" would read
// as a decimal fraction elsewhere, and a typed "0.500" under German settings is not 500).
QLocale numberLocale(const QLocale &locale = QLocale());
// A number with the given decimals and the decimal separator, never grouped: 1200,0.
QString numberText(double value, int decimals, const QLocale &locale = QLocale());
// A level or rate with one decimal: 54.4 or 54,4.
QString levelText(double value);
QString levelText(double value, const QLocale &locale);
// A date and time: the short date, a blank and hh:mm:ss with the time separator.
QString dateTimeText(TDateTime value);
QString dateTimeText(TDateTime value, const QLocale &locale);
// The time of day alone: hh:mm:ss with the time separator.
QString timeText(TDateTime value);
QString timeText(TDateTime value, const QLocale &locale);
// A number typed by the user with the decimal separator (blanks around it allowed); a text with a
// group separator is not a number.
bool parseLocalNumber(const QString &text, double *value, const QLocale &locale = QLocale());
// The conversion error for a text that is not a number.
QString notAFloatMessage(const QString &text);
