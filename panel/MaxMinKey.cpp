#include "panel/MaxMinKey.h"

MaxMinKey::MaxMinKey(Timer &timer, LinkState &state, Clock &clock, Send send, Message message)
    : m_timer(timer), m_state(state), m_clock(clock), m_send(std::move(send)), m_message(std::move(message))
{
    m_timer.setInterval(TimerIntervalMs);
    m_timer.setEnabled(false);
}

void MaxMinKey::mouseDown()
{
    m_pressed = true;
    m_ticks = 0;
    m_timer.setEnabled(true);
}

void MaxMinKey::release()
{
    m_pressed = false;
    m_ticks = 0;
    m_timer.setEnabled(false);
}

// The receive handler runs further up this same thread; events are deliberately not processed
// here, so a handler that never clears the flag costs at most the limit.
void MaxMinKey::waitForReceiver()
{
    const quint32 start = m_clock.tickMs();
    while (m_state.RxBusy && quint32(m_clock.tickMs() - start) <= ReceiverWaitMs) {
    }
}

void MaxMinKey::timerTick()
{
    if (!m_pressed) {
        m_timer.setEnabled(false);
        return;
    }
    if (++m_ticks < HoldTicks)
        return;
    // The key state is cleared before sending: the exchange processes window events, and a
    // release delivered meanwhile must not send 'M' as well.
    release();
    waitForReceiver();
    if (m_state.Connected && m_send)
        m_send(HoldCommand);
}

void MaxMinKey::mouseUp()
{
    if (!m_state.Connected) {
        // A released key must not act as held should the connection return within the hold time.
        release();
        if (m_message)
            m_message(QString::fromLatin1(NoConnectionText));
        return;
    }
    if (!m_pressed)
        return;  // the held action has already run
    release();
    waitForReceiver();
    if (m_state.Connected && m_send)
        m_send(ShortPressCommand);
}
