#pragma once
// What the stored-values recall asks of the screen: the single-values window, message boxes and
// the mouse cursor. The window implements it; tests and the command-line tool script it.
#include <QString>
#include <QStringList>

class RecallUi {
public:
    virtual ~RecallUi() = default;
    // Create and show the single-values window, or bring the existing one back to normal state.
    virtual void prepareWindow() = 0;
    // Empty columns 1 to 5 of rows 1 to 99.
    virtual void clearRows() = 0;
    // Columns 1 to 5 of a row (1 to 99).
    virtual void setRow(int row, const QStringList &cells) = 0;
    virtual void message(const QString &text) = 0;
    // Hourglass while true, the normal cursor otherwise.
    virtual void setBusyCursor(bool busy) = 0;
};
