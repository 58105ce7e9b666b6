// The long-term monitoring window on virtual time: a scripted run with a loud spell and a silent
// meter fills the figures, the chart and the tables; a folder written elsewhere is opened (also
// from File > Open), paged and followed. A run with a broker publishes to a real mosquitto. The real-time recording's journal: a recording left
// behind is offered back at the next start, and a clean end leaves nothing to offer.
#include "app/ui/K352Application.h"
#include "app/ui/TfrmMain.h"
#include "monitor/Journal.h"
#include "monitor/Summarize.h"
#include "monitor/ui/DayChart.h"
#include "monitor/ui/MainWindowMonitoring.h"
#include "monitor/ui/TfrmMonitor.h"
#include "realtime/RecordingJournal.h"
#include "mqtt/MqttOutbox.h"
#include "support/CliProcess.h"
#include "support/Frames.h"
#include "support/MqttBroker.h"
#include "support/QuietMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

namespace {

class ScriptFeed : public LiveFeed {
public:
    std::function<void(const QByteArray &)> handler;
    void setFrameHandler(std::function<void(const QByteArray &)> h) override { handler = std::move(h); }
};

class VirtualMonitorTime : public MonitorTime {
public:
    explicit VirtualMonitorTime(qint64 utcMs) : m_utc(utcMs) {}
    Stamp now() override { return {m_utc, QDateTime::fromMSecsSinceEpoch(m_utc).offsetFromUtc()}; }
    qint64 steadyMs() override { return m_steady; }
    Clock &clock() override { return m_clock; }
    void advance(qint64 ms)
    {
        m_utc += ms;
        m_steady += ms;
        m_clock.advanceMs(ms);
    }

private:
    qint64 m_utc, m_steady = 0;
    VirtualClock m_clock;
};

qint64 utcOf(const char *iso) { return MonitorText::parseStamp(iso)->utcMs; }

QString cell(QTableWidget *t, int row, int column)
{
    QTableWidgetItem *i = t->item(row, column);
    return i ? i->text() : QString();
}

void appendLines(const QString &path, const QByteArray &lines)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(lines);
}

} // namespace

class GuiMonitor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void scriptedRunFillsTheWindow();
    void folderIsOpenedPagedAndFollowed();
    void runWithBrokerPublishesItsPeriods();
    void lostRecordingIsOfferedBackAndCleanEndLeavesNone();
};

