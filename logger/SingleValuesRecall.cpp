#include "logger/SingleValuesRecall.h"

#include "app/Catalogue.h"
#include "app/WindowTexts.h"
#include "logger/LoggerExchange.h"

namespace {
constexpr quint32 BusyFlagLimitMs = 3000;
constexpr quint32 DrainLimitMs = 6000;
constexpr quint32 NoBlockLimitMs = 3000;
constexpr quint32 PartialBlockLimitMs = 1500;
constexpr quint32 AcceptWaitMs = 100;
constexpr quint32 QuietMs = 30;
constexpr quint32 QuietLimitMs = 500;
} // namespace

SingleValuesRecall::SingleValuesRecall(SharedState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer,
                                       RecallUi &ui, std::function<void()> processEvents)
    : m_state(state), m_port(comm1), m_clock(clock), m_timer(mainTimer), m_ui(ui),
      m_processEvents(std::move(processEvents))
{
}

void SingleValuesRecall::waitWhile(const bool &flag, quint32 limitMs)
{
    const quint32 start = m_clock.tickMs();
    while (flag && quint32(m_clock.tickMs() - start) <= limitMs) {
        if (m_processEvents)
            m_processEvents();
    }
}

void SingleValuesRecall::writeLoggerFrame(char command)
{
    m_state.LoggerFrame[1] = command;
    m_port.write(m_state.LoggerFrame);
}

void SingleValuesRecall::PrepareRecallLink()
{
    m_ui.setBusyCursor(true);
    waitWhile(m_state.TimerBusy, BusyFlagLimitMs);
    m_timer.setEnabled(false);
    waitWhile(m_state.RxBusy, BusyFlagLimitMs);
    m_port.setRxHandler({});
    m_port.purgeInput();
    BusyWait(m_clock, 300);
    const quint32 t0 = m_clock.tickMs();
    for (;;) {
        const int n = m_port.bytesWaiting();
        if (n == 0)
            break;
        m_port.read(n);
        m_port.purgeInput();
        BusyWait(m_clock, 500);
        if (quint32(m_clock.tickMs() - t0) > DrainLimitMs)
            break;
    }
    m_ui.setBusyCursor(false);
}

QByteArray SingleValuesRecall::ReadSingleValues()
{
    QByteArray buffer;
    int received = 0, errors = 0;
    m_rejected = 0;
    m_state.LoggerFrame[1] = 'P';
    sendLoggerFrame(m_port, m_clock, m_state.LoggerFrame, 8); // the block follows the echo

    quint32 last = m_clock.tickMs();
    quint32 now = last;
    while (quint32(now - last) < NoBlockLimitMs) {
        if (received >= StoredValues::MemorySize || errors > MaxErrors) {
            writeLoggerFrame('Q');
            break;
        }
        const int n = m_port.bytesWaiting();
        if (n >= BlockSize + 1) {
            const QByteArray block = m_port.read(BlockSize + 1);
            buffer.append(block.left(BlockSize));
            received += BlockSize;
            quint8 sum = 0;
            for (int i = 0; i < BlockSize; ++i)
                sum = quint8(sum + quint8(block.at(i)));
            if (sum == quint8(block.at(BlockSize))) {
                for (int i = 0; i < 10; ++i) {
                    writeLoggerFrame('y');
                    if (waitForBytes(m_port, m_clock, 1, AcceptWaitMs) >= 1)
                        break;
                }
            } else {
                ++errors;
                ++m_rejected;
                writeLoggerFrame('n');
                buffer.chop(BlockSize);
                received -= BlockSize;
            }
            last = m_clock.tickMs();
        } else if (n > 0 && quint32(now - last) > PartialBlockLimitMs) {
            m_port.read(n);
            ++errors;
            ++m_rejected;
            writeLoggerFrame('n');
            last = m_clock.tickMs();
        }
        now = m_clock.tickMs();
    }
    writeLoggerFrame('X');
    return buffer;
}

SingleValuesRecall::Outcome SingleValuesRecall::RECALL1Click()
{
    Outcome out;
    m_ui.prepareWindow();
    m_ui.clearRows();
    BusyWait(m_clock, 100);
    if (!m_state.Connected) {
        m_ui.message(LoadStr(103));
        out.kind = Outcome::NotConnected;
        return out;
    }
    if (m_state.MeterRecording) {
        m_ui.message(messageText("RecallWhileRecording"));
        out.kind = Outcome::Recording;
        return out;
    }

    const SerialPort::RxHandler handler = m_receiveHandler ? m_receiveHandler : m_port.rxHandler();
    try {
        PrepareRecallLink();
        out.memory = ReadSingleValues();
        out.readings = decodeStoredReadings(out.memory);
        for (int i = 0; i < out.readings.size(); ++i)
            m_ui.setRow(i + 1, storedReadingCells(out.readings[i]));
    } catch (const SilentAbort &) {
        out.kind = Outcome::Aborted;
    } catch (const PortError &) {
        out.kind = Outcome::Aborted;
    }

    // Whatever the meter sent after the end of the transfer (a block beyond the sixteenth) is no
    // live frame: once the line has been quiet for a moment it goes, before the receive handler
    // is back.
    try {
        if (m_port.isOpen()) {
            const quint32 start = m_clock.tickMs();
            int before = m_port.bytesWaiting();
            while (quint32(m_clock.tickMs() - start) < QuietLimitMs) {
                BusyWait(m_clock, QuietMs);
                const int after = m_port.bytesWaiting();
                if (after == before)
                    break;
                before = after;
            }
            m_port.purgeInput();
        }
    } catch (const SilentAbort &) {
    } catch (const PortError &) {
    }
    m_port.setRxHandler(handler);
    BusyWait(m_clock, 500);
    m_timer.setEnabled(true);
    m_ui.setBusyCursor(false);
    return out;
}
