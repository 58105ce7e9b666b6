#include "cli/PublishCommand.h"

#include "cli/ExitCodes.h"
#include "mqtt/MonitorMqtt.h"
#include "mqtt/MqttPublisher.h"

#include <QFileInfo>
#include <cstdio>

const char *const kPublishHelp =
    "  publish DIR --mqtt HOST[:PORT] [--mqtt-topic PREFIX] [--mqtt-id NODE] [--mqtt-tls CAFILE]\n"
    "                                     send the periods and events of a monitoring folder\n"
    "                                     that the broker has not acknowledged yet, as monitor\n"
    "                                     --mqtt would have (exit 7 when the broker cannot be\n"
    "                                     reached; what was sent stays noted)\n";

namespace {
int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: publish: %s\n", qPrintable(text));
    return code;
}

void report(const QString &text)
{
    const QByteArray line = "k352-cli: publish: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}
} // namespace

int commandPublish(const QStringList &args)
{
    QString dir;
    MqttSettings settings;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (MqttSettings::isOption(a)) {
            if (i + 1 >= args.size())
                return fail(CliExit::Usage, QStringLiteral("%1 needs a value").arg(a));
            if (const QString why = settings.apply(a, args[++i]); !why.isEmpty())
                return fail(CliExit::Usage, why);
        } else if (a.startsWith(QLatin1String("--")) || !dir.isEmpty()) {
            return fail(CliExit::Usage, QStringLiteral("unknown option or extra argument: %1").arg(a));
        } else {
            dir = a;
        }
    }
    if (dir.isEmpty())
        return fail(CliExit::Usage, QStringLiteral("needs the folder: publish DIR --mqtt HOST[:PORT]"));
    if (const QString why = settings.finish(); !why.isEmpty())
        return fail(CliExit::Usage, why);
    if (!settings.enabled())
        return fail(CliExit::Usage, QStringLiteral("needs --mqtt HOST[:PORT]"));
    if (!QFileInfo(dir).isDir())
        return fail(CliExit::FileError, QStringLiteral("%1: no such folder").arg(dir));

    QStringList problems;
    QList<MqttMessage> pending = MqttOutbox::pending(dir, settings.topicPrefix(), problems);
    for (const QString &p : problems)
        report(p);
    const qsizetype total = pending.size();
    if (total == 0) {
        std::fprintf(stderr, "k352-cli: publish: nothing to send; the broker has acknowledged every period and event\n");
        return CliExit::Success;
    }
    MqttPublisher publisher(settings, dir, {monitorClientId(settings) + "-publish", false, false}, report);
    for (MqttMessage &m : pending)
        publisher.add(std::move(m));
    publisher.start();
    const bool delivered = publisher.waitDelivered();
    const int left = publisher.finish(delivered ? 1000 : 0);
    if (left > 0)
        return fail(CliExit::BrokerFailed, QStringLiteral("%1 of %2 periods and events not acknowledged; they stay in %3 "
                                                          "for the next try")
                                               .arg(left)
                                               .arg(total)
                                               .arg(dir));
    std::fprintf(stderr, "k352-cli: publish: %lld periods and events sent and acknowledged\n", static_cast<long long>(total));
    return CliExit::Success;
}
