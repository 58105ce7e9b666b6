#include "link/PortLease.h"

void waitWhileBusy(const bool &flag, Clock &clock, quint32 limitMs, const std::function<void()> &processEvents)
{
    const quint32 start = clock.tickMs();
    while (flag && quint32(clock.tickMs() - start) <= limitMs) {
        if (processEvents)
            processEvents();
    }
}

PortLease::PortLease(LinkState &state, SerialPort &port, Timer &mainTimer, Clock &clock,
                     std::function<void()> processEvents, SerialPort::RxHandler handler)
    : m_state(state), m_port(port), m_timer(mainTimer), m_clock(clock), m_processEvents(std::move(processEvents)),
      m_handler(handler ? std::move(handler) : port.rxHandler())
{
}

PortLease::~PortLease()
{
    reattach();
    if (m_settleMs > 0)
        BusyWait(m_clock, m_settleMs);
    m_timer.setEnabled(true);
}

void PortLease::stopWatchdog(quint32 limitMs)
{
    waitWhileBusy(m_state.TimerBusy, m_clock, limitMs, m_processEvents);
    m_timer.setEnabled(false);
}

void PortLease::detach(quint32 limitMs)
{
    waitWhileBusy(m_state.RxBusy, m_clock, limitMs, m_processEvents);
    detachNow();
}

void PortLease::detachNow()
{
    m_port.setRxHandler({});
    m_reattached = false;
}

void PortLease::take(quint32 limitMs)
{
    stopWatchdog(limitMs);
    detach(limitMs);
}

void PortLease::drain(quint32 since)
{
    for (;;) {
        const int n = m_port.bytesWaiting();
        if (n == 0)
            break;
        m_port.read(n);
        m_port.purgeInput();
        BusyWait(m_clock, 500);
        if (quint32(m_clock.tickMs() - since) > DrainLimitMs)
            break;
    }
}

void PortLease::reattach()
{
    if (m_reattached)
        return;
    m_reattached = true;
    m_port.setRxHandler(m_handler);
}
