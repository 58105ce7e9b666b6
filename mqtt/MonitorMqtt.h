#pragma once
// A running monitor published to an MQTT broker: every sample as a live level, every finished
// period and every event as durable messages, and first of all what earlier runs left
// unacknowledged in the folder. Attached to the monitor's hooks (after those already there), so
// the monitor knows nothing of it.
#include "mqtt/MqttPublisher.h"

#include <memory>

class MonitorCore;

class MonitorMqtt {
public:
    // Attach after the monitor has started, so the start event and any rows its restart rebuilt
    // are in the folder and go out with the backlog.
    MonitorMqtt(const MqttSettings &settings, const QString &dir, MonitorCore &core, MqttPublisher::Report report);
    ~MonitorMqtt();
    // After the monitor has stopped: waits a little for the last acknowledgements, says offline
    // and reports what is kept in the folder for later.
    void finish();

private:
    QString m_dir;
    MqttPublisher::Report m_report;
    std::unique_ptr<MqttPublisher> m_publisher;
    bool m_finished = false;
};

// The client id of a node's monitor (the one-off upload of a folder uses another, so both can run).
QByteArray monitorClientId(const MqttSettings &settings);
