// The real-time recording without a window: sampling, the automatic and the user's stop, the
// running extremes, the start dialog's arithmetic and the statistics every graph window shows.
#include "app/Catalogue.h"
#include "app/SystemFormats.h"
#include "graph/ChartStatistics.h"
#include "graph/SamplingRateChoice.h"
#include "realtime/RealTimeRecorder.h"
#include "realtime/RealTimeSetup.h"

#include <QLocale>
#include <QtTest>
#include <vector>

namespace {

constexpr double Day = 86400.0;
constexpr TDateTime T0 = 46365.5; // 9 Dec 2026, 12:00

TDateTime at(double seconds) { return T0 + seconds / Day; }

// A chart and statistics panel that remembers what the recording did to it.
struct FakeWindow : RealTimeTarget {
    int pointCount = 2000;
    std::vector<double> x = std::vector<double>(100000, 9999);
    std::vector<float> y = std::vector<float>(100000, 9999);
    double minX = 0, maxX = 0;
    int redraws = 0;
    bool fastest = false;
    bool restored = false;
    bool clearEnabled = true;
    bool cleared = false;
    QString startTime, maxLevel, maxTime, minLevel, minTime, average;
    int dataNo = -1;
    SliderSpan slider{-1, -1, -1, -1};

    int points() const override { return pointCount; }
    void setPoints(int n) override { pointCount = n; }
    void resetData() override
    {
        std::fill(x.begin(), x.end(), 9999);
        std::fill(y.begin(), y.end(), 9999);
    }
    void setPoint(int k, TDateTime tx, float ty) override
    {
        x.at(k) = tx;
        y.at(k) = ty;
    }
    TDateTime pointX(int k) const override { return x.at(k); }
    float pointY(int k) const override { return y.at(k); }
    void setManualMinX(double v) override { minX = v; }
    double manualMaxX() const override { return maxX; }
    void setManualMaxX(double v) override { maxX = v; }
    void redraw() override { ++redraws; }
    bool fastestRateShown() const override { return fastest; }
    void restoreNormal() override { restored = true; }
    void setClearEnabled(bool e) override { clearEnabled = e; }
    void clearStatistics() override { cleared = true; }
    void setStartTime(const QString &t) override { startTime = t; }
    void setMaximum(const QString &l, const QString &t) override { maxLevel = l, maxTime = t; }
    void setMinimum(const QString &l, const QString &t) override { minLevel = l, minTime = t; }
    void setDataNo(int n) override { dataNo = n; }
    void setAverage(const QString &t) override { average = t; }
    void setSlider(const SliderSpan &s) override { slider = s; }
};

struct Rig {
    LinkState state;
    FakeWindow window;
    RealTimeRecorder recorder{state};
    QList<bool> runningCalls;
    double clockNow = 0;
    Rig()
    {
        recorder.setTarget(&window);
        recorder.runningChanged = [this](bool on) { runningCalls << on; };
        recorder.now = [this] { return clockNow; };
        recorder.windowOpened(T0);
    }
    // Frames every `step` seconds from `from` for `count` frames, levels from `level`.
    void frames(double from, double step, int count, const std::function<float(int)> &level)
    {
        for (int i = 0; i < count; ++i) {
            clockNow = at(from + i * step);
            recorder.sample(level(i), clockNow);
        }
    }
};

} // namespace

class TestRealTime : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void startResetsChartAndFields();
    void recordingEndsByItselfAtTheCount();
    void stopKeepsExactlyTheSamples();
    void stopWithoutSamples();
    void typedRateSelectsNearestEntryButSamplesAtItsOwnRate();
    void extremesKeepTheEarlierTie();
    void fastestRateRedrawsEveryOtherSample();
    void nothingSampledWithoutRunningOrWindow();
    void closingTheWindowEndsTheRecording();
    void periodTexts();
    void startDialogInput();
    void rateToEntryBoundaries();
    void chartStatisticsRateAndTies();
    void cursorStatisticsEitherOrder();
    void germanFormats();
};

