#include "realtime/RecordingJournal.h"
#include "app/IsoText.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <string_view>
#include <unistd.h>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kSyncEveryMs = 1000;

// The local date and time of a TDateTime as written, without going through a time zone: the
// value is a local time already.
void appendTime(QByteArray &out, TDateTime t)
{
    qint64 ms = std::llround(t * double(kMsPerDay));
    const qint64 days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
    ms -= days * kMsPerDay;
    const QDate d = kEpoch.addDays(days);
    IsoText::appendDateTime(out, d.year(), d.month(), d.day(), ms, true);
}

template <typename T> bool parseNumber(std::string_view s, T &v)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "2026-12-09T14:03:07.250"
std::optional<TDateTime> parseTime(std::string_view s)
{
    if (s.size() != 23 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':' || s[19] != '.')
        return std::nullopt;
    int y, mo, d, h, mi, sec, ms;
    if (!parseNumber(s.substr(0, 4), y) || !parseNumber(s.substr(5, 2), mo) || !parseNumber(s.substr(8, 2), d)
        || !parseNumber(s.substr(11, 2), h) || !parseNumber(s.substr(14, 2), mi) || !parseNumber(s.substr(17, 2), sec)
        || !parseNumber(s.substr(20, 3), ms))
        return std::nullopt;
    const QDate date(y, mo, d);
    if (!date.isValid() || h > 23 || mi > 59 || sec > 59)
        return std::nullopt;
    return double(kEpoch.daysTo(date)) + double(((h * 60 + mi) * 60 + sec) * 1000 + ms) / double(kMsPerDay);
}

} // namespace

RecordingJournal::~RecordingJournal()
{
    // A recording still open when the program ends without saving or discarding it stays behind:
    // that is what the journal is for.
    sync();
}

void RecordingJournal::begin(float rate, int count)
{
    discard();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return; // without a journal the recording still runs; it only cannot be brought back
    m_file.write(Header + '\n');
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, rate);
    m_suffix = ',' + QByteArray(buf, int(r.ptr - buf)) + ',' + QByteArray::number(count);
    m_file.flush();
    m_sinceSync.start();
}

void RecordingJournal::add(TDateTime t, float level)
{
    if (!m_file.isOpen())
        return;
    QByteArray line;
    appendTime(line, t);
    line.append(',');
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, level);
    line.append(buf, int(r.ptr - buf));
    line += m_suffix + '\n';
    m_file.write(line);
    m_file.flush();
    m_dirty = true;
    if (m_sinceSync.elapsed() >= kSyncEveryMs)
        sync();
}

void RecordingJournal::sync()
{
    if (m_dirty && m_file.isOpen()) {
        ::fsync(m_file.handle());
        m_dirty = false;
    }
    m_sinceSync.start();
}

void RecordingJournal::discard()
{
    m_file.close();
    m_dirty = false;
    QFile::remove(m_path);
}

std::optional<JournalRecording> RecordingJournal::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray all = f.readAll();
    if (!all.startsWith(Header + '\n'))
        return std::nullopt;
    JournalRecording rec;
    qsizetype at = Header.size() + 1;
    // Only whole lines: bytes after the last line end are a line that a crash cut short.
    for (qsizetype lf; (lf = all.indexOf('\n', at)) >= 0; at = lf + 1) {
        const std::string_view line(all.constData() + at, size_t(lf - at));
        const size_t c1 = line.find(','), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1);
        if (c3 == std::string_view::npos)
            continue;
        const auto t = parseTime(line.substr(0, c1));
        float level = 0, rate = 0;
        int count = 0;
        if (!t || !parseNumber(line.substr(c1 + 1, c2 - c1 - 1), level) || !std::isfinite(level)
            || !parseNumber(line.substr(c2 + 1, c3 - c2 - 1), rate) || !(rate > 0)
            || !parseNumber(line.substr(c3 + 1), count) || count < 1)
            continue;
        rec.x.push_back(*t);
        rec.y.push_back(level);
        rec.rate = rate;
        rec.count = count;
    }
    if (rec.x.empty())
        return std::nullopt;
    return rec;
}
