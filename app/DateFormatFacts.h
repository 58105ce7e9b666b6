#pragma once
// Date separator and field order derived from the system's short date format text.
#include <QString>

struct DateFormatFacts {
    QString separator;
    // 1 day first, 2 month first (also the default), 3 year-month-day, 4 year-day-month.
    int order = 2;
};

DateFormatFacts dateFormatFacts(const QString &shortDateFormat);

// The time separator of a time format text such as "HH:mm:ss" or "hh.mm": the first character
// after the hour field that is not a letter or a blank; ":" when there is none.
QString timeSeparatorOf(const QString &timeFormat);