void TestRealTime::startResetsChartAndFields()
{
    Rig r;
    r.window.setPoint(5, at(1), 60);
    r.recorder.begin(300, 0.5f, at(10));
    QCOMPARE(r.window.pointCount, 300);
    QCOMPARE(r.window.y[5], 9999.0f);
    QVERIFY(r.window.cleared);
    QCOMPARE(r.window.minX, at(10));
    QCOMPARE(r.window.maxX, at(10) + 0.0011574074074074073);
    QVERIFY(!r.window.clearEnabled);
    QVERIFY(r.state.RealTimeRunning);
    QCOMPARE(r.state.SamplingInterval, 0.5f);
    QCOMPARE(r.runningCalls, QList<bool>{true});
    QCOMPARE(r.recorder.sampleCount(), 0);
    QCOMPARE(r.recorder.runningMaximum(), -9999.0f);
    QCOMPARE(r.recorder.runningMinimum(), 9999.0f);
}

void TestRealTime::recordingEndsByItselfAtTheCount()
{
    Rig r;
    r.recorder.begin(100, 1.0f, at(0));
    // Frames four times a second for far longer than 100 s.
    r.frames(1.0, 0.25, 1000, [](int i) { return 40.0f + (i % 50) * 0.1f; });
    QCOMPARE(r.recorder.sampleCount(), 100);
    QVERIFY(!r.state.RealTimeRunning);
    QCOMPARE(r.window.pointCount, 100);
    QCOMPARE(r.runningCalls, (QList<bool>{true, false}));
    QCOMPARE(r.window.dataNo, 100);
    QVERIFY(r.state.RealTimeUnsaved);
    // Samples never lie closer than the rate.
    for (int k = 1; k < 100; ++k)
        QVERIFY2((r.window.x[k] - r.window.x[k - 1]) * Day >= 1.0 - 1e-6, qPrintable(QString::number(k)));
    QCOMPARE(r.window.slider.max, 99);
    QCOMPARE(r.window.slider.a, 33);
    QCOMPARE(r.window.slider.b, 66);
}

void TestRealTime::stopKeepsExactlyTheSamples()
{
    Rig r;
    r.recorder.begin(2000, 0.2f, at(0));
    r.frames(0.5, 0.5, 37, [](int i) { return 50.0f + i; });
    QCOMPARE(r.recorder.sampleCount(), 37);
    r.recorder.stop(at(30));
    QCOMPARE(r.window.pointCount, 37);
    QCOMPARE(r.window.y[36], 86.0f);
    QCOMPARE(r.window.maxX, at(30));
    QCOMPARE(r.window.slider.min, 0);
    QCOMPARE(r.window.slider.max, 36);
    QCOMPARE(r.window.slider.a, 12);
    QCOMPARE(r.window.slider.b, 24);
    QCOMPARE(r.window.average, QString("68.0")); // mean of 50 .. 86
    QVERIFY(r.window.restored);
    QVERIFY(r.window.clearEnabled);
    QVERIFY(!r.state.RealTimeRunning);
    // A later frame is not sampled any more.
    r.recorder.sample(99, at(40));
    QCOMPARE(r.recorder.sampleCount(), 37);
}

void TestRealTime::stopWithoutSamples()
{
    Rig r;
    r.recorder.begin(2000, 0.2f, at(0));
    r.recorder.stop(at(5));
    QCOMPARE(r.window.average, QString("0.0"));
    QCOMPARE(r.window.pointCount, 0);
    QCOMPARE(r.window.slider.max, -1);
}

void TestRealTime::typedRateSelectsNearestEntryButSamplesAtItsOwnRate()
{
    const RealTimeStart s = readRealTimeStart(" 2000", "0.3");
    QVERIFY(s.ok);
    QCOMPARE(RateToEntry(s.rate), 2); // the 0.5 s entry
    Rig r;
    r.recorder.begin(s.count, s.rate, at(0));
    r.frames(0.1, 0.1, 100, [](int) { return 60.0f; });
    QVERIFY(r.recorder.sampleCount() >= 20); // not every 0.5 s
    for (int k = 1; k < r.recorder.sampleCount(); ++k) {
        const double gap = (r.window.x[k] - r.window.x[k - 1]) * Day;
        QVERIFY2(gap >= 0.3 - 1e-6 && gap < 0.45, qPrintable(QString::number(gap)));
    }
}

