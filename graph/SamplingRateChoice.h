#pragma once
// txtSamplingRateChange: the rate picked in the real-time graph window's list becomes the rate of
// the next recording, unless a recording runs.
#include <QString>

struct SamplingRateChoice {
    double rate = 0;     // the program's sampling rate afterwards, seconds
    int entry = -1;      // the list entry to select again; -1 leaves the selection as picked
    QString message;     // shown when not empty
};

// The refusal while a recording runs, in the active language.
QString rateLockedMessage();

// No recording: the picked text read as a number with the decimal separator becomes the rate (a
// text that is no number leaves the rate, silently). A recording runs: the rate stays, the list
// goes back to the running rate's entry and the message is shown.
SamplingRateChoice chooseSamplingRate(const QString &picked, bool recording, double currentRate);
