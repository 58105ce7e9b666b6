#include "logger/MemoryDownload.h"
#include "app/WindowTexts.h"

#include "data/WorkingCopy.h"
#include "logger/LoggerExchange.h"
#include "logger/MemoryImageParser.h"

namespace {
constexpr quint32 AcceptWaitMs = 100;
constexpr quint32 NoBlockLimitMs = 3000;
constexpr quint32 PartialBlockLimitMs = 1500;
// After the echo of a pointer read, the time of a few more bytes: anything beyond the one data
// byte that is on its way shows up within it.
constexpr quint32 SettleMs = 4;
} // namespace

LinkRestore::LinkRestore(SerialPort &port, Timer &mainTimer, Clock &clock, SerialPort::RxHandler handler)
    : m_port(port), m_timer(mainTimer), m_clock(clock), m_handler(std::move(handler))
{
}

LinkRestore::~LinkRestore()
{
    m_port.setRxHandler(m_handler);
    BusyWait(m_clock, 100);
    m_timer.setEnabled(true);
}

MemoryDownload::MemoryDownload(SharedState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer,
                               DataSetStore &store, MemoryImage &image, LoggerUi &ui,
                               std::function<void()> processEvents)
    : m_state(state), m_port(comm1), m_clock(clock), m_timer(mainTimer), m_store(store), m_image(image), m_ui(ui),
      m_processEvents(std::move(processEvents))
{
}

void MemoryDownload::waitWhile(const bool &flag)
{
    while (flag) {
        if (m_processEvents)
            m_processEvents();
    }
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
        replyEndsWait = command == 'r' ? 9 : command == 'P' ? 8 : 0;
    }
    return sendLoggerFrame(m_port, m_clock, m_state.LoggerFrame, replyEndsWait);
}

int MemoryDownload::ReadMemoryPointer()
{
    int bytes[3] = {0, 0, 0};
    QByteArray &f = m_state.LoggerFrame;
    for (int i = 0; i < 3; ++i) {
        f[1] = 'r';
        f[2] = 'E';
        f[3] = 0x00;
        f[4] = 0x00;
        f[5] = char(11 + i);
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

int MemoryDownload::TransferMemory()
{
    m_rejected = 0;
    m_received = 0;
    m_ui.showPreparing();
    waitWhile(m_state.TimerBusy);
    m_timer.setEnabled(false);
    m_port.write(m_state.CommandFrame);
    waitWhile(m_state.RxBusy);
    m_port.setRxHandler({});
    m_port.purgeInput();
    BusyWait(m_clock, 300);
    const quint32 t0 = m_clock.tickMs();
    BusyWait(m_clock, 1000);
    m_ui.closePreparing();

    // Whatever the live stream still had on its way.
    for (;;) {
        const int n = m_port.bytesWaiting();
        if (n == 0)
            break;
        m_port.read(n);
        m_port.purgeInput();
        BusyWait(m_clock, 500);
        if (quint32(m_clock.tickMs() - t0) > 6000)
            break;
    }

    int length = ReadMemoryPointer();
    m_store.LastAddress = length - 1;
    if (length < 256)
        return LoadResult::PointerFailed;
    if (length % BlockSize != 0)
        length += BlockSize - length % BlockSize;

    int received = 0, errors = 0;
    m_state.LoggerFrame[1] = 'P';
    if (!SendLoggerCommand())
        return LoadResult::NoStartEcho;
    ShowTransferProgress(length);

    quint32 last = m_clock.tickMs();
    quint32 now = last;
    while (quint32(now - last) < NoBlockLimitMs) {
        if (received > length || errors > MaxErrors) {
            writeLoggerFrame('Q');
            break;
        }
        const int n = m_port.bytesWaiting();
        if (n >= BlockSize + 1) {
            const QByteArray block = m_port.read(BlockSize + 1);
            m_image.append(block.left(BlockSize));
            received += BlockSize;
            quint8 sum = 0;
            for (int i = 0; i < BlockSize; ++i)
                sum = quint8(sum + quint8(block.at(i)));
            if (sum == quint8(block.at(BlockSize))) {
                for (int i = 0; i < 10; ++i) {
                    writeLoggerFrame('y');
                    if (waitForBytes(1, AcceptWaitMs) >= 1)
                        break;
                }
                m_ui.setProgress(received);
                m_ui.refreshProgress();
            } else {
                ++errors;
                ++m_rejected;
                m_ui.refreshProgress();
                writeLoggerFrame('n');
                m_image.chop(BlockSize);
                received -= BlockSize;
            }
            last = m_clock.tickMs();
        } else if (n > 0 && quint32(now - last) > PartialBlockLimitMs) {
            m_port.read(n);
            ++errors;
            ++m_rejected;
            m_ui.refreshProgress();
            writeLoggerFrame('n');
            last = m_clock.tickMs();
        }
        now = m_clock.tickMs();
    }
    m_ui.closeProgress();
    m_received = received;
    return received < length ? LoadResult::ShortTransfer : LoadResult::Loaded;
}

int MemoryDownload::LoadMemory()
{
    m_image.clear();
    m_copyWritten = m_copyKept = false;
    int code = TransferMemory();
    if (code != 0) {
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
    code = ParseMemoryImage(m_image, m_store, m_clock.now());
    if (code == 0)
        m_ui.dataSetsLoaded();
    m_image.clear();
    return code;
}

int MemoryDownload::RepairMemoryHeader()
{
    QByteArray &f = m_state.LoggerFrame;
    f[1] = 'w';
    f[2] = 'E';
    f[3] = 0x00;
    f[4] = 0x00;
    f[5] = 0x00;
    f[6] = 0x00;
    const qint32 set = m_store.FaultSet, offset = m_store.FaultOffset;
    const quint8 values[5] = {quint8(set / 256), quint8(set % 256), quint8((offset >> 16) & 0xFF),
                              quint8((offset >> 8) & 0xFF), quint8(offset & 0xFF)};
    int echoed = 0;
    for (int i = 0; i < 5; ++i) {
        f[5] = char(0x09 + i);
        f[6] = char(values[i]);
        if (SendLoggerCommand())
            ++echoed;
        else
            m_ui.message(QStringLiteral("Fixing error failed !"));
    }
    m_ui.message(QStringLiteral("Please power off and power on meter before recording data or loading again!"));
    return echoed;
}
