// The main menu's erase command: on the live link, after a question.
#include "link/MeterLink.h"
#include "link/Protocol.h"
#include "logger/LoggerSetup.h"

MenuErase eraseMemoryFromMenu(SharedState &state, MeterLink &link, const std::function<void(const QString &)> &message,
                         const std::function<bool(const QString &)> &askYesNo)
{
    if (state.MeterRecording) {
        message(QString::fromUtf8(
            "Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten löschen."));
        return MenuErase::Refused;
    }
    if (!askYesNo(QString::fromUtf8("Möchten Sie sicher die Daten löschen ?")))
        return MenuErase::Declined;
    const auto echoed = quietly([&] { return link.SendCommand(Protocol::Command::EraseMemory); });
    return echoed.value_or(false) ? MenuErase::Echoed : MenuErase::NotEchoed;
}
