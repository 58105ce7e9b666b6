#pragma once
// Runs a user's command for every monitoring event, through /bin/sh -c, with the event in its
// environment: K352_EVENT, K352_TIME (ISO 8601 with milliseconds and UTC offset), K352_LEVEL (dB
// with a point, empty when the event has no level) and K352_DETAIL. The sampling never waits for
// it: the command starts and runs on its own; one that fails is reported when it ends, one that
// hangs is reported and left running. Its standard output is discarded (the caller's standard
// output is for data), its standard error passes through.
#include "monitor/MonitorEvent.h"

#include <QString>
#include <functional>
#include <set>

class QProcess;

class EventCommand {
public:
    // At most this many commands run at once; an event that finds them all busy is reported and
    // not handed on, so a hanging command cannot pile up processes.
    static constexpr int MaxRunning = 8;
    static constexpr int HangReportMs = 10000;

    EventCommand(QString command, std::function<void(const QString &)> report)
        : m_command(std::move(command)), m_report(std::move(report)) {}
    // Commands still running are left to finish on their own.
    ~EventCommand();

    void run(const MonitorEvent &e);
    int running() const { return int(m_running.size()); }

private:
    void finished(QProcess *p, const QString &problem);

    QString m_command;
    std::function<void(const QString &)> m_report;
    std::set<QProcess *> m_running;
};
