// k352-sim: a simulated meter on a pseudo-terminal. Prints the terminal's path on the first line,
// then takes fault commands on stdin until "quit", SIGINT or SIGTERM. The end of stdin does not
// stop it, so it can run in the background. With --link PATH a symbolic link points at the
// terminal, as /dev/serial/by-id/... does at a USB adapter; "replug MS" pulls the adapter and
// plugs it back, after which the new terminal's path is printed; "level DB" and "spell DB S" script
// the measured level.
#include "sim/PtyMeter.h"
#include "sim/SimCommands.h"

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






} // namespace

int main(int argc, char **argv)
{
    long long seed = 352;
    QDateTime start = QDateTime::currentDateTime();
    QString linkPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            printSimUsage(std::cout);
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
            printSimUsage(std::cerr);
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
                    running = applySimCommand(meter, pending);
                continue;
            }
            pending.append(buf, size_t(n));
            std::string::size_type nl;
            while (running && (nl = pending.find('\n')) != std::string::npos) {
                running = applySimCommand(meter, std::string_view(pending).substr(0, nl));
                pending.erase(0, nl + 1);
            }
        }
    }
    meter.stop();
    return 0;
}
