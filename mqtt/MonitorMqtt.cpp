#include "mqtt/MonitorMqtt.h"

#include "monitor/MonitorCore.h"
#include "mqtt/MqttPayload.h"

namespace {
constexpr int kStopWaitMs = 3000;
}

QByteArray monitorClientId(const MqttSettings &settings)
{
    return "k352-" + settings.effectiveNode();
}

MonitorMqtt::MonitorMqtt(const MqttSettings &settings, const QString &dir, MonitorCore &core,
                         MqttPublisher::Report report)
    : m_dir(dir), m_report(std::move(report))
{
    m_publisher = std::make_unique<MqttPublisher>(settings, dir, MqttPublisher::Options{monitorClientId(settings), true, true},
                                                  m_report);
    const QByteArray prefix = settings.topicPrefix();
    QStringList problems;
    for (MqttMessage &m : MqttOutbox::pending(dir, prefix, problems))
        m_publisher->add(std::move(m));
    for (const QString &p : problems)
        m_report(QStringLiteral("mqtt: ") + p);

    MqttPublisher *pub = m_publisher.get();
    const QByteArray levelTopic = settings.topic("level");
    auto sampleBefore = std::move(core.sampleTaken);
    core.sampleTaken = [sampleBefore, pub, levelTopic](const Sample &s) {
        if (sampleBefore)
            sampleBefore(s);
        pub->add({levelTopic, MqttPayload::level(s), 0, false, -1, {}});
    };
    auto periodBefore = std::move(core.periodFinished);
    core.periodFinished = [periodBefore, pub, prefix](const FinishedPeriod &p) {
        if (periodBefore)
            periodBefore(p);
        pub->add(MqttOutbox::periodMessage(prefix, p.day, p.row));
    };
    auto eventBefore = std::move(core.eventOccurred);
    core.eventOccurred = [eventBefore, pub, prefix](const MonitorEvent &e) {
        if (eventBefore)
            eventBefore(e);
        pub->add(MqttOutbox::eventMessage(prefix, e.time.localDay(), MqttOutbox::eventRow(e)));
    };
    m_publisher->start();
}

MonitorMqtt::~MonitorMqtt()
{
    finish();
}

void MonitorMqtt::finish()
{
    // The publisher stays: the monitor's hooks still point at it, and it takes nothing more.
    if (m_finished)
        return;
    m_finished = true;
    const int left = m_publisher->finish(kStopWaitMs);
    if (left > 0)
        m_report(QStringLiteral("mqtt: %1 periods and events not acknowledged by the broker are kept in %2 for the "
                                "next run or `k352-cli publish %2`")
                     .arg(left)
                     .arg(m_dir));
}
