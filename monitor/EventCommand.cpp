#include "monitor/EventCommand.h"

#include <QProcess>
#include <QTimer>

EventCommand::~EventCommand()
{
    // Deleting a running QProcess would kill it and wait for it. Cut it loose instead: it runs
    // on, and the system reaps it once this program has ended.
    for (QProcess *p : m_running)
        QObject::disconnect(p, nullptr, nullptr, nullptr);
}

void EventCommand::run(const MonitorEvent &e)
{
    QByteArray time;
    MonitorText::appendStamp(time, e.time);
    const QString what = QString::fromLatin1(e.name + " at " + time);
    if (m_running.size() >= MaxRunning) {
        m_report(QStringLiteral("--on-event: %1 commands still running; not run for %2").arg(MaxRunning).arg(what));
        return;
    }
    QByteArray level;
    if (e.tenths)
        MonitorText::appendTenths(level, *e.tenths);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("K352_EVENT"), QString::fromLatin1(e.name));
    env.insert(QStringLiteral("K352_TIME"), QString::fromLatin1(time));
    env.insert(QStringLiteral("K352_LEVEL"), QString::fromLatin1(level));
    env.insert(QStringLiteral("K352_DETAIL"), QString::fromLatin1(e.detail));

    auto *p = new QProcess;
    p->setProcessEnvironment(env);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto *hang = new QTimer(p);
    hang->setSingleShot(true);
    QObject::connect(hang, &QTimer::timeout, [this, what] {
        m_report(QStringLiteral("--on-event: the command for %1 is still running after %2 s; left behind")
                     .arg(what)
                     .arg(HangReportMs / 1000));
    });
    QObject::connect(p, &QProcess::finished, [this, p, what](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit)
            finished(p, QStringLiteral("--on-event: the command for %1 crashed").arg(what));
        else if (code != 0)
            finished(p, QStringLiteral("--on-event: the command for %1 failed with exit code %2").arg(what).arg(code));
        else
            finished(p, {});
    });
    QObject::connect(p, &QProcess::errorOccurred, [this, p, what](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished(p, QStringLiteral("--on-event: the command for %1 could not be started: %2").arg(what, p->errorString()));
    });
    m_running.insert(p);
    hang->start(HangReportMs);
    p->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), m_command});
}

void EventCommand::finished(QProcess *p, const QString &problem)
{
    if (!m_running.erase(p))
        return;
    if (!problem.isEmpty())
        m_report(problem);
    p->deleteLater();
}
