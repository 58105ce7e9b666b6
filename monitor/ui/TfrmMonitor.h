#pragma once
// The long-term monitoring window ("Langzeitmessung"): runs the monitor on the live readings of
// the meter into a folder, or shows a folder (followed live while another process writes it).
// It shows the current level, the figures of the open period, the day chart, the day's periods
// and events, and days.csv; the days of the folder are paged back and forth. An alarm turns the
// window's alarm state on and sends a desktop notification. A run with an MQTT broker publishes
// as `k352-cli monitor --mqtt` does, and shows what the publisher reports.
#include "monitor/FolderView.h"
#include "monitor/LiveSampler.h"
#include "monitor/MonitorTime.h"
#include "monitor/ui/TfrmMonitorStart.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class DayChart;
class MonitorMqtt;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

class TfrmMonitor : public QWidget {
    Q_OBJECT
public:
    // feed: the meter's live readings, or none for a window that only shows folders.
    TfrmMonitor(LiveFeed *feed, MonitorTime &time, QWidget *parent = nullptr);
    ~TfrmMonitor() override;

    // Start: the dialog, then the run. start() runs with the settings as given; false (and a
    // message) when the folder cannot be written.
    void btnStartClick();
    bool start(const MonitorSettings &settings);
    void stop();
    bool running() const { return m_core != nullptr; }
    // Shows the folder and follows what another process appends to it.
    void openFolder(const QString &dir);
    // The timer's work: time passes for the sampler, a followed folder is read again.
    void tick();
    void showPreviousDay();
    void showNextDay();

    const FolderView *view() const { return m_view.get(); }
    MonitorSettings settings() const { return m_settings; }
    enum class AlarmState { None, Warning, Alarm };
    AlarmState alarmState() const;

    // Test hooks: the start dialog run instead of shown (false for Cancel), the notification
    // sent, the message shown.
    std::function<bool(TfrmMonitorStart &)> runStartDialog;
    std::function<void(const QString &summary, const QString &body)> notify;
    std::function<void(const QString &)> showError;
    // Called when the window closes.
    std::function<void()> onClosed;

    QPushButton *btnStart;
    QPushButton *btnStop;
    QPushButton *btnPrevDay;
    QPushButton *btnNextDay;
    QLabel *lblDay;
    QLabel *lblState;
    QLabel *lblMqtt;
    QLabel *lblAlarm;
    QLabel *lblLevel;
    QLabel *lblLevelTime;
    QLabel *lblLeq;
    QLabel *lblLmax;
    QLabel *lblL90;
    QLabel *lblCoverage;
    DayChart *chart;
    QTabWidget *tabs;
    QTableWidget *grdPeriods;
    QTableWidget *grdEvents;
    QTableWidget *grdDays;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void build();
    void fail(const MonitorError &e);
    void applyEvent(const QByteArray &name, const QByteArray &detail, bool announce);
    void eventsFromRows(qsizetype from, bool announce);
    void showChanges(int mask);
    void showLevel();
    void showDayControls();
    void fillPeriods();
    void fillEvents();
    void fillDays();
    void showAlarm();
    void attachMqtt(const MqttSettings &mqtt);
    void detachMqtt();
    void showMqttReport(const QString &report);

    LiveFeed *m_feed;
    MonitorTime &m_time;
    MonitorSettings m_settings;
    std::unique_ptr<FolderView> m_view;
    std::unique_ptr<MonitorCore> m_core;
    std::unique_ptr<LiveSampler> m_sampler;
    std::unique_ptr<MonitorMqtt> m_mqtt;
    // Where the publishing thread's reports go while this window takes them.
    struct MqttReports;
    std::shared_ptr<MqttReports> m_mqttReports;
    QStringList m_mqttLog;
    QTimer m_timer;
    bool m_following = false;
    bool m_lost = false;
    bool m_warning = false;
    bool m_alarm = false;
    QByteArray m_spellDetail;
    qsizetype m_eventsSeen = 0; // rows of the latest day's events already applied
    qint64 m_eventsDay = -1;
};
