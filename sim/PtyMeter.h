#pragma once
// A simulated meter on a pseudo-terminal: the program opens slavePath() like a serial device and
// talks to the meter through the real tty layer. The meter runs in a thread of its own on the
// monotonic clock; its bytes go out at 9600 baud. The controls may be called from any thread.
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
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

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

    SimulatedMeter m_meter;
    MeterWire m_wire{&m_meter};
    mutable std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_t0;

    int m_master = -1;
    int m_slave = -1; // kept open so the terminal lives on between the program's opens
    int m_wakeFd = -1;
    QString m_slavePath;
    QString m_error;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
