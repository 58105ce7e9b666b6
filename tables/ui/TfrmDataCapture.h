#pragma once
// The single-values window: the values stored with the meter's MEM key in a read-only grid of 6
// columns and 101 rows (header, then memory places 1 to 100). It is filled from the meter or read
// from a capture file, and can be saved as a capture file and printed.
#include "data/GraphTextFile.h"
#include "tables/TextGrid.h"
#include "tables/TextGridModel.h"

#include <QWidget>
#include <functional>
#include <memory>

class GridView;
class QMdiArea;
class QMdiSubWindow;

class TfrmDataCapture : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDataCapture(std::shared_ptr<TextGrid> grid = newDataCaptureGrid(), QWidget *parent = nullptr);
    ~TfrmDataCapture() override;

    // Reads a capture file into a new window captioned with the file's full name; null when the
    // file cannot be opened (no message) or is too large for memory (a message over dialogParent).
    static TfrmDataCapture *readCaptureFile(const QString &fileName, QWidget *dialogParent = nullptr);

    // Puts the window into the workspace as a child window, centred on the screen.
    QMdiSubWindow *addToWorkspace(QMdiArea *area);

    GridView *Grid1 = nullptr;
    TextGridModel *model() const;
    std::shared_ptr<const TextGrid> grid() const;

    // Save: the capture file (99 lines) under fileName.
    TextExportResult saveAs(const QString &fileName);

    // Called when the window closes (the main window forgets it as its single-values window);
    // it is destroyed afterwards.
    std::function<void()> onClosed;

    QSize sizeHint() const override { return {619, 638}; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void applyColumnWidths();
    bool m_shownOnce = false;
};
