#pragma once
// Store and forward: the periods and events files of a monitoring folder are the outbox. What the
// broker has acknowledged is noted, per day, in YYYY-MM-DD.mqtt-acked.csv (kind,row: the row as
// the periods or events file holds it); every row not noted there is still to be sent. A period
// row that a later run replaced is a new row and goes out again. Losing a note only costs a
// duplicate, so notes are flushed but not synced.
#include "monitor/MonitorEvent.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

struct MqttMessage {
    QByteArray topic;
    QByteArray payload;
    int qos = 0;
    bool retain = false;
    // Periods and events: the day and the line that notes their acknowledgement; -1 for the rest.
    qint64 day = -1;
    QByteArray ackLine;

    bool isDurable() const { return day >= 0; }
};

namespace MqttOutbox {
inline const QByteArray AckHeader = QByteArrayLiteral("kind,row");
inline const QByteArray EventsHeader = QByteArrayLiteral("time,event,detail");

QString ackFileName(const QString &dir, qint64 day);
// The events file's row of an event, as the monitor writes it.
QByteArray eventRow(const MonitorEvent &e);
MqttMessage periodMessage(const QByteArray &prefix, qint64 day, const QByteArray &row);
MqttMessage eventMessage(const QByteArray &prefix, qint64 day, const QByteArray &row);

// Every period and event of the folder that the broker has not acknowledged, day by day, in the
// order of their times (a period at its end). Files of the program's names that it did not write
// are named in problems and left alone.
QList<MqttMessage> pending(const QString &dir, const QByteArray &prefix, QStringList &problems);
} // namespace MqttOutbox

// Appends acknowledgement notes to the day's file.
class MqttAckWriter {
public:
    explicit MqttAckWriter(QString dir) : m_dir(std::move(dir)) {}
    // The reason when the note could not be written (reported once per file).
    QString note(qint64 day, const QByteArray &line);

private:
    QString m_dir;
    QFile m_file;
    qint64 m_day = -1;
    bool m_failedDay = false;
};
