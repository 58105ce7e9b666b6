// k352-cli: the meter from the command line, linking only the core. Standard output uses ISO 8601
// dates and times and a point as decimal separator whatever the locale; files use the program's
// own formats.
#include "app/Catalogue.h"
#include "cli/CliLink.h"
#include "cli/CollectionCommands.h"
#include "cli/DownloadCommand.h"
#include "cli/ExitCodes.h"
#include "cli/LiveCommand.h"
#include "cli/MonitorCommand.h"
#include "cli/PublishCommand.h"
#include "data/GraphTextFile.h"
#include "cli/ServiceCli.h"
#include "cli/SummarizeCommand.h"
#include "link/PortList.h"
#include "link/WireLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace CliExit;

const char *const kHelpCommands =
    "Usage: k352-cli [--port PATH] [--log-wire FILE] COMMAND [OPTIONS]\n"
    "       k352-cli --help | --version\n"
    "\n"
    "Commands:\n"
    "  ports                              list the serial ports\n"
    "  live --count N --interval S [--out FILE]\n"
    "                                     sample the live level N times, at least S seconds apart,\n"
    "                                     one line per sample: date and time (ISO 8601), a tab and\n"
    "                                     the level in dB; Ctrl-C stops early, nothing is lost;\n"
    "                                     --out writes the graph text format instead (tab-separated\n"
    "                                     for .txt, comma-separated for .csv)\n"
    "  download --out FILE.rec [--retry N] [--repair]\n"
    "                                     download the data logger's memory into a collection file\n"
    "                                     and list its data sets; refused while the meter records;\n"
    "                                     --retry N repeats a failed download up to N times,\n"
    "                                     --repair repairs the meter's memory header after a\n"
    "                                     damaged data set (the sets before it stay)\n"
    "  sets FILE.rec                      list the data sets of a collection file: number, start\n"
    "                                     (ISO 8601), interval mm:ss, count, weighting, min, max,\n"
    "                                     mean and Leq in dB\n"
    "  export FILE.rec --set K --out FILE write data set K (from 1) as a graph text file, tab-\n"
    "                                     separated for .txt, comma-separated for .csv\n"
    "  summarize DIR [--period S]         rebuild the periods files and days.csv of a monitoring\n"
    "                                     folder from its journals (period default 900 s, a\n"
    "                                     divisor of 86400); events stay as written\n";

const char *const kHelpNotes =
    "\n"
    "Without --port every port of the system is searched for the meter.\n"
    "--log-wire FILE appends every byte read from and written to the serial port to FILE, as\n"
    "hexadecimal, one line per read or write, each led by the date and time (ISO 8601).\n"
    "\n"
    "Exit codes:\n"
    "  0  success\n"
    "  1  usage error\n"
    "  2  no meter found\n"
    "  3  the meter is recording\n"
    "  4  a file could not be written or read\n"
    "  5  an exchange with the meter failed\n"
    "  6  monitor: a monitoring file could not be written mid-run (lines before it are intact)\n"
    "  7  publish: the MQTT broker could not be reached or did not acknowledge everything\n"
    "  11 a damaged data set was found\n"
    "  12 memory error: more than 4000 data sets\n"
    "  13 the transfer ended with fewer bytes than requested\n"
    "  14 the memory's end pointer could not be read\n"
    "  15 the meter did not answer the start of the transfer\n"
    "  16 there is no recorded data in the memory\n"
    "  20 the serial port failed during the transfer\n";

int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

bool parseInt(const QString &text, int &value)
{
    const QByteArray b = text.toLatin1();
    const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), value);
    return ec == std::errc() && p == b.data() + b.size();
}

bool parseDouble(const QString &text, double &value)
{
    const QByteArray b = text.toLatin1();
    const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), value);
    return ec == std::errc() && p == b.data() + b.size();
}

void printHelp(FILE *out)
{
    std::fprintf(out, "%s%s%s%s%s", kHelpCommands, kMonitorHelp, kPublishHelp, kHelpNotes, kServiceHelp);
}

