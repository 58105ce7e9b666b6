#pragma once
// The times a monitor run needs: the wall clock with its UTC offset, a monotonic clock for the
// intervals and the silence limit, and the link's Clock for the journal's syncs. Tests give
// virtual ones.
#include "link/Clock.h"
#include "monitor/Sample.h"

#include <QElapsedTimer>

class MonitorTime {
public:
    virtual ~MonitorTime() = default;
    virtual Stamp now() = 0;
    virtual qint64 steadyMs() = 0;
    virtual Clock &clock() = 0;
};

class SystemMonitorTime : public MonitorTime {
public:
    SystemMonitorTime() { m_steady.start(); }
    Stamp now() override { return Stamp::now(); }
    qint64 steadyMs() override { return m_steady.elapsed(); }
    Clock &clock() override { return m_clock; }

private:
    QElapsedTimer m_steady;
    SystemClock m_clock;
};
