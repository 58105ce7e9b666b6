#include "mqtt/MqttPayload.h"

#include "monitor/StatisticsStream.h"

#include <charconv>

namespace MqttPayload {

QByteArray jsonString(const QByteArray &utf8)
{
    QByteArray out = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[(c >> 4) & 0xf];
                out += hex[c & 0xf];
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}

namespace {
// A figure of a monitoring file as a JSON number, as written; null when empty; a string when it
// is not a plain number.
QByteArray jsonNumber(const QByteArray &text)
{
    if (text.isEmpty())
        return "null";
    double v = 0;
    const char *end = text.constData() + text.size();
    const auto [p, ec] = std::from_chars(text.constData(), end, v);
    const bool plain = ec == std::errc() && p == end && text[0] != '+' && !text.startsWith('.')
        && !text.startsWith("-.") && !text.endsWith('.') && !text.contains("e") && !text.contains("E")
        && !text.contains("inf") && !text.contains("nan");
    return plain ? text : jsonString(text);
}
} // namespace

QByteArray level(const Sample &s)
{
    QByteArray time, lvl;
    MonitorText::appendStamp(time, s.time);
    MonitorText::appendTenths(lvl, s.tenths);
    return "{\"time\": " + jsonString(time) + ", \"level\": " + lvl + ", \"weighting\": \""
        + MonitorText::weightingText(s.weighting) + "\", \"response\": \"" + MonitorText::responseText(s.response) + "\"}";
}

QByteArray period(const QByteArray &row)
{
    const QList<QByteArray> names = MonitorFiles::PeriodsHeader.split(',');
    const QList<QByteArray> fields = row.split(',');
    QByteArray out = "{";
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray value = fields.value(i);
        if (i)
            out += ", ";
        out += jsonString(names[i]) + ": " + (i < 2 ? jsonString(value) : jsonNumber(value));
    }
    return out + '}';
}

QByteArray event(const QByteArray &row)
{
    const qsizetype a = row.indexOf(',');
    const qsizetype b = a < 0 ? -1 : row.indexOf(',', a + 1);
    const QByteArray time = row.left(a < 0 ? row.size() : a);
    const QByteArray name = a < 0 ? QByteArray() : row.mid(a + 1, b < 0 ? -1 : b - a - 1);
    const QByteArray detail = b < 0 ? QByteArray() : row.mid(b + 1);
    return "{\"time\": " + jsonString(time) + ", \"event\": " + jsonString(name) + ", \"detail\": " + jsonString(detail) + '}';
}

QList<Discovery> homeAssistant(const QByteArray &node, const QByteArray &prefix)
{
    const QByteArray device = "{\"identifiers\": [" + jsonString("k352_" + node) + "], \"name\": "
        + jsonString("kavor 352-4 " + node) + ", \"manufacturer\": \"kavor\", \"model\": \"352-4\"}";
    auto sensor = [&](const char *key, const char *name, const QByteArray &topic, const char *field) {
        return Discovery{
            "homeassistant/sensor/" + node + '/' + key + "/config",
            "{\"name\": " + jsonString(name) + ", \"unique_id\": " + jsonString("k352_" + node + '_' + key)
                + ", \"object_id\": " + jsonString("k352_" + node + '_' + key) + ", \"state_topic\": " + jsonString(topic)
                + ", \"value_template\": \"{{ value_json." + field + " }}\", \"device_class\": \"sound_pressure\""
                + ", \"unit_of_measurement\": \"dB\", \"state_class\": \"measurement\", \"availability_topic\": "
                + jsonString(prefix + "/status") + ", \"payload_available\": \"online\", \"payload_not_available\": "
                  "\"offline\", \"device\": " + device + '}'};
    };
    return {sensor("level", "Sound level", prefix + "/level", "level"),
            sensor("leq", "Leq", prefix + "/period", "Leq")};
}

} // namespace MqttPayload
