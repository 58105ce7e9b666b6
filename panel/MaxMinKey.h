#pragma once
// Press-and-hold logic of the control panel's MAX/MIN key: a short click sends 'M' on release,
// holding the key for three ticks of its 1000 ms timer sends 'N' once and nothing on release.
// Knows no widgets; the panel forwards its mouse events and timer ticks.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/Protocol.h"
#include "link/Timer.h"

#include <QString>
#include <functional>

class MaxMinKey {
public:
    using Send = std::function<void(char command)>;        // echo-checked command exchange
    using Message = std::function<void(const QString &)>;  // message box

    static constexpr int TimerIntervalMs = 1000;
    static constexpr int HoldTicks = 3;
    // Longest wait for the receive handler to finish before a command is sent.
    static constexpr quint32 ReceiverWaitMs = 3000;
    static constexpr char ShortPressCommand = Protocol::Command::KeyMaxMinShort;
    static constexpr char HoldCommand = Protocol::Command::KeyMaxMinHeld;
    static constexpr const char *NoConnectionText = "No Connection";

    MaxMinKey(Timer &timer, LinkState &state, Clock &clock, Send send, Message message);

    void mouseDown();   // btnMaxMinMouseDown (any button)
    void mouseUp();     // btnMaxMinMouseUp
    void timerTick();   // MMATimerTimer

    bool pressed() const { return m_pressed; }
    int ticks() const { return m_ticks; }

private:
    void release();
    void waitForReceiver();

    Timer &m_timer;
    LinkState &m_state;
    Clock &m_clock;
    Send m_send;
    Message m_message;
    bool m_pressed = false;
    int m_ticks = 0;
};
