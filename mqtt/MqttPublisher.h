#pragma once
// Publishes to an MQTT broker from a thread of its own, so whoever hands it messages never waits
// for the network. Periods and events (durable messages, QoS 1) go out in the order they were
// handed over; each is noted in the folder's acknowledgement files when the broker acknowledges
// it, and what was not acknowledged when a connection ends is sent again, first, on the next one.
// Live levels (QoS 0) are sent while connected and dropped otherwise.
//
// A connection that fails (a host that does not resolve, a broker that is down or refuses the
// login, a TLS file that cannot be read) is reported once per reason and tried again after a
// delay that doubles up to a minute. Each connection is a fresh client, so the library never
// resends on its own what this queue resends.
#include "mqtt/MqttOutbox.h"
#include "mqtt/MqttSettings.h"

#include <functional>
#include <memory>

class MqttPublisher {
public:
    struct Options {
        QByteArray clientId;
        // The node's status (retained "online", "offline" as the last will and on a clean stop)
        // and its Home Assistant discovery, on every connection.
        bool announce = true;
        // false: the first failed or lost connection ends the publishing (for a one-off upload).
        bool keepTrying = true;
    };
    using Report = std::function<void(const QString &)>;

    // report is called from the publishing thread.
    MqttPublisher(const MqttSettings &settings, const QString &dir, Options options, Report report);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher &) = delete;
    MqttPublisher &operator=(const MqttPublisher &) = delete;

    void add(MqttMessage m);
    void start();
    // Durable messages handed over and not yet acknowledged.
    int unacknowledged() const;
    // Waits until every durable message is acknowledged (true), or the publishing has ended
    // without that (false: the connection failed without keepTrying).
    bool waitDelivered();
    // Stops: while connected, waits up to waitMs for the outstanding acknowledgements, then says
    // offline and disconnects. Returns the durable messages not acknowledged.
    int finish(int waitMs);

    struct State;

private:
    std::shared_ptr<State> m_state;
};