void TestRealTime::extremesKeepTheEarlierTie()
{
    Rig r;
    r.recorder.begin(10, 0, at(0));
    const float levels[] = {50, 70, 40, 70, 40, 60};
    r.frames(1, 1, 6, [&](int i) { return levels[i]; });
    QCOMPARE(r.recorder.runningMaximum(), 70.0f);
    QCOMPARE(r.recorder.maximumTime(), at(2));
    QCOMPARE(r.recorder.minimumTime(), at(3));
    QCOMPARE(r.window.maxLevel, QString("70.0"));
    QCOMPARE(r.window.maxTime, dateTimeText(at(2)));
    QCOMPARE(r.window.minLevel, QString("40.0"));
}

void TestRealTime::fastestRateRedrawsEveryOtherSample()
{
    Rig r;
    r.window.fastest = true;
    r.recorder.begin(1000, 0.1f, at(0));
    r.frames(1, 0.5, 9, [](int) { return 50.0f; });
    QCOMPARE(r.window.redraws, 4);
    r.window.fastest = false;
    r.frames(10, 0.5, 3, [](int) { return 50.0f; });
    QCOMPARE(r.window.redraws, 7);
}

void TestRealTime::nothingSampledWithoutRunningOrWindow()
{
    Rig r;
    r.recorder.sample(50, at(10)); // not started
    QCOMPARE(r.recorder.sampleCount(), 0);
    QVERIFY(!r.state.RealTimeUnsaved);
    r.recorder.begin(10, 0.2f, at(0));
    r.recorder.setTarget(nullptr);
    r.recorder.sample(50, at(10));
    QCOMPARE(r.recorder.sampleCount(), 0);
    // Frames closer than the rate to the last sample (the window's opening time) are skipped.
    Rig q;
    q.recorder.begin(10, 1.0f, at(0));
    q.recorder.sample(50, at(0.5));
    QCOMPARE(q.recorder.sampleCount(), 0);
    q.recorder.sample(50, at(1.1));
    QCOMPARE(q.recorder.sampleCount(), 1);
}

void TestRealTime::closingTheWindowEndsTheRecording()
{
    Rig r;
    r.recorder.begin(10, 0.2f, at(0));
    r.frames(1, 1, 3, [](int) { return 50.0f; });
    r.recorder.windowClosed();
    QVERIFY(!r.state.RealTimeRunning);
    QCOMPARE(r.recorder.sampleCount(), 0);
    QCOMPARE(r.runningCalls, QList<bool>{true});
    QVERIFY(!r.recorder.target());
}

void TestRealTime::periodTexts()
{
    QCOMPARE(initialPeriodText(0.2), QString("0:6:40"));
    QCOMPARE(recordingPeriodText(2000, 0.2), QString("0:06:40"));
    QCOMPARE(recordingPeriodText(99999, 30), QString("833:19:30"));
    QCOMPARE(recordingPeriodText(0, 30), QString("0:00:00"));
    QCOMPARE(initialPeriodText(30), QString("16:40:0"));
}

void TestRealTime::startDialogInput()
{
    int n = 0;
    QVERIFY(parseValueCount(" 2000", &n) && n == 2000);
    QVERIFY(parseValueCount("  12  ", &n) && n == 12);
    QVERIFY(!parseValueCount("     ", &n));
    QVERIFY(!parseValueCount("20 00", &n));
    QVERIFY(!parseValueCount("1e3", &n));

    RealTimeStart s = readRealTimeStart("20 00", "0.2");
    QVERIFY(!s.ok);
    QCOMPARE(s.message, QString("20 00 nicht gültig"));
    s = readRealTimeStart("    0", "0.2");
    QVERIFY(!s.ok);
    QCOMPARE(s.message, QString("    0 nicht gültig"));
    s = readRealTimeStart(" 2000", "abc");
    QVERIFY(!s.ok);
    QCOMPARE(s.message, QString("'abc' is not a valid floating point value"));
    s = readRealTimeStart("99999", "30.0");
    QVERIFY(s.ok);
    QCOMPARE(s.count, 99999);
    QCOMPARE(s.rate, 30.0f);
}