int usage(const char *why)
{
    std::fprintf(stderr, "k352-cli: %s\n\n", why);
    printHelp(stderr);
    return Usage;
}

int commandPorts(const QString &extra)
{
    for (const QString &p : listPorts(extra.isEmpty() ? QStringList() : QStringList{extra}))
        std::printf("%s\n", qPrintable(p));
    return Success;
}

int commandLive(const QString &port, const QStringList &args)
{
    LiveOptions o;
    bool haveCount = false, haveInterval = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--count" && hasValue && parseInt(args[++i], o.count) && o.count > 0)
            haveCount = true;
        else if (a == "--interval" && hasValue && parseDouble(args[++i], o.interval) && o.interval >= 0)
            haveInterval = true;
        else if (a == "--out" && hasValue)
            o.outPath = args[++i];
        else
            return usage("live: bad or unknown option");
    }
    if (!haveCount || !haveInterval)
        return usage("live needs --count N (at least 1) and --interval S");

    CliLink cli;
    if (!cli.connectMeter(port)) {
        std::fprintf(stderr, "%s\n", qPrintable(LoadStr(96, Language::English)));
        return NoMeter;
    }
    std::fprintf(stderr, "%s %s\n", qPrintable(LoadStr(8, Language::English)), qPrintable(cli.portName()));

    // Opened only once the meter answers, so a failed connection leaves an existing file as it was.
    QFile file;
    if (!o.outPath.isEmpty()) {
        file.setFileName(o.outPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "k352-cli: %s: %s\n", qPrintable(o.outPath), qPrintable(file.errorString()));
            return FileError;
        }
    }
    const LiveSink sink = file.isOpen() ? graphTextSink(file, separatorForFileName(o.outPath))
                                        : LiveSink([](TDateTime t, float level) {
                                              const QByteArray bytes = (liveStdoutLine(t, level) + '\n').toUtf8();
                                              return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout)
                                                         == size_t(bytes.size())
                                                     && std::fflush(stdout) == 0;
                                          });
    const int taken = runLiveSampling(cli, o, sink, [] { return g_stop != 0; });
    cli.disconnect();
    if (taken < 0) {
        std::fprintf(stderr, "k352-cli: writing failed\n");
        return FileError;
    }
    return Success;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString port;
    if (args.value(0) == "--help" || args.value(0) == "-h" || args.isEmpty()) {
        printHelp(stdout);
        return args.isEmpty() ? Usage : Success;
    }
    if (args.value(0) == "--version") {
        std::printf("k352-cli %s\n", K352_VERSION);
        return Success;
    }
    for (;;) {
        if (args.value(0) == "--port") {
            if (args.size() < 2)
                return usage("--port needs a path");
            port = args.value(1);
            args = args.mid(2);
        } else if (args.value(0) == "--log-wire") {
            if (args.size() < 2)
                return usage("--log-wire needs a file");
            if (!startWireLogFile(args.value(1))) {
                std::fprintf(stderr, "k352-cli: cannot write %s\n", qPrintable(args.value(1)));
                return FileError;
            }
            args = args.mid(2);
        } else {
            break;
        }
    }
    const QString command = args.value(0);
    args = args.mid(1);

    if (::pipe(g_signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier wake(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&wake, &QSocketNotifier::activated, [] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &c, 1);
    });

    if (command == "ports")
        return commandPorts(port);
    if (command == "live")
        return commandLive(port, args);
    if (command == "download")
        return commandDownload(port, args);
    if (command == "sets")
        return commandSets(args);
    if (command == "export")
        return commandExport(args);
    if (command == "monitor")
        return commandMonitor(port, args, [] { return g_stop != 0; });
    if (command == "summarize")
        return commandSummarize(args);
    if (command == "publish")
        return commandPublish(args);
    if (isServiceCommand(command))
        return runServiceCommand(command, port, args);
    return usage("unknown command");
}
