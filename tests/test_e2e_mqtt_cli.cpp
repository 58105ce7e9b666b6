// End to end with a real broker: `k352-cli monitor --mqtt` on the simulated meter over a pty,
// with a mosquitto of its own on a free loopback port that is stopped mid-run (while a loud spell
// raises events) and started again. A persistent mosquitto_sub session sees every period and
// event of the folder arrive exactly as written, live levels while the broker is up, and the
// retained status and discovery; then `publish` sends a copied folder and has nothing left after.
#include "monitor/StatisticsStream.h"
#include "sim/LevelCommands.h"
#include "sim/PtyMeter.h"
#include "support/CliProcess.h"
#include "support/MqttBroker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What mosquitto_sub -v printed: topic and payload per line.
QList<QPair<QByteArray, QByteArray>> messages(const QByteArray &printed)
{
    QList<QPair<QByteArray, QByteArray>> out;
    for (const QByteArray &line : printed.split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space > 0)
            out.append({line.left(space), line.mid(space + 1)});
    }
    return out;
}

// A period message back as the row of a periods file (levels and coverage with one decimal).
QByteArray periodRow(const QByteArray &json)
{
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    QByteArrayList fields;
    int i = 0;
    for (const QByteArray &name : MonitorFiles::PeriodsHeader.split(',')) {
        const QJsonValue v = o.value(QString::fromLatin1(name));
        fields << (i < 2 ? v.toString().toUtf8() : i == 2 ? QByteArray::number(v.toInt()) : v.isNull() ? QByteArray() : QByteArray::number(v.toDouble(), 'f', 1));
        ++i;
    }
    return fields.join(',');
}

QByteArray eventRow(const QByteArray &json)
{
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    return (o.value("time").toString() + ',' + o.value("event").toString() + ',' + o.value("detail").toString()).toUtf8();
}

QSet<QByteArray> rowsOn(const QByteArray &printed, const QByteArray &topic)
{
    QSet<QByteArray> rows;
    for (const auto &[t, payload] : messages(printed)) {
        if (t == topic)
            rows.insert(topic.endsWith("/period") ? periodRow(payload) : eventRow(payload));
    }
    return rows;
}

} // namespace

class TestE2EMqttCli : public QObject {
    Q_OBJECT
private slots:
    void brokerRestartLosesNothingAndPublishSendsAFolder();
};

