#pragma once
// A simulated meter on a pseudo-terminal: the program opens slavePath() like a serial device and
// talks to the meter through the real tty layer. The meter runs in a thread of its own on the
// monotonic clock; its bytes go out at 9600 baud. The controls may be called from any thread.
//
// Like a USB adapter it can be pulled and plugged back (replug): the terminal goes away, and a new
// one, with another number, takes its place. A link path, when given, plays the part of a
// /dev/serial/by-id/... name: it points at the current terminal and is missing while unplugged.
#include "sim/MeterWire.h"
#include "sim/SimulatedMeter.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

class PtyMeter {
public:
    explicit PtyMeter(const QDateTime &clockStart = QDateTime::currentDateTime(), quint32 seed = 352);
    ~PtyMeter();
    PtyMeter(const PtyMeter &) = delete;
    PtyMeter &operator=(const PtyMeter &) = delete;

    // Creates the pseudo-terminal and starts the meter's thread. False (with errorString())
    // when the terminal cannot be made.
    bool start();
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    QString slavePath() const;
    QString errorString() const { return m_error; }

    // A symbolic link to keep pointed at the terminal; set before start(). An existing file or
    // link of that name is replaced.
    void setLinkPath(const QString &path) { m_linkPath = path; }
    QString linkPath() const { return m_linkPath; }
    // The adapter is pulled now and plugged back after ms milliseconds: the terminal is closed
    // (the program's port sees it hang up), the link removed; then a terminal with another
    // number is made and the link points at it. The meter itself runs on; what it sends while
    // unplugged is lost.
    void replug(qint64 ms);
    // Called on the meter's thread with the new terminal's path after each replug.
    void setPluggedHandler(std::function<void(const QString &)> handler) { m_plugged = std::move(handler); }

    // Faults, at the moment of the call.
    void powerOff();
    void powerOn();
    void silence(qint64 ms); // negative: until resume()
    void resume();
    void injectNoise(int count);
    void corruptNextChecksum();
    void splitNextFrame(int pauseMs);

    // Runs f with the meter held still, for anything the controls above do not cover.
    void withMeter(const std::function<void(SimulatedMeter &)> &f);

private:
    qint64 nowUs() const;
    void run();
    void wake();
    // Runs the meter to now and writes what is due to the terminal (mutex held).
    void pumpLocked();
    void closeAll();
    // Makes the terminal (a number other than avoid's) and points the link at it.
    bool plugIn(const QString &avoid);
    void unplugLocked();
    void pointLink();

    SimulatedMeter m_meter;
    MeterWire m_wire{&m_meter};
    mutable std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_t0;

    int m_master = -1;
    int m_slave = -1; // kept open so the terminal lives on between the program's opens
    int m_wakeFd = -1;
    QString m_slavePath; // guarded by m_mutex once the thread runs
    QString m_linkPath;
    QString m_error;
    std::function<void(const QString &)> m_plugged;
    qint64 m_unplugAtUs = -1; // a replug asked for, carried out on the meter's thread
    qint64 m_plugAtUs = -1;   // when the unplugged terminal comes back
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
