#include "monitor/StatisticsStream.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kDayMs = 86400000;
enum DayPart { DayTime, Evening, Night };

DayPart partOf(const Stamp &t)
{
    const qint64 hour = t.localMsOfDay() / 3600000;
    if (hour >= 7 && hour < 19)
        return DayTime;
    if (hour >= 19 && hour < 23)
        return Evening;
    return Night;
}

qint64 overlap(qint64 a0, qint64 a1, qint64 b0, qint64 b1) { return std::max<qint64>(0, std::min(a1, b1) - std::max(a0, b0)); }

// Length of a local calendar day in ms: 23 or 25 hours on the days the clock changes.
qint64 dayLengthMs(qint64 day)
{
    const QDate d = MonitorText::dayDate(day);
    const qint64 ms = d.startOfDay().msecsTo(d.addDays(1).startOfDay());
    return ms > 0 ? ms : kDayMs;
}

void appendCoverage(QByteArray &out, qint64 coveredMs, qint64 spanMs)
{
    MonitorText::appendFixed1(out, std::min(100.0, 100.0 * double(coveredMs) / double(spanMs)));
}

} // namespace

double denLevel(double ld, double le, double ln)
{
    return 10.0 * std::log10((12.0 * std::pow(10.0, ld / 10.0) + 4.0 * std::pow(10.0, (le + 5.0) / 10.0)
                              + 8.0 * std::pow(10.0, (ln + 10.0) / 10.0))
                             / 24.0);
}

struct StatisticsStream::Period {
    qint64 day = 0;
    qint64 index = 0;
    qint32 offsetS = 0;
    qint64 startUtc = 0, endUtc = 0;
    qint64 coveredMs = 0;
    LevelHistogram levels;

    bool holds(const Stamp &t, int periodS) const
    {
        return t.localDay() == day && t.localMsOfDay() / (qint64(periodS) * 1000) == index && t.offsetS == offsetS;
    }
    QByteArray startText() const
    {
        QByteArray s;
        MonitorText::appendStamp(s, {startUtc, offsetS}, false);
        return s;
    }
};

struct StatisticsStream::Day {
    qint64 day = 0;
    qint64 coveredMs = 0;
    LevelHistogram levels;
    double partEnergy[3] = {0, 0, 0};
    qint64 partCount[3] = {0, 0, 0};
};

StatisticsStream::StatisticsStream(int periodS, qint64 intervalMs)
    : m_periodS(periodS), m_capMs(intervalMs + kCoverToleranceMs) {}

StatisticsStream::~StatisticsStream() = default;

void StatisticsStream::prime(const Sample &s)
{
    m_prev = s;
    m_havePrev = true;
    m_prevCovered = false;
}

void StatisticsStream::addCover(qint64 from, qint64 to)
{
    if (!m_period)
        return;
    const qint64 ms = overlap(from, to, m_period->startUtc, m_period->endUtc);
    m_period->coveredMs += ms;
}

void StatisticsStream::add(const Sample &s)
{
    const qint64 coverEnd = m_havePrev ? m_prev.time.utcMs + std::clamp<qint64>(s.time.utcMs - m_prev.time.utcMs, 0, m_capMs) : 0;
    const bool samePeriod = m_period && m_period->holds(s.time, m_periodS);
    if (m_havePrev && !m_prevCovered)
        addCover(m_prev.time.utcMs, coverEnd);
    if (!samePeriod) {
        closePeriod();
        if (m_day && m_day->day != s.time.localDay())
            closeDay();
        const qint64 periodMs = qint64(m_periodS) * 1000;
        m_period = std::make_unique<Period>();
        m_period->day = s.time.localDay();
        m_period->index = s.time.localMsOfDay() / periodMs;
        m_period->offsetS = s.time.offsetS;
        m_period->startUtc = m_period->day * kDayMs + m_period->index * periodMs - qint64(s.time.offsetS) * 1000;
        m_period->endUtc = m_period->startUtc + periodMs;
        // What the previous sample covers beyond its own period belongs to this one.
        if (m_havePrev)
            addCover(m_prev.time.utcMs, coverEnd);
    }
    if (!m_day) {
        m_day = std::make_unique<Day>();
        m_day->day = s.time.localDay();
    }
    m_period->levels.add(s.tenths);
    m_day->levels.add(s.tenths);
    const DayPart part = partOf(s.time);
    m_day->partEnergy[part] += LevelHistogram::energy(s.tenths);
    ++m_day->partCount[part];
    m_prev = s;
    m_havePrev = true;
    m_prevCovered = false;
}

