#pragma once
// The monitor's sampling step on the live meter link: takes a sample exactly as the real-time
// recording does (the first reading at least one interval after the previous sample) and hands it
// to the monitoring core. When no valid frame has come for three seconds the connection counts as
// lost (an event, and no samples are made up for the gap); the next valid frame resumes it.
//
// It knows nothing of the port: whoever holds the meter link feeds it readings (LiveFeed) and
// ticks it now and then, so the command-line tool and a window can run the same sampler.
#include "monitor/MonitorCore.h"
#include "monitor/Sample.h"

#include <QByteArray>
#include <QString>
#include <functional>

// A meter link as the monitor sees it: every valid live frame, as it arrives.
class LiveFeed {
public:
    virtual ~LiveFeed() = default;
    // handler gets the 19 bytes of each valid frame from now on; an empty handler ends that.
    virtual void setFrameHandler(std::function<void(const QByteArray &frame)> handler) = 0;
    // paused gets the reason when a command takes the port from the live link (no frames come
    // meanwhile), resumed is called when it gives it back; empty handlers end that.
    virtual void setPauseHandlers(std::function<void(const QString &reason)> paused, std::function<void()> resumed)
    {
        (void)paused;
        (void)resumed;
    }
};

// One decoded live frame.
struct LiveReading {
    Stamp time;          // the wall clock when the frame was decoded
    qint64 steadyMs = 0; // a monotonic clock at the same moment: intervals and the silence limit
                         // do not jump when the wall clock is set or changes to summer time
    int tenths = 0;
    Weighting weighting = Weighting::A;
    Response response = Response::Fast;
    bool isLevel = true; // false while the meter shows a stored value instead of the live level
};

// The reading of a valid 19-byte live frame.
LiveReading readLiveFrame(const QByteArray &frame, const Stamp &time, qint64 steadyMs);

class LiveSampler {
public:
    static constexpr qint64 SilenceLimitMs = 3000;

    // startSteadyMs: the monotonic time the sampling starts; silence is counted from it.
    LiveSampler(MonitorCore &core, qint64 intervalMs, qint64 startSteadyMs)
        : m_core(core), m_intervalMs(intervalMs), m_lastFrameMs(startSteadyMs) {}

    // A valid live frame arrived.
    MonitorError reading(const LiveReading &r);
    // Time passes (a few times a second): declares the connection lost after the silence limit
    // and lets the core finish periods and sync its journal.
    MonitorError tick(const Stamp &now, qint64 steadyMs);
    // A command holds the port: the connection counts as lost, with the reason as detail, and no
    // silence is counted until it is resumed. A connection already lost stays lost quietly.
    MonitorError paused(const Stamp &now, const QString &reason);
    // The port is back: resumed when the pause made the loss; silence counts from now.
    MonitorError resumed(const Stamp &now, qint64 steadyMs);

    bool isLost() const { return m_lost; }
    qint64 samples() const { return m_samples; }

private:
    MonitorCore &m_core;
    qint64 m_intervalMs;
    qint64 m_lastFrameMs;
    qint64 m_lastSampleMs = 0;
    bool m_haveSample = false;
    bool m_lost = false;
    bool m_paused = false;
    bool m_lostByPause = false;
    qint64 m_samples = 0;
};

// Connects sampler to feed: each frame becomes a reading, and a command's hold on the port a pause
// until it ends. now and steadyMs give the wall clock and the monotonic clock; failed gets every
// error the sampler returns. disconnectSampler ends it, before the sampler goes.
void connectSampler(LiveFeed &feed, LiveSampler &sampler, std::function<Stamp()> now,
                    std::function<qint64()> steadyMs, std::function<void(const MonitorError &)> failed);
void disconnectSampler(LiveFeed &feed);
