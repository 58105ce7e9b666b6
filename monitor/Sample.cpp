#include "monitor/Sample.h"
#include "app/IsoText.h"

#include <QDateTime>
#include <charconv>

namespace {

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Proleptic Gregorian calendar <-> day number since 1970-01-01.
void civilFromDays(qint64 z, int &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = floorDiv(z, 146097);
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = floorDiv(y, 400);
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

using IsoText::appendDigits;

bool digits(std::string_view t, size_t at, size_t width, int &value)
{
    value = 0;
    for (size_t i = at; i < at + width; ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        value = value * 10 + (t[i] - '0');
    }
    return true;
}

} // namespace

qint64 Stamp::localDay() const { return floorDiv(localMs(), 86400000); }

Stamp Stamp::now()
{
    const QDateTime t = QDateTime::currentDateTime();
    return {t.toMSecsSinceEpoch(), t.offsetFromUtc()};
}

namespace MonitorText {

QByteArray dayText(qint64 day)
{
    int y, m, d;
    civilFromDays(day, y, m, d);
    QByteArray out;
    IsoText::appendDate(out, y, m, d);
    return out;
}

QDate dayDate(qint64 day)
{
    int y, m, d;
    civilFromDays(day, y, m, d);
    return QDate(y, m, d);
}

qint64 dayOfDate(const QDate &date) { return daysFromCivil(date.year(), date.month(), date.day()); }

void appendStamp(QByteArray &out, const Stamp &s, bool withMs)
{
    const qint64 day = s.localDay();
    const qint64 ms = s.localMs() - day * 86400000;
    int y, m, d;
    civilFromDays(day, y, m, d);
    IsoText::appendDateTime(out, y, m, d, ms, withMs);
    const qint32 off = s.offsetS < 0 ? -s.offsetS : s.offsetS;
    out.append(s.offsetS < 0 ? '-' : '+');
    appendDigits(out, off / 3600, 2);
    out.append(':');
    appendDigits(out, off / 60 % 60, 2);
}

std::optional<Stamp> parseStamp(std::string_view t)
{
    // 2026-12-11T14:03:07.250+01:00
    if (t.size() != 29 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':'
        || t[19] != '.' || (t[23] != '+' && t[23] != '-') || t[26] != ':')
        return std::nullopt;
    int y, mo, d, h, mi, s, ms, oh, om;
    if (!digits(t, 0, 4, y) || !digits(t, 5, 2, mo) || !digits(t, 8, 2, d) || !digits(t, 11, 2, h)
        || !digits(t, 14, 2, mi) || !digits(t, 17, 2, s) || !digits(t, 20, 3, ms) || !digits(t, 24, 2, oh)
        || !digits(t, 27, 2, om))
        return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || oh > 18 || om > 59)
        return std::nullopt;
    Stamp st;
    st.offsetS = (oh * 3600 + om * 60) * (t[23] == '-' ? -1 : 1);
    const qint64 local = daysFromCivil(y, mo, d) * 86400000 + ((h * 60 + mi) * 60 + s) * 1000LL + ms;
    st.utcMs = local - qint64(st.offsetS) * 1000;
    return st;
}

void appendTenths(QByteArray &out, int tenths)
{
    if (tenths < 0) {
        out.append('-');
        tenths = -tenths;
    }
    appendDigits(out, tenths / 10, 1);
    out.append('.');
    out.append(char('0' + tenths % 10));
}

std::optional<int> parseTenths(std::string_view t)
{
    const bool negative = !t.empty() && t.front() == '-';
    if (negative)
        t.remove_prefix(1);
    const size_t dot = t.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 2 != t.size() || t.back() < '0' || t.back() > '9'
        || dot > 6)
        return std::nullopt;
    int whole;
    if (!digits(t, 0, dot, whole))
        return std::nullopt;
    const int v = whole * 10 + (t.back() - '0');
    return negative ? -v : v;
}

void appendFixed1(QByteArray &out, double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    // "-0.0" would read as a level below zero that never was.
    if (r.ptr - buf == 4 && std::string_view(buf, 4) == "-0.0")
        out.append("0.0");
    else
        out.append(buf, int(r.ptr - buf));
}

const char *weightingText(Weighting w) { return w == Weighting::A ? "A" : "C"; }
const char *responseText(Response r) { return r == Response::Fast ? "FAST" : "SLOW"; }

void appendSampleLine(QByteArray &out, const Sample &s)
{
    appendStamp(out, s.time);
    out.append(',');
    appendTenths(out, s.tenths);
    out.append(',');
    out.append(weightingText(s.weighting));
    out.append(',');
    out.append(responseText(s.response));
}

std::optional<Sample> parseSampleLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    const size_t c1 = line.find(',');
    const size_t c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
    const size_t c3 = c2 == std::string_view::npos ? c2 : line.find(',', c2 + 1);
    if (c3 == std::string_view::npos)
        return std::nullopt;
    Sample s;
    const auto time = parseStamp(line.substr(0, c1));
    const auto level = parseTenths(line.substr(c1 + 1, c2 - c1 - 1));
    const std::string_view w = line.substr(c2 + 1, c3 - c2 - 1);
    const std::string_view r = line.substr(c3 + 1);
    if (!time || !level || (w != "A" && w != "C") || (r != "FAST" && r != "SLOW"))
        return std::nullopt;
    s.time = *time;
    s.tenths = *level;
    s.weighting = w == "A" ? Weighting::A : Weighting::C;
    s.response = r == "FAST" ? Response::Fast : Response::Slow;
    return s;
}

} // namespace MonitorText
