#pragma once
// The logger set-up window's operations: Comm1 handed over to the window's own port Comm2 on the
// same device, the echo-checked set-up exchange, the clock, interval and erase operations, the
// information read with its memory test, the whole initialisation, and the end sequence that
// gives the device back to Comm1. Comm1 and Comm2 are never open together. Runs on the
// user-interface thread and blocks it; delays are busy waits on the clock.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/SerialPort.h"
#include "link/Timer.h"
#include "logger/SetupUi.h"

#include <functional>
#include <optional>

class LoggerSetup {
public:
    // What ReadLoggerInfo found (also shown in the labels).
    struct Info {
        int versionHundredths = -1;
        QByteArray meterTime;   // the 8 bytes of the "ti" reply
        QByteArray header;      // the first 64 bytes of the memory
        int dataSets = -1;
        int endPointer = -1;
        int valuesAvailable = -1;
        bool memTestRun = false;
        bool memTestOk = false;
        // Memory addresses whose byte the test could not write back: it may have changed.
        QList<int> unrestoredAddresses;
    };

    // processEvents runs while waiting for the busy flags.
    LoggerSetup(LinkState &state, SerialPort &comm1, SerialPort &comm2, Clock &clock, Timer &mainTimer,
                SetupUi &ui, std::function<void()> processEvents = {});

    // Button1Click: set the meter clock to the computer's; Button2Click: the recording interval
    // from the edits; Button3Click: erase the memory (no question). True when it succeeded.
    bool Button1Click();
    bool Button2Click();
    bool Button3Click();
    // Read the logger's state with the memory test; true when the read succeeded.
    bool Button4Click();
    // The whole initialisation: clock, interval, erase, information and memory test, restart.
    bool Button5Click();

    bool SwitchToSetupPort();
    bool SendSetupCommand(const QByteArray &frame);
    // extraWaits: 100 ms before closing Comm2 and 300 ms before opening Comm1.
    void RestoreMainPort(bool extraWaits = false);
    bool ReadLoggerInfo();
    bool TestMemory();
    // What the user is told about a byte the memory test could not write back.
    static QString unrestoredText(int address);

    const Info &info() const { return m_info; }
    // Whether ReadLoggerInfo ends with the memory test (on unless switched off).
    void setMemoryTestEnabled(bool on) { m_memTestEnabled = on; }
    // Comm1 and Comm2 were found open together at some point (never expected).
    bool portsOverlapped() const { return m_overlap; }

private:
    bool runSetupOperation(const std::function<bool()> &operation, const std::function<QString(bool ok)> &message);
    // The opening of every operation on Comm2 after the port is taken: 'c' and purges.
    void beginExchange();
    void purgeBoth();
    // Polls until at least n bytes wait (exact: exactly n, steady for a few byte times) or the
    // limit passes; the count then.
    int waitBytes(int n, quint32 limitMs, bool exact);
    bool setClock();
    bool testOneAddress(quint8 addressByte);
    // Writes the byte back at 0x00AA00 (up to 3 attempts); true when the meter confirmed it.
    bool restoreByte(quint8 addressByte, quint8 original);
    // Purge, write a memory frame, wait up to 1.5 s for 9 bytes; the 9 bytes, or nullopt.
    std::optional<QByteArray> memoryByteReply(const QByteArray &frame, quint32 &elapsedMs);
    void checkOverlap();

    LinkState &m_state;
    SerialPort &m_comm1;
    SerialPort &m_comm2;
    Clock &m_clock;
    Timer &m_timer;
    SetupUi &m_ui;
    std::function<void()> m_processEvents;
    Info m_info;
    QByteArray m_lastClockFrame;
    bool m_overlap = false;
    bool m_lent = false; // the port is lent to the set-up (Comm2) until RestoreMainPort
    bool m_memTestEnabled = true;
};

// The main menu's erase on Comm1: refused while the meter records, asked before, then 'e' sent
// with the echo-checked exchange. The window shows nothing afterwards, whatever the outcome.
class MeterLink;
enum class MenuErase { Refused, Declined, Echoed, NotEchoed };
MenuErase eraseMemoryFromMenu(LinkState &state, MeterLink &link, const std::function<void(const QString &)> &message,
                         const std::function<bool(const QString &)> &askYesNo);
