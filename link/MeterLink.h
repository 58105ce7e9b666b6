#pragma once
// The live link to the meter: the receive handler that cuts the stream into frames, the
// acknowledgements, the late handshake, the meter search, the watchdog and the echo-checked
// command exchange. Owned by the meter session; runs on its thread only.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/LinkListener.h"
#include "link/PortList.h"
#include "link/SerialPort.h"
#include "link/Timer.h"

#include <functional>

class MeterLink {
public:
    MeterLink(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, LinkListener &listener,
              std::function<void()> processEvents);

    PortList &ports() { return m_ports; }
    SerialPort &port() { return m_port; }
    LinkState &state() { return m_state; }

    // Decoder hand-off: called with the 19 bytes of every valid frame while connected.
    std::function<void(const QByteArray &)> onFrame;

    // The receive handler as the port calls it.
    void Comm1RxChar();
    // One watchdog tick.
    void MainTimerTimer();
    // Probe the ports of the list for the meter.
    void FindMeter();
    // The connection part of the main window's first show: search, status, link opened, 'a'.
    void StartupConnection();
    // The user picked entry index of the port list (also the entry already selected: it is
    // opened again).
    void ComboBoxDeviceNameChange(int index);
    // The port list read afresh (the user opened it): the ports present now, the selected entry
    // kept.
    void refreshPorts(const QStringList &present);

    // Echo-checked exchange of the given frame on Comm1; true when the meter echoed it.
    bool SendCommand(const QByteArray &frame);
    // Put a command character into CommandFrame and send it echo-checked.
    bool SendCommand(char command);
    // Put a command character into CommandFrame and write it without waiting for a reply.
    void SendPlain(char command);

    // Diagnostics.
    quint32 candidateFrames() const { return m_candidates; }
    quint32 checksumFailures() const { return m_checksumFailures; }
    quint32 decodedFrames() const { return m_decoded; }

    // The receive handler as attached to the port (guards against exceptions and re-entry).
    SerialPort::RxHandler receiveHandler();
    // Set the device name of Comm1 from the selected list entry.
    void selectDevice();
    // Ran the tick period correction: the current MainTimer interval in ms.
    int timerInterval() const { return m_timer.interval(); }

    static constexpr int MissedTickLimit = 3;
    // While the selected device is closed (it went away, or would not open), the watchdog opens
    // its path again at this period.
    static constexpr quint32 ReopenPeriodMs = 2000;

private:
    void writeCommandFrame(char command);
    void lateHandshake();
    void declareLost();
    // Opens Comm1; a failure is swallowed, and for lack of rights or a busy device explained
    // once when explain is set.
    bool openQuietly(bool explain = true);
    void explainOpenFailure();
    void closeQuietly();
    void reopenIfClosed();

    LinkState &m_state;
    SerialPort &m_port;
    Clock &m_clock;
    Timer &m_timer;
    LinkListener &m_view;
    std::function<void()> m_processEvents;
    PortList m_ports;

    quint32 m_candidates = 0;
    quint32 m_checksumFailures = 0;
    quint32 m_decoded = 0;
    bool m_firstTick = true;
    double m_previousTick = 0;
    bool m_permissionNoticeGiven = false;
    QStringList m_busyNoticesGiven; // device paths
    bool m_reopenTried = false;     // since the port was last seen open
    quint32 m_lastReopenMs = 0;
};
