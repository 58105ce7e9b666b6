// CPU use of the program while the monitoring window samples at 0.1 s and the control panel shows
// the live display: the main window on a simulated meter (k352-sim, its own process, so its work is
// not counted) over a pseudo-terminal, offscreen. The process's user and system time over the run,
// after a start-up of 10 s, as a share of one core.
// Usage: bench_monitor_window_cpu [seconds] (default 60); k352-sim is looked for beside this program.
#include "app/ui/TfrmMain.h"
#include "monitor/ui/MainWindowMonitoring.h"
#include "monitor/ui/TfrmMonitor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The event loop for ms, sleeping while nothing happens (processEvents with a time limit would poll).
void runFor(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(int(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // A user data folder of its own: no journal of an earlier recording to offer back.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;

    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + "/k352-sim", {});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "monitor_window_cpu: k352-sim did not start\n");
        return 1;
    }
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QTemporaryDir dir;

    TfrmMainOptions options;
    options.systemPorts = false;
    options.extraPorts = {pty};
    TfrmMain main(options);
    main.show();
    QElapsedTimer wait;
    wait.start();
    while (!main.session().state().Connected && wait.elapsed() < 20000)
        runFor(100);
    if (!main.session().state().Connected) {
        std::fprintf(stderr, "monitor_window_cpu: no connection to %s\n", qPrintable(pty));
        return 1;
    }
    TfrmMonitor *w = main.findChild<MainWindowMonitoring *>()->openWindow();
    MonitorSettings s;
    s.config.dir = dir.filePath("out");
    s.config.intervalMs = 100;
    s.config.periodS = 60;
    s.config.warnTenths = 700;
    s.config.alarmTenths = 800;
    if (!w || !w->start(s)) {
        std::fprintf(stderr, "monitor_window_cpu: the monitoring run did not start\n");
        return 1;
    }
    runFor(10000);
    const double cpu0 = cpuSeconds();
    QElapsedTimer run;
    run.start();
    runFor(qint64(seconds) * 1000);
    const double cpu = cpuSeconds() - cpu0;
    const double wall = double(run.elapsed()) / 1000;
    w->stop();
    sim.kill();
    sim.waitForFinished(2000);

    qint64 samples = 0;
    for (const QFileInfo &f : QDir(s.config.dir).entryInfoList({"*.samples.csv"})) {
        QFile in(f.filePath());
        if (in.open(QIODevice::ReadOnly))
            samples += in.readAll().count('\n') - 1;
    }
    std::printf("monitor_window_cpu: %.2f %% of one core (window monitoring at 0.1 s, control panel live)\n",
                100.0 * cpu / wall);
    std::printf("monitor_window_cpu: %.1f s measured\n", wall);
    std::printf("monitor_window_cpu: %lld samples\n", static_cast<long long>(samples));
    return 0;
}
