#pragma once
// k352-cli recall: the single values stored with the meter's MEM key, as lines or as a capture
// file.
#include "cli/ExitCodes.h"

#include <QString>
#include <QStringList>
#include <functional>

class CliLink;
struct StoredReading;


// One stored value on standard output: number, date and time (ISO 8601), level with a point
// ("----" above 150.0, as the window shows it), weighting and time weighting, tab-separated.
QString recallStdoutLine(int number, const StoredReading &reading);

// The capture file of the single-values window: 99 lines, columns 1 to 5 each followed by the
// separator (a comma for a name ending in "csv", else a tab), CR LF line ends, in the system's
// formats. False when the file cannot be written.
bool writeCaptureFile(const QString &path, const QList<QStringList> &rows);

// Runs the recall on a connected link. Lines go to writeLine unless capturePath is given. Returns
// an exit code; a message for the user goes to messageOut.
int runRecall(CliLink &cli, const QString &capturePath, const std::function<bool(const QString &)> &writeLine,
              const std::function<void(const QString &)> &messageOut);
