#include "cli/MonitorCommand.h"

#include "app/Catalogue.h"
#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "monitor/EventCommand.h"
#include "monitor/LiveSampler.h"
#include "monitor/SessionFeed.h"
#include "mqtt/MonitorMqtt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTimer>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

const char *const kMonitorHelp =
    "  monitor --out DIR [--interval S] [--period S] [--warn DB] [--alarm DB] [--hold S]\n"
    "          [--on-event CMD] [--duration S] [--mqtt HOST[:PORT] [--mqtt-topic PREFIX]\n"
    "          [--mqtt-id NODE] [--mqtt-tls CAFILE]]\n"
    "                                     monitor the live level into DIR until Ctrl-C, SIGTERM\n"
    "                                     or --duration S: the journal of samples, period rows,\n"
    "                                     days.csv and events; interval default 1 s (0.1 at\n"
    "                                     least), period default 900 s (a divisor of 86400);\n"
    "                                     warning/alarm when the level stays at or above DB for\n"
    "                                     --hold S (default 0); CMD runs through /bin/sh -c for\n"
    "                                     every event with K352_EVENT, K352_TIME, K352_LEVEL and\n"
    "                                     K352_DETAIL set; one line per finished period on\n"
    "                                     standard output; --mqtt publishes levels, periods,\n"
    "                                     events, status and Home Assistant discovery to the\n"
    "                                     broker (topics PREFIX/level|period|event|status,\n"
    "                                     PREFIX default k352/NODE, NODE default the host name;\n"
    "                                     login from K352_MQTT_USER and K352_MQTT_PASSWORD);\n"
    "                                     periods and events the broker has not acknowledged\n"
    "                                     stay in DIR and go out first on reconnection\n";

namespace {

struct MonitorOptions {
    MonitorConfig config;
    QString onEvent;
    std::optional<qint64> durationMs;
    MqttSettings mqtt;
};

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: monitor: %s\n", qPrintable(text));
    return code;
}

bool parseNumber(const QString &text, double &value)
{
    const QByteArray b = text.toLatin1();
    const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), value);
    return !b.isEmpty() && ec == std::errc() && p == b.data() + b.size() && std::isfinite(value);
}

// Reads the options into o; an empty result, or the one-line reason they are refused.
QString parseOptions(const QStringList &args, MonitorOptions &o)
{
    double interval = 1.0, period = 900, hold = 0;
    std::optional<double> warn, alarm;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value (or is unknown)").arg(a);
        const QString &v = args[++i];
        double x = 0;
        const bool number = parseNumber(v, x);
        auto bad = [&] { return QStringLiteral("%1: not a number: %2").arg(a, v); };
        if (a == QLatin1String("--out")) {
            o.config.dir = v;
        } else if (MqttSettings::isOption(a)) {
            if (const QString why = o.mqtt.apply(a, v); !why.isEmpty())
                return why;
        } else if (a == QLatin1String("--on-event")) {
            o.onEvent = v;
        } else if (a == QLatin1String("--interval") || a == QLatin1String("--period") || a == QLatin1String("--warn")
                   || a == QLatin1String("--alarm") || a == QLatin1String("--hold") || a == QLatin1String("--duration")) {
            if (!number)
                return bad();
            if (a == QLatin1String("--interval"))
                interval = x;
            else if (a == QLatin1String("--period"))
                period = x;
            else if (a == QLatin1String("--warn"))
                warn = x;
            else if (a == QLatin1String("--alarm"))
                alarm = x;
            else if (a == QLatin1String("--hold"))
                hold = x;
            else
                o.durationMs = std::llround(x * 1000);
        } else {
            return QStringLiteral("unknown option: %1").arg(a);
        }
    }
    if (o.config.dir.isEmpty())
        return QStringLiteral("needs --out DIR");
    if (period != std::trunc(period) || period < 1 || period > 86400 || 86400 % qint64(period) != 0)
        return QStringLiteral("--period must be a whole divisor of 86400 seconds");
    if (interval < 0.1 || interval > period)
        return QStringLiteral("--interval must be between 0.1 s and the period");
    for (const auto &[name, level] : {std::pair{"--warn", warn}, std::pair{"--alarm", alarm}}) {
        if (level && (*level < 0 || *level > 200))
            return QStringLiteral("%1 must be between 0 and 200 dB").arg(QLatin1String(name));
    }
    if (warn && alarm && *warn > *alarm)
        return QStringLiteral("--warn must not be above --alarm");
    if (hold < 0 || hold > 86400)
        return QStringLiteral("--hold must be between 0 and 86400 seconds");
    if (o.durationMs && *o.durationMs <= 0)
        return QStringLiteral("--duration must be above 0 seconds");
    if (const QString why = o.mqtt.finish(); !why.isEmpty())
        return why;
    o.config.intervalMs = std::llround(interval * 1000);
    o.config.periodS = int(period);
    o.config.holdMs = std::llround(hold * 1000);
    if (warn)
        o.config.warnTenths = int(std::lround(*warn * 10));
    if (alarm)
        o.config.alarmTenths = int(std::lround(*alarm * 10));
    return {};
}

