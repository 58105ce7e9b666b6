// The download command as the menu item and the tool button run it.
#include "app/Catalogue.h"
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"

#include <QScopeGuard>

QString MemoryDownload::dataErrorText()
{
    return QStringLiteral("Data error ! It may be owing to connect meter with PC while meter was recording data. "
                          "It is recommended that don't connect meter with PC while recording  Choose Retry to "
                          "reload or OK to delete the error data set.");
}

QString MemoryDownload::repairWithheldText()
{
    return QStringLiteral("The downloaded memory could not be saved, so the error data set is not deleted from "
                          "the meter.");
}

QString MemoryDownload::resultMessage(LoadResult code)
{
    switch (code) {
    case LoadResult::TooManySets: return QStringLiteral("Memory error!");
    case LoadResult::NoDataSet: return LoadStr(99);
    case LoadResult::DamagedSet: return dataErrorText();
    case LoadResult::ShortTransfer:
    case LoadResult::PointerFailed:
    case LoadResult::NoStartEcho: return LoadStr(100);
    default: return {};
    }
}

MemoryDownload::Outcome MemoryDownload::LoadData1Click()
{
    Outcome out;
    if (!m_state.Connected) {
        m_ui.message(LoadStr(96));
        out.kind = Outcome::NotConnected;
        return out;
    }
    if (m_state.MeterRecording) {
        m_ui.message(LoadStr(97));
        out.kind = Outcome::Recording;
        return out;
    }
    if (m_ui.prepareDataSetWindow())
        BusyWait(m_clock, 300);

    PortLoan loan(m_state.Loans, QStringLiteral("download"));
    PortLease lease(m_state, m_port, m_timer, m_clock, m_processEvents, m_receiveHandler);
    lease.setSettleMs(100);
    m_lease = &lease;
    const auto released = qScopeGuard([this] { m_lease = nullptr; });
    using B = LoggerUi::Button;
    try {
        for (;;) {
            const LoadResult code = LoadMemory();
            out.lastCode = code;
            B answer = B::Cancel;
            if (code == LoadResult::Loaded) {
                m_ui.setDownloadUnsaved();
                break;
            } else if (code == LoadResult::TooManySets || code == LoadResult::NoDataSet) {
                m_ui.message(resultMessage(code));
                break;
            } else if (code == LoadResult::DamagedSet) {
                answer = m_ui.confirm(dataErrorText(), {B::Ok, B::Cancel, B::Retry});
            } else {
                answer = m_ui.confirm(resultMessage(code), {B::Cancel, B::Retry});
            }
            if (answer == B::Retry)
                continue;
            if (answer == B::Ok) {
                // The header cut drops the damaged set and every one after it from the meter:
                // only once the memory as it came is safe on disk.
                if (!m_copyKept) {
                    m_ui.message(repairWithheldText());
                    out.repair = Outcome::Repair::Withheld;
                } else {
                    out.repairWritesEchoed = RepairMemoryHeader();
                    out.repaired = out.repairWritesEchoed == 5;
                    out.repair = out.repaired ? Outcome::Repair::Done : Outcome::Repair::Failed;
                }
            }
            break;
        }
    } catch (const WorkingCopyFolderError &e) {
        out.kind = Outcome::FolderError;
        out.errorText = e.folder();
        m_ui.message(e.folder());
    } catch (const SilentAbort &) {
        out.kind = Outcome::Aborted;
    } catch (const PortError &) {
        out.kind = Outcome::Aborted;
    }
    return out;
}
