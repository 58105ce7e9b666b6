// The main menu's erase command: on the live link, after a question.
#include "link/MeterLink.h"
#include "app/WindowTexts.h"
#include "logger/LoggerSetup.h"

MenuErase eraseMemoryFromMenu(SharedState &state, MeterLink &link, const std::function<void(const QString &)> &message,
                         const std::function<bool(const QString &)> &askYesNo)
{
    if (state.MeterRecording) {
        message(messageText("EraseWhileRecording"));
        return MenuErase::Refused;
    }
    if (!askYesNo(messageText("EraseQuestion")))
        return MenuErase::Declined;
    try {
        return link.SendCommand('e') ? MenuErase::Echoed : MenuErase::NotEchoed;
    } catch (const SilentAbort &) {
    } catch (const PortError &) {
    }
    return MenuErase::NotEchoed;
}
