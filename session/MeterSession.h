#pragma once
// One meter session without a window: the serial port, the clock, the link state and its watchdog,
// the hand-off of every decoded live frame, the logger commands' pieces and the data set store.
// What happens is reported as signals, so the main window, the command-line tool and a monitor each
// hold one session and show what they need.
#include "app/TDateTime.h"
#include "data/DataSetStore.h"
#include "link/Clock.h"
#include "link/LinkListener.h"
#include "link/LinkState.h"
#include "link/MeterLink.h"
#include "link/TComPort.h"
#include "link/Timer.h"

#include <QObject>
#include <QStringList>
#include <memory>

class MeterSession : public QObject {
    Q_OBJECT
public:
    // exceptionSink: where an unexpected port error is reported (the window's error box, the
    // tool's standard error).
    explicit MeterSession(std::unique_ptr<Clock> clock, std::function<void(const QString &)> exceptionSink,
                          QObject *parent = nullptr);
    ~MeterSession() override;

    LinkState &state() { return m_state; }
    MeterLink &link() { return m_link; }
    TComPort &port() { return m_port; }
    Clock &clock() { return *m_clock; }
    Timer &mainTimer() { return m_mainTimer; }
    PortList &ports() { return m_link.ports(); }
    DataSetStore &store() { return m_store; }
    MemoryImage &image() { return m_image; }
    // Runs the event loop once: what every wait of the link and the commands calls.
    static void processEvents();

    // The start-up: searches the ports of the list, opens the link and starts the watchdog.
    void start();
    // Searches the given port (or every port of the system when empty) for the meter, sets up the
    // live link and waits up to waitMs for the first valid frame. False when no meter answers.
    bool connectMeter(const QString &portPath, int waitMs = 5000);
    // The user chose entry index of the port list.
    void choosePort(int index);
    // The port list read afresh: the ports present now.
    void refreshPorts(const QStringList &present);
    // Stops the watchdog, detaches the receive handler and closes the port.
    void close();

signals:
    // Connected or lost: LinkState's Connected and MeterLost changed.
    void linkChanged();
    void loggerCommandsShown();
    void statusChanged(const QString &port, const QString &state);
    void diagnosticsChanged(const QString &text);
    void portListChanged();
    void notice(const QString &text);
    // Progress of the start-up search, then its end.
    void searchProgress(const QString &text);
    void searchFinished();
    void panelNoConnection(bool shown);
    void panelConnectedLook();
    // A valid live frame (19 bytes) while connected, with the time it was taken in.
    void frameDecoded(const QByteArray &frame, TDateTime time);
    // A command took the port from the live link (no frames come meanwhile), and gave it back.
    void paused(const QString &reason);
    void resumed();

private:
    class Relay;

    LinkState m_state;
    std::unique_ptr<Relay> m_relay;
    std::unique_ptr<Clock> m_clock;
    TComPort m_port;
    QtTimer m_mainTimer;
    MeterLink m_link;
    DataSetStore m_store;
    MemoryImage m_image;
};
