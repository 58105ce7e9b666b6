#pragma once
// A spell above a level: announced (`warning` or `alarm`) once the level has stayed at or above it
// for the hold time, with the time of the spell's first sample; ended (`warning-end`,
// `alarm-end`) by the first sample below it, with the spell's maximum and duration. A connection
// lost or a stop also ends an announced spell, since no sample says how it went on.
#include "monitor/MonitorEvent.h"

class AlarmSpell {
public:
    AlarmSpell(QByteArray name, int levelTenths, qint64 holdMs)
        : m_name(std::move(name)), m_level(levelTenths), m_holdMs(holdMs) {}

    std::optional<MonitorEvent> add(const Sample &s);
    // The samples stop (connection lost, stop) at time t.
    std::optional<MonitorEvent> interrupt(const Stamp &t);

private:
    MonitorEvent endEvent(const Stamp &t, qint64 durationMs) const;

    QByteArray m_name;
    int m_level;
    qint64 m_holdMs;
    bool m_inSpell = false;
    bool m_announced = false;
    Sample m_first;
    Stamp m_lastAbove;
    int m_max = 0;
};
