#pragma once
// The messages of a monitoring node: JSON in UTF-8 with the times and numbers exactly as the
// monitoring files write them (ISO 8601 local time with its UTC offset, a point as decimal
// separator), and the Home Assistant discovery configurations.
#include "monitor/Sample.h"

#include <QByteArray>
#include <QList>

namespace MqttPayload {
// {"time": "...", "level": 54.4, "weighting": "A", "response": "FAST"}
QByteArray level(const Sample &s);
// A row of a periods file as an object with the file's column names; an empty figure is null.
QByteArray period(const QByteArray &row);
// A row of an events file: {"time": "...", "event": "...", "detail": "..."}.
QByteArray event(const QByteArray &row);

struct Discovery {
    QByteArray topic;
    QByteArray payload;
};
// The level and Leq sensors of one node, grouped as one device, available while status is online.
QList<Discovery> homeAssistant(const QByteArray &node, const QByteArray &prefix);

// The text as a JSON string, quotes included.
QByteArray jsonString(const QByteArray &utf8);
} // namespace MqttPayload
