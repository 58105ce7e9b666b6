#pragma once
// `k352-cli download --out FILE.rec`: the logger memory download of the program's menu command,
// run over the command-line link with its windows on standard error. The memory goes to a working
// copy in a private temporary folder (never the program's own working copy, which an unsaved
// download in the program may still need) and from there to the collection file.
#include "data/DataSetStore.h"

#include <QString>
#include <QStringList>

class CliLink;
class ConsoleLoggerUi;

struct DownloadOptions {
    QString outPath;
    int retries = 0;     // failed loads answered with Retry
    bool repair = false; // a damaged data set answered with OK: the meter's header is repaired
};

// Downloads over a link connected by connectTrackingRecording (ServiceCli.h) into store and writes the collection file. Returns an exit code
// of CliExit (Success only when the sets were loaded and the file written); error explains the rest.
// Whenever a transfer completed the file holds the memory as it came, whatever the parse found.
int runDownload(CliLink &link, const DownloadOptions &options, ConsoleLoggerUi &ui, DataSetStore &store,
                QString &error);

// The command with its arguments (after the command word): connects as `live` does, downloads,
// prints the data-set list on standard output.
int commandDownload(const QString &port, const QStringList &args);
