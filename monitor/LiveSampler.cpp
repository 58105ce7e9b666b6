#include "monitor/LiveSampler.h"

#include "link/Protocol.h"
#include "panel/ReadingDecoder.h"
#include "realtime/SamplingStep.h"

#include <cmath>
#include <utility>

LiveReading readLiveFrame(const QByteArray &frame, const Stamp &time, qint64 steadyMs)
{
    const LiveStatus s = LiveStatus::parse(frame);
    LiveReading r;
    r.time = time;
    r.steadyMs = steadyMs;
    r.tenths = int(std::lround(double(decodeReading(s).level) * 10.0));
    r.weighting = s.weightingA ? Weighting::A : Weighting::C;
    r.response = s.fast ? Response::Fast : Response::Slow;
    // In the recall display (MAX/MIN mode off) the level field holds the stored value shown.
    r.isLevel = !s.recallShown || s.maxMin;
    return r;
}

MonitorError LiveSampler::reading(const LiveReading &r)
{
    // A frame decoded while a command holds the port was left over from before it took the port;
    // the command's end resumes the sampling.
    if (m_paused)
        return {};
    m_lastFrameMs = r.steadyMs;
    if (m_lost) {
        m_lost = false;
        if (const MonitorError e = m_core.connectionResumed(r.time))
            return e;
    }
    if (!r.isLevel)
        return {};
    if (m_haveSample && !samplingDue(double(r.steadyMs - m_lastSampleMs), double(m_intervalMs)))
        return {};
    m_haveSample = true;
    m_lastSampleMs = r.steadyMs;
    ++m_samples;
    return m_core.addSample(Sample{r.time, r.tenths, r.weighting, r.response});
}

MonitorError LiveSampler::tick(const Stamp &now, qint64 steadyMs)
{
    if (!m_lost && !m_paused && steadyMs - m_lastFrameMs >= SilenceLimitMs) {
        m_lost = true;
        if (const MonitorError e = m_core.connectionLost(now))
            return e;
    }
    return m_core.tick(now);
}

MonitorError LiveSampler::paused(const Stamp &now, const QString &reason)
{
    m_paused = true;
    if (m_lost)
        return {};
    m_lost = true;
    m_lostByPause = true;
    return m_core.connectionLost(now, reason.toUtf8());
}

MonitorError LiveSampler::resumed(const Stamp &now, qint64 steadyMs)
{
    m_paused = false;
    m_lastFrameMs = steadyMs;
    if (!std::exchange(m_lostByPause, false) || !m_lost)
        return {};
    m_lost = false;
    return m_core.connectionResumed(now);
}

void connectSampler(LiveFeed &feed, LiveSampler &sampler, std::function<Stamp()> now,
                    std::function<qint64()> steadyMs, std::function<void(const MonitorError &)> failed)
{
    feed.setFrameHandler([&sampler, now, steadyMs, failed](const QByteArray &frame) {
        if (const MonitorError e = sampler.reading(readLiveFrame(frame, now(), steadyMs())))
            failed(e);
    });
    feed.setPauseHandlers(
        [&sampler, now, failed](const QString &reason) {
            if (const MonitorError e = sampler.paused(now(), reason))
                failed(e);
        },
        [&sampler, now, steadyMs, failed] {
            if (const MonitorError e = sampler.resumed(now(), steadyMs()))
                failed(e);
        });
}

void disconnectSampler(LiveFeed &feed)
{
    feed.setFrameHandler({});
    feed.setPauseHandlers({}, {});
}
