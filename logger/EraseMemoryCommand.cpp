// The main menu's erase command: on the live link, after a question.
#include "link/MeterLink.h"
#include "logger/LoggerSetup.h"

bool eraseMemoryFromMenu(SharedState &state, MeterLink &link, const std::function<void(const QString &)> &message,
                         const std::function<bool(const QString &)> &askYesNo)
{
    if (state.MeterRecording) {
        message(QString::fromUtf8(
            "Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten löschen."));
        return false;
    }
    if (!askYesNo(QString::fromUtf8("Möchten Sie sicher die Daten löschen ?")))
        return false;
    try {
        link.SendCommand('e');
    } catch (const SilentAbort &) {
    } catch (const PortError &) {
    }
    return true;
}
