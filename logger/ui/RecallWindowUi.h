#pragma once
// The recall's screen over the single-values window the main window keeps for it: created in the
// workspace when there is none, reused otherwise. Messages go to message boxes; the cursor is the
// application's override cursor.
#include "logger/RecallUi.h"
#include "tables/ui/TfrmDataCapture.h"

#include <QPointer>

class QMdiArea;
class QWidget;

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
