#pragma once
// k352-cli info, set-clock, set-interval and erase: the logger set-up operations over the
// connected link, with a second port on the same device as the set-up window has.
#include <QString>
#include <functional>

class CliLink;

struct SetupCliOptions {
    bool memoryTest = false;        // info --memtest
    QString interval;               // set-interval MM:SS
};

// Each returns an exit code (CliExit); lines for standard output go to writeLine, messages for
// the user to messageOut.
int runInfo(CliLink &cli, const SetupCliOptions &o, const std::function<bool(const QString &)> &writeLine,
            const std::function<void(const QString &)> &messageOut);
int runSetClock(CliLink &cli, const std::function<void(const QString &)> &messageOut);
int runSetInterval(CliLink &cli, const SetupCliOptions &o, const std::function<void(const QString &)> &messageOut);
// The main menu's erase, with the question answered by --yes.
int runErase(CliLink &cli, bool yes, const std::function<void(const QString &)> &messageOut);
