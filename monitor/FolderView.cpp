#include "monitor/FolderView.h"

#include "monitor/Journal.h"
#include "monitor/RowFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const QByteArray kEventsHeader = QByteArrayLiteral("time,event,detail");

} // namespace

namespace MonitorFolder {

std::vector<qint64> days(const QString &dir)
{
    std::vector<qint64> out;
    for (const QString &path : Journal::files(dir)) {
        const QDate d = QDate::fromString(QFileInfo(path).fileName().left(10), Qt::ISODate);
        if (d.isValid())
            out.push_back(MonitorText::dayOfDate(d));
    }
    return out;
}

bool isFolderFile(const QString &path)
{
    static const QRegularExpression dayFile(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.(samples|periods|events)\\.csv$"));
    const QString name = QFileInfo(path).fileName();
    QByteArray header;
    if (name == QLatin1String("days.csv"))
        header = MonitorFiles::DaysHeader;
    else if (const auto m = dayFile.match(name); m.hasMatch())
        header = m.captured(1) == QLatin1String("samples") ? Journal::Header
                 : m.captured(1) == QLatin1String("periods") ? MonitorFiles::PeriodsHeader
                                                             : kEventsHeader;
    else
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readLine(header.size() + 2) == header + '\n';
}

CsvRows readRows(const QString &path, const QByteArray &header)
{
    QList<QByteArray> lines;
    CsvRows rows;
    if (MonitorFiles::readRows(path, header, lines))
        return rows;
    const int fields = int(header.count(',')) + 1;
    for (const QByteArray &line : std::as_const(lines)) {
        QList<QByteArray> f = line.split(',');
        if (f.size() == fields)
            rows << f;
    }
    return rows;
}

std::optional<std::pair<int, qint64>> startSettings(const CsvRows &events)
{
    // "interval 1.0 s period 900 s"
    for (auto it = events.crbegin(); it != events.crend(); ++it) {
        if (it->at(1) != "start")
            continue;
        const QList<QByteArray> w = it->at(2).split(' ');
        bool okInterval = false, okPeriod = false;
        if (w.size() < 6 || w[0] != "interval" || w[3] != "period")
            continue;
        const double interval = w[1].toDouble(&okInterval); // QByteArray::toDouble ignores the locale
        const int period = w[4].toInt(&okPeriod);
        if (okInterval && okPeriod && interval > 0 && period > 0 && 86400 % period == 0)
            return std::pair{period, qint64(std::llround(interval * 1000))};
    }
    return std::nullopt;
}

} // namespace MonitorFolder

void DayEnvelope::reset(qint64 day, int binS)
{
    m_day = day;
    m_binS = std::max(1, binS);
    // 25 hours: the hour that repeats when summer time ends lies on the same local clock times,
    // but a bin past 24:00 costs nothing.
    const size_t n = size_t((86400 + m_binS - 1) / m_binS);
    m_min.assign(n, std::numeric_limits<float>::quiet_NaN());
    m_max.assign(n, std::numeric_limits<float>::quiet_NaN());
    m_samples = 0;
}

void DayEnvelope::add(const Sample &s)
{
    if (s.time.localDay() != m_day)
        return;
    const size_t bin = size_t(s.time.localMsOfDay() / (qint64(m_binS) * 1000));
    if (bin >= m_min.size())
        return;
    const float v = float(s.tenths) / 10.0f;
    float &lo = m_min[bin], &hi = m_max[bin];
    if (std::isnan(lo) || v < lo)
        lo = v;
    if (std::isnan(hi) || v > hi)
        hi = v;
    ++m_samples;
}

bool JournalTail::read(const std::function<void(const Sample &)> &f)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // not there yet
    if (file.size() < m_offset)
        m_offset = 0; // replaced by a shorter file: read it again
    if (!m_checked) {
        const QByteArray first = file.readLine(Journal::Header.size() + 2);
        if (!first.endsWith('\n'))
            return Journal::Header.startsWith(first); // a header still being written
        if (first != Journal::Header + '\n')
            return false;
        m_checked = true;
        m_offset = std::max<qint64>(m_offset, first.size());
    }
    // The file mapped, not copied: a day at ten samples a second is some 40 MB.
    const qint64 size = file.size() - m_offset;
    if (size <= 0)
        return true;
    const uchar *data = file.map(m_offset, size);
    if (!data)
        return true;
    const char *p = reinterpret_cast<const char *>(data);
    const char *end = p + size;
    for (const char *lf; (lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); p = lf + 1) {
        if (const auto s = MonitorText::parseSampleLine(std::string_view(p, size_t(lf - p))))
            f(*s);
    }
    m_offset += p - reinterpret_cast<const char *>(data); // a line still being written waits
    file.unmap(const_cast<uchar *>(data));
    return true;
}