void GuiMonitor::scriptedRunFillsTheWindow()
{
    QTemporaryDir dir;
    ScriptFeed feed;
    VirtualMonitorTime time(utcOf("2026-12-11T13:58:30.000+01:00"));
    TfrmMonitor w(&feed, time);
    QStringList notified;
    w.notify = [&](const QString &summary, const QString &body) { notified << summary + ": " + body; };
    // The dialog's settings start the run; a warning above the alarm is refused first.
    QStringList refused;
    w.runStartDialog = [&](TfrmMonitorStart &d) {
        d.showError = [&](const QString &t) { refused << t; };
        d.edtFolder->setText(dir.path());
        d.cboPeriod->setCurrentIndex(0); // 60 s
        d.chkWarn->setChecked(true);
        d.spnWarn->setValue(90);
        d.chkAlarm->setChecked(true);
        d.spnAlarm->setValue(80);
        d.btnStartClick();
        d.spnWarn->setValue(70);
        d.btnStartClick();
        return d.result() == QDialog::Accepted;
    };
    w.btnStartClick();
    QCOMPARE(refused, QStringList{"Die Warnschwelle darf nicht über der Alarmschwelle liegen."});
    QVERIFY(w.running());
    QVERIFY(feed.handler);
    QVERIFY(!w.btnStart->isEnabled() && w.btnStop->isEnabled());

    // A frame every 500 ms for three minutes at 55.0 dB, with 85.0 dB from 13:59:40 for 10 s and
    // the meter silent from 14:01:00 for 5 s.
    bool alarmSeen = false;
    for (int ms = 0; ms < 180000; ms += 500) {
        const bool silent = ms >= 150000 && ms < 155000;
        const bool loud = ms >= 70000 && ms < 80000;
        if (!silent)
            feed.handler(liveFrame(0x18, 0x23, loud ? 850 : 550));
        if (ms % 1000 == 0)
            w.tick();
        if (ms == 153000) {
            QVERIFY(w.lblAlarm->text().contains("Keine Messwerte"));
            QCOMPARE(w.lblLevel->text(), QString("--"));
        }
        alarmSeen = alarmSeen || w.alarmState() == TfrmMonitor::AlarmState::Alarm;
        time.advance(500);
    }
    QVERIFY(alarmSeen);
    QCOMPARE(w.alarmState(), TfrmMonitor::AlarmState::None);
    QCOMPARE(notified, QStringList{"Lärmalarm: ALARM: Pegel ab 80,0 dB"});
    QCOMPARE(w.lblLevel->text(), QString("55,0 dB"));
    QCOMPARE(w.lblLmax->text(), QString("55,0 dB"));

    // Periods finished so far, newest first: 13:58:30-13:59 (partial), 13:59, 14:00.
    QCOMPARE(w.grdPeriods->rowCount(), 3);
    QCOMPARE(cell(w.grdPeriods, 0, 0), QString("14:00"));
    QCOMPARE(cell(w.grdPeriods, 2, 0), QString("13:58"));
    QCOMPARE(cell(w.grdPeriods, 1, 5), QString("85,0")); // Lmax of 13:59
    QCOMPARE(cell(w.grdPeriods, 1, 2), QString("60"));
    // The chart: the spell in its bin, the period steps, the warning and alarm lines.
    const DayEnvelope &env = w.view()->envelope();
    const size_t spellBin = size_t((13 * 3600 + 59 * 60 + 45) / env.binSeconds());
    QCOMPARE(env.maxima()[spellBin], 85.0f);
    QCOMPARE(env.minima()[spellBin - 1], 55.0f);
    QVERIFY(std::isnan(env.maxima()[spellBin - 3])); // before the run
    QCOMPARE(w.chart->steps()->dataCount(), 6);

    w.stop();
    QVERIFY(!w.running() && !feed.handler);
    QStringList events;
    for (int r = w.grdEvents->rowCount() - 1; r >= 0; --r)
        events << cell(w.grdEvents, r, 1);
    QCOMPARE(events, (QStringList{"Start", "Warnung", "Alarm", "Warnung Ende", "Alarm Ende", "Verbindung verloren",
                                  "Verbindung wieder da", "Stop"}));
    QCOMPARE(cell(w.grdEvents, 3, 2), QString("max 85,0 dB for 10,0 s")); // alarm end
    QCOMPARE(w.grdPeriods->rowCount(), 4);
    QCOMPARE(w.grdDays->rowCount(), 1);
    QCOMPARE(cell(w.grdDays, 0, 0), QString("11.12.26"));
    QCOMPARE(cell(w.grdDays, 0, 1), QString("175"));
}

