// The MQTT outbox of a monitoring folder: what is still to be sent after some rows were
// acknowledged, a period row that a restart replaced, the order across periods and events, files
// of the program's names that it did not write; and the JSON of the rows.
#include "mqtt/MqttOutbox.h"
#include "mqtt/MqttPayload.h"
#include "support/TextFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TestMqttOutbox : public QObject {
    Q_OBJECT
private slots:
    void pendingIsWhatWasNotAcknowledgedInTimeOrder();
    void payloadsKeepTheFiguresAsWritten();
};

void TestMqttOutbox::pendingIsWhatWasNotAcknowledgedInTimeOrder()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    const QByteArray p1 = "2026-12-11T14:00:00+01:00,2026-12-11T14:15:00+01:00,900,100.0,55.2,71.3,41.0,63.1,60.2,53.0,45.1,43.9";
    const QByteArray p2old = "2026-12-11T14:15:00+01:00,2026-12-11T14:30:00+01:00,300,33.3,50.0,60.0,40.0,58.0,56.0,50.0,42.0,41.0";
    const QByteArray p2 = "2026-12-11T14:15:00+01:00,2026-12-11T14:30:00+01:00,900,100.0,51.0,60.0,40.0,58.0,56.0,50.0,42.0,41.0";
    const QByteArray e1 = "2026-12-11T14:03:07.250+01:00,start,interval 1.0 s period 900 s";
    const QByteArray e2 = "2026-12-11T14:20:00.000+01:00,warning,70.0";
    QVERIFY(putFile(dir + "/2026-12-11.periods.csv", "start,end,samples,coverage,Leq,Lmax,Lmin,L5,L10,L50,L90,L95\n" + p1 + '\n' + p2 + '\n'));
    QVERIFY(putFile(dir + "/2026-12-11.events.csv", "time,event,detail\n" + e1 + '\n' + e2 + "\n2026-12-11T14:2"));
    // The next day's events file is not one of ours.
    QVERIFY(putFile(dir + "/2026-12-12.events.csv", "when,what\nx,y\n"));

    // The start event and the replaced row of the second period were acknowledged, the last note torn.
    MqttAckWriter writer(dir);
    QVERIFY(writer.note(MonitorText::dayOfDate(QDate(2026, 12, 11)), "event," + e1).isEmpty());
    QVERIFY(writer.note(MonitorText::dayOfDate(QDate(2026, 12, 11)), "period," + p2old).isEmpty());
    QFile ack(MqttOutbox::ackFileName(dir, MonitorText::dayOfDate(QDate(2026, 12, 11))));
    QVERIFY(ack.open(QIODevice::Append));
    ack.write("period,2026-12-11T14:00");
    ack.close();

    QStringList problems;
    QList<MqttMessage> todo = MqttOutbox::pending(dir, "k352/n", problems);
    QCOMPARE(problems.size(), 1);
    QVERIFY2(problems[0].contains("2026-12-12.events.csv"), qPrintable(problems[0]));
    QByteArrayList lines;
    for (const MqttMessage &m : todo) {
        lines << m.ackLine;
        QCOMPARE(m.qos, 1);
        QCOMPARE(m.topic, m.ackLine.startsWith("period") ? QByteArray("k352/n/period") : QByteArray("k352/n/event"));
    }
    // The first period ends before the warning; the new row of the second period after it.
    QCOMPARE(lines, (QByteArrayList{"period," + p1, "event," + e2, "period," + p2}));

    // Acknowledging one more (after the torn note is cut) leaves the rest.
    MqttAckWriter later(dir);
    QVERIFY(later.note(todo[1].day, todo[1].ackLine).isEmpty());
    todo = MqttOutbox::pending(dir, "k352/n", problems);
    QCOMPARE(todo.size(), 2);
    QCOMPARE(todo[0].ackLine, "period," + p1);
    QCOMPARE(todo[1].ackLine, "period," + p2);
}

void TestMqttOutbox::payloadsKeepTheFiguresAsWritten()
{
    const QJsonObject p = QJsonDocument::fromJson(MqttPayload::period(
        "2026-12-11T14:00:00+01:00,2026-12-11T14:15:00+01:00,0,0.0,,,,,,,,")).object();
    QCOMPARE(p.size(), 12);
    QCOMPARE(p.value("start").toString(), QString("2026-12-11T14:00:00+01:00"));
    QCOMPARE(p.value("samples").toInt(-1), 0);
    QVERIFY(p.value("coverage").isDouble());
    QVERIFY(p.value("Leq").isNull() && p.value("L95").isNull());
    const QByteArray full = MqttPayload::period("a,b,900,100.0,55.2,71.3,-1.0,63.1,60.2,53.0,45.1,43.9");
    QVERIFY2(full.contains("\"Leq\": 55.2") && full.contains("\"Lmin\": -1.0"), full.constData());

    const QJsonObject e = QJsonDocument::fromJson(MqttPayload::event("2026-12-11T14:03:07.250+01:00,weighting,A->C \"x\\")).object();
    QCOMPARE(e.value("event").toString(), QString("weighting"));
    QCOMPARE(e.value("detail").toString(), QString("A->C \"x\\"));

    Sample s;
    s.time = *MonitorText::parseStamp("2026-12-11T14:03:07.250+01:00");
    s.tenths = 544;
    s.weighting = Weighting::C;
    s.response = Response::Slow;
    QCOMPARE(MqttPayload::level(s),
             QByteArray(R"({"time": "2026-12-11T14:03:07.250+01:00", "level": 54.4, "weighting": "C", "response": "SLOW"})"));
}

QTEST_GUILESS_MAIN(TestMqttOutbox)
#include "test_mqtt_outbox.moc"
