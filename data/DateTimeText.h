#pragma once
// Texts of dates, times and levels in the text files and the table windows.
#include "app/TDateTime.h"
#include "data/RegionalFormat.h"

#include <QByteArray>
#include <QIODevice>
#include <optional>
#include <string_view>

// One graph text line without its line end: date, sep, hh:mm:ss.z, sep, level; a field that holds
// the separator (the level "20,0" in a comma-separated file) is written in double quotes.
void appendGraphLine(QByteArray &out, TDateTime x, float level, char sep, const RegionalFormat &f);
// Graph text lines of one separator and one set of regional settings, each with its CR LF line end.
// Keeps the last date's text, so consecutive points of one day cost no date formatting. The
// export writes through it, and so can a caller that appends a live recording line by line.
class GraphLineFormatter {
public:
    explicit GraphLineFormatter(char separator, RegionalFormat format = RegionalFormat::current());
    void append(QByteArray &out, TDateTime x, float level);
    // Writes one line to an open device; false when the device did not take all of it.
    bool write(QIODevice &device, TDateTime x, float level);
    char separator() const { return m_sep; }

private:
    char m_sep;
    RegionalFormat m_format;
    qint64 m_day = 0;
    bool m_haveDay = false;
    QByteArray m_dayText, m_line;
};

// Level in fixed point with one decimal and the decimal separator ("56,7").
QString levelText(float level, const RegionalFormat &f);

// "date time" text of a table row to TDateTime: the short date format, blanks, hours with optional
// minutes, seconds and milliseconds (an integer count after the decimal separator or a point, the
// form the graph text file writes), optional AM/PM.
std::optional<TDateTime> textToDateTime(std::string_view utf8, const RegionalFormat &f);
// A decimal number with the decimal separator.
std::optional<double> textToNumber(std::string_view utf8, const RegionalFormat &f);
