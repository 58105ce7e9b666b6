#pragma once
// The table window: a text file read into a read-only grid of 7 columns (row numbers, date, time,
// level and three normally empty cells). It can be saved as a table text file, printed, and
// turned into a graph.
#include "data/GraphTextFile.h"
#include "tables/TableToGraph.h"
#include "tables/TextGrid.h"
#include "tables/TextGridModel.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class GridView;
class QMdiArea;
class QMdiSubWindow;

class TfrmList : public QWidget {
    Q_OBJECT
public:
    explicit TfrmList(std::shared_ptr<TextGrid> grid = newListGrid(), QWidget *parent = nullptr);
    ~TfrmList() override;

    // Reads a text file (separator ',' for ".csv", a tab for ".txt") with the "Open Progress"
    // window into a new table window captioned with the file's full name. Null when the file
    // cannot be opened (no message).
    static TfrmList *readTextFile(const QString &fileName, char separator, QWidget *dialogParent = nullptr);

    // Puts the window into the workspace as a child window of its initial size.
    QMdiSubWindow *addToWorkspace(QMdiArea *area);

    GridView *Grid1 = nullptr;
    TextGridModel *model() const;
    std::shared_ptr<const TextGrid> grid() const;

    // Save: the table text file under fileName, after the range dialog, with "Saving Progress".
    TextExportResult saveAs(const QString &fileName);

    // Converts the rows into a graph and hands the result to outputToGraph. Nothing is handed on
    // when the first date is empty (the message "Keine Daten zur Darstellung" is shown); when the
    // first or last row does not convert, the message is shown and the result carries BadEnds
    // with empty arrays (an empty graph window is to remain).
    void btnOutputToGraphClick();

    // Set by the main window: makes a new graph window from the converted rows, titled with
    // this window's caption.
    std::function<void(const TableGraph &graph, const QString &title)> outputToGraph;
    // Called when the window becomes the active child (the main window enables btnOutputToGraph).
    std::function<void()> onActivated;
    // Called when the window closes; it is destroyed afterwards.
    std::function<void()> onClosed;

    QSize sizeHint() const override { return {387, 415}; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void FormActivate();
    bool m_shownOnce = false;
};
