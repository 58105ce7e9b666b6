#include "cli/LiveCommand.h"

#include "app/TDateTime.h"
#include "cli/CliLink.h"
#include "data/DateTimeText.h"
#include "panel/ReadingDecoder.h"
#include "realtime/RealTimeRecorder.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <memory>
#include <vector>

namespace {

// The recording's chart, as lines: every sample is written the moment it is taken.
class LineTarget : public RealTimeTarget {
public:
    explicit LineTarget(LiveSink sink) : m_sink(std::move(sink)) {}
    bool failed = false;

    int points() const override { return m_points; }
    void setPoints(int n) override
    {
        m_points = n;
        m_x.resize(size_t(std::max(n, 0)));
        m_y.resize(size_t(std::max(n, 0)));
    }
    void resetData() override {}
    void setPoint(int k, TDateTime x, float y) override
    {
        if (k < 0 || size_t(k) >= m_x.size())
            return;
        const bool fresh = k >= m_written;
        m_x[size_t(k)] = x;
        m_y[size_t(k)] = y;
        if (fresh) {
            m_written = k + 1;
            if (!m_sink(x, y))
                failed = true;
        }
    }
    TDateTime pointX(int k) const override { return m_x.at(size_t(k)); }
    float pointY(int k) const override { return m_y.at(size_t(k)); }
    void setManualMinX(double) override {}
    double manualMaxX() const override { return 0; }
    void setManualMaxX(double) override {}
    void redraw() override {}
    bool fastestRateShown() const override { return false; }
    void restoreNormal() override {}
    void setClearEnabled(bool) override {}
    void clearStatistics() override {}
    void setStartTime(const QString &) override {}
    void setMaximum(const QString &, const QString &) override {}
    void setMinimum(const QString &, const QString &) override {}
    void setDataNo(int) override {}
    void setAverage(const QString &) override {}
    void setSlider(const SliderSpan &) override {}

private:
    LiveSink m_sink;
    int m_points = 0;
    int m_written = 0;
    std::vector<double> m_x;
    std::vector<float> m_y;
};

} // namespace

QString liveStdoutLine(double t, float level)
{
    return fromTDateTime(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QLatin1Char('\t')
           + QString::number(double(level), 'f', 1);
}

LiveSink graphTextSink(QIODevice &device, char separator)
{
    auto formatter = std::make_shared<GraphLineFormatter>(separator);
    return [&device, formatter](TDateTime t, float level) {
        if (!formatter->write(device, t, level))
            return false;
        auto *file = qobject_cast<QFileDevice *>(&device);
        return !file || file->flush();
    };
}

int runLiveSampling(CliLink &cli, const LiveOptions &options, const LiveSink &sink,
                    const std::function<bool()> &stopRequested)
{
    LinkState &state = cli.state();
    LineTarget target(sink);
    RealTimeRecorder recorder(state);
    recorder.setTarget(&target);
    recorder.now = [&cli] { return cli.clock().now(); };
    recorder.windowOpened(cli.clock().now());
    recorder.begin(options.count, float(options.interval), cli.clock().now());

    cli.link().onFrame = [&](const QByteArray &frame) {
        recorder.sample(decodeReading(frame).level, cli.clock().now());
    };
    while (recorder.running() && !target.failed && !stopRequested())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    cli.link().onFrame = {};
    const int taken = recorder.sampleCount();
    if (recorder.running())
        recorder.stop(cli.clock().now());
    return target.failed ? -1 : taken;
}
