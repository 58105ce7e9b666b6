#pragma once
// The logger memory download on Comm1: the end-pointer read, the block transfer with its sums,
// the working copy, the parse, the header repair and the whole command with its dialogs. Runs on
// the user-interface thread and blocks it; delays are busy waits on the clock.
#include "link/LinkState.h"
#include "data/DataSetStore.h"
#include "link/Clock.h"
#include "link/PortLease.h"
#include "link/Protocol.h"
#include "link/SerialPort.h"
#include "link/Timer.h"
#include "logger/LoggerUi.h"
#include "data/MemoryImageParser.h"

#include <QString>
#include <functional>

// The result of one load of the meter's memory; a parse result keeps its number.
enum class LoadResult {
    NotRun = -1,
    Loaded = 0,
    DamagedSet = 1,
    TooManySets = 2,
    ShortTransfer = 3, // the transfer ended with fewer bytes than requested
    PointerFailed = 4, // end pointer read failed, or transfer length below 256
    NoStartEcho = 5,   // 'P' not echoed
    NoDataSet = 6,
};

constexpr LoadResult loadResultOf(ParseResult r) { return LoadResult(int(r)); }

class MemoryDownload {
public:
    // Waits of the transfer. Replies: waits that only let an expected reply arrive end as soon as
    // it is there (the bytes on the wire are the same). Fixed: every wait runs its full time.
    enum class Waits { Replies, Fixed };

    struct Outcome {
        enum class Kind { NotConnected, Recording, Finished, FolderError, Aborted };
        using enum Kind;
        Kind kind = Finished;
        LoadResult lastCode = LoadResult::NotRun;   // the code of the last LoadMemory run
        // The header repair after a damaged set: NotAsked (no OK), Done (all five writes echoed),
        // Failed (some write was not echoed; the header may be partly written), Withheld (the
        // downloaded memory could not be kept, so the header was left as it is).
        enum class Repair { NotAsked, Done, Failed, Withheld };
        Repair repair = Repair::NotAsked;
        int repairWritesEchoed = 0;
        bool repaired = false; // Repair::Done
        QString errorText;   // FolderError: the folder's full name, shown to the user
    };

    static constexpr int BlockSize = Protocol::Logger::BlockSize;

    // receiveHandler: what is re-attached to the port at the end (the live link's receive handler);
    // empty: the handler attached when the command starts. processEvents runs while waiting for
    // the busy flags.
    MemoryDownload(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, DataSetStore &store,
                   MemoryImage &image, LoggerUi &ui, std::function<void()> processEvents = {});

    void setReceiveHandler(SerialPort::RxHandler handler) { m_receiveHandler = std::move(handler); }
    void setWaits(Waits waits) { m_waits = waits; }
    // Called after every completed transfer, once the working copy has been written (argument:
    // whether that write succeeded) and before the parse's result is acted on; returns whether the
    // memory that came over the wire is now kept safely. Without it, kept means the working copy
    // was written. A repair runs only on a kept memory.
    void setMemoryKeeper(std::function<bool(bool copyWritten)> keeper) { m_keepMemory = std::move(keeper); }
    Waits waits() const { return m_waits; }
    // Folder of the working copy (see workingCopyFolder()).
    void setWorkingCopyFolder(const QString &folder) { m_workingCopyFolder = folder; }
    QString workingCopyFolder() const { return m_workingCopyFolder; }

    // The whole command: refusals, window, load loop with its dialogs and the repair, then the
    // link handed back on every path. Port errors end it silently (Aborted).
    Outcome LoadData1Click();

    // One load: transfer, working copy, parse, set 0 shown on success; the image emptied. The
    // caller holds the port (LoadData1Click does). Raises WorkingCopyFolderError when the folder cannot be made.
    LoadResult LoadMemory();
    // Fills the image from the meter: 0, 3, 4 or 5.
    LoadResult TransferMemory();
    // The transfer length (end pointer + 1), or 0 when a read failed.
    int ReadMemoryPointer();
    // Sends LoggerFrame as it stands; true when the meter echoed it.
    bool SendLoggerCommand();
    void ShowTransferProgress(int total);
    // Writes FaultSet and FaultOffset into the meter's header (after the user chose OK on code 1);
    // the number of the five writes the meter echoed.
    int RepairMemoryHeader();
    // What the user is told when a repair is withheld because the memory could not be kept.
    static QString repairWithheldText();

    // Message of a load result that LoadData1Click shows without asking ("" for 0 and the codes
    // that ask).
    static QString resultMessage(LoadResult code);
    static QString dataErrorText();

    // Diagnostics of the last transfer.
    int blocksRejected() const { return m_rejected; }
    int bytesReceived() const { return m_received; }

private:
    // Waits up to ms for at least n bytes (Replies), or exactly ms (Fixed); the bytes waiting then.
    int waitForBytes(int n, quint32 ms);
    void writeLoggerFrame(char command);

    LinkState &m_state;
    SerialPort &m_port;
    Clock &m_clock;
    Timer &m_timer;
    DataSetStore &m_store;
    MemoryImage &m_image;
    LoggerUi &m_ui;
    std::function<void()> m_processEvents;
    SerialPort::RxHandler m_receiveHandler;
    QString m_workingCopyFolder;
    Waits m_waits = Waits::Replies;
    std::function<bool(bool)> m_keepMemory;
    bool m_copyWritten = false;
    bool m_copyKept = false;
    int m_rejected = 0;
    int m_received = 0;
    PortLease *m_lease = nullptr; // the command's hold on the port while LoadData1Click runs
};
