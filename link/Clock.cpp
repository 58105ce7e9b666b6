#include "link/Clock.h"
#include "app/TDateTime.h"

#include <QDateTime>
#include <chrono>

quint32 SystemClock::tickMs()
{
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

double SystemClock::now()
{
    return toTDateTime(QDateTime::currentDateTime());
}

quint32 VirtualClock::tickMs()
{
    m_us += m_readStepUs;
    return m_startTick + quint32(m_us / 1000);
}

double VirtualClock::now()
{
    return m_start + double(m_us) / 86400e6;
}

void BusyWait(Clock &clock, quint32 ms)
{
    const quint32 start = clock.tickMs();
    while (quint32(clock.tickMs() - start) <= ms) {
    }
}
