#include "realtime/RealTimeRecorder.h"

#include "app/SystemFormats.h"
#include "realtime/SamplingStep.h"

#include <utility>

namespace {
constexpr double SecondsPerDay = 86400.0;
constexpr double Span100s = 100.0 / SecondsPerDay;
constexpr double Span30s = 30.0 / SecondsPerDay;
} // namespace

void RealTimeRecorder::windowClosed()
{
    // The window's owner sets Run and Stop: Run only comes back while the meter is connected.
    m_state.RealTimeRunning = false;
    m_sampleCount = 0;
    m_target = nullptr;
    if (m_journal)
        m_journal->discard();
}

void RealTimeRecorder::samplesCleared()
{
    if (m_state.RealTimeRunning)
        return;
    m_sampleCount = 0;
    if (m_journal)
        m_journal->discard();
}

void RealTimeRecorder::saved()
{
    if (!m_state.RealTimeRunning && m_journal)
        m_journal->discard();
}

void RealTimeRecorder::prepare(int n, TDateTime t)
{
    if (m_target) {
        m_target->setPoints(n);
        m_target->resetData();
    }
    m_sampleCount = 0;
    m_max = -9999;
    m_min = 9999;
    if (m_target) {
        m_target->clearStatistics();
        m_target->setStartTime(dateTimeText(t));
        m_target->setManualMinX(t);
        m_target->setManualMaxX(t + Span100s);
        m_target->setClearEnabled(false);
    }
}

void RealTimeRecorder::restore(const std::vector<TDateTime> &x, const std::vector<float> &y, float rate, TDateTime now)
{
    if (!m_target || x.empty() || x.size() != y.size() || m_state.RealTimeRunning)
        return;
    m_state.SamplingInterval = rate;
    prepare(int(x.size()), x.front());
    // The chart is drawn once, at the end, not per sample.
    m_state.RealTimeRunning = true;
    for (size_t i = 0; i < x.size(); ++i)
        take(y[i], x[i]);
    m_state.RealTimeRunning = false;
    m_lastSampleTime = now;
    // No recording ran: Run and Stop stay as the link has set them.
    auto changed = std::exchange(runningChanged, nullptr);
    stop(x.back());
    runningChanged = std::move(changed);
    m_state.RealTimeUnsaved = true;
}

void RealTimeRecorder::begin(int n, float rate, TDateTime t)
{
    m_state.SamplingInterval = rate;
    prepare(n, t);
    if (m_journal)
        m_journal->begin(rate, n);
    m_state.RealTimeRunning = true;
    if (runningChanged)
        runningChanged(true);
}

void RealTimeRecorder::sample(float v, TDateTime t)
{
    if (!m_state.RealTimeRunning || !m_target)
        return;
    if (!samplingDue(t - m_lastSampleTime, double(m_state.SamplingInterval) / SecondsPerDay))
        return;
    m_lastSampleTime = t;
    if (m_journal)
        m_journal->add(t, v);
    take(v, t);
    if (!m_target->fastestRateShown() || m_sampleCount % 2 == 0)
        m_target->redraw();
    if (m_sampleCount >= m_target->points())
        stop(now ? now() : t);
}

void RealTimeRecorder::take(float v, TDateTime t)
{
    m_state.RealTimeUnsaved = true;
    if (v > m_max) {
        m_max = v;
        m_maxTime = t;
        m_target->setMaximum(levelText(v), dateTimeText(t));
    }
    if (v < m_min) {
        m_min = v;
        m_minTime = t;
        m_target->setMinimum(levelText(v), dateTimeText(t));
    }

    const int k = m_sampleCount;
    m_target->setPoint(k, t, v);
    m_sampleCount = k + 1;
    m_target->setDataNo(m_sampleCount);
    if (m_target->manualMaxX() < t)
        m_target->setManualMaxX(t + Span30s);
}

void RealTimeRecorder::stop(TDateTime t)
{
    m_state.RealTimeRunning = false;
    if (runningChanged)
        runningChanged(false);
    RealTimeTarget *w = m_target;
    if (!w)
        return;
    w->restoreNormal();
    w->setClearEnabled(true);

    const int c = m_sampleCount;
    if (w->points() > c) {
        // The chart keeps exactly the samples taken.
        const TDateTime x = c > 0 ? w->pointX(c - 1) : 0;
        const float y = c > 0 ? w->pointY(c - 1) : 0;
        w->setPoints(c);
        if (c > 0)
            w->setPoint(c - 1, x, y);
        w->redraw();
    }
    w->setManualMaxX(t);

    double sum = 0;
    for (int i = 0; i < c; ++i)
        sum += w->pointY(i);
    w->setAverage(levelText(c > 0 ? sum / c : 0.0));
    w->setSlider(sliderSpan(c));
    w->redraw();
}
