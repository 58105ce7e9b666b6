#pragma once
// The monitor without its meter link or window: takes samples and connection events, and keeps
// the journal, the period and day statistics, the alarm spells and their files in a folder. The
// sampler on the meter session and the monitoring window only feed it.
#include "monitor/AlarmSpell.h"
#include "monitor/AppendFile.h"
#include "monitor/Journal.h"
#include "monitor/MonitorEvent.h"
#include "monitor/RowFiles.h"
#include "monitor/StatisticsStream.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Clock;

struct MonitorConfig {
    QString dir;
    qint64 intervalMs = 1000;
    int periodS = 900;
    std::optional<int> warnTenths;
    std::optional<int> alarmTenths;
    qint64 holdMs = 0;
};

class MonitorCore {
public:
    MonitorCore(MonitorConfig config, Clock &clock);
    ~MonitorCore();

    // Each call returns the first file error met; after one the monitor writes nothing more.
    //
    // Opens the folder (created when missing), repairs the latest journal and takes up its
    // statistics where they stood, so that a period left open by the previous run continues.
    MonitorError start(const Stamp &now);
    MonitorError addSample(const Sample &s);
    // detail: why, when known (a command that holds the port).
    MonitorError connectionLost(const Stamp &t, const QByteArray &detail = {});
    MonitorError connectionResumed(const Stamp &t);
    // Time passes: finishes periods that have ended and syncs the journal when it is due.
    MonitorError tick(const Stamp &now);
    // Closes the open period and day and writes the stop event.
    MonitorError stop(const Stamp &now);

    std::function<void(const MonitorEvent &)> eventOccurred;
    std::function<void(const FinishedPeriod &)> periodFinished;
    // Every sample written to the journal, and every day whose row days.csv now holds.
    std::function<void(const Sample &)> sampleTaken;
    std::function<void(const FinishedDay &)> dayFinished;

    int journalSyncs() const { return m_journal.syncCount(); }

private:
    MonitorError record(MonitorError e);
    void writeEvent(const MonitorEvent &e);
    void endSpells(const Stamp &t);
    void replay();
    void onPeriod(const FinishedPeriod &p);
    void onDay(const FinishedDay &d);

    MonitorConfig m_config;
    JournalWriter m_journal;
    AppendFile m_events;
    qint64 m_eventsDay = -1;
    StatisticsStream m_stats;
    PeriodsFile m_periods;
    DaysFile m_days;
    std::vector<AlarmSpell> m_spells;
    std::optional<Sample> m_last;
    bool m_replaying = false;
    bool m_running = false;
    MonitorError m_error;
};
