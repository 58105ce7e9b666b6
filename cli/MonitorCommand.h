#pragma once
// `k352-cli monitor`: unattended monitoring on the live meter link into a folder of CSV files,
// until Ctrl-C, SIGTERM or the given duration; one line per finished period on standard output,
// events and progress on standard error.
#include <QString>
#include <QStringList>
#include <functional>

// Runs the command with its arguments (after the word "monitor"); returns the exit code.
// stopRequested is checked while it runs (a signal has come).
int commandMonitor(const QString &port, const QStringList &args, const std::function<bool()> &stopRequested);

extern const char *const kMonitorHelp;
