#pragma once
// The start dialog's arithmetic: the recording duration shown for a count and a rate, and the
// reading of what the user typed.
#include <QString>

// Duration of n values at the rate, rounded to seconds: "h:mm:ss", hours without leading zeros.
QString recordingPeriodText(int n, double rate);
// The duration as the dialog shows it when it opens, for 2000 values: "h:m:s" without leading zeros.
QString initialPeriodText(double rate);

// The count field: blanks trimmed from both ends, then an integer.
bool parseValueCount(const QString &text, int *n);

struct RealTimeStart {
    bool ok = false;
    int count = 0;
    float rate = 0;
    QString message; // what to show when not ok
};
// OK in the start dialog: the rate text (a number) and the count text (an integer of at least 1).
RealTimeStart readRealTimeStart(const QString &countText, const QString &rateText);