FolderView::FolderView(QString dir, int periodS, qint64 intervalMs)
    : m_dir(std::move(dir)), m_periodS(periodS), m_intervalMs(intervalMs)
{
    m_envelope.reset(Stamp::now().localDay(), 30);
}

FolderView::~FolderView() = default;

void FolderView::restartOpenPeriod()
{
    m_open = std::make_unique<StatisticsStream>(m_periodS, m_intervalMs);
}

void FolderView::track(const Sample &s)
{
    if (!m_open)
        restartOpenPeriod();
    m_open->add(s);
    m_last = s;
}

void FolderView::showDay(std::optional<qint64> day)
{
    m_days = MonitorFolder::days(m_dir);
    const qint64 d = day ? *day : m_days.empty() ? Stamp::now().localDay() : m_days.back();
    m_events = MonitorFolder::readRows(MonitorFiles::eventsFileName(m_dir, d), kEventsHeader);
    if (const auto settings = MonitorFolder::startSettings(m_events); settings && m_tailPath.isEmpty()) {
        m_periodS = settings->first;
        m_intervalMs = settings->second;
    }
    // Bins of at least two intervals, so that a run without gaps draws without gaps.
    m_envelope.reset(d, int(std::max<qint64>(30, (2 * m_intervalMs + 999) / 1000)));
    const QString path = Journal::fileName(m_dir, d);
    const bool latest = m_days.empty() || d >= m_days.back();
    if (latest && path != m_tailPath && (m_following || m_tailPath.isEmpty())) {
        m_tail = JournalTail(path);
        m_tailPath = path;
        if (!m_last || m_last->time.localDay() != d)
            restartOpenPeriod();
        m_tail.read([this](const Sample &s) {
            m_envelope.add(s);
            track(s);
        });
    } else {
        JournalTail(path).read([this](const Sample &s) { m_envelope.add(s); });
    }
    m_periods = MonitorFolder::readRows(MonitorFiles::periodsFileName(m_dir, d), MonitorFiles::PeriodsHeader);
    m_dayRows = MonitorFolder::readRows(MonitorFiles::daysFileName(m_dir), MonitorFiles::DaysHeader);
    for (Stamped *seen : {&m_periodsSeen, &m_eventsSeen, &m_daysSeen})
        *seen = {};
    changed(MonitorFiles::periodsFileName(m_dir, d), m_periodsSeen);
    changed(MonitorFiles::eventsFileName(m_dir, d), m_eventsSeen);
    changed(MonitorFiles::daysFileName(m_dir), m_daysSeen);
}

void FolderView::addSample(const Sample &s)
{
    if (s.time.localDay() == m_envelope.day())
        m_envelope.add(s);
    track(s);
}

bool FolderView::changed(const QString &path, Stamped &seen) const
{
    const QFileInfo info(path);
    const Stamped now{info.exists() ? info.lastModified() : QDateTime(), info.exists() ? info.size() : -1};
    if (now.modified == seen.modified && now.size == seen.size)
        return false;
    seen = now;
    return true;
}

int FolderView::refresh(bool follow)
{
    int mask = Nothing;
    const std::vector<qint64> days = MonitorFolder::days(m_dir);
    if (days != m_days) {
        const bool wasLatest = showingLatest();
        const bool newDay = !days.empty() && (m_days.empty() || days.back() > m_days.back());
        m_days = days;
        mask |= DayList;
        if (newDay && follow && !m_tailPath.isEmpty())
            m_tail.read([this](const Sample &s) { track(s); }); // the rest of the day before
        if (newDay && wasLatest) {
            showDay(days.back());
            return mask | Samples | Periods | Events | Days;
        }
    }
    if (follow && !m_tailPath.isEmpty()) {
        bool any = false;
        m_tail.read([&](const Sample &s) {
            if (s.time.localDay() == m_envelope.day())
                m_envelope.add(s);
            track(s);
            any = true;
        });
        if (any)
            mask |= Samples;
    }
    const qint64 d = m_envelope.day();
    if (changed(MonitorFiles::periodsFileName(m_dir, d), m_periodsSeen)) {
        m_periods = MonitorFolder::readRows(MonitorFiles::periodsFileName(m_dir, d), MonitorFiles::PeriodsHeader);
        mask |= Periods;
    }
    if (changed(MonitorFiles::eventsFileName(m_dir, d), m_eventsSeen)) {
        m_events = MonitorFolder::readRows(MonitorFiles::eventsFileName(m_dir, d), kEventsHeader);
        mask |= Events;
    }
    if (changed(MonitorFiles::daysFileName(m_dir), m_daysSeen)) {
        m_dayRows = MonitorFolder::readRows(MonitorFiles::daysFileName(m_dir), MonitorFiles::DaysHeader);
        mask |= Days;
    }
    return mask;
}

void FolderView::tick(const Stamp &now)
{
    if (m_open)
        m_open->tick(now);
}

QByteArray FolderView::openPeriodRow() const
{
    return m_open ? m_open->openPeriodRow() : QByteArray();
}
