#include "mqtt/MqttSettings.h"

#include <QSysInfo>
#include <QtGlobal>
#include <charconv>

namespace MqttNames {
QByteArray topicSafe(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char l = c.toLatin1();
        const bool keep = (l >= 'a' && l <= 'z') || (l >= 'A' && l <= 'Z') || (l >= '0' && l <= '9') || l == '_' || l == '-';
        out += keep ? l : '_';
    }
    return out.isEmpty() ? QByteArrayLiteral("k352") : out;
}
} // namespace MqttNames

QByteArray MqttSettings::effectiveNode() const
{
    return node.isEmpty() ? MqttNames::topicSafe(QSysInfo::machineHostName()) : node;
}

QByteArray MqttSettings::topicPrefix() const
{
    return prefix.isEmpty() ? "k352/" + effectiveNode() : prefix;
}

bool MqttSettings::isOption(const QString &name)
{
    return name == QLatin1String("--mqtt") || name == QLatin1String("--mqtt-topic") || name == QLatin1String("--mqtt-id")
        || name == QLatin1String("--mqtt-tls");
}

QString MqttSettings::apply(const QString &name, const QString &value)
{
    if (name == QLatin1String("--mqtt")) {
        // HOST, HOST:PORT, [IPv6]:PORT
        QString h = value;
        QString portText;
        if (h.startsWith('[')) {
            const int close = h.indexOf(']');
            if (close < 0)
                return QStringLiteral("--mqtt: no closing ] in %1").arg(value);
            portText = h.mid(close + 1);
            h = h.mid(1, close - 1);
            if (!portText.isEmpty() && !portText.startsWith(':'))
                return QStringLiteral("--mqtt: HOST[:PORT] expected, not %1").arg(value);
            portText = portText.mid(1);
        } else if (h.count(':') == 1) {
            portText = h.section(':', 1);
            h = h.section(':', 0, 0);
        }
        if (h.isEmpty())
            return QStringLiteral("--mqtt needs a host name");
        port = 0;
        if (!portText.isNull()) {
            const QByteArray b = portText.toLatin1();
            const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), port);
            if (b.isEmpty() || ec != std::errc() || p != b.data() + b.size() || port < 1 || port > 65535)
                return QStringLiteral("--mqtt: the port must be a number from 1 to 65535, not %1").arg(portText);
        }
        host = h;
    } else if (name == QLatin1String("--mqtt-topic")) {
        QString t = value;
        while (t.endsWith('/'))
            t.chop(1);
        if (t.isEmpty() || t.contains('+') || t.contains('#') || t.contains(QChar(0)))
            return QStringLiteral("--mqtt-topic must be a topic without + or #, not \"%1\"").arg(value);
        prefix = t.toUtf8();
    } else if (name == QLatin1String("--mqtt-id")) {
        if (value.isEmpty() || MqttNames::topicSafe(value) != value.toLatin1())
            return QStringLiteral("--mqtt-id may hold letters, digits, _ and - only, not \"%1\"").arg(value);
        node = value.toLatin1();
    } else if (name == QLatin1String("--mqtt-tls")) {
        if (value.isEmpty())
            return QStringLiteral("--mqtt-tls needs the CA certificate file");
        tlsCaFile = value;
    } else {
        return QStringLiteral("unknown option: %1").arg(name);
    }
    return {};
}

QString MqttSettings::finish()
{
    if (!enabled() && (!prefix.isEmpty() || !node.isEmpty() || !tlsCaFile.isEmpty()))
        return QStringLiteral("--mqtt-topic, --mqtt-id and --mqtt-tls need --mqtt HOST[:PORT]");
    user = qgetenv("K352_MQTT_USER");
    password = qgetenv("K352_MQTT_PASSWORD");
    if (user.isEmpty() && !password.isEmpty())
        return QStringLiteral("K352_MQTT_PASSWORD is set without K352_MQTT_USER");
    return {};
}
