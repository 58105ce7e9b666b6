// The monitoring window's day chart and folder: a day of 864,000 samples (10 a second) redrawn
// and paged to, and a folder of 30 days at one sample a second opened until its last day is shown.
#include "monitor/Journal.h"
#include "monitor/MonitorTime.h"
#include "monitor/Summarize.h"
#include "monitor/ui/DayChart.h"
#include "monitor/ui/TfrmMonitor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// `days` journals from 2026-12-01 with `perSecond` samples a second.
void writeJournals(const QString &dir, int days, int perSecond)
{
    const Stamp first = *MonitorText::parseStamp("2026-12-01T00:00:00.000+01:00");
    quint32 noise = 12345;
    for (int d = 0; d < days; ++d) {
        QFile f(Journal::fileName(dir, first.localDay() + d));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        QByteArray buffer = Journal::Header + '\n';
        const qint64 n = 86400LL * perSecond;
        for (qint64 i = 0; i < n; ++i) {
            noise = noise * 1664525u + 1013904223u;
            Sample s;
            s.time = {first.utcMs + qint64(d) * 86400000 + i * 1000 / perSecond, first.offsetS};
            s.tenths = 350 + int(noise >> 16) % 550;
            MonitorText::appendSampleLine(buffer, s);
            buffer.append('\n');
            if (buffer.size() > (1 << 20)) {
                f.write(buffer);
                buffer.clear();
            }
        }
        f.write(buffer);
    }
}

template <typename F> double bestMs(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    SystemMonitorTime time;
    {
        QTemporaryDir dir;
        writeJournals(dir.path(), 2, 10);
        summarizeFolder(dir.path(), 900);
        TfrmMonitor w(nullptr, time);
        w.resize(1200, 800);
        w.show();
        w.openFolder(dir.path());
        QCoreApplication::processEvents();
        const double redraw = bestMs(20, [&] { w.chart->replot(); });
        const double page = bestMs(3, [&] {
            w.showPreviousDay();
            w.chart->replot();
            w.showNextDay();
            w.chart->replot();
        }) / 2;
        std::printf("day chart redraw, 864000 samples: %.1f ms\n", redraw);
        std::printf("paging to a day of 864000 samples: %.1f ms\n", page);
    }
    {
        QTemporaryDir dir;
        writeJournals(dir.path(), 30, 1);
        summarizeFolder(dir.path(), 900);
        QElapsedTimer t;
        t.start();
        TfrmMonitor w(nullptr, time);
        w.resize(1200, 800);
        w.show();
        w.openFolder(dir.path());
        w.chart->replot();
        std::printf("opening a 30-day folder at 1 sample/s until the last day is shown: %.1f ms\n",
                    double(t.nsecsElapsed()) / 1e6);
    }
    return 0;
}
