#pragma once
// The single-values window: a read-only grid of the stored values (6 columns, rows 1 to 100,
// caption "Datenaufzeichnung"). The recall fills it through RecallWindowUi.
#include "logger/RecallUi.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QMdiArea;
class QTableView;
class TextGrid;
class TextGridModel;

class TfrmDataCapture : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDataCapture(QWidget *parent = nullptr);

    QTableView *Grid1 = nullptr;
    TextGridModel *model() const { return m_model; }
    // Cell text in grid coordinates (row 0 the heading, column 0 the row labels).
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);

    // Into the main window's workspace, at the design size.
    void addToWorkspace(QMdiArea *area);
    // Back to normal size and in front.
    void showNormalInWorkspace();

private:
    TextGridModel *m_model = nullptr;
};

// The recall's screen over the window the main window keeps for it: created in the workspace
// when there is none, reused otherwise. Messages go to message boxes; the cursor is the
// application's override cursor.
class RecallWindowUi : public RecallUi {
public:
    RecallWindowUi(QPointer<TfrmDataCapture> &window, QMdiArea *workspace, QWidget *messageParent);
    ~RecallWindowUi() override { setBusyCursor(false); }

    void prepareWindow() override;
    void clearRows() override;
    void setRow(int row, const QStringList &cells) override;
    void message(const QString &text) override;
    void setBusyCursor(bool busy) override;

private:
    QPointer<TfrmDataCapture> &m_window;
    QMdiArea *m_workspace;
    QWidget *m_messageParent;
    bool m_busy = false;
};
