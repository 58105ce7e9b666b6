#pragma once
// The real-time recording: samples the decoded live level at the chosen rate into the chart of the
// real-time graph window, keeping the running maximum and minimum, and stops by itself when the
// chosen number of values is reached. Nothing is sent to the meter for it.
#include "link/LinkState.h"
#include "app/TDateTime.h"
#include "graph/ChartStatistics.h"

#include <QString>
#include <functional>
#include <vector>

// What the recording needs of the real-time graph window and its chart.
class RealTimeTarget {
public:
    virtual ~RealTimeTarget() = default;
    virtual int points() const = 0;
    virtual void setPoints(int n) = 0;
    virtual void resetData() = 0; // no point of subset 0 is drawn until written
    virtual void setPoint(int k, TDateTime x, float y) = 0;
    virtual TDateTime pointX(int k) const = 0;
    virtual float pointY(int k) const = 0;
    virtual void setManualMinX(double x) = 0;
    virtual double manualMaxX() const = 0;
    virtual void setManualMaxX(double x) = 0;
    virtual void redraw() = 0;
    // Whether the rate list shows its first entry (0.1 s): the chart is then redrawn every other sample.
    virtual bool fastestRateShown() const = 0;
    virtual void restoreNormal() = 0;
    virtual void setClearEnabled(bool enabled) = 0;

    // Fields of the statistics panels.
    virtual void clearStatistics() = 0;
    virtual void setStartTime(const QString &text) = 0;
    virtual void setMaximum(const QString &level, const QString &time) = 0;
    virtual void setMinimum(const QString &level, const QString &time) = 0;
    virtual void setDataNo(int count) = 0;
    virtual void setAverage(const QString &text) = 0;
    virtual void setSlider(const SliderSpan &span) = 0;
};

// Where the samples of a recording are kept as they are taken, so that a crash cannot lose them.
class RealTimeJournal {
public:
    virtual ~RealTimeJournal() = default;
    // A new recording of count values at rate seconds; what was kept before goes.
    virtual void begin(float rate, int count) = 0;
    virtual void add(TDateTime t, float level) = 0;
    // The recording was saved or thrown away: nothing is kept any more.
    virtual void discard() = 0;
};

class RealTimeRecorder {
public:
    explicit RealTimeRecorder(LinkState &state) : m_state(state) {}

    // The real-time graph window, or none while it is closed.
    void setTarget(RealTimeTarget *target) { m_target = target; }
    // The journal the samples go to as they are taken, or none.
    void setJournal(RealTimeJournal *journal) { m_journal = journal; }
    RealTimeTarget *target() const { return m_target; }

    // Enabling of Run and Stop: called with true when a recording starts, false when it ends.
    std::function<void(bool running)> runningChanged;

    // The window was opened at time t: the next sample may come one interval after it.
    void windowOpened(TDateTime t) { m_lastSampleTime = t; }
    // The window closed: a running recording ends and the samples are gone (Run and Stop are the
    // caller's to set).
    void windowClosed();

    // Start of a recording of n values at the rate (seconds), at time now (window and dialog done).
    void begin(int n, float rate, TDateTime now);
    // One decoded live frame: level v taken at time t.
    void sample(float v, TDateTime t);
    // The stop, by the user or when the count is reached.
    void stop(TDateTime now);

    // The window's chart was cleared for a new recording: no sample is kept any more.
    void samplesCleared();
    // The recording on screen was saved to a file: once it has ended its journal goes.
    void saved();
    // A recording brought back from its journal (x and y of equal length, at least one sample):
    // into the chart with its statistics, ended and unsaved, as if it had just been stopped.
    void restore(const std::vector<TDateTime> &x, const std::vector<float> &y, float rate, TDateTime now);

    bool running() const { return m_state.RealTimeRunning; }
    int sampleCount() const { return m_sampleCount; }
    TDateTime lastSampleTime() const { return m_lastSampleTime; }
    float runningMaximum() const { return m_max; }
    float runningMinimum() const { return m_min; }
    TDateTime maximumTime() const { return m_maxTime; }
    TDateTime minimumTime() const { return m_minTime; }
    // The clock used by an automatic stop.
    std::function<TDateTime()> now;

private:
    void take(float v, TDateTime t);
    void prepare(int n, TDateTime t);

    LinkState &m_state;
    RealTimeTarget *m_target = nullptr;
    RealTimeJournal *m_journal = nullptr;
    int m_sampleCount = 0;
    TDateTime m_lastSampleTime = 0;
    float m_max = -9999;
    float m_min = 9999;
    TDateTime m_maxTime = 0;
    TDateTime m_minTime = 0;
};
