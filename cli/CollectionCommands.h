#pragma once
// `k352-cli sets FILE.rec` and `k352-cli export FILE.rec --set K --out FILE`: a data set
// collection file read with the same parse as the program, listed or one set written as a graph
// text file. Every function returns an exit code of CliExit; messages go to standard error.
#include "data/DataSetStore.h"

#include <QString>
#include <QStringList>

// Reads and parses the collection file into store; nothing is written. Success, FileError (the
// file cannot be read or is empty) or the exit code of the parse result.
int loadCollectionForCli(const QString &path, DataSetStore &store, QString &error);

// Writes set k (from 1) of store to path in the graph text format, a comma as separator when the
// name ends in "csv", else a tab; the file is replaced only when complete. A set without readings
// gives an empty file. Usage when there is no set k, FileError when the file cannot be written.
int exportSetAsText(const DataSetStore &store, int k, const QString &path, QString &error);

// The commands with their arguments (after the command word).
int commandSets(const QStringList &args);
int commandExport(const QStringList &args);
