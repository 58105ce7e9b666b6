#pragma once
// Period and day statistics of a stream of samples, with memory that does not depend on how long
// the stream runs. Periods of P seconds (P divides a day) are aligned to local midnight and keyed
// by their local start and its UTC offset, so midnight and daylight-saving changes never merge two
// periods; a day is a local calendar date, whatever its length. The live monitor and the rebuild
// from the journal feed the same samples through this one piece of code, so they write the same
// rows.
//
// Coverage: each sample covers the time from it to the next sample, at most the interval plus a
// small tolerance (the last one before a gap or the end covers that much), split between the
// periods it overlaps.
#include "monitor/LevelHistogram.h"
#include "monitor/Sample.h"

#include <QByteArray>
#include <functional>
#include <memory>

namespace MonitorFiles {
inline const QByteArray PeriodsHeader = QByteArrayLiteral("start,end,samples,coverage,Leq,Lmax,Lmin,L5,L10,L50,L90,L95");
inline const QByteArray DaysHeader = QByteArrayLiteral("date,samples,coverage,Leq,Lday,Levening,Lnight,Lden,Lmax,L90");
}

// The tolerance added to the interval when a sample's coverage is capped.
constexpr qint64 kCoverToleranceMs = 500;

// Lden from the day, evening and night levels.
double denLevel(double lday, double levening, double lnight);

struct FinishedPeriod {
    qint64 day = 0;          // local date of its start, days since 1970-01-01
    QByteArray start;        // its start text, the row's key
    QByteArray row;          // the whole row without a line end
};

struct FinishedDay {
    qint64 day = 0;
    QByteArray row;
};

class StatisticsStream {
public:
    StatisticsStream(int periodS, qint64 intervalMs);
    ~StatisticsStream();

    std::function<void(const FinishedPeriod &)> periodFinished;
    std::function<void(const FinishedDay &)> dayFinished;

    // The sample before the stream's first, which counts only for the coverage it carries into
    // the first period (the last sample of the previous day's journal).
    void prime(const Sample &s);
    void add(const Sample &s);
    // Time passes without samples: a period whose end and last coverage lie before now is finished.
    void tick(const Stamp &now);
    // Finishes the open period and day (their coverage shows they are partial).
    void finish();

    // The row the open period would have now; empty when none is open.
    QByteArray openPeriodRow() const;

private:
    struct Period;
    struct Day;
    void addCover(qint64 fromUtc, qint64 toUtc);
    void closePeriod();
    void closeDay();

    int m_periodS;
    qint64 m_capMs;
    std::unique_ptr<Period> m_period;
    std::unique_ptr<Day> m_day;
    bool m_havePrev = false;
    bool m_prevCovered = false; // the previous sample's coverage is already booked in full
    Sample m_prev;
};
