// Chart widget speed and memory, offscreen: a full redraw against a bare QCustomPlot holding the
// same data in the same run, one appended sample in a real-time chart, and the memory of a
// chart's readings.
#include "chart/ui/PESGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <qcustomplot.h>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kStart = 46000.5;

struct Readings {
    std::vector<double> x;
    std::vector<float> y;
};

Readings makeReadings(int n)
{
    Readings r;
    r.x.resize(size_t(n));
    r.y.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        r.x[size_t(i)] = kStart + i / 86400.0;
        r.y[size_t(i)] = float(60.0 + 20.0 * std::sin(i * 0.001) + (i % 7));
    }
    return r;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double chartRedrawMs(const Readings &r, int repeats)
{
    PESGraph g;
    g.resize(kWidth, kHeight);
    g.setDateTimeMode(sgVBDateTime);
    g.setPoints(int(r.x.size()));
    std::vector<double> times;
    for (int k = 0; k < repeats; ++k) {
        QElapsedTimer t;
        t.start();
        g.setXDataII(0, r.x.data(), qsizetype(r.x.size()));
        g.setYData(0, r.y.data(), qsizetype(r.y.size()));
        g.Redraw();
        times.push_back(ms(t));
    }
    return median(times);
}

// The same work done directly: the arrays turned into the plot's data, scaled and drawn.
double bareRedrawMs(const Readings &r, int repeats)
{
    QCustomPlot p;
    p.resize(kWidth, kHeight);
    p.setViewport(p.rect());
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeSpec(Qt::UTC);
    p.xAxis->setTicker(ticker);
    QCPGraph *graph = p.addGraph();
    graph->setAdaptiveSampling(true);
    std::vector<double> times;
    for (int k = 0; k < repeats; ++k) {
        QElapsedTimer t;
        t.start();
        QVector<QCPGraphData> data;
        data.reserve(qsizetype(r.x.size()));
        for (size_t i = 0; i < r.x.size(); ++i)
            data.append(QCPGraphData((r.x[i] - 25569.0) * 86400.0, double(r.y[i])));
        graph->data()->set(data, true);
        p.rescaleAxes();
        p.replot();
        times.push_back(ms(t));
    }
    return median(times);
}

double realtimeSampleMs(bool manualScales)
{
    constexpr int kFilled = 100'000;
    constexpr int kSamples = 200;
    PESGraph g;
    g.resize(kWidth, kHeight);
    g.setDateTimeMode(sgVBDateTime);
    g.setPoints(kFilled + kSamples);
    if (manualScales) {
        g.setManualScaleControlX(sgManualMinAndMax);
        g.setManualMinX(kStart);
        g.setManualMaxX(kStart + (kFilled + kSamples) / 86400.0);
        g.setManualScaleControlY(sgManualMinAndMax);
        g.setManualMinY(30);
        g.setManualMaxY(130);
    }
    for (int i = 0; i < kFilled; ++i) {
        g.setXDataII(0, i, kStart + i / 86400.0);
        g.setYData(0, i, float(60 + i % 13));
    }
    g.PEactions(sgReinitAndReset);
    QElapsedTimer t;
    t.start();
    for (int i = kFilled; i < kFilled + kSamples; ++i) {
        g.setXDataII(0, i, kStart + i / 86400.0);
        g.setYData(0, i, float(60 + i % 13));
        g.PEactions(sgResetImage);
        g.PEactions(sgInvalidateImage);
    }
    return ms(t) / kSamples;
}

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

double memoryOfSamplesMB(int samples)
{
    PESGraph g;
    g.resize(kWidth, kHeight);
    g.setDateTimeMode(sgVBDateTime);
    g.PEactions(sgResetImage);
    const double before = residentMB();
    g.setPoints(samples);
    for (int i = 0; i < samples; ++i) {
        g.setXDataII(0, i, kStart + i / 86400.0);
        g.setYData(0, i, float(60 + i % 13));
    }
    g.PEactions(sgResetImage);
    return residentMB() - before;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Memory first, before the large runs have grown the heap.
    const double memory = memoryOfSamplesMB(99'999);

    for (int n : {10'000, 100'000, 1'000'000}) {
        const Readings r = makeReadings(n);
        const int repeats = n >= 1'000'000 ? 5 : 11;
        const double bare = bareRedrawMs(r, repeats);
        const double chart = chartRedrawMs(r, repeats);
        std::printf("redraw_ms_%d: %.2f ms\n", n, chart);
        std::printf("bare_qcustomplot_ms_%d: %.2f ms\n", n, bare);
        std::printf("redraw_ratio_%d: %.2f ratio\n", n, chart / bare);
    }
    std::printf("realtime_sample_100k: %.2f ms\n", realtimeSampleMs(true));
    std::printf("realtime_sample_100k_autoscale: %.2f ms\n", realtimeSampleMs(false));
    std::printf("memory_99999: %.2f MB\n", memory);
    return 0;
}
