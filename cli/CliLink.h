#pragma once
// The meter session of the command-line tool: the same search, identification, 'a' and watchdog as
// the program's main window; notices go to standard error.
#include "session/MeterSession.h"

class CliLink {
public:
    CliLink();
    ~CliLink();

    // Searches the given port (or every port of the system when empty) for the meter, sets up the
    // live link and waits up to waitMs for the first valid frame. False when no meter answers.
    bool connectMeter(const QString &portPath, int waitMs = 5000) { return m_session.connectMeter(portPath, waitMs); }
    void disconnect() { m_session.close(); }

    MeterSession &session() { return m_session; }
    LinkState &state() { return m_session.state(); }
    MeterLink &link() { return m_session.link(); }
    Clock &clock() { return m_session.clock(); }
    // The port and the watchdog timer, for exchanges that take the port from the live link.
    SerialPort &port() { return m_session.port(); }
    Timer &mainTimer() { return m_session.mainTimer(); }
    QString portName() const { return m_portName; }

private:
    MeterSession m_session;
    QString m_portName;
};
