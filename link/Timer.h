#pragma once
// A repeating timer the link logic can stop, restart and re-time (the watchdog).
#include <QObject>
#include <QTimer>
#include <functional>

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
};

// Timer driven by the Qt event loop; calls the handler on each tick.
class QtTimer : public Timer {
public:
    QtTimer(int intervalMs, std::function<void()> handler);
    void setEnabled(bool on) override;
    bool isEnabled() const override { return m_timer.isActive(); }
    void setInterval(int ms) override;
    int interval() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
};

// Timer for tests: records its state; the test fires ticks itself.
class ManualTimer : public Timer {
public:
    explicit ManualTimer(int intervalMs) : m_interval(intervalMs) {}
    void setEnabled(bool on) override { m_enabled = on; }
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int ms) override { m_interval = ms; }
    int interval() const override { return m_interval; }

private:
    bool m_enabled = false;
    int m_interval;
};
