#pragma once
// Turns the rows of a table window into the arrays of a graph: one point per data row, X the
// row's date and time as TDateTime, Y its level as a float. A row whose date and time do not
// convert keeps the point a fresh chart has (time 0, the null level, not drawn); a row whose level
// does not convert keeps its time and the null level.
#include "app/TDateTime.h"
#include "data/RegionalFormat.h"
#include "data/TextUi.h"
#include "tables/TextGrid.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

struct TableGraph {
    enum Status {
        Converted,  // xs and ys hold one point per data row
        NoData,     // the first date cell is empty; nothing is to be created
        BadEnds,    // the first or last row's date and time do not convert; the arrays are empty
        Cancelled,  // the progress window was closed; the arrays hold the rows converted so far
    } status = NoData;
    std::vector<TDateTime> xs;
    std::vector<float> ys;
    TDateTime first = 0, last = 0;  // time axis: first and last row's time
    QString message;                // shown for NoData and BadEnds
};

// The null level of a point that is not drawn.
constexpr float kTableNullLevel = 9999.0f;

// The conversion message for a date and time text that does not convert.
QString invalidDateTimeMessage(const QString &text);

// "date time" of grid row r (the date cell, one space, the time cell) as TDateTime.
std::optional<TDateTime> rowDateTime(const TextGrid &grid, qint64 row, const RegionalFormat &format,
                                     std::string *text = nullptr);

// Converts the data rows (1 to rowCount - 1) with the "Graphing Progress" window; shows the
// NoData and BadEnds messages through ui.
TableGraph convertTableToGraph(const TextGrid &grid, TextUi &ui,
                               const RegionalFormat &format = RegionalFormat::current());
