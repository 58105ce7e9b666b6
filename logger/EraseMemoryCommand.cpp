// The main menu's erase command: on the live link, after a question.
#include "link/MeterLink.h"
#include "link/Protocol.h"
#include "app/WindowTexts.h"
#include "logger/LoggerSetup.h"

MenuErase eraseMemoryFromMenu(LinkState &state, MeterLink &link, const std::function<void(const QString &)> &message,
                         const std::function<bool(const QString &)> &askYesNo)
{
    if (state.MeterRecording) {
        message(messageText("EraseWhileRecording"));
        return MenuErase::Refused;
    }
    if (!askYesNo(messageText("EraseQuestion")))
        return MenuErase::Declined;
    PortLoan loan(state.Loans, QStringLiteral("erase"));
    const auto echoed = quietly([&] { return link.SendCommand(Protocol::Command::EraseMemory); });
    return echoed.value_or(false) ? MenuErase::Echoed : MenuErase::NotEchoed;
}