void TestE2EMqttCli::brokerRestartLosesNothingAndPublishSendsAFolder()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    Broker broker;
    broker.dir = tmp.filePath("broker");
    QVERIFY(QDir().mkpath(broker.dir));
    broker.port = freeLoopbackPort();
    QVERIFY2(broker.start(), "mosquitto does not start");
    const QString portText = QString::number(broker.port);

    // A subscriber whose session (and queue) the broker keeps across its restart.
    Subscriber sub;
    QVERIFY(sub.start(broker.port, "k352-test-sub", {"k352/#", "homeassistant/#"}));
    QByteArray &seen = sub.seen;
    const auto readSub = [&] { sub.read(); };

    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    meter.withMeter([](SimulatedMeter &m) { applyLevelCommand(m, "level", "50"); });
    const QDir out(tmp.filePath("monitor"));
    CliProcess monitor;
    monitor.start({"--port", meter.slavePath(), "monitor", "--out", out.path(), "--interval", "0.2", "--period", "2",
                   "--warn", "70", "--mqtt", "127.0.0.1:" + portText, "--mqtt-id", "node1"});
    auto waitSeen = [&](const QByteArray &what, int ms) {
        return monitor.waitFor([&] { readSub(); return seen.contains(what); }, ms);
    };
    QVERIFY2(waitSeen("k352/node1/period ", 15000), monitor.err.constData());
    QVERIFY(seen.contains("k352/node1/level {"));

    // The broker down for a while; a loud spell makes events meanwhile.
    broker.stop();
    QVERIFY2(monitor.waitFor([&] { return monitor.err.contains("was lost"); }, 5000), monitor.err.constData());
    meter.withMeter([](SimulatedMeter &m) { applyLevelCommand(m, "spell", "85 1"); });
    QVERIFY(monitor.waitFor([&] { return rowsOfFiles(out, "*.events.csv").join('\n').contains("warning-end"); }, 8000));
    monitor.waitFor([] { return false; }, 2500); // a few periods while down
    const qsizetype levelsBefore = seen.count("/level ");
    QVERIFY(broker.start());
    QVERIFY2(monitor.waitFor([&] { return monitor.err.count("mqtt: connected to") >= 2; }, 15000), monitor.err.constData());
    QVERIFY2(waitSeen("\"event\": \"warning-end\"", 8000), seen.right(2000).constData());
    QVERIFY(monitor.waitFor([&] { readSub(); return seen.count("/level ") > levelsBefore + 3; }, 5000));

    // Enough periods for the count below, however fast the steps above went.
    QVERIFY(monitor.waitFor([&] { return rowsOfFiles(out, "*.periods.csv").size() >= 6; }, 20000));
    monitor.p.terminate();
    QVERIFY(monitor.p.waitForFinished(15000));
    monitor.read();
    QCOMPARE(monitor.p.exitCode(), 0);
    QVERIFY2(!monitor.err.contains("not acknowledged"), monitor.err.constData());
    QTest::qWait(500);
    readSub();

    // Every period and event of the folder arrived as written; duplicates are allowed.
    const QList<QByteArray> periods = rowsOfFiles(out, "*.periods.csv");
    const QList<QByteArray> events = rowsOfFiles(out, "*.events.csv");
    QVERIFY(periods.size() >= 6);
    const QSet<QByteArray> gotPeriods = rowsOn(seen, "k352/node1/period");
    const QSet<QByteArray> gotEvents = rowsOn(seen, "k352/node1/event");
    for (const QByteArray &row : periods)
        QVERIFY2(gotPeriods.contains(row), row.constData());
    for (const QByteArray &row : events)
        QVERIFY2(gotEvents.contains(row), row.constData());
    QVERIFY(events.join('\n').contains(",warning,"));

    // Retained: offline after the clean stop, and the discovery of both sensors as one device.
    QProcess retained;
    retained.start("mosquitto_sub", {"-h", "127.0.0.1", "-p", portText, "-v", "--retained-only", "-W", "2",
                                     "-t", "k352/node1/status", "-t", "homeassistant/sensor/node1/+/config"});
    QVERIFY(retained.waitForFinished(10000));
    const auto kept = messages(retained.readAllStandardOutput());
    QMap<QByteArray, QByteArray> byTopic;
    for (const auto &[t, payload] : kept)
        byTopic[t] = payload;
    QCOMPARE(byTopic.value("k352/node1/status"), QByteArray("offline"));
    for (const char *sensor : {"level", "leq"}) {
        const QJsonObject c = QJsonDocument::fromJson(byTopic.value(QByteArray("homeassistant/sensor/node1/") + sensor + "/config")).object();
        QCOMPARE(c.value("device_class").toString(), QString("sound_pressure"));
        QCOMPARE(c.value("unit_of_measurement").toString(), QString("dB"));
        QCOMPARE(c.value("availability_topic").toString(), QString("k352/node1/status"));
        QCOMPARE(c.value("device").toObject().value("identifiers").toVariant().toStringList(), QStringList{"k352_node1"});
    }
    QCOMPARE(QJsonDocument::fromJson(byTopic.value("homeassistant/sensor/node1/leq/config")).object().value("state_topic").toString(),
             QString("k352/node1/period"));

    // A folder brought home: its files without the notes of what was acknowledged.
    const QDir copy(tmp.filePath("copy"));
    QVERIFY(QDir().mkpath(copy.path()));
    for (const QString &name : out.entryList({"*.periods.csv", "*.events.csv"}, QDir::Files))
        QVERIFY(QFile::copy(out.filePath(name), copy.filePath(name)));
    seen.clear();
    CliProcess publish;
    publish.start({"publish", copy.path(), "--mqtt", "127.0.0.1:" + portText, "--mqtt-id", "node2"});
    QVERIFY(publish.p.waitForFinished(20000));
    publish.read();
    QCOMPARE(publish.p.exitCode(), 0);
    QVERIFY2(publish.err.contains(QByteArray::number(periods.size() + events.size()) + " periods and events sent"), publish.err.constData());
    QVERIFY(Broker::waitUntil([&] { readSub(); return rowsOn(seen, "k352/node2/period").size() >= periods.size(); }, 5000));
    QCOMPARE(rowsOn(seen, "k352/node2/period"), QSet<QByteArray>(periods.begin(), periods.end()));
    QCOMPARE(rowsOn(seen, "k352/node2/event"), QSet<QByteArray>(events.begin(), events.end()));
    QVERIFY2(!seen.contains("k352/node2/status"), seen.constData());
    CliProcess again;
    again.start({"publish", copy.path(), "--mqtt", "127.0.0.1:" + portText, "--mqtt-id", "node2"});
    QVERIFY(again.p.waitForFinished(20000));
    again.read();
    QCOMPARE(again.p.exitCode(), 0);
    QVERIFY2(again.err.contains("nothing to send"), again.err.constData());

    broker.stop();
    meter.stop();
}

QTEST_GUILESS_MAIN(TestE2EMqttCli)
#include "test_e2e_mqtt_cli.moc"
