#pragma once
// `k352-cli publish DIR --mqtt HOST[:PORT] ...`: sends the periods and events of a monitoring
// folder that the broker has not acknowledged yet (a run that was offline throughout, or a folder
// brought home), notes each acknowledgement in the folder, and ends.
#include <QStringList>

int commandPublish(const QStringList &args);

extern const char *const kPublishHelp;
