#pragma once
// One monitoring sample and the machine texts of the monitoring files: ISO 8601 local times with
// their UTC offset, levels with a point and one decimal, whatever the locale.
#include <QByteArray>
#include <QDate>
#include <QtGlobal>
#include <optional>
#include <string_view>

// An instant with the local clock's offset from UTC at that instant.
struct Stamp {
    qint64 utcMs = 0;
    qint32 offsetS = 0;

    qint64 localMs() const { return utcMs + qint64(offsetS) * 1000; }
    // Days since 1970-01-01 of the local date.
    qint64 localDay() const;
    // Milliseconds since local midnight.
    qint64 localMsOfDay() const { return localMs() - localDay() * 86400000; }
    // The current system time in the local time zone.
    static Stamp now();
};

enum class Weighting : quint8 { A, C };
enum class Response : quint8 { Fast, Slow };

struct Sample {
    Stamp time;
    int tenths = 0; // level in tenths of a dB, as the meter resolves it
    Weighting weighting = Weighting::A;
    Response response = Response::Fast;
};

namespace MonitorText {
// "2026-12-11T14:03:07.250+01:00" (withMs) or "2026-12-11T14:00:00+01:00".
void appendStamp(QByteArray &out, const Stamp &s, bool withMs = true);
std::optional<Stamp> parseStamp(std::string_view text); // the form with milliseconds
// "2026-12-11" of a day number since 1970-01-01.
QByteArray dayText(qint64 day);
QDate dayDate(qint64 day);
qint64 dayOfDate(const QDate &date);
// Tenths of a dB as "54.4" / "-0.3".
void appendTenths(QByteArray &out, int tenths);
std::optional<int> parseTenths(std::string_view text);
// A figure with one decimal ("54.4"), rounded.
void appendFixed1(QByteArray &out, double value);
const char *weightingText(Weighting w);
const char *responseText(Response r);

// The journal's line: "time,level,weighting,response" without the line end.
void appendSampleLine(QByteArray &out, const Sample &s);
std::optional<Sample> parseSampleLine(std::string_view line);
} // namespace MonitorText
