#include "link/Timer.h"

QtTimer::QtTimer(int intervalMs, std::function<void()> handler)
{
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(handler));
}

void QtTimer::setEnabled(bool on)
{
    if (on && !m_timer.isActive())
        m_timer.start();
    else if (!on)
        m_timer.stop();
}

void QtTimer::setInterval(int ms)
{
    m_timer.setInterval(ms);
}
