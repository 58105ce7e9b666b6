#pragma once
// A command's hold on Comm1: it keeps the watchdog tick and the receive handler out of the port
// while the command reads the port itself, and gives the port back to the live link when it ends,
// however it ends.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/SerialPort.h"
#include "link/Timer.h"

#include <functional>

// Runs processEvents while flag is set, for at most limitMs.
void waitWhileBusy(const bool &flag, Clock &clock, quint32 limitMs, const std::function<void()> &processEvents);

class PortLease {
public:
    // The longest wait for a watchdog tick or a receive call to finish.
    static constexpr quint32 BusyLimitMs = 3000;
    // How long the drain keeps reading away what the live stream still had on its way.
    static constexpr quint32 DrainLimitMs = 6000;

    // handler: what is attached to the port at the end; empty: the handler attached now.
    // processEvents runs while waiting for the busy flags.
    PortLease(LinkState &state, SerialPort &port, Timer &mainTimer, Clock &clock,
              std::function<void()> processEvents = {}, SerialPort::RxHandler handler = {});
    // Re-attaches the handler (unless done), waits the settle time and enables the watchdog.
    ~PortLease();
    PortLease(const PortLease &) = delete;
    PortLease &operator=(const PortLease &) = delete;

    // Waits for a running watchdog tick to end, then stops the watchdog.
    void stopWatchdog(quint32 limitMs = BusyLimitMs);
    // Waits for a running receive call to end, then detaches the receive handler.
    void detach(quint32 limitMs = BusyLimitMs);
    // Detaches the handler without waiting (for use from inside the receive handler).
    void detachNow();
    // stopWatchdog and detach.
    void take(quint32 limitMs = BusyLimitMs);
    // Reads away and purges whatever is waiting, 500 ms apart, until nothing more comes or more
    // than DrainLimitMs have passed since the tick count since.
    void drain(quint32 since);
    // Re-attaches the handler now; the end of the lease then only restarts the watchdog.
    void reattach();
    // A wait after re-attaching, before the watchdog runs again.
    void setSettleMs(quint32 ms) { m_settleMs = ms; }

private:
    LinkState &m_state;
    SerialPort &m_port;
    Timer &m_timer;
    Clock &m_clock;
    std::function<void()> m_processEvents;
    SerialPort::RxHandler m_handler;
    bool m_reattached = false;
    quint32 m_settleMs = 0;
};
