#include "logger/SingleValuesRecall.h"

#include "app/Catalogue.h"
#include "logger/BlockReceiver.h"
#include "app/WindowTexts.h"
#include "logger/LoggerExchange.h"
#include "link/Protocol.h"

namespace {
constexpr quint32 QuietMs = 30;
constexpr quint32 QuietLimitMs = 500;
} // namespace

SingleValuesRecall::SingleValuesRecall(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer,
                                       RecallUi &ui, std::function<void()> processEvents)
    : m_state(state), m_port(comm1), m_clock(clock), m_timer(mainTimer), m_ui(ui),
      m_processEvents(std::move(processEvents))
{
}

void SingleValuesRecall::PrepareRecallLink(PortLease &lease)
{
    m_ui.setBusyCursor(true);
    lease.take();
    m_port.purgeInput();
    BusyWait(m_clock, 300);
    lease.drain(m_clock.tickMs());
    m_ui.setBusyCursor(false);
}

QByteArray SingleValuesRecall::ReadSingleValues()
{
    m_state.LoggerFrame[1] = Protocol::Logger::StartTransfer;
    sendLoggerFrame(m_port, m_clock, m_state.LoggerFrame, 8); // the block follows the echo

    BlockReceiver receiver(m_port, m_clock, m_state.LoggerFrame);
    BlockReceiver::Rules rules;
    rules.length = StoredValues::MemorySize;
    rules.stopAtLength = true;
    const QByteArray buffer = receiver.receive(rules);
    m_rejected = receiver.blocksRejected();
    m_state.LoggerFrame[1] = Protocol::Logger::EndTransfer;
    m_port.write(m_state.LoggerFrame);
    return buffer;
}

void SingleValuesRecall::runTransfer(Outcome &out)
{
    PortLoan loan(m_state.Loans, QStringLiteral("recall"));
    PortLease lease(m_state, m_port, m_timer, m_clock, m_processEvents, m_receiveHandler);
    lease.setSettleMs(500);
    try {
        PrepareRecallLink(lease);
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
    quietly([&] {
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
    });
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

    runTransfer(out); // the receive handler is back and the watchdog running again after it
    m_ui.setBusyCursor(false);
    return out;
}