void TestRealTime::rateToEntryBoundaries()
{
    QCOMPARE(RateToEntry(0), 0);
    QCOMPARE(RateToEntry(0.1499), 0);
    QCOMPARE(RateToEntry(0.15), 1);
    QCOMPARE(RateToEntry(0.25), 2);
    QCOMPARE(RateToEntry(0.55), 3);
    QCOMPARE(RateToEntry(1.5), 4);
    QCOMPARE(RateToEntry(2.5), 5);
    QCOMPARE(RateToEntry(5.5), 6);
    QCOMPARE(RateToEntry(10.5), 7);
    QCOMPARE(RateToEntry(20.5), 8);
    QCOMPARE(RateToEntry(30.4999), 8);
    QCOMPARE(RateToEntry(30.5), -1);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(RateToEntry(SamplingRates[i]), i);
}

void TestRealTime::chartStatisticsRateAndTies()
{
    std::vector<double> x;
    std::vector<float> y;
    for (int i = 0; i < 10; ++i) {
        x.push_back(at(i));
        y.push_back(i == 3 || i == 7 ? 80.0f : 50.0f + i);
    }
    y[5] = 30;
    y[8] = 30;
    const ChartStatistics s = chartStatistics(x.data(), y.data(), 10);
    QCOMPARE(s.count, 10);
    QCOMPARE(levelText(s.rate), QString("0.9"));
    QCOMPARE(s.maxIndex, 3);
    QCOMPARE(s.maxTime, at(3));
    QCOMPARE(s.minIndex, 5);
    QCOMPARE(s.startTime, at(0));
    QCOMPARE(chartStatistics(x.data(), y.data(), 0).count, 0);
    QCOMPARE(chartStatistics(x.data(), y.data(), 0).average, 0.0);
}

void TestRealTime::cursorStatisticsEitherOrder()
{
    const double x[] = {at(0), at(1), at(2), at(3), at(4)};
    const float y[] = {50, 70, 70, 40, 60};
    const CursorStatistics s = cursorStatistics(x, y, 5, 4, 1);
    QVERIFY(s.valid);
    QCOMPARE(s.maximum, 70.0f);
    QCOMPARE(s.maxTime, at(1)); // the earlier of the equal maxima
    QCOMPARE(s.minimum, 40.0f);
    QCOMPARE(s.average, 60.0);
    const CursorStatistics same = cursorStatistics(x, y, 5, 1, 4);
    QCOMPARE(same.average, s.average);
    const CursorStatistics one = cursorStatistics(x, y, 5, 3, 3);
    QCOMPARE(one.maximum, 40.0f);
    QCOMPARE(one.minimum, 40.0f);
    QCOMPARE(one.minTime, at(3));
    QVERIFY(!cursorStatistics(x, y, 0, 0, 0).valid); // no points
    QCOMPARE(cursorLineLabel(at(3723), 54.44f), QString("|t13:02:03\n54.4dB"));
    QCOMPARE(pointerReadout(61.25, at(3723)), QString("61.3dB@13:02:03"));
}

void TestRealTime::germanFormats()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(samplingRateTexts().first(), QString("0,1"));
    QCOMPARE(samplingRateTexts().last(), QString("30,0"));
    QCOMPARE(levelText(54.44), QString("54,4"));
    QCOMPARE(dateTimeText(at(3723.5)), QString("09.12.26 13:02:03"));
    const RealTimeStart s = readRealTimeStart(" 2000", "0,3");
    QVERIFY(s.ok);
    QCOMPARE(s.rate, 0.3f);
    QVERIFY(!readRealTimeStart(" 2000", "0.3x").ok);
    // No group separators, neither typed nor shown: "0.500" is not 500 s, 1200 s is "1200,0".
    const RealTimeStart grouped = readRealTimeStart(" 2000", "0.500");
    QVERIFY(!grouped.ok);
    QCOMPARE(grouped.message, QString("'0.500' is not a valid floating point value"));
    QCOMPARE(chooseSamplingRate("1.000", false, 0.2).rate, 0.2);
    QCOMPARE(levelText(1200.0), QString("1200,0"));
    QCOMPARE(levelText(-12345.0), QString("-12345,0"));
}

QTEST_GUILESS_MAIN(TestRealTime)
#include "test_realtime.moc"
