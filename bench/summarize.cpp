// Rebuilding a monitoring folder from its journals: 3 and 30 days at one sample a second, the time
// of the rebuild and the process's peak memory after each, and their growth from 3 to 30 days.
#include "monitor/Journal.h"
#include "monitor/Summarize.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

double peakRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// Writes `days` journal files of 86,400 samples each, a winter week's worth of levels.
void writeJournals(const QString &dir, int days)
{
    const Stamp first = *MonitorText::parseStamp("2026-12-01T00:00:00.000+01:00");
    quint32 noise = 12345;
    QByteArray buffer;
    for (int d = 0; d < days; ++d) {
        QFile f(Journal::fileName(dir, first.localDay() + d));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        buffer = Journal::Header + '\n';
        for (int s = 0; s < 86400; ++s) {
            noise = noise * 1664525u + 1013904223u;
            Sample sample;
            sample.time = {first.utcMs + (qint64(d) * 86400 + s) * 1000 + qint64(noise >> 29), first.offsetS};
            sample.tenths = 350 + int(noise >> 16) % 550;
            MonitorText::appendSampleLine(buffer, sample);
            buffer.append('\n');
            if (buffer.size() > (1 << 20)) {
                f.write(buffer);
                buffer.clear();
            }
        }
        f.write(buffer);
    }
}

double summarizeSeconds(int days, double &rssMb)
{
    QTemporaryDir dir;
    writeJournals(dir.path(), days);
    QElapsedTimer t;
    t.start();
    const SummarizeReport r = summarizeFolder(dir.path(), 900);
    const double s = double(t.nsecsElapsed()) / 1e9;
    if (r.error || r.samples != qint64(days) * 86400)
        qFatal("summarize failed: %s", qPrintable(r.error.message()));
    rssMb = peakRssMb();
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    double rss3 = 0, rss30 = 0;
    const double s3 = summarizeSeconds(3, rss3);
    const double s30 = summarizeSeconds(30, rss30);
    std::printf("summarize_3_days: %.3f s\n", s3);
    std::printf("summarize_30_days: %.3f s\n", s30);
    std::printf("peak_rss_3_days: %.1f MB\n", rss3);
    std::printf("peak_rss_30_days: %.1f MB\n", rss30);
    std::printf("rss_growth_3_to_30_days: %.1f MB\n", rss30 - rss3);
    std::printf("time_ratio_30_to_3_days: %.2f x\n", s30 / s3);
    return 0;
}
