#pragma once
// The meter's side of the serial protocol as a pure state machine on a simulation timeline in
// microseconds: no threads, no I/O. Bytes from the computer go in with the time they arrived,
// the meter's bytes come out with the time their last bit has left its transmitter (9600 baud,
// one byte after the other). Whoever drives it (the in-process port, the pseudo-terminal runner)
// feeds it in time order and takes what is ready.
#include "sim/BlockTransfer.h"
#include "sim/LevelModel.h"
#include "sim/LoggerMemory.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <deque>
#include <limits>
#include <optional>
#include <random>
#include <vector>

// What the meter measures and shows; what its live frame reports.
struct MeterState {
    bool recording = false;        // REC
    bool maxMinMode = false;
    quint8 maxMinSelector = 0;     // 0x00 none, 0x04 MAX, 0x08 MIN, 0x0C both
    bool weightingA = true;        // dBA, else dBC
    bool fast = true;              // FAST, else SLOW
    int battery = 3;               // 0..3
    bool memoryFull = false;
    bool showClock = true;
    bool recallDisplay = false;    // a stored value is shown instead of the level
    qint8 recallNumber = 0;
    quint16 recallValue = 0;       // count of 0.1 dB of the stored value shown
    QList<quint16> storedValues;   // single values stored with the MEM key, oldest first (max 99)

    // Levels, counts of 0.1 dB.
    int level = 550;
    int maxLevel = 550;
    int minLevel = 550;
    bool extremesValid = false;    // max/min restart from the next reading
    bool underRange = false;
    bool overRange = false;

    quint8 statusA() const;
    quint8 statusB() const;
};

class SimulatedMeter {
public:
    static constexpr qint64 Never = std::numeric_limits<qint64>::max();
    // One byte at 9600 baud, 8N1: ten bits.
    static constexpr qint64 ByteUs = 1042;
    // Live frames start at least this far apart (about ten a second at most).
    static constexpr qint64 FramePeriodUs = 100000;
    // Time the meter takes to react to a command frame.
    static constexpr qint64 EchoDelayUs = 2000;
    static constexpr qint64 IdentDelayUs = 5000;
    static constexpr qint64 FrameDelayUs = 3000;
    // Between the echo of a block transfer's start and its first block the line stays quiet for
    // a while: whoever counts the echo's 8 bytes sees them alone.
    static constexpr qint64 EchoBlockPauseUs = 30000;

    struct TimedBytes {
        qint64 us;
        QByteArray bytes;
    };

    // The meter's clock shows clockStart at time 0 of the timeline; seed fixes the levels.
    explicit SimulatedMeter(const QDateTime &clockStart, quint32 seed = 352);

    // A byte from the computer, arrived at tUs (earlier times than already seen count as now).
    void receive(char byte, qint64 tUs);
    // Let the meter run up to tUs.
    void advanceTo(qint64 tUs);
    // Runs the meter up to uptoUs and takes the bytes that have left it by then.
    QByteArray takeOutput(qint64 uptoUs);
    // The earliest time at which the meter does something or a byte of it is ready; Never if idle.
    qint64 nextEventUs() const;
    qint64 nowUs() const { return m_nowUs; }

    MeterState &state() { return m_state; }
    const MeterState &state() const { return m_state; }
    // The identification reply to 'K'.
    QByteArray identification() const { return m_identification; }
    void setIdentification(const QByteArray &reply) { m_identification = reply; }
    // The meter clock at time tUs of the timeline; setting it keeps it running from there.
    QDateTime clockAt(qint64 tUs) const;
    void setClock(const QDateTime &shownNow);

    // The live frame for the given state and meter clock.
    static QByteArray liveFrame(const MeterState &state, const QDateTime &clock);

    // Faults, taking effect at the meter's current time (advance it first).
    void injectNoise(const QByteArray &bytes); // goes out even while silent, not while off
    void injectNoise(int count);               // random bytes
    void corruptNextChecksum();
    void splitNextFrame(int pauseMs);          // the next frame stops halfway for pauseMs
    void silence(qint64 ms);                   // ignore everything for ms; negative: until resume()
    void resume();
    void powerOff();                           // no output, input ignored
    void powerOn();
    bool isPoweredOn() const { return m_on; }
    bool isSilent() const;

