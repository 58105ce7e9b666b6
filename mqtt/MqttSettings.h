#pragma once
// Where and how monitoring data is published to an MQTT broker: the broker, the topic prefix, the
// node's name, the login (from the environment, never from the command line) and TLS.
#include <QByteArray>
#include <QString>

struct MqttSettings {
    QString host;              // empty: no publishing
    int port = 0;              // 0: 1883, or 8883 with TLS
    QByteArray prefix;         // empty: k352/<node>
    QByteArray node;           // empty: the host name, made topic-safe
    QString tlsCaFile;         // empty: plain TCP
    QByteArray user, password; // K352_MQTT_USER / K352_MQTT_PASSWORD

    bool enabled() const { return !host.isEmpty(); }
    int effectivePort() const { return port ? port : (tlsCaFile.isEmpty() ? 1883 : 8883); }
    QByteArray effectiveNode() const;
    QByteArray topicPrefix() const;
    QByteArray topic(const char *leaf) const { return topicPrefix() + '/' + leaf; }
    QString brokerText() const { return host + ':' + QString::number(effectivePort()); }

    // Whether name is one of the --mqtt options (each takes a value).
    static bool isOption(const QString &name);
    // Takes one option and its value; an empty result, or the one-line reason it is refused.
    QString apply(const QString &name, const QString &value);
    // After the options: fills in the login from the environment; the reason when the options do
    // not fit together.
    QString finish();
};

namespace MqttNames {
// Letters, digits, '_' and '-' kept, everything else '_'; "k352" when nothing is left.
QByteArray topicSafe(const QString &text);
}
