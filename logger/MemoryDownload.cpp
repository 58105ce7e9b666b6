#include "logger/MemoryDownload.h"
#include "app/WindowTexts.h"

#include "data/WorkingCopy.h"
#include "logger/BlockReceiver.h"
#include "logger/LoggerExchange.h"
#include "link/Protocol.h"
#include "data/MemoryImageParser.h"

#include <optional>

namespace {
// After the echo of a pointer read, the time of a few more bytes: anything beyond the one data
// byte that is on its way shows up within it.
constexpr quint32 SettleMs = 4;
} // namespace

MemoryDownload::MemoryDownload(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer,
                               DataSetStore &store, MemoryImage &image, LoggerUi &ui,
                               std::function<void()> processEvents)
    : m_state(state), m_port(comm1), m_clock(clock), m_timer(mainTimer), m_store(store), m_image(image), m_ui(ui),
      m_processEvents(std::move(processEvents))
{
}

int MemoryDownload::waitForBytes(int n, quint32 ms)
{
    return ::waitForBytes(m_port, m_clock, n, ms, m_waits == Waits::Fixed);
}

void MemoryDownload::writeLoggerFrame(char command)
{
    m_state.LoggerFrame[1] = command;
    m_port.write(m_state.LoggerFrame);
}

bool MemoryDownload::SendLoggerCommand()
{
    // With Replies, the wait for a pointer read's echo ends once its data byte is there too, and
    // the one for the start of the transfer once its echo is there (a block follows). A write is
    // answered by the echo alone: its wait always runs the full time.
    int replyEndsWait = 0;
    if (m_waits == Waits::Replies) {
        const char command = m_state.LoggerFrame.at(1);
        replyEndsWait = command == Protocol::Logger::ReadByte ? 9 : command == Protocol::Logger::StartTransfer ? 8 : 0;
    }
    return sendLoggerFrame(m_port, m_clock, m_state.LoggerFrame, replyEndsWait);
}

int MemoryDownload::ReadMemoryPointer()
{
    int bytes[3] = {0, 0, 0};
    QByteArray &f = m_state.LoggerFrame;
    for (int i = 0; i < 3; ++i) {
        f[1] = Protocol::Logger::ReadByte;
        f[2] = Protocol::Logger::MemoryBank;
        f[3] = 0x00;
        f[4] = 0x00;
        f[5] = char(Protocol::Register::EndPointer + i);
        f[6] = 0x00;
        if (!SendLoggerCommand())
            return 0;
        if (m_waits == Waits::Replies)
            BusyWait(m_clock, SettleMs);
        if (m_port.bytesWaiting() != 1)
            return 0;
        bytes[i] = quint8(m_port.read(1).at(0));
    }
    return bytes[1] * 256 + bytes[2] + 1;
}

void MemoryDownload::ShowTransferProgress(int total)
{
    m_ui.openProgress(messageText("DownloadProgress"), total);
}

LoadResult MemoryDownload::TransferMemory()
{
    std::optional<PortLease> own;
    PortLease &lease = m_lease ? *m_lease : own.emplace(m_state, m_port, m_timer, m_clock, m_processEvents);
    m_rejected = 0;
    m_received = 0;
    m_ui.showPreparing();
    lease.stopWatchdog();
    m_port.write(m_state.CommandFrame);
    lease.detach();
    m_port.purgeInput();
    BusyWait(m_clock, 300);
    const quint32 t0 = m_clock.tickMs();
    BusyWait(m_clock, 1000);
    m_ui.closePreparing();
    lease.drain(t0); // whatever the live stream still had on its way

    int length = ReadMemoryPointer();
    m_store.LastAddress = length - 1;
    if (length < 256)
        return LoadResult::PointerFailed;
    if (length % BlockSize != 0)
        length += BlockSize - length % BlockSize;

    m_state.LoggerFrame[1] = Protocol::Logger::StartTransfer;
    if (!SendLoggerCommand())
        return LoadResult::NoStartEcho;
    ShowTransferProgress(length);

    BlockReceiver receiver(m_port, m_clock, m_state.LoggerFrame);
    BlockReceiver::Rules rules;
    rules.length = length;
    rules.fixedWaits = m_waits == Waits::Fixed;
    rules.accepted = [this](int received) {
        m_ui.setProgress(received);
        m_ui.refreshProgress();
    };
    rules.rejected = [this] { m_ui.refreshProgress(); };
    const QByteArray data = receiver.receive(rules);
    m_image.append(data);
    m_rejected = receiver.blocksRejected();
    m_ui.closeProgress();
    m_received = int(data.size());
    return m_received < length ? LoadResult::ShortTransfer : LoadResult::Loaded;
}

LoadResult MemoryDownload::LoadMemory()
{
    m_image.clear();
    m_copyWritten = m_copyKept = false;
    LoadResult code = TransferMemory();
    if (code != LoadResult::Loaded) {
        m_image.clear();
        return code;
    }
    try {
        ensureWorkingCopyFolder(m_workingCopyFolder);
    } catch (...) {
        m_image.clear();
        throw;
    }
    m_copyWritten = writeWorkingCopy(m_image, workingCopyPath(m_workingCopyFolder));
    if (m_keepMemory)
        m_copyKept = m_keepMemory(m_copyWritten);
    else
        m_copyKept = m_copyWritten;
    code = loadResultOf(ParseMemoryImage(m_image, m_store, m_clock.now()));
    if (code == LoadResult::Loaded)
        m_ui.dataSetsLoaded();
    m_image.clear();
    return code;
}

int MemoryDownload::RepairMemoryHeader()
{
    QByteArray &f = m_state.LoggerFrame;
    f[1] = Protocol::Logger::WriteByte;
    f[2] = Protocol::Logger::MemoryBank;
    f[3] = 0x00;
    f[4] = 0x00;
    f[5] = 0x00;
    f[6] = 0x00;
    const qint32 set = m_store.FaultSet, offset = m_store.FaultOffset;
    const quint8 values[5] = {quint8(set / 256), quint8(set % 256), quint8((offset >> 16) & 0xFF),
                              quint8((offset >> 8) & 0xFF), quint8(offset & 0xFF)};
    int echoed = 0;
    for (int i = 0; i < 5; ++i) {
        f[5] = char(Protocol::Register::FaultSetHigh + i);
        f[6] = char(values[i]);
        if (SendLoggerCommand())
            ++echoed;
        else
            m_ui.message(QStringLiteral("Fixing error failed !"));
    }
    m_ui.message(QStringLiteral("Please power off and power on meter before recording data or loading again!"));
    return echoed;
}
