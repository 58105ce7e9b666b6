#pragma once
// What the main window gets for long-term monitoring and for a real-time recording that survives
// a crash: the "Langzeitmessung" item of the real-time menu and its tool button, the monitoring
// window fed with the live frames the main window decodes, monitoring folders opened from File >
// Open, and the journal of the real-time recording with the question at start-up whether to bring
// a lost recording back.
#include "monitor/MonitorTime.h"
#include "monitor/LiveSampler.h"
#include "monitor/ui/TfrmMonitor.h"
#include "realtime/RecordingJournal.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class TfrmMain;

class MainWindowMonitoring : public QObject {
    Q_OBJECT
public:
    explicit MainWindowMonitoring(TfrmMain &main);
    ~MainWindowMonitoring() override;

    // The monitoring window that runs on the meter, shown (made when there is none).
    TfrmMonitor *openWindow();
    // A monitoring folder in a window of its own (or in the meter's window while it is idle).
    TfrmMonitor *openFolder(const QString &dir);
    TfrmMonitor *window() const { return m_window; }
    // At start-up: a recording left in the journal is offered back ("Wiederherstellen?").
    void offerRecovery();
    RecordingJournal &journal() { return m_journal; }

private:
    TfrmMonitor *newWindow(LiveFeed *feed);
    void addCommands();
    void wrapFileCommands();

    TfrmMain &m_main;
    SystemMonitorTime m_time;
    std::unique_ptr<LiveFeed> m_feed;
    RecordingJournal m_journal;
    QPointer<TfrmMonitor> m_window;
};
