#pragma once
// Time as the link sees it: a wrapping 32-bit millisecond tick for busy waits, and the local
// date and time. Tests use VirtualClock so that waits cost no real time.
#include <QtGlobal>

class Clock {
public:
    virtual ~Clock() = default;
    // Millisecond tick counter; wraps at 2^32.
    virtual quint32 tickMs() = 0;
    // Current local date and time as TDateTime (days since 1899-12-30).
    virtual double now() = 0;
};

class SystemClock : public Clock {
public:
    quint32 tickMs() override;
    double now() override;
};

// Deterministic time: starts at a given tick and date, advances only when told to, or by a small
// step on every tick read so that a busy wait finishes.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(double startDateTime = 46000.5, quint32 startTick = 0)
        : m_start(startDateTime), m_startTick(startTick) {}

    quint32 tickMs() override;
    double now() override;

    void advanceUs(qint64 us) { m_us += us; }
    void advanceMs(qint64 ms) { m_us += ms * 1000; }
    qint64 elapsedUs() const { return m_us; }
    // Virtual time that passes on every tickMs() read (default 50 µs).
    void setReadStepUs(qint64 us) { m_readStepUs = us; }

private:
    double m_start;
    quint32 m_startTick;
    qint64 m_us = 0;
    qint64 m_readStepUs = 50;
};

// Return after more than ms milliseconds on the clock have passed, measured on the wrapping tick.
void BusyWait(Clock &clock, quint32 ms);
