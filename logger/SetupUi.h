#pragma once
// What the logger set-up window's operations ask of the screen: the interval edits, the
// information labels, the memory test grid, the information window of the initialisation,
// message boxes and the mouse cursor. The window implements it; tests and the command-line tool
// script it.
#include <QString>
#include <QStringList>

class SetupUi {
public:
    enum class Label { Version, MeterTime, Interval, DataSets, MemoryAvailable, MemTest };

    virtual ~SetupUi() = default;
    // Texts of edtInt1 (minutes) and edtInt2 (seconds).
    virtual QString intervalMinutes() const = 0;
    virtual QString intervalSeconds() const = 0;
    virtual void setLabel(Label label, const QString &text) = 0;
    virtual void message(const QString &text) = 0;
    // Hourglass while true, the normal cursor otherwise.
    virtual void setBusyCursor(bool busy) = 0;

    // Grid1: two rows, the heading and one empty row with "00" in column 0; repainted now.
    virtual void memTestReset() = 0;
    // Columns 1 to 10 of the grid's last row, then a new empty row, scrolled into view.
    virtual void memTestReply(const QStringList &cells) = 0;

    // The information window of the initialisation, with the step's text.
    virtual void showInfo(const QString &text) = 0;
    virtual void setInfoText(const QString &text) = 0;
    virtual void closeInfo() = 0;
};
