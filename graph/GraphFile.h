#pragma once
// Graph files (".ghf"): a chart's whole state behind its length.
//   0  4  N, the length of the state block, unsigned 32-bit little-endian
//   4  N  the block as the chart's SaveState wrote it
// A file is written beside its target and replaces it only when complete. Reading checks N
// against the file's size before taking any memory, so a damaged length field cannot make the
// reader allocate more than the file holds.
#include "chart/ChartState.h"

#include <QByteArray>
#include <QString>

struct GraphFileResult {
    enum Outcome {
        Ok,
        CannotOpen,   // the file cannot be opened for reading
        TooShort,     // it ends before 4 + N bytes
        CannotCreate, // the file cannot be created or written
        Refused,      // the chart does not take the block
    };
    Outcome outcome = Ok;
    QString message; // the text the user is shown; empty for Ok
    bool ok() const { return outcome == Ok; }
};

// Writes the length and the block to path, replacing an existing file only when the new one is
// complete.
GraphFileResult saveGraphFile(const QByteArray &stateBlock, const QString &path);
inline GraphFileResult saveGraphFile(const ChartState &state, const QString &path)
{
    return saveGraphFile(SaveChartState(state), path);
}

// Reads the block of a graph file into *block (left empty on an error). Bytes after the block are
// ignored.
GraphFileResult readGraphFile(const QString &path, QByteArray *block);

// Reads a graph file and restores state from it; on any error state is unchanged. A block the
// chart refuses gives Refused.
GraphFileResult loadGraphFile(const QString &path, ChartState &state);

// The message for a file the chart refuses.
QString refusedGraphFileMessage(const QString &path);

// The template of new charts: folder + "template/graph.ghf" in the per-user application data
// folder (see appDataFolder()).
QString templateFolder(const QString &appData);
QString templatePath(const QString &appData);
// "Cannot create <folder> directory.", the error of a template folder that cannot be created.
QString templateFolderMessage(const QString &folder);
// Creates the template folder when missing (with its parents) and saves the block as the
// template. A folder that cannot be created gives CannotCreate with templateFolderMessage and
// writes nothing.
GraphFileResult saveTemplate(const QByteArray &stateBlock, const QString &appData);

// Loading the template into a new chart. No template file: nothing happens and nothing is said.
// A file that cannot be read: its message, the chart keeps its defaults. A block the chart
// refuses is passed over silently. Only the template's look is taken: readings, marks and cursor
// lines that an older template file holds stay out of the chart. `loaded` tells whether the
// chart now holds the template's look (the built-in look is to be applied otherwise).
struct TemplateLoad {
    bool loaded = false;
    QString message;
};
TemplateLoad loadTemplate(ChartState &state, const QString &appData);
// The same from the template file's full name.
TemplateLoad loadTemplateFile(ChartState &state, const QString &path);
