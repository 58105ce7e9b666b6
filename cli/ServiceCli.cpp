#include "cli/ServiceCli.h"

#include "app/Catalogue.h"
#include "cli/CliLink.h"
#include "cli/RecallCommand.h"
#include "cli/SetupCommand.h"
#include "logger/SetupFrames.h"
#include "panel/ReadingDecoder.h"

#include <cstdio>

const char *const kServiceHelp =
    "\n"
    "Service commands:\n"
    "  recall [--out FILE.cap]            the single values stored with the MEM key, one line each:\n"
    "                                     number, date and time (ISO 8601), level (---- above\n"
    "                                     150.0 dB), weighting, time weighting; --out writes the\n"
    "                                     capture file instead\n"
    "  info [--memtest]                   firmware version, meter clock, recording interval, data\n"
    "                                     sets, memory available; --memtest adds the memory test,\n"
    "                                     which puts back every byte it tested\n"
    "  set-clock                          set the meter clock to the computer's clock\n"
    "  set-interval MM:SS                 set the recording interval (00:01 to 01:60)\n"
    "  erase --yes                        erase the logger memory (refused while recording)\n"
    "The set-up commands (info, set-clock, set-interval) close the live link for about 5 s\n"
    "while they take the device over.\n";

namespace {
const QStringList kCommands{"recall", "info", "set-clock", "set-interval", "erase"};

void toStderr(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool toStdout(const QString &line)
{
    const QByteArray b = (line + QLatin1Char('\n')).toUtf8();
    return std::fwrite(b.constData(), 1, size_t(b.size()), stdout) == size_t(b.size()) && std::fflush(stdout) == 0;
}

int usage(const QString &why)
{
    std::fprintf(stderr, "k352-cli: %s\n", qPrintable(why));
    return CliExit::Usage;
}
} // namespace

bool isServiceCommand(const QString &command)
{
    return kCommands.contains(command);
}

void trackMeterRecording(CliLink &cli)
{
    LinkState &state = cli.state();
    cli.link().onFrame = [&state](const QByteArray &frame) { state.MeterRecording = decodeReading(frame).recording; };
}

bool connectTrackingRecording(CliLink &cli, const QString &port)
{
    trackMeterRecording(cli);
    return cli.connectMeter(port);
}

int runServiceCommand(const QString &command, const QString &port, const QStringList &args)
{
    QString out;
    SetupCliOptions o;
    bool yes = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (command == "recall" && a == "--out" && i + 1 < args.size())
            out = args[++i];
        else if (command == "info" && a == "--memtest")
            o.memoryTest = true;
        else if (command == "erase" && a == "--yes")
            yes = true;
        else if (command == "set-interval" && o.interval.isEmpty() && !a.startsWith("--"))
            o.interval = a;
        else
            return usage(command + ": bad or unknown option " + a);
    }
    if (command == "set-interval" && o.interval.isEmpty())
        return usage("set-interval needs MM:SS");
    if (command == "set-interval") {
        const QStringList parts = o.interval.split(QLatin1Char(':'));
        if (parts.size() != 2 || !parseInterval(parts[0], parts[1])) {
            toStderr(QStringLiteral("Invalid Input"));
            return CliExit::Usage;
        }
    }
    if (command == "erase" && !yes)
        return usage("erase removes every data set in the meter; give --yes to go ahead");

    CliLink cli;
    if (!connectTrackingRecording(cli, port)) {
        toStderr(LoadStr(96, Language::English));
        return CliExit::NoMeter;
    }
    std::fprintf(stderr, "%s %s\n", qPrintable(LoadStr(8, Language::English)), qPrintable(cli.portName()));
    if (cli.state().MeterRecording && (command == "erase" || command == "recall")) {
        toStderr(QStringLiteral("the meter is recording; stop the recording first"));
        return CliExit::MeterRecording;
    }
    int code = CliExit::Usage;
    if (command == "recall")
        code = runRecall(cli, out, toStdout, toStderr);
    else if (command == "info")
        code = runInfo(cli, o, toStdout, toStderr);
    else if (command == "set-clock")
        code = runSetClock(cli, toStdout);
    else if (command == "set-interval")
        code = runSetInterval(cli, o, toStdout);
    else if (command == "erase")
        code = runErase(cli, yes, toStderr);
    cli.link().onFrame = {};
    cli.disconnect();
    return code;
}
