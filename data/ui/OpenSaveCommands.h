#pragma once
// The File menu's Open and Save commands: the open choice dialog, the two file dialogs the main
// window keeps for the whole run, and the operation that the chosen name's extension selects.
// The operations themselves are given by the main window (they create windows and touch the
// data set store); exports of table and single-values windows and graph text exports have
// defaults here.
#include "data/OpenSaveRules.h"
#include "data/ui/FileDialog.h"

#include <QString>
#include <functional>

class QWidget;
class TfrmDataCapture;
class TfrmGraph;
class TfrmList;
class TfrmOpenSave;

// A save operation that could not write its file calls OpenSaveCommands::saveFailed() with the
// text the user is shown.
struct OpenSaveActions {
    // Open.
    std::function<void(const QString &fileName)> openCollection;
    std::function<void(const QString &fileName)> openGraphFile;
    std::function<void(const QString &fileName, char separator)> readTextTable;
    std::function<void(const QString &fileName)> readCaptureFile;
    // Save.
    std::function<void(TfrmGraph *window, const QString &fileName)> saveGraphFile;
    std::function<void(const QString &fileName)> saveCollection;
    // Default: the chart's subset 0 as graph text, with the range dialog and "Saving Progress".
    std::function<void(TfrmGraph *window, const QString &fileName, char separator)> exportGraphText;
    // Defaults: the window's saveAs().
    std::function<void(TfrmList *window, const QString &fileName)> exportTable;
    std::function<void(TfrmDataCapture *window, const QString &fileName)> exportCapture;
};

class OpenSaveCommands {
public:
    // parent: the main window, owner of the dialogs and messages.
    explicit OpenSaveCommands(QWidget *parent);

    OpenSaveActions actions;
    // The folders of the dialogs' initial folder rule; programFolder defaults to the program's.
    std::function<QString()> userDataFolder;
    QString programFolder;
    // Whether the system decimal separator is a comma; by default from the default locale.
    std::function<bool()> commaDecimal;
    // Hook for tests: answers the choice dialog (returns its result) instead of showing it.
    std::function<int(TfrmOpenSave &)> runChoice;

    FileDialog OpenDialog1{FileDialog::Open};
    FileDialog SaveDialog1{FileDialog::Save};

    // Open: the choice dialog, then the file dialog of the choice, then the operation.
    void Open1Click();
    // Reads a file named on the command line as Open would, by its extension. A file that cannot
    // be read or whose kind is unknown is named in a message. Returns whether it was read.
    bool openFile(const QString &fileName);
    // Save for the active child window (none: nothing). Returns the operation that ran.
    SaveOperation Save1Click(QWidget *activeChild);
    // Whether the operation of the last Save1Click could not write its file.
    bool lastSaveFailed() const { return m_saveFailed; }
    // Tells the user that the file could not be written and marks the running save as failed.
    void saveFailed(const QString &message);

    // The class of a child window as Save sees it (the window itself or its frame).
    static ChildClass childClassOf(QWidget *child);

private:
    QString folder() const;
    bool comma() const;
    void openSingleFile();
    void openCaptureFile();
    void run(OpenOperation operation, const QString &fileName);
    QWidget *m_parent;
    bool m_saveFailed = false;
};
