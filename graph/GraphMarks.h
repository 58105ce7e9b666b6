#pragma once
// The marks the user puts on a chart: crosses and text notes, held in the chart's graph
// annotations from slot 5 upward (slot 2 is the data-point mark, slots 3 and 4 are never used by
// a new mark). A program-wide counter holds the last slot a mark took; all graph windows share it.
//
// Placing a mark never overwrites a mark the chart already shows: the new mark goes above both the
// counter and the highest slot of the chart that holds a visible mark, so marks loaded from a graph
// file or placed while another window raised or reset the counter stay intact. Only when the
// chart's last slot is taken is the lowest free slot from 5 reused; a chart full of marks takes no
// more. The list covers every slot from 5 to the chart's last, whatever the counter says, and keeps
// slot numbers as int, so any number of marks is listed and can be deleted.
#include "chart/ChartState.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

enum class ClickMode { Normal, Text, Cross };

namespace GraphMarks {
inline constexpr int DataPointSlot = 2;
inline constexpr int FirstClearedSlot = 3;
inline constexpr int FirstSlot = 5;
inline constexpr int CounterAtStart = 4;
// Shift from the pointer's reported position to where the mark goes. The text pointer's mark sits
// a little right of and below it. The cross pointer reports the centre of its cross-hair, which is
// where the cross goes (a pointer image whose hot spot is its top-left corner, 15 pixels from the
// cross-hair's centre, needs {15, 15} here).
inline constexpr QPoint TextOffset{1, 7};
inline constexpr QPoint CrossOffset{0, 0};
inline const QString CrossListText = QStringLiteral("X");
// The pointer's hint over a mark a double-click deletes, in the active language.
QString deleteHint();
} // namespace GraphMarks

// The chart's pointer in a click mode: 1 normal, 2 text, the cross-hair in cross mode.
int arrowCursorFor(ClickMode mode);

// The pixel where a click at `click` puts its mark: the click shifted for the mode; nullopt in
// normal mode or when the shifted point lies outside the plot area; its edges count as inside, up
// to the column and row just past its last pixels.
std::optional<QPoint> markPixel(ClickMode mode, QPoint click, const QRect &graphRect);

// The slot the next mark of this chart takes, given the counter; -1 when every slot from 5 up to
// the chart's limit holds a visible mark.
int nextMarkSlot(const ChartState &chart, int counter);

// Places a cross (text ignored) or a text note at (x, y): the slot from nextMarkSlot, type 2 and
// text "" for a cross, type 0 and the text for a note (an empty text gives a mark that is neither
// drawn nor listed). The counter becomes the slot when that is higher. Returns the slot, or -1
// (nothing placed) in normal mode or when no slot is free.
int placeMark(ChartState &chart, int &counter, ClickMode mode, double x, double y, const QString &text = {});

// A deleted mark keeps its slot with type 0 and empty text, which is not drawn. Slots the chart
// does not hold are left alone.
void deleteMark(ChartState &chart, int slot);

// One row of the mark list: its number (1, 2, ...), the slot it stands for, the date and time of
// the mark in the system's format and "X" for a cross or the note's text.
struct MarkRow {
    int row = 0;
    int slot = 0;
    QString time;
    QString comment;
    bool operator==(const MarkRow &) const = default;
};
// Every visible mark from slot 5 up, in slot order; the data-point mark and empty notes are not
// listed.
std::vector<MarkRow> markRows(const ChartState &chart);
// Deletes the marks of rows topRow .. bottomRow (row numbers, either order; rows outside the list
// are skipped). Returns the number of marks deleted.
int deleteMarkRows(ChartState &chart, const std::vector<MarkRow> &rows, int topRow, int bottomRow);

// The marks' part of clearing the real-time chart: every slot from 3 up loses its mark (X 0, Y 0,
// type 0, empty text), so no mark of the old recording can reappear in a later time range or in a
// saved file, and the counter goes back to 4 so the next mark takes slot 5 and is listed.
void clearMarks(ChartState &chart, int &counter);

// A colour that shows on the plot area: white on a dark background, black on a light one.
PEColor markColor(const ChartLook &look);
