#include "monitor/ui/TfrmMonitor.h"

#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "monitor/ui/DayChart.h"
#include "monitor/ui/DesktopNotifier.h"
#include "mqtt/MonitorMqtt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <mutex>

namespace {

const QString kClass = QStringLiteral("TfrmMonitor");
constexpr int kRunTickMs = 200;
constexpr int kFollowTickMs = 1000;
constexpr int kMqttLogLines = 20;

QString text(const char *name) { return windowText(kClass, name); }

// A machine number ("54.4") in the user's notation; other text as it is.
QString localNumber(const QByteArray &field)
{
    bool ok = false;
    const double v = field.toDouble(&ok); // QByteArray::toDouble ignores the locale
    if (!ok)
        return QString::fromUtf8(field);
    const qsizetype dot = field.indexOf('.');
    return QLocale().toString(v, 'f', dot < 0 ? 0 : int(field.size() - dot - 1));
}

// "max 81.0 dB for 4.0 s" with the user's decimal separator.
QString localDetail(const QByteArray &detail)
{
    QStringList words;
    for (const QByteArray &w : detail.split(' '))
        words << localNumber(w);
    return words.join(QLatin1Char(' '));
}

// "2026-12-11T14:15:00+01:00" -> "14:15:00"
QString clockText(const QByteArray &iso) { return QString::fromLatin1(iso.mid(11, 8)); }

QTableWidget *grid(QWidget *parent, const char *name)
{
    auto *t = new QTableWidget(parent);
    t->setObjectName(QLatin1String(name));
    const QStringList headings = text(name).split(QLatin1Char(','));
    t->setColumnCount(int(headings.size()));
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->setVisible(false);
    return t;
}

// Fills the rows at once and fits the columns afterwards, not per cell.
void fillTable(QTableWidget *t, const QList<QStringList> &rows)
{
    t->setUpdatesEnabled(false);
    t->clearContents();
    t->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size() && c < t->columnCount(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            bool number = false;
            QLocale().toDouble(rows[r][c], &number);
            item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            t->setItem(r, c, item);
        }
    }
    t->resizeColumnsToContents();
    t->setUpdatesEnabled(true);
}