void StatisticsStream::tick(const Stamp &now)
{
    if (m_havePrev && !m_prevCovered && now.utcMs - m_prev.time.utcMs >= m_capMs) {
        addCover(m_prev.time.utcMs, m_prev.time.utcMs + m_capMs);
        m_prevCovered = true;
    }
    if (m_prevCovered && m_period && now.utcMs >= m_period->endUtc) {
        closePeriod();
        if (m_day && m_day->day != now.localDay())
            closeDay();
    }
}

void StatisticsStream::finish()
{
    if (m_havePrev && !m_prevCovered) {
        addCover(m_prev.time.utcMs, m_prev.time.utcMs + m_capMs);
        m_prevCovered = true;
    }
    closePeriod();
    closeDay();
}

QByteArray StatisticsStream::openPeriodRow() const
{
    if (!m_period)
        return {};
    const Period &p = *m_period;
    const LevelHistogram &h = p.levels;
    QByteArray row = p.startText();
    row.append(',');
    MonitorText::appendStamp(row, {p.endUtc, p.offsetS}, false);
    row.append(',');
    row.append(QByteArray::number(h.count()));
    row.append(',');
    appendCoverage(row, p.coveredMs, p.endUtc - p.startUtc);
    row.append(',');
    MonitorText::appendFixed1(row, h.leq());
    row.append(',');
    MonitorText::appendTenths(row, h.maximum());
    row.append(',');
    MonitorText::appendTenths(row, h.minimum());
    for (double n : {5.0, 10.0, 50.0, 90.0, 95.0}) {
        row.append(',');
        MonitorText::appendFixed1(row, h.exceeded(n));
    }
    return row;
}

void StatisticsStream::closePeriod()
{
    if (!m_period)
        return;
    FinishedPeriod f{m_period->day, m_period->startText(), openPeriodRow()};
    if (m_day && m_day->day == m_period->day)
        m_day->coveredMs += m_period->coveredMs;
    m_period.reset();
    if (periodFinished)
        periodFinished(f);
}

void StatisticsStream::closeDay()
{
    if (!m_day)
        return;
    const Day &d = *m_day;
    const LevelHistogram &h = d.levels;
    QByteArray row = MonitorText::dayText(d.day);
    row.append(',');
    row.append(QByteArray::number(h.count()));
    row.append(',');
    appendCoverage(row, d.coveredMs, dayLengthMs(d.day));
    row.append(',');
    MonitorText::appendFixed1(row, h.leq());
    double parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        row.append(',');
        if (d.partCount[i] > 0) {
            parts[i] = 10.0 * std::log10(d.partEnergy[i] / double(d.partCount[i]));
            MonitorText::appendFixed1(row, parts[i]);
        }
    }
    row.append(',');
    if (d.partCount[DayTime] > 0 && d.partCount[Evening] > 0 && d.partCount[Night] > 0)
        MonitorText::appendFixed1(row, denLevel(parts[DayTime], parts[Evening], parts[Night]));
    row.append(',');
    MonitorText::appendTenths(row, h.maximum());
    row.append(',');
    MonitorText::appendFixed1(row, h.exceeded(90));
    const FinishedDay f{d.day, row};
    m_day.reset();
    if (dayFinished)
        dayFinished(f);
}
