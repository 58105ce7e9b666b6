#pragma once
// The decisions of the File menu's Open and Save commands, without any window: which operation a
// chosen file name leads to (by its extension alone, compared without regard to case; the filter
// the user picked plays no part), and what each use of the file dialog is given: its filter list,
// default extension and initial folder.
#include <QString>
#include <QStringList>

// Results of the open choice dialog (TfrmOpenSave).
enum class OpenChoice { Collection = 1, Cancel = 2, SingleFile = 7, Capture = 9 };

// What the Open command reads.
enum class OpenOperation {
    None,            // nothing is read
    Collection,      // data set collection file
    GraphFile,       // graph file into a new file graph window
    TextTableTab,    // text table, tab-separated, into a new table window
    TextTableComma,  // text table, comma-separated, into a new table window
    Capture,         // capture file into a new single-values window
};

// The kind of the active child window, as Save sees it.
enum class SaveWindow {
    None,          // no active child window: Save does nothing
    DataSetGraph,  // a graph window captioned exactly "Messdatenreihe"
    OtherGraph,    // the real-time graph, graphs read from files or made from tables
    Table,         // a table window
    SingleValues,  // the single-values window
    Other,         // any other window (the control panel): Save does nothing
};

// The class of the active child window; Save takes the caption into account for graph windows.
enum class ChildClass { None, Graph, List, DataCapture, Other };
SaveWindow saveWindowFor(ChildClass cls, const QString &caption);

// What the Save command writes.
enum class SaveOperation {
    None,
    GraphFile,       // the chart's whole state
    Collection,      // copy of the working copy of the logger memory
    GraphTextTab,    // the chart's points as text, tab-separated
    GraphTextComma,  // the chart's points as text, comma-separated
    TableText,       // the table as text; the separator follows the name
    CaptureText,     // the single values as a capture file; the separator follows the name
};

// The extension of a file name: its last dot and what follows, in lower case; empty when the
// name (after its last folder separator) has no dot.
QString fileExtension(const QString &fileName);

// Open single file: ".ghf", ".csv" or ".txt"; anything else reads nothing.
OpenOperation singleFileOperation(const QString &fileName);
// A file named on the command line: ".rec" a collection, ".cap" a capture file, the others as
// Open single file reads them.
OpenOperation fileOperation(const QString &fileName);
// The operation of an open choice once a name was chosen: a collection and a capture file are read
// whatever the name's extension, a single file by its extension.
OpenOperation openOperation(OpenChoice choice, const QString &fileName);
// The operation of Save for the active window and the chosen name.
SaveOperation saveOperation(SaveWindow window, const QString &fileName);

// One use of a file dialog.
struct FileDialogSetup {
    QString filter;          // the filter list in the bar notation "Description|pattern|..."
    QStringList nameFilters; // the same list in Qt's notation "Description (pattern ...)"
    bool setsDefaultExtension = false;
    QString defaultExtension; // when setsDefaultExtension; otherwise the dialog keeps its own
    QString folder;           // initial folder
};

// Filter lists quoted in the bar notation. commaDecimal: the system decimal separator is a comma
// (then no list offers CSV).
QString openFilter(OpenChoice choice, bool commaDecimal);
QString saveFilter(SaveWindow window, bool commaDecimal);

// "Description|pattern|Description|pattern" into Qt name filters. Descriptions are kept as they
// are; a pattern list "*.a;*.b" becomes "*.a *.b". An empty last pair (a trailing bar) is dropped.
// A description that already ends with its own patterns in parentheses is taken as it is.
QStringList qtNameFilters(const QString &barFilter);

// Initial folder of both dialogs: the user data folder, or the program's folder when it is empty.
QString initialFolder(const QString &userDataFolder, const QString &programFolder);

// Dialog set-up for Open (Collection, SingleFile or Capture) and for Save (DataSetGraph,
// OtherGraph, Table or SingleValues). For another choice or window the filter is empty.
FileDialogSetup openDialogSetup(OpenChoice choice, bool commaDecimal, const QString &folder);
FileDialogSetup saveDialogSetup(SaveWindow window, bool commaDecimal, const QString &folder);

// The open dialog's default extension carries over from one use to the next; it starts as
// "*.ghf" and becomes "REC" once a collection was opened.
constexpr const char *kInitialOpenDefaultExtension = "*.ghf";

// The suffix a dialog appends to a name typed without an extension: the default extension
// without a leading "*." or "."; empty when there is none to append.
QString defaultSuffix(const QString &defaultExtension);
// fileName with "." + defaultSuffix appended when its last part has no dot and the suffix is not
// empty; otherwise fileName unchanged.
QString withDefaultExtension(const QString &fileName, const QString &defaultExtension);
