#pragma once
// Date separator and field order derived from the system's short date format text.
#include <QString>

struct DateFormatFacts {
    QString separator;
    // 1 day first, 2 month first (also the default), 3 year-month-day, 4 year-day-month.
    int order = 2;
};

DateFormatFacts dateFormatFacts(const QString &shortDateFormat);
