#pragma once
// Texts of dates, times and levels in the text files and the table windows.
#include "app/TDateTime.h"
#include "data/RegionalFormat.h"

#include <QByteArray>
#include <optional>
#include <string_view>

// One graph text line without its line end: date, sep, hh:mm:ss.z, sep, level.
void appendGraphLine(QByteArray &out, TDateTime x, float level, char sep, const RegionalFormat &f);
// Level in fixed point with one decimal and the decimal separator ("56,7").
QString levelText(float level, const RegionalFormat &f);

// "date time" text of a table row to TDateTime: the short date format, blanks, hours with optional
// minutes, seconds and milliseconds (an integer count after the decimal separator), optional AM/PM.
std::optional<TDateTime> textToDateTime(std::string_view utf8, const RegionalFormat &f);
// A decimal number with the decimal separator.
std::optional<double> textToNumber(std::string_view utf8, const RegionalFormat &f);