    // The level script: a steady level in dB in place of the random one (none: random again),
    // and a spell of the level db for ms milliseconds from the meter's current time, after which
    // the level is what it would have been.
    void setSteadyLevel(std::optional<double> db) { m_steadyLevel = db; }
    void startSpell(double db, qint64 ms);

    // Observation: the command frames the meter took in, the live frames it sent (time = the
    // start of the frame on the wire).
    const QList<TimedBytes> &receivedFrames() const { return m_received; }
    const QList<TimedBytes> &sentFrames() const { return m_sent; }

    // The service side (SetupCommands.cpp): the firmware version the 'V' reply reports (times
    // 100), whether a set-up session ('c' ... 'a' or "boot") is open, the calibration settings
    // received, and the restarts.
    quint8 firmwareVersion() const { return m_firmware; }
    void setFirmwareVersion(quint8 hundredths) { m_firmware = hundredths; }
    bool inSetupSession() const { return m_setupMode; }
    struct Calibration {
        quint8 hi = 0, lo = 0;
    };
    const QList<Calibration> &calibrations() const { return m_calibrations; }
    int boots() const { return m_boots; }

    // The data logger: its memory and the block transfer of it (LoggerCommands.cpp).
    LoggerMemory &loggerMemory() { return m_logger; }
    // Off: memory writes ('w') are carried out but not echoed, as by a meter whose answers are lost.
    void setEchoWrites(bool on) { m_echoWrites = on; }
    BlockTransfer &blockTransfer() { return m_transfer; }
    // Every byte the meter has handed to its transmitter.
    qint64 bytesTransmitted() const { return m_bytesTransmitted; }

private:
    enum class Action { Bytes, LiveFrame };
    struct Pending {
        qint64 atUs;
        Action action;
        QByteArray bytes;
    };
    struct OutByte {
        qint64 readyUs;
        char byte;
    };

    // One command frame, with offsets 0 and 7 checked; the one place to add commands.
    void dispatch(const QByteArray &frame);
    // The logger memory commands and the block transfer; true when the frame was one of them.
    bool dispatchLogger(const QByteArray &frame);
    // The set-up session's frames and the calibration frame; true when the frame was one of them.
    bool dispatchSetup(const QByteArray &frame);
    // What the meter's keys do to its state.
    void pressKey(char key);
    void reply(const QByteArray &bytes, qint64 delayUs);
    void requestFrame();
    void sendLiveFrame();
    void schedule(qint64 atUs, Action action, const QByteArray &bytes = {});
    // Hands bytes to the transmitter at the current time; returns when the first one starts.
    qint64 transmit(const QByteArray &bytes);
    void measure();

    MeterState m_state;
    QByteArray m_identification = QByteArray("K390");
    QDateTime m_clockStart;
    std::mt19937 m_rng;
    LevelModel m_levels;
    qint64 m_lastMeasureUs = 0;
    std::optional<double> m_steadyLevel;
    double m_spellLevel = 0;
    qint64 m_spellUntilUs = 0;

    qint64 m_nowUs = 0;
    bool m_on = true;
    qint64 m_silentUntil = 0; // Never: until resumed
    QByteArray m_input;
    std::vector<Pending> m_pending; // by time; equal times in order of scheduling
    std::deque<OutByte> m_output;
    qint64 m_txFreeUs = 0;
    qint64 m_lastFrameStartUs = -FramePeriodUs;

    bool m_corruptNext = false;
    qint64 m_splitPauseUs = 0;

    LoggerMemory m_logger;
    qint64 m_bytesTransmitted = 0;
    quint8 m_firmware = 0x6E;
    bool m_setupMode = false;
    bool m_echoWrites = true;
    bool m_expectClock = false;
    QList<Calibration> m_calibrations;
    int m_boots = 0;
    BlockTransfer m_transfer{m_logger};

    QList<TimedBytes> m_received;
    QList<TimedBytes> m_sent;
};