// The folder exists (made when missing) and takes a file.
QString folderProblem(const QString &dir)
{
    if (!QDir().mkpath(dir))
        return QStringLiteral("%1: the folder cannot be created").arg(dir);
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".monitor-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("%1: the folder cannot be written").arg(dir);
    return {};
}

// One write per line, so that lines from the publishing thread never land inside one.
void writeLine(FILE *f, const QByteArray &line)
{
    const QByteArray whole = line + '\n';
    std::fwrite(whole.constData(), 1, size_t(whole.size()), f);
    std::fflush(f);
}

void reportFromAnyThread(const QString &text)
{
    writeLine(stderr, "k352-cli: " + text.toUtf8());
}

// Samples feed into the monitor until a stop; returns the exit code.
int runMonitor(LiveFeed &feed, Clock &clock, const MonitorOptions &o, const std::function<bool()> &stopRequested)
{
    MonitorCore core(o.config, clock);
    std::unique_ptr<EventCommand> hook;
    if (!o.onEvent.isEmpty())
        hook = std::make_unique<EventCommand>(o.onEvent, [](const QString &text) { writeLine(stderr, "k352-cli: " + text.toUtf8()); });
    core.periodFinished = [](const FinishedPeriod &p) { writeLine(stdout, p.row); };
    core.eventOccurred = [&hook](const MonitorEvent &e) {
        QByteArray line;
        MonitorText::appendStamp(line, e.time);
        line += ' ' + e.name;
        if (!e.detail.isEmpty())
            line += ' ' + e.detail;
        writeLine(stderr, line);
        if (hook)
            hook->run(e);
    };
    if (const MonitorError e = core.start(Stamp::now()))
        return fail(CliExit::FileError, e.message());
    std::optional<MonitorMqtt> mqtt;
    if (o.mqtt.enabled())
        mqtt.emplace(o.mqtt, o.config.dir, core, reportFromAnyThread);

    QElapsedTimer steady;
    steady.start();
    LiveSampler sampler(core, o.config.intervalMs, 0);
    MonitorError error;
    connectSampler(
        feed, sampler, [] { return Stamp::now(); }, [&] { return steady.elapsed(); },
        [&](const MonitorError &e) {
            if (!error)
                error = e;
        });
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!error)
            error = sampler.tick(Stamp::now(), steady.elapsed());
    });
    ticker.start(200);
    while (!error && !stopRequested() && !(o.durationMs && steady.elapsed() >= *o.durationMs))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    disconnectSampler(feed);
    ticker.stop();
    const MonitorError atStop = core.stop(Stamp::now());
    if (mqtt)
        mqtt->finish();
    if (!error)
        error = atStop;
    if (error)
        return fail(CliExit::MonitorWriteFailed,
                    QStringLiteral("writing stopped: %1; every line written before is intact").arg(error.message()));
    std::fprintf(stderr, "k352-cli: monitor: stopped after %lld samples\n", static_cast<long long>(sampler.samples()));
    return CliExit::Success;
}

} // namespace

int commandMonitor(const QString &port, const QStringList &args, const std::function<bool()> &stopRequested)
{
    MonitorOptions o;
    if (const QString why = parseOptions(args, o); !why.isEmpty())
        return fail(CliExit::Usage, why);
    if (const QString why = folderProblem(o.config.dir); !why.isEmpty())
        return fail(CliExit::FileError, why);

    CliLink cli;
    if (!cli.connectMeter(port)) {
        std::fprintf(stderr, "%s\n", qPrintable(LoadStr(96, Language::English)));
        return CliExit::NoMeter;
    }
    std::fprintf(stderr, "%s %s\n", qPrintable(LoadStr(8, Language::English)), qPrintable(cli.portName()));
    SessionFeed feed(cli.session());
    const int code = runMonitor(feed, cli.clock(), o, stopRequested);
    cli.disconnect();
    return code;
}
