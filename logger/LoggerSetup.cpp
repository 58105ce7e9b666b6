#include "logger/LoggerSetup.h"

#include "logger/SetupFrames.h"
#include "link/PortLease.h"

#include "app/TDateTime.h"

#include <utility>

namespace {
constexpr quint32 BusyFlagLimitMs = 2500;
constexpr quint32 PortSettleMs = 5000;
constexpr quint32 EchoLimitMs = 2500;
// A few byte times at 9600 baud: long enough for a longer reply's next byte to show up.
constexpr quint32 SettleMs = 3;
constexpr int SwitchAttempts = 3;
constexpr int SendAttempts = 3;
} // namespace

LoggerSetup::LoggerSetup(LinkState &state, SerialPort &comm1, SerialPort &comm2, Clock &clock, Timer &mainTimer,
                         SetupUi &ui, std::function<void()> processEvents)
    : m_state(state), m_comm1(comm1), m_comm2(comm2), m_clock(clock), m_timer(mainTimer), m_ui(ui),
      m_processEvents(std::move(processEvents))
{
}

void LoggerSetup::checkOverlap()
{
    if (m_comm1.isOpen() && m_comm2.isOpen())
        m_overlap = true;
}

bool LoggerSetup::SwitchToSetupPort()
{
    if (!std::exchange(m_lent, true))
        m_state.Loans.begin(QStringLiteral("setup"));
    for (int attempt = 0; attempt < SwitchAttempts; ++attempt) {
        const auto switched = quietly([&] {
            waitWhileBusy(m_state.TimerBusy, m_clock, BusyFlagLimitMs, m_processEvents);
            m_timer.setEnabled(false);
            waitWhileBusy(m_state.RxBusy, m_clock, BusyFlagLimitMs, m_processEvents);
            m_comm1.close();
            BusyWait(m_clock, PortSettleMs);
            m_comm2.setDeviceName(m_comm1.deviceName());
            m_comm2.setRxHandler({});
            if (m_comm1.isOpen())
                return false; // never both open
            m_comm2.open();
            checkOverlap();
            return m_comm2.isOpen();
        });
        if (switched.value_or(false))
            return true;
    }
    return false;
}

int LoggerSetup::waitBytes(int n, quint32 limitMs, bool exact)
{
    const quint32 start = m_clock.tickMs();
    for (;;) {
        const int waiting = m_comm2.bytesWaiting();
        if (exact ? waiting == n : waiting >= n) {
            BusyWait(m_clock, SettleMs);
            const int now = m_comm2.bytesWaiting();
            if (!exact || now == n)
                return now;
        }
        if (quint32(m_clock.tickMs() - start) > limitMs)
            return m_comm2.bytesWaiting();
    }
}

bool LoggerSetup::SendSetupCommand(const QByteArray &frame)
{
    for (int attempt = 0; attempt < SendAttempts; ++attempt) {
        m_comm2.write(frame);
        if (waitBytes(int(frame.size()), EchoLimitMs, false) == frame.size())
            return m_comm2.read(int(frame.size())) == frame;
    }
    return false;
}

void LoggerSetup::RestoreMainPort(bool extraWaits)
{
    if (extraWaits)
        BusyWait(m_clock, 100);
    bool closed = false;
    quietly([&] {
        m_comm2.close();
        closed = !m_comm2.isOpen();
    });
    if (closed) {
        if (extraWaits)
            BusyWait(m_clock, 300);
        quietly([&] {
            m_comm1.open();
            checkOverlap();
        });
    }
    quietly([&] {
        if (m_comm1.isOpen())
            m_comm1.write(SetupFrames::Live);
    });
    m_timer.setEnabled(true);
    if (std::exchange(m_lent, false))
        m_state.Loans.end();
}

void LoggerSetup::purgeBoth()
{
    m_comm2.purgeInput();
    m_comm2.purgeOutput();
}

void LoggerSetup::beginExchange()
{
    BusyWait(m_clock, 100);
    m_comm2.write(SetupFrames::Begin);
    BusyWait(m_clock, 100);
    purgeBoth();
}

bool LoggerSetup::setClock()
{
    if (!SendSetupCommand(SetupFrames::Rtc))
        return false;
    BusyWait(m_clock, 100);
    const QByteArray frame = clockFrame(fromTDateTime(m_clock.now()));
    if (!SendSetupCommand(frame))
        return false;
    m_lastClockFrame = frame;
    return true;
}

// The frame of every set-up operation: the busy pointer, the hand-over to the set-up port, the
// operation, its message and the main port back. A port that fails or an abort counts as a failure
// (an erase frame that may not have gone out is not reported as erased).
bool LoggerSetup::runSetupOperation(const std::function<bool()> &operation,
                                    const std::function<QString(bool ok)> &message)
{
    m_ui.setBusyCursor(true);
    bool ok = false;
    try {
        if (SwitchToSetupPort()) {
            beginExchange();
            ok = operation();
        }
    } catch (const SilentAbort &) {
        ok = false;
    } catch (const PortError &) {
        ok = false;
    }
    m_ui.setBusyCursor(false);
    m_ui.message(message(ok));
    RestoreMainPort();
    return ok;
}

bool LoggerSetup::Button1Click()
{
    return runSetupOperation(
        [this] {
            BusyWait(m_clock, 100);
            return setClock();
        },
        [this](bool ok) { return ok ? clockSetMessage(m_lastClockFrame) : QStringLiteral("Meter time updated fail"); });
}

bool LoggerSetup::Button2Click()
{
    const auto interval = parseInterval(m_ui.intervalMinutes(), m_ui.intervalSeconds());
    if (!interval) {
        m_ui.message(QStringLiteral("Invalid Input"));
        return false;
    }
    return runSetupOperation(
        [this, &interval] {
            if (!SendSetupCommand(intervalFrame(*interval)))
                return false;
            BusyWait(m_clock, 100);
            m_comm2.write(SetupFrames::Boot);
            return true;
        },
        [](bool ok) {
            return ok ? QStringLiteral("Recording Interval Setup Successfully") : QStringLiteral("Recording Interval Setup Fail");
        });
}

bool LoggerSetup::Button3Click()
{
    return runSetupOperation(
        [this] {
            m_comm2.write(SetupFrames::Erase);
            BusyWait(m_clock, 2500);
            m_comm2.write(SetupFrames::Boot);
            return true;
        },
        [](bool ok) { return ok ? QStringLiteral("Memory erased successfully") : QStringLiteral("Memory erased fail"); });
}
