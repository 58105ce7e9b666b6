// MQTT publishing against a mosquitto of its own on the loopback:
// - the time from a sample (the wall clock when its frame was decoded) to its level message at a
//   subscriber (mosquitto_sub's own receive time), for `k352-cli monitor --interval 0.1` on the
//   simulated meter over a pty, median and 95th percentile over a run of 60 s (or the seconds given);
// - a day's backlog (96 periods of 15 minutes and 48 events) from the start of the publisher,
//   connection included, until the broker has acknowledged the last message.
// Usage: bench_mqtt [seconds]
#include "mqtt/MqttOutbox.h"
#include "mqtt/MqttPublisher.h"
#include "sim/PtyMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include "support/MqttBroker.h"

namespace {

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[size_t(p / 100.0 * double(v.size() - 1))];
}

// The rows of one day in the monitoring files, as a monitor would have written them.
void writeDay(const QString &dir)
{
    QFile periods(dir + "/2026-12-01.periods.csv"), events(dir + "/2026-12-01.events.csv");
    if (!periods.open(QIODevice::WriteOnly) || !events.open(QIODevice::WriteOnly))
        qFatal("cannot write the backlog");
    periods.write("start,end,samples,coverage,Leq,Lmax,Lmin,L5,L10,L50,L90,L95\n");
    events.write("time,event,detail\n");
    for (int i = 0; i < 96; ++i) {
        const auto at = [](int q) {
            return QByteArray("2026-12-01T") + QByteArray::number(q / 4).rightJustified(2, '0') + ':'
                + QByteArray::number(q % 4 * 15).rightJustified(2, '0') + ":00+01:00";
        };
        periods.write(at(i) + ',' + (i == 95 ? QByteArray("2026-12-02T00:00:00+01:00") : at(i + 1))
                      + ",900,100.0,55.2,71.3,41.0,63.1,60.2,53.0,45.1,43.9\n");
        if (i % 2 == 0)
            events.write(at(i).insert(19, ".250") + ",warning,70.0\n");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, QByteArray(argv[1]).toInt()) : 60;
    QTemporaryDir tmp;
    Broker broker;
    broker.dir = tmp.path();
    broker.port = freeLoopbackPort();
    if (!broker.start())
        qFatal("mosquitto does not start");
    const QString portText = QString::number(broker.port);

    // Latency of the live levels.
    QProcess sub;
    sub.start("mosquitto_sub", {"-h", "127.0.0.1", "-p", portText, "-t", "bench/level", "-F", "%U %p"});
    sub.waitForStarted(5000);
    PtyMeter meter;
    if (!meter.start())
        qFatal("the simulated meter does not start: %s", qPrintable(meter.errorString()));
    QProcess monitor;
    monitor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    monitor.start(QCoreApplication::applicationDirPath() + "/k352-cli",
                  {"--port", meter.slavePath(), "monitor", "--out", tmp.filePath("monitor"), "--interval", "0.1",
                   "--period", "60", "--duration", QString::number(seconds), "--mqtt", "127.0.0.1:" + portText,
                   "--mqtt-topic", "bench"});
    monitor.waitForFinished(seconds * 1000 + 30000);
    sub.terminate();
    sub.waitForFinished(5000);
    std::vector<double> latencies;
    for (const QByteArray &line : sub.readAllStandardOutput().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const qsizetype t = line.indexOf("\"time\": \"");
        if (space < 0 || t < 0)
            continue;
        const double received = line.left(space).toDouble();
        const QByteArray stamp = line.mid(t + 9, 29);
        const auto s = MonitorText::parseStamp(std::string_view(stamp.constData(), size_t(stamp.size())));
        if (s)
            latencies.push_back(received * 1000.0 - double(s->utcMs));
    }
    std::printf("mqtt_level_messages: %zu count\n", latencies.size());
    std::printf("mqtt_level_latency_median: %.2f ms\n", percentile(latencies, 50));
    std::printf("mqtt_level_latency_p95: %.2f ms\n", percentile(latencies, 95));
    meter.stop();

    // A day's backlog.
    const QString day = tmp.filePath("day");
    QDir().mkpath(day);
    writeDay(day);
    MqttSettings settings;
    settings.apply("--mqtt", "127.0.0.1:" + portText);
    settings.apply("--mqtt-topic", "bench");
    QStringList problems;
    const QList<MqttMessage> backlog = MqttOutbox::pending(day, settings.topicPrefix(), problems);
    QElapsedTimer t;
    MqttPublisher publisher(settings, day, {"k352-bench", true, false}, [](const QString &text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    for (const MqttMessage &m : backlog)
        publisher.add(m);
    t.start();
    publisher.start();
    const bool delivered = publisher.waitDelivered();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    publisher.finish(1000);
    std::printf("mqtt_backlog_messages: %lld count\n", static_cast<long long>(backlog.size()));
    std::printf("mqtt_backlog_time: %.1f ms%s\n", ms, delivered ? "" : " (not all acknowledged)");
    broker.stop();
    return delivered ? 0 : 1;
}
