#include "monitor/MonitorCore.h"

#include <QDir>
#include <string_view>

namespace {
const QByteArray kEventsHeader = QByteArrayLiteral("time,event,detail");
}

MonitorCore::MonitorCore(MonitorConfig config, Clock &clock)
    : m_config(std::move(config)),
      m_journal(clock, m_config.dir),
      m_events(clock, kEventsHeader),
      m_stats(m_config.periodS, m_config.intervalMs),
      m_periods(m_config.dir),
      m_days(m_config.dir)
{
    if (m_config.warnTenths)
        m_spells.emplace_back("warning", *m_config.warnTenths, m_config.holdMs);
    if (m_config.alarmTenths)
        m_spells.emplace_back("alarm", *m_config.alarmTenths, m_config.holdMs);
    m_stats.periodFinished = [this](const FinishedPeriod &p) { onPeriod(p); };
    m_stats.dayFinished = [this](const FinishedDay &d) { onDay(d); };
}

MonitorCore::~MonitorCore() = default;

MonitorError MonitorCore::record(MonitorError e)
{
    if (e && !m_error)
        m_error = e;
    return m_error;
}

void MonitorCore::onPeriod(const FinishedPeriod &p)
{
    if (m_error)
        return;
    record(m_periods.put(p.day, p.start, p.row));
    if (!m_replaying && periodFinished)
        periodFinished(p);
}

void MonitorCore::onDay(const FinishedDay &d)
{
    m_days.put(d.day, d.row);
    if (!m_error)
        record(m_days.commit());
    if (!m_error && !m_replaying && dayFinished)
        dayFinished(d);
}

void MonitorCore::writeEvent(const MonitorEvent &e)
{
    if (m_error)
        return;
    const qint64 day = e.time.localDay();
    if (day != m_eventsDay || !m_events.isOpen()) {
        if (record(m_events.open(MonitorFiles::eventsFileName(m_config.dir, day))))
            return;
        m_eventsDay = day;
    }
    QByteArray line;
    MonitorText::appendStamp(line, e.time);
    line += ',' + e.name + ',' + e.detail;
    if (record(m_events.append(line)))
        return;
    if (eventOccurred)
        eventOccurred(e);
}

void MonitorCore::replay()
{
    const QStringList journals = Journal::files(m_config.dir);
    if (journals.isEmpty())
        return;
    bool ours = true;
    if (record(cutTornLine(journals.last(), Journal::Header, ours)))
        return;
    m_replaying = true;
    if (journals.size() > 1) {
        JournalReader before(journals[journals.size() - 2]);
        Sample s, last;
        bool any = false;
        while (before.next(s)) {
            last = s;
            any = true;
        }
        if (any)
            m_stats.prime(last);
    }
    JournalReader reader(journals.last());
    Sample s;
    while (reader.next(s))
        m_stats.add(s);
    m_replaying = false;
}

MonitorError MonitorCore::start(const Stamp &now)
{
    if (!QDir().mkpath(m_config.dir))
        return record({MonitorError::Kind::WriteFailed, m_config.dir, QStringLiteral("the folder cannot be created")});
    if (record(m_days.load()))
        return m_error;
    replay();
    m_stats.tick(now);
    m_running = true;
    QByteArray detail("interval ");
    MonitorText::appendFixed1(detail, double(m_config.intervalMs) / 1000.0);
    detail += " s period " + QByteArray::number(m_config.periodS) + " s";
    writeEvent({now, "start", detail, std::nullopt});
    return m_error;
}

MonitorError MonitorCore::addSample(const Sample &s)
{
    if (m_error || !m_running)
        return m_error;
    if (record(m_journal.append(s)))
        return m_error;
    m_stats.add(s);
    if (sampleTaken)
        sampleTaken(s);
    // A change of the meter's weighting or response mid-run.
    auto changed = [&](const char *before, const char *now) {
        if (std::string_view(before) != now)
            writeEvent({s.time, "weighting", QByteArray(before) + "->" + now, s.tenths});
    };
    if (m_last) {
        changed(MonitorText::weightingText(m_last->weighting), MonitorText::weightingText(s.weighting));
        changed(MonitorText::responseText(m_last->response), MonitorText::responseText(s.response));
    }
    m_last = s;
    for (AlarmSpell &spell : m_spells) {
        if (const auto e = spell.add(s))
            writeEvent(*e);
    }
    return m_error;
}

void MonitorCore::endSpells(const Stamp &t)
{
    for (auto it = m_spells.rbegin(); it != m_spells.rend(); ++it) {
        if (const auto e = it->interrupt(t))
            writeEvent(*e);
    }
}

MonitorError MonitorCore::connectionLost(const Stamp &t, const QByteArray &detail)
{
    if (m_error || !m_running)
        return m_error;
    endSpells(t);
    writeEvent({t, "lost", detail, std::nullopt});
    return m_error;
}

MonitorError MonitorCore::connectionResumed(const Stamp &t)
{
    if (m_error || !m_running)
        return m_error;
    writeEvent({t, "resumed", {}, std::nullopt});
    return m_error;
}

MonitorError MonitorCore::tick(const Stamp &now)
{
    if (m_error || !m_running)
        return m_error;
    m_stats.tick(now);
    record(m_journal.syncIfDue());
    return m_error;
}

MonitorError MonitorCore::stop(const Stamp &now)
{
    if (!m_running)
        return m_error;
    m_running = false;
    endSpells(now);
    m_stats.finish();
    if (!m_error)
        record(m_days.commit());
    writeEvent({now, "stop", {}, std::nullopt});
    m_journal.close();
    m_events.close();
    return m_error;
}