void GuiMonitor::folderIsOpenedPagedAndFollowed()
{
    QTemporaryDir dir;
    // Three days of a folder written by another process, a sample a minute.
    for (const char *day : {"2026-12-09", "2026-12-10", "2026-12-11"}) {
        QByteArray lines = Journal::Header + '\n';
        for (int m = 0; m < 24 * 60; m += 1)
            lines += QByteArray(day) + QStringLiteral("T%1:%2:00.000+01:00,%3.0,A,FAST\n")
                                           .arg(m / 60, 2, 10, QChar('0')).arg(m % 60, 2, 10, QChar('0'))
                                           .arg(40 + m % 30).toLatin1();
        appendLines(Journal::fileName(dir.path(), MonitorText::dayOfDate(QDate::fromString(day, Qt::ISODate))), lines);
    }
    QVERIFY(!summarizeFolder(dir.path(), 3600).error);
    const QString events = dir.filePath("2026-12-11.events.csv");
    appendLines(events, "time,event,detail\n2026-12-11T00:00:00.000+01:00,start,interval 60.0 s period 3600 s\n");

    // Opened from File > Open on days.csv: the monitoring window shows the last day.
    TfrmMain main(quietOptions());
    main.openFiles({dir.filePath("days.csv")});
    TfrmMonitor *w = main.findChild<MainWindowMonitoring *>()->window();
    QVERIFY(w);
    QCOMPARE(w->view()->shownDay(), MonitorText::dayOfDate(QDate(2026, 12, 11)));
    QCOMPARE(w->grdDays->rowCount(), 3);
    QCOMPARE(cell(w->grdDays, 0, 0), QString("11.12.26"));
    QCOMPARE(w->grdPeriods->rowCount(), 24);
    QCOMPARE(cell(w->grdPeriods, 0, 0), QString("23:00"));
    QVERIFY(!w->btnNextDay->isEnabled() && w->btnPrevDay->isEnabled());
    QCOMPARE(w->lblLevel->text(), QString("69,0 dB"));

    w->showPreviousDay();
    w->showPreviousDay();
    QCOMPARE(w->view()->shownDay(), MonitorText::dayOfDate(QDate(2026, 12, 9)));
    QCOMPARE(w->view()->envelope().samples(), qint64(1440));
    QVERIFY(!w->btnPrevDay->isEnabled() && w->btnNextDay->isEnabled());
    w->showNextDay();
    w->showNextDay();

    // The other process goes on: a new day begins, with an alarm.
    QStringList notified;
    w->notify = [&](const QString &summary, const QString &) { notified << summary; };
    appendLines(Journal::fileName(dir.path(), MonitorText::dayOfDate(QDate(2026, 12, 12))),
                Journal::Header + "\n2026-12-12T00:00:30.000+01:00,91.5,A,FAST\n2026-12-12T00:00:31.0");
    appendLines(dir.filePath("2026-12-12.events.csv"),
                "time,event,detail\n2026-12-12T00:00:30.000+01:00,alarm,80.0\n");
    w->tick();
    QCOMPARE(w->view()->shownDay(), MonitorText::dayOfDate(QDate(2026, 12, 12)));
    QCOMPARE(w->view()->envelope().samples(), qint64(1)); // the torn line waits for its end
    QCOMPARE(w->lblLevel->text(), QString("91,5 dB"));
    QCOMPARE(w->alarmState(), TfrmMonitor::AlarmState::Alarm);
    QCOMPARE(notified, QStringList{"Lärmalarm"});
    appendLines(Journal::fileName(dir.path(), MonitorText::dayOfDate(QDate(2026, 12, 12))), "00+01:00,92.5,A,FAST\n");
    w->tick();
    QCOMPARE(w->view()->envelope().samples(), qint64(2));
    QCOMPARE(w->lblLevel->text(), QString("92,5 dB"));
    main.close();
}

