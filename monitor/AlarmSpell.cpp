#include "monitor/AlarmSpell.h"

std::optional<MonitorEvent> AlarmSpell::add(const Sample &s)
{
    if (s.tenths < m_level) {
        if (!m_inSpell)
            return std::nullopt;
        const bool announced = m_announced;
        m_inSpell = m_announced = false;
        if (!announced)
            return std::nullopt;
        return endEvent(s.time, s.time.utcMs - m_first.time.utcMs);
    }
    if (!m_inSpell) {
        m_inSpell = true;
        m_first = s;
        m_max = s.tenths;
    }
    m_max = std::max(m_max, s.tenths);
    m_lastAbove = s.time;
    if (m_announced || s.time.utcMs - m_first.time.utcMs < m_holdMs)
        return std::nullopt;
    m_announced = true;
    QByteArray detail;
    MonitorText::appendTenths(detail, m_level);
    return MonitorEvent{m_first.time, m_name, detail, m_first.tenths};
}

std::optional<MonitorEvent> AlarmSpell::interrupt(const Stamp &t)
{
    const bool announced = m_inSpell && m_announced;
    m_inSpell = m_announced = false;
    if (!announced)
        return std::nullopt;
    return endEvent(t, m_lastAbove.utcMs - m_first.time.utcMs);
}

MonitorEvent AlarmSpell::endEvent(const Stamp &t, qint64 durationMs) const
{
    QByteArray detail("max ");
    MonitorText::appendTenths(detail, m_max);
    detail.append(" dB for ");
    MonitorText::appendFixed1(detail, double(durationMs) / 1000.0);
    detail.append(" s");
    return MonitorEvent{t, m_name + "-end", detail, m_max};
}
