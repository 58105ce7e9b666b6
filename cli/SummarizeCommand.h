#pragma once
// `k352-cli summarize DIR [--period S]`: rebuilds the periods files and days.csv of a monitoring
// folder from its journals. Returns an exit code of CliExit; messages go to standard error.
#include <QStringList>

int commandSummarize(const QStringList &args);
