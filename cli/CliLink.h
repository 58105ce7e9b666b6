#pragma once
// The meter link of the command-line tool: the same search, identification, 'a' and watchdog as
// the program's main window, with nothing on screen.
#include "app/SharedState.h"
#include "link/Clock.h"
#include "link/LinkView.h"
#include "link/MeterLink.h"
#include "link/TComPort.h"
#include "link/Timer.h"

#include <QStringList>

class CliLink : private LinkView {
public:
    CliLink();
    ~CliLink() override;

    // Searches the given port (or every port of the system when empty) for the meter, sets up the
    // live link and waits up to waitMs for the first valid frame. False when no meter answers.
    bool connectMeter(const QString &portPath, int waitMs = 5000);
    void disconnect();

    SharedState &state() { return m_state; }
    MeterLink &link() { return m_link; }
    Clock &clock() { return m_clock; }
    // The port and the watchdog timer, for exchanges that take the port from the live link.
    SerialPort &port() { return m_port; }
    Timer &mainTimer() { return m_mainTimer; }
    QString portName() const { return m_portName; }

private:
    void setControlEnabled(Control, bool) override {}
    void setControlVisible(Control, bool) override {}
    void setStatus(const QString &port, const QString &) override { m_portName = port; }
    void setDiagnostics(const QString &) override {}
    void portListChanged() override {}
    void notice(const QString &text) override;
    bool splashOpen() const override { return false; }
    void setSplashStatus(const QString &) override {}
    void closeSplash() override {}
    bool panelOpen() const override { return false; }
    void setPanelNoConnection(bool) override {}
    void setPanelConnectedLook() override {}
    bool realTimeWindowExists() const override { return false; }

    SharedState m_state;
    SystemClock m_clock;
    TComPort m_port;
    QtTimer m_mainTimer;
    MeterLink m_link;
    QString m_portName;
};