QLabel *namedLabel(QWidget *parent, const char *name, const QString &initial = {})
{
    auto *l = new QLabel(initial, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

// The publisher reports from its own thread, and may outlive a stop by a hanging connection
// attempt: the window is reached only while it is set, and always on its own thread.
struct TfrmMonitor::MqttReports {
    std::mutex mutex;
    TfrmMonitor *window = nullptr;
    void report(const QString &text)
    {
        std::lock_guard lock(mutex);
        if (window)
            QMetaObject::invokeMethod(window, [w = window, text] { w->showMqttReport(text); }, Qt::QueuedConnection);
    }
};

TfrmMonitor::TfrmMonitor(LiveFeed *feed, MonitorTime &time, QWidget *parent)
    : QWidget(parent), m_feed(feed), m_time(time)
{
    setObjectName(kClass);
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    applyWindowTexts(this, kClass);
    notify = [](const QString &summary, const QString &body) { DesktopNotifier::notify(summary, body); };
    showError = [this](const QString &t) { showMessage(this, QMessageBox::Warning, QStringLiteral("Error"), t); };
    connect(&m_timer, &QTimer::timeout, this, &TfrmMonitor::tick);
    btnStart->setEnabled(feed != nullptr);
    btnStop->setEnabled(false);
    lblState->setText(text("StateIdle"));
    showDayControls();
    showAlarm();
}

TfrmMonitor::~TfrmMonitor()
{
    stop();
}

void TfrmMonitor::build()
{
    auto *top = new QHBoxLayout;
    btnStart = new QPushButton(this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStop = new QPushButton(this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnPrevDay = new QPushButton(QStringLiteral("<"), this);
    btnPrevDay->setObjectName(QStringLiteral("btnPrevDay"));
    btnNextDay = new QPushButton(QStringLiteral(">"), this);
    btnNextDay->setObjectName(QStringLiteral("btnNextDay"));
    for (QPushButton *b : {btnPrevDay, btnNextDay})
        b->setFixedWidth(32);
    lblDay = namedLabel(this, "lblDay");
    lblDay->setMinimumWidth(170);
    lblDay->setAlignment(Qt::AlignCenter);
    lblAlarm = namedLabel(this, "lblAlarm");
    lblAlarm->setAlignment(Qt::AlignCenter);
    lblAlarm->setAutoFillBackground(true);
    lblState = namedLabel(this, "lblState");
    lblMqtt = namedLabel(this, "lblMqtt");
    lblMqtt->setVisible(false);
    top->addWidget(btnStart);
    top->addWidget(btnStop);
    top->addSpacing(16);
    top->addWidget(btnPrevDay);
    top->addWidget(lblDay);
    top->addWidget(btnNextDay);
    top->addSpacing(16);
    top->addWidget(lblAlarm, 1);
    top->addWidget(lblState);

    auto *figures = new QWidget(this);
    auto *fg = new QGridLayout(figures);
    fg->addWidget(namedLabel(figures, "lblLevelCaption"), 0, 0, 1, 2);
    lblLevel = namedLabel(figures, "lblLevel", QStringLiteral("--"));
    QFont big = lblLevel->font();
    big.setPointSize(big.pointSize() * 3);
    big.setBold(true);
    lblLevel->setFont(big);
    fg->addWidget(lblLevel, 1, 0, 1, 2);
    lblLevelTime = namedLabel(figures, "lblLevelTime");
    fg->addWidget(lblLevelTime, 2, 0, 1, 2);
    fg->addWidget(namedLabel(figures, "lblPeriodCaption"), 3, 0, 1, 2);
    int row = 4;
    struct Figure {
        const char *caption, *name;
        QLabel **value;
    };
    for (const Figure &f : {Figure{"lblLeqCaption", "lblLeq", &lblLeq}, Figure{"lblLmaxCaption", "lblLmax", &lblLmax},
                            Figure{"lblL90Caption", "lblL90", &lblL90},
                            Figure{"lblCoverageCaption", "lblCoverage", &lblCoverage}}) {
        fg->addWidget(namedLabel(figures, f.caption), row, 0);
        *f.value = namedLabel(figures, f.name, QStringLiteral("--"));
        (*f.value)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        fg->addWidget(*f.value, row++, 1);
    }
    fg->setRowStretch(row, 1);
    figures->setMinimumWidth(190);

    chart = new DayChart(this);
    auto *upper = new QWidget(this);
    auto *upperRow = new QHBoxLayout(upper);
    upperRow->setContentsMargins(0, 0, 0, 0);
    upperRow->addWidget(figures);
    upperRow->addWidget(chart, 1);

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    grdPeriods = grid(tabs, "grdPeriods");
    grdEvents = grid(tabs, "grdEvents");
    grdDays = grid(tabs, "grdDays");
    tabs->addTab(grdPeriods, text("tabPeriods"));
    tabs->addTab(grdEvents, text("tabEvents"));
    tabs->addTab(grdDays, text("tabDays"));

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(upper);
    split->addWidget(tabs);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto *column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(lblMqtt);
    column->addWidget(split, 1);
    resize(900, 620);

    connect(btnStart, &QPushButton::clicked, this, &TfrmMonitor::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmMonitor::stop);
    connect(btnPrevDay, &QPushButton::clicked, this, &TfrmMonitor::showPreviousDay);
    connect(btnNextDay, &QPushButton::clicked, this, &TfrmMonitor::showNextDay);
}

void TfrmMonitor::btnStartClick()
{
    if (running() || !m_feed)
        return;
    TfrmMonitorStart dialog(this);
    dialog.setSettings(m_settings);
    const bool ok = runStartDialog ? runStartDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (ok)
        start(dialog.settings());
}

bool TfrmMonitor::start(const MonitorSettings &settings)
{
    if (running() || !m_feed)
        return false;
    QString mqttProblem;
    const MqttSettings mqtt = settings.mqtt(mqttProblem);
    if (!mqttProblem.isEmpty()) {
        showError(mqttProblem);
        return false;
    }
    m_settings = settings;
    const MonitorConfig &c = settings.config;
    auto core = std::make_unique<MonitorCore>(c, m_time.clock());
    if (const MonitorError e = core->start(m_time.now())) {
        showError(e.message());
        return false;
    }
    m_following = false;
    m_warning = m_alarm = m_lost = false;
    m_view = std::make_unique<FolderView>(c.dir, c.periodS, c.intervalMs);
    m_view->setFollowing(false);
    m_view->showDay();
    m_core = std::move(core);
    m_core->sampleTaken = [this](const Sample &s) {
        m_view->addSample(s);
        if (s.time.localDay() == m_view->shownDay())
            chart->setEnvelope(m_view->envelope());
        showLevel();
    };
    auto filesChanged = [this] {
        m_view->forgetSeen();
        showChanges(m_view->refresh(false));
    };
    m_core->periodFinished = [filesChanged](const FinishedPeriod &) { filesChanged(); };
    m_core->dayFinished = [filesChanged](const FinishedDay &) { filesChanged(); };
    m_core->eventOccurred = [this, filesChanged](const MonitorEvent &e) {
        applyEvent(e.name, e.detail, true);
        filesChanged();
    };
    m_sampler = std::make_unique<LiveSampler>(*m_core, c.intervalMs, m_time.steadyMs());
    // A download or a set-up command holds the port for a while: the run notes why the samples
    // stop and when they come back, instead of calling it a lost meter.
    connectSampler(
        *m_feed, *m_sampler, [this] { return m_time.now(); }, [this] { return m_time.steadyMs(); },
        [this](const MonitorError &e) { fail(e); });
    // After the window's hooks, so the publisher passes everything on to them first.
    if (mqtt.enabled())
        attachMqtt(mqtt);
    // The start event was written before the callbacks were set.
    m_eventsDay = -1;
    showChanges(FolderView::Samples | FolderView::Periods | FolderView::Events | FolderView::Days);
    btnStart->setEnabled(false);
    btnStop->setEnabled(true);
    lblState->setText(text("StateRunning").arg(c.dir));
    m_timer.start(kRunTickMs);
    return true;
}

void TfrmMonitor::stop()
{
    if (!m_core)
        return;
    m_timer.stop();
    if (m_feed)
        disconnectSampler(*m_feed);
    const MonitorError e = m_core->stop(m_time.now());
    detachMqtt();
    m_sampler.reset();
    m_core.reset();
    m_warning = m_alarm = false;
    if (m_view) {
        m_view->forgetSeen();
        showChanges(m_view->refresh(false));
    }
    btnStart->setEnabled(m_feed != nullptr);
    btnStop->setEnabled(false);
    lblState->setText(text("StateIdle"));
    showAlarm();
    if (e)
        showError(text("WriteFailed").arg(e.message()));
}

void TfrmMonitor::attachMqtt(const MqttSettings &mqtt)
{
    m_mqttLog.clear();
    m_mqttReports = std::make_shared<MqttReports>();
    m_mqttReports->window = this;
    lblMqtt->clear();
    lblMqtt->setToolTip({});
    lblMqtt->setVisible(true);
    m_mqtt = std::make_unique<MonitorMqtt>(mqtt, m_settings.config.dir, *m_core,
                                           [reports = m_mqttReports](const QString &text) { reports->report(text); });
}

void TfrmMonitor::detachMqtt()
{
    if (!m_mqtt)
        return;
    // Waits a little for the last acknowledgements; says what is kept for later.
    m_mqtt->finish();
    m_mqtt.reset();
    std::lock_guard lock(m_mqttReports->mutex);
    m_mqttReports->window = nullptr;
}

void TfrmMonitor::showMqttReport(const QString &report)
{
    QString detail = report;
    if (detail.startsWith(QLatin1String("mqtt: ")))
        detail.remove(0, 6);
    const QString line = text("MqttState").arg(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat), detail);
    lblMqtt->setText(line);
    m_mqttLog.append(line);
    if (m_mqttLog.size() > kMqttLogLines)
        m_mqttLog.removeFirst();
    lblMqtt->setToolTip(m_mqttLog.join(QLatin1Char('\n')));
}

void TfrmMonitor::fail(const MonitorError &e)
{
    // Writing failed: the run ends here, with every line written before intact.
    QTimer::singleShot(0, this, [this] { stop(); });
    showError(text("WriteFailed").arg(e.message()));
}

void TfrmMonitor::openFolder(const QString &dir)
{
    if (running())
        return;
    m_view = std::make_unique<FolderView>(dir);
    m_view->setFollowing(true);
    m_view->showDay();
    m_following = true;
    lblMqtt->setVisible(false);
    m_warning = m_alarm = m_lost = false;
    m_eventsDay = -1;
    showChanges(FolderView::Samples | FolderView::Periods | FolderView::Events | FolderView::Days);
    lblState->setText(text("StateFollowing").arg(dir));
    m_timer.start(kFollowTickMs);
}

void TfrmMonitor::tick()
{
    if (m_sampler) {
        if (const MonitorError e = m_sampler->tick(m_time.now(), m_time.steadyMs()))
            fail(e);
    }
    if (!m_view)
        return;
    m_view->tick(m_time.now());
    if (m_following)
        showChanges(m_view->refresh(true));
    showLevel();
}

void TfrmMonitor::showPreviousDay()
{
    if (!m_view)
        return;
    const auto &days = m_view->days();
    const auto it = std::lower_bound(days.begin(), days.end(), m_view->shownDay());
    if (it == days.begin())
        return;
    m_view->showDay(*std::prev(it));
    showChanges(FolderView::Samples | FolderView::Periods | FolderView::Events | FolderView::Days);
}

void TfrmMonitor::showNextDay()
{
    if (!m_view)
        return;
    const auto &days = m_view->days();
    const auto it = std::upper_bound(days.begin(), days.end(), m_view->shownDay());
    if (it == days.end())
        return;
    m_view->showDay(*it);
    showChanges(FolderView::Samples | FolderView::Periods | FolderView::Events | FolderView::Days);
}

void TfrmMonitor::showChanges(int mask)
{
    if (!m_view)
        return;
    if (mask & (FolderView::Samples | FolderView::Periods)) {
        chart->setEnvelope(m_view->envelope());
        chart->setPeriods(m_view->periods());
        const MonitorConfig &c = m_settings.config;
        std::optional<double> warn, alarm;
        if (!m_following && c.warnTenths)
            warn = *c.warnTenths / 10.0;
        if (!m_following && c.alarmTenths)
            alarm = *c.alarmTenths / 10.0;
        chart->setLevels(warn, alarm);
        chart->redraw();
    }
    if (mask & FolderView::Periods)
        fillPeriods();
    if (mask & FolderView::Events) {
        fillEvents();
        // A followed folder's alarms come from its events file.
        if (m_following && m_view->showingLatest()) {
            // What was there when the folder was opened sets the state without announcing it.
            const bool first = m_eventsDay < 0;
            if (m_eventsDay != m_view->shownDay()) {
                m_eventsDay = m_view->shownDay();
                m_eventsSeen = 0;
            }
            eventsFromRows(m_eventsSeen, !first);
            m_eventsSeen = m_view->events().size();
        }
    }
    if (mask & FolderView::Days)
        fillDays();
    if (mask & FolderView::DayList)
        showDayControls();
    showDayControls();
    showLevel();
}

void TfrmMonitor::eventsFromRows(qsizetype from, bool announce)
{
    const CsvRows &rows = m_view->events();
    for (qsizetype i = from; i < rows.size(); ++i)
        applyEvent(rows[i][1], rows[i][2], announce);
}

void TfrmMonitor::applyEvent(const QByteArray &name, const QByteArray &detail, bool announce)
{
    if (name == "lost")
        m_lost = true;
    else if (name == "resumed" || name == "start")
        m_lost = false;
    else if (name == "warning")
        m_warning = true;
    else if (name == "warning-end")
        m_warning = false;
    else if (name == "stop")
        m_warning = m_alarm = false;
    else if (name == "alarm-end")
        m_alarm = false;
    if (name == "warning" || name == "alarm")
        m_spellDetail = detail;
    if (name == "alarm") {
        m_alarm = true;
        if (announce) {
            // The window comes to the front, and the desktop is told.
            if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) {
                if (sub->isMinimized())
                    sub->showNormal();
                if (sub->mdiArea())
                    sub->mdiArea()->setActiveSubWindow(sub);
            }
            raise();
            if (notify)
                notify(text("NotifyAlarm"), text("AlarmState").arg(localNumber(detail)));
        }
    }
    showAlarm();
}

void TfrmMonitor::showAlarm()
{
    const AlarmState state = alarmState();
    QPalette p = palette();
    if (state == AlarmState::None) {
        lblAlarm->setText(m_lost ? text("LostState") : QString());
        lblAlarm->setPalette(p);
        return;
    }
    const bool alarm = state == AlarmState::Alarm;
    p.setColor(QPalette::Window, alarm ? QColor(210, 0, 0) : QColor(240, 160, 0));
    p.setColor(QPalette::WindowText, Qt::white);
    lblAlarm->setPalette(p);
    lblAlarm->setText(text(alarm ? "AlarmState" : "WarningState").arg(localNumber(m_spellDetail)));
}

TfrmMonitor::AlarmState TfrmMonitor::alarmState() const
{
    return m_alarm ? AlarmState::Alarm : m_warning ? AlarmState::Warning : AlarmState::None;
}

void TfrmMonitor::showLevel()
{
    const QLocale locale;
    const auto last = m_view ? m_view->lastSample() : std::nullopt;
    if (!last || (running() && m_lost)) {
        lblLevel->setText(QStringLiteral("--"));
        lblLevelTime->clear();
    } else {
        lblLevel->setText(QStringLiteral("%1 dB").arg(locale.toString(last->tenths / 10.0, 'f', 1)));
        QByteArray t;
        MonitorText::appendStamp(t, last->time);
        lblLevelTime->setText(clockText(t));
    }
    const QList<QByteArray> f = m_view ? m_view->openPeriodRow().split(',') : QList<QByteArray>();
    const bool open = f.size() == 12;
    lblLeq->setText(open ? localNumber(f[4]) + QStringLiteral(" dB") : QStringLiteral("--"));
    lblLmax->setText(open ? localNumber(f[5]) + QStringLiteral(" dB") : QStringLiteral("--"));
    lblL90->setText(open ? localNumber(f[10]) + QStringLiteral(" dB") : QStringLiteral("--"));
    lblCoverage->setText(open ? localNumber(f[3]) + QStringLiteral(" %") : QStringLiteral("--"));
}

void TfrmMonitor::showDayControls()
{
    if (!m_view) {
        lblDay->clear();
        btnPrevDay->setEnabled(false);
        btnNextDay->setEnabled(false);
        return;
    }
    const qint64 d = m_view->shownDay();
    lblDay->setText(QLocale().toString(MonitorText::dayDate(d), QLocale::LongFormat));
    const auto &days = m_view->days();
    btnPrevDay->setEnabled(!days.empty() && days.front() < d);
    btnNextDay->setEnabled(!days.empty() && days.back() > d);
}

void TfrmMonitor::fillPeriods()
{
    const CsvRows &rows = m_view->periods();
    QList<QStringList> shown;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        QStringList cells{clockText(it->at(0)).left(5), clockText(it->at(1)).left(5), it->at(2)};
        for (int i = 3; i < it->size(); ++i)
            cells << localNumber(it->at(i));
        shown << cells;
    }
    fillTable(grdPeriods, shown);
}

void TfrmMonitor::fillEvents()
{
    const CsvRows &rows = m_view->events();
    const QStringList english = QString::fromLatin1("start,stop,lost,resumed,warning,warning-end,alarm,alarm-end,weighting").split(',');
    const QStringList shown = text("EventNames").split(QLatin1Char(','));
    QList<QStringList> cells;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        const qsizetype k = english.indexOf(QString::fromLatin1(it->at(1)));
        cells << QStringList{clockText(it->at(0)), k >= 0 ? shown.value(k) : QString::fromLatin1(it->at(1)),
                             localDetail(it->at(2))};
    }
    fillTable(grdEvents, cells);
}

void TfrmMonitor::fillDays()
{
    const CsvRows &rows = m_view->dayRows();
    QList<QStringList> shown;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        const QDate d = QDate::fromString(QString::fromLatin1(it->at(0)), Qt::ISODate);
        QStringList cells{QLocale().toString(d, QLocale::ShortFormat), it->at(1)};
        for (int i = 2; i < it->size(); ++i)
            cells << localNumber(it->at(i));
        shown << cells;
    }
    fillTable(grdDays, shown);
}

void TfrmMonitor::closeEvent(QCloseEvent *e)
{
    stop();
    m_timer.stop();
    if (onClosed)
        onClosed();
    e->accept();
}
