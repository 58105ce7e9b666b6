// k352-sim: a simulated meter on a pseudo-terminal. Prints the terminal's path on the first line,
// then takes fault commands on stdin until "quit", SIGINT or SIGTERM. The end of stdin does not
// stop it, so it can run in the background. With --link PATH a symbolic link points at the
// terminal, as /dev/serial/by-id/... does at a USB adapter; "replug MS" pulls the adapter and
// plugs it back, after which the new terminal's path is printed; "level DB" and "spell DB S" script
// the measured level.
#include "sim/LevelCommands.h"
#include "sim/LoggerFaultCommands.h"
#include "sim/PtyMeter.h"

#include <QDateTime>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <iostream>
#include <poll.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

const char *const kUsage =
    "Usage: k352-sim [--seed N] [--start yyyy-MM-ddThh:mm:ss] [--link PATH]\n"
    "       k352-sim --help | --version\n"
    "\n"
    "Runs a simulated sound level meter on a pseudo-terminal and prints its path.\n"
    "Open that path as the meter's serial port. With --link PATH a symbolic link\n"
    "PATH points at the terminal and follows it across a replug.\n"
    "Commands on standard input:\n"
    "  off         switch the meter off (no output, input ignored)\n"
    "  on          switch it on again\n"
    "  silent MS   answer nothing for MS milliseconds\n"
    "  resume      end a silence early\n"
    "  noise N     send N random bytes\n"
    "  badsum      give the next live frame a wrong checksum\n"
    "  split MS    pause MS milliseconds in the middle of the next live frame\n"
    "  replug MS   pull the USB adapter and plug it back after MS milliseconds: the\n"
    "              terminal goes away and a new one (another number) is printed\n"
    "  frames      print every command frame received so far (ms since start, hex bytes)\n"
    "  quit        stop\n"
    "The end of standard input does not stop the meter; SIGINT and SIGTERM do.\n";

// The usage text with the data logger's commands.
void printUsage(std::ostream &out)
{
    out << kUsage << "Commands for the measured level:\n" << kLevelCommandUsage
        << "Commands for the data logger:\n" << kLoggerCommandUsage;
}

bool parseNumber(std::string_view text, long long &value)
{
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The command frames the meter has taken in, one a line: the time in ms since the start, then
// the bytes in hex. What the computer put on the wire, for watching an exchange.
void printFrames(PtyMeter &meter)
{
    QList<SimulatedMeter::TimedBytes> frames;
    meter.withMeter([&](SimulatedMeter &m) { frames = m.receivedFrames(); });
    for (const SimulatedMeter::TimedBytes &f : frames)
        std::cout << QString::number(double(f.us) / 1000.0, 'f', 1).toStdString() << ' '
                  << f.bytes.toHex(' ').toStdString() << '\n';
    std::cout << std::flush;
}

// Carries out one command line; false for "quit".
bool command(PtyMeter &meter, std::string_view line)
{
    line = trimmed(line);
    if (line.empty())
        return true;
    const auto space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view arg = space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space));
    long long n = 0;
    const bool hasNumber = parseNumber(arg, n) && n >= 0;

    if (word == "quit" && arg.empty())
        return false;
    if (word == "off" && arg.empty())
        meter.powerOff();
    else if (word == "on" && arg.empty())
        meter.powerOn();
    else if (word == "resume" && arg.empty())
        meter.resume();
    else if (word == "badsum" && arg.empty())
        meter.corruptNextChecksum();
    else if (word == "silent" && hasNumber)
        meter.silence(n);
    else if (word == "noise" && hasNumber && n <= 1000000)
        meter.injectNoise(int(n));
    else if (word == "split" && hasNumber && n <= 3600000)
        meter.splitNextFrame(int(n));
    else if (word == "replug" && hasNumber && n <= 3600000)
        meter.replug(n);
    else if (word == "frames" && arg.empty())
        printFrames(meter);
    else {
        LoggerCommandResult r = LoggerCommandResult::NotMine;
        meter.withMeter([&](SimulatedMeter &m) {
            if (applyLevelCommand(m, word, arg))
                r = LoggerCommandResult::Done;
            else
                r = applyLoggerCommand(m, word, arg);
        });
        if (r != LoggerCommandResult::Done)
            std::cerr << "k352-sim: unknown command: " << line << " (try --help)" << std::endl;
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    long long seed = 352;
    QDateTime start = QDateTime::currentDateTime();
    QString linkPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (a == "--version") {
            std::cout << "k352-sim " << K352_VERSION << '\n';
            return 0;
        }
        if (a == "--seed" && i + 1 < argc && parseNumber(argv[i + 1], seed) && seed >= 0) {
            ++i;
        } else if (a == "--link" && i + 1 < argc) {
            linkPath = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--start" && i + 1 < argc) {
            start = QDateTime::fromString(QString::fromLocal8Bit(argv[++i]), Qt::ISODate);
            if (!start.isValid()) {
                std::cerr << "k352-sim: --start wants yyyy-MM-ddThh:mm:ss\n";
                return 2;
            }
        } else {
            std::cerr << "k352-sim: unknown argument " << a << "\n";
            printUsage(std::cerr);
            return 2;
        }
    }

    if (::pipe(g_signalPipe) != 0) {
        std::cerr << "k352-sim: pipe: " << qt_error_string(errno).toStdString() << "\n";
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PtyMeter meter(start, quint32(seed));
    meter.setLinkPath(linkPath);
    meter.setPluggedHandler([](const QString &path) { std::cout << path.toStdString() << std::endl; });
    if (!meter.start()) {
        std::cerr << "k352-sim: " << meter.errorString().toStdString() << "\n";
        return 1;
    }
    std::cout << meter.slavePath().toStdString() << std::endl;

    std::string pending;
    bool stdinOpen = true;
    bool running = true;
    while (running) {
        pollfd fds[2] = {{g_signalPipe[0], POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[512];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n <= 0) {
                if (n < 0 && errno == EINTR)
                    continue;
                stdinOpen = false; // keep running until quit by signal
                if (!pending.empty())
                    running = command(meter, pending);
                continue;
            }
            pending.append(buf, size_t(n));
            std::string::size_type nl;
            while (running && (nl = pending.find('\n')) != std::string::npos) {
                running = command(meter, std::string_view(pending).substr(0, nl));
                pending.erase(0, nl + 1);
            }
        }
    }
    meter.stop();
    return 0;
}