void GuiMonitor::runWithBrokerPublishesItsPeriods()
{
    QTemporaryDir tmp;
    Broker broker;
    broker.dir = tmp.filePath("broker");
    QVERIFY(QDir().mkpath(broker.dir));
    broker.port = freeLoopbackPort();
    QVERIFY2(broker.start(), "mosquitto does not start");
    const QByteArray prefix = MqttSettings{}.topicPrefix(); // the same default as the command line's
    Subscriber sub;
    QVERIFY(sub.start(broker.port, "k352-gui-sub", {QString::fromUtf8(prefix) + "/#"}));

    ScriptFeed feed;
    VirtualMonitorTime time(utcOf("2026-12-11T13:59:00.000+01:00"));
    TfrmMonitor w(&feed, time);
    const QString folder = tmp.filePath("monitor");
    QStringList refused;
    w.runStartDialog = [&](TfrmMonitorStart &d) {
        d.showError = [&](const QString &t) { refused << t; };
        d.edtFolder->setText(folder);
        d.cboPeriod->setCurrentIndex(0); // 60 s
        d.edtBroker->setText("127.0.0.1:70000");
        d.btnStartClick();
        d.edtBroker->setText("127.0.0.1:" + QString::number(broker.port));
        d.btnStartClick();
        return d.result() == QDialog::Accepted;
    };
    w.btnStartClick();
    QCOMPARE(refused, QStringList{"Der MQTT-Broker ist als Rechner oder Rechner:Port (Port 1 bis 65535) anzugeben, "
                                  "nicht „127.0.0.1:70000“."});
    QVERIFY(w.running());
    // The publisher's report reaches the window, not the terminal.
    QVERIFY2(Broker::waitUntil([&] { return w.lblMqtt->text().contains("connected to 127.0.0.1:"); }, 10000),
             qPrintable(w.lblMqtt->text()));

    // 80 s at 55.0 dB: the period 13:59-14:00 finishes.
    for (int ms = 0; ms < 80000; ms += 500) {
        feed.handler(liveFrame(0x18, 0x23, 550));
        if (ms % 1000 == 0)
            w.tick();
        time.advance(500);
    }
    const QList<QByteArray> periods = rowsOfFiles(QDir(folder), "*.periods.csv");
    QCOMPARE(periods.size(), 1);
    QVERIFY(Broker::waitUntil([&] { sub.read(); return sub.seen.contains(prefix + "/period {"); }, 10000));
    QVERIFY(sub.seen.contains(prefix + "/level {"));
    const qsizetype at = sub.seen.indexOf(prefix + "/period ") + prefix.size() + 8;
    const QJsonObject period = QJsonDocument::fromJson(sub.seen.mid(at, sub.seen.indexOf('\n', at) - at)).object();
    QCOMPARE(period.value("start").toString(), QString("2026-12-11T13:59:00+01:00"));
    QCOMPARE(period.value("samples").toInt(), 60);
    QCOMPARE(period.value("Leq").toDouble(), 55.0);

    w.stop();
    QVERIFY(Broker::waitUntil([&] { sub.read(); return sub.seen.contains(prefix + "/status offline"); }, 5000));
    // Every period and event went out and was acknowledged, so nothing is kept for later.
    QFile acked(MqttOutbox::ackFileName(folder, MonitorText::dayOfDate(QDate(2026, 12, 11))));
    QVERIFY(acked.open(QIODevice::ReadOnly));
    QVERIFY(acked.readAll().contains(periods[0]));
    QTest::qWait(50);
    QVERIFY2(!w.lblMqtt->text().contains("kept"), qPrintable(w.lblMqtt->text()));
    broker.stop();
}

void GuiMonitor::lostRecordingIsOfferedBackAndCleanEndLeavesNone()
{
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
        asked << text;
        return answer;
    });
    QString journalPath;
    QByteArray leftBehind;
    {
        TfrmMain main(quietOptions());
        journalPath = main.findChild<MainWindowMonitoring *>()->journal().path();
        QFile::remove(journalPath);
        main.OpenRealTimeGraph();
        const TDateTime t0 = 46000.5;
        main.recorder().windowOpened(t0);
        main.recorder().begin(100, 0.5f, t0);
        for (int i = 1; i <= 5; ++i)
            main.recorder().sample(50.0f + float(i) / 10.0f, t0 + i / 86400.0);
        QFile f(journalPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        leftBehind = f.readAll();
        // The program ends cleanly: the recording is discarded, and its journal with it.
        answer = QMessageBox::No;
        QVERIFY(main.close());
        QVERIFY(!QFile::exists(journalPath));
    }
    QCOMPARE(leftBehind.count('\n'), 6);
    QVERIFY(leftBehind.endsWith("T12:00:05.000,50.5,0.5,100\n"));
    {
        TfrmMain main(quietOptions());
        asked.clear();
        main.findChild<MainWindowMonitoring *>()->offerRecovery();
        QCOMPARE(asked, QStringList());
    }
    // As a crash leaves it: the samples, and a line cut short.
    appendLines(journalPath, leftBehind + "2025-12-09T12:00:06.0");
    TfrmMain main(quietOptions());
    main.OpenRealTimeGraph();
    answer = QMessageBox::Yes;
    asked.clear();
    main.findChild<MainWindowMonitoring *>()->offerRecovery();
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].endsWith("\nWiederherstellen?"));
    QVERIFY(asked[0].contains("(5 Messwerte ab "));
    QCOMPARE(main.recorder().sampleCount(), 5);
    QCOMPARE(main.realTimeGraph()->pointY(4), 50.5f);
    QVERIFY(main.state().RealTimeUnsaved && !main.state().RealTimeRunning);
    QVERIFY(QFile::exists(journalPath)); // until the recording is saved or discarded
    main.recorder().samplesCleared();
    QVERIFY(!QFile::exists(journalPath));
    setMessageResponder({});
}

QTEST_MAIN(GuiMonitor)
#include "gui_monitor.moc"
