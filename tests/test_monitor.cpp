// The monitoring core on virtual time: period and day statistics against hand-computed values,
// alignment, Lden, alarm spells, midnight and a daylight-saving change, a crash and restarts on the
// same folder, the rebuild from the journals giving the files the live run wrote, and the sampler
// on live frames.
#include "link/Clock.h"
#include "monitor/Journal.h"
#include "monitor/LiveSampler.h"
#include "monitor/MonitorCore.h"
#include "monitor/SessionFeed.h"
#include "monitor/StatisticsStream.h"
#include "monitor/Summarize.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include "support/Frames.h"
#include <ctime>

namespace {

using Steps = std::initializer_list<std::pair<double, int>>; // seconds after the start, tenths of a dB

Stamp at(const char *iso)
{
    const auto s = MonitorText::parseStamp(iso);
    if (!s)
        qFatal("bad time %s", iso);
    return *s;
}

// The instant in the test's time zone (Europe/Berlin), with its offset.
Stamp berlin(qint64 utcMs) { return {utcMs, QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc()}; }

Sample sample(const Stamp &t, int tenths) { return Sample{t, tenths, Weighting::A, Response::Fast}; }

Sample shifted(const Stamp &t0, double seconds, int tenths)
{
    return sample({t0.utcMs + qint64(seconds * 1000), t0.offsetS}, tenths);
}

QByteArray fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QList<QByteArray> rowsOf(const QString &path)
{
    QList<QByteArray> rows = fileText(path).split('\n');
    rows.removeFirst();
    rows.removeLast(); // after the last LF
    return rows;
}

struct Collected {
    QList<QByteArray> periods, days;
    void attach(StatisticsStream &s)
    {
        s.periodFinished = [this](const FinishedPeriod &p) { periods << p.row; };
        s.dayFinished = [this](const FinishedDay &d) { days << d.row; };
    }
};

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void periodStatisticsWithGapTiesAndSingleSample()
    {
        StatisticsStream s(60, 1000);
        Collected c;
        c.attach(s);
        const Stamp t0 = at("2026-12-11T14:00:00.000+01:00");
        for (auto [sec, level] : Steps{{0.0, 500}, {1.0, 600}, {2.0, 600}, {3.0, 400}, {59.5, 700}, {60.5, 550}})
            s.add(shifted(t0, sec, level));
        s.finish();
        // Coverage: 1+1+1, the gap counts 1.5 s, 59.5 covers 0.5 s up to the period end and 0.5 s
        // into the next period, where the single sample adds 1.5 s.
        QCOMPARE(c.periods, (QList<QByteArray>{
            "2026-12-11T14:00:00+01:00,2026-12-11T14:01:00+01:00,5,8.3,63.8,70.0,40.0,68.0,66.0,60.0,44.0,42.0",
            "2026-12-11T14:01:00+01:00,2026-12-11T14:02:00+01:00,1,3.3,55.0,55.0,55.0,55.0,55.0,55.0,55.0,55.0"}));
        QCOMPARE(c.days, (QList<QByteArray>{"2026-12-11,6,0.0,63.2,63.2,,,,70.0,45.0"}));
    }

    void periodsAlignToLocalMidnight()
    {
        using Alignment = std::tuple<int, const char *, const char *>;
        for (auto [period, start, end] : {Alignment{300, "14:05:00", "14:10:00"}, Alignment{900, "14:00:00", "14:15:00"},
                                          Alignment{3600, "14:00:00", "15:00:00"}}) {
            StatisticsStream s(period, 1000);
            Collected c;
            c.attach(s);
            s.add(sample(at("2026-06-11T14:07:31.250+02:00"), 500));
            s.finish();
            QCOMPARE(c.periods.value(0).left(51),
                     QByteArray("2026-06-11T") + start + "+02:00,2026-06-11T" + end + "+02:00");
        }
        // The last period of a day ends at the next midnight and belongs to its start's day.
        StatisticsStream s(3600, 1000);
        Collected c;
        c.attach(s);
        s.add(sample(at("2026-06-11T23:59:59.900+02:00"), 500));
        s.add(sample(at("2026-06-12T00:00:00.900+02:00"), 500));
        s.finish();
        QCOMPARE(c.periods.size(), 2);
        QVERIFY(c.periods[0].startsWith("2026-06-11T23:00:00+02:00,2026-06-12T00:00:00+02:00,1,0.0,"));
        QCOMPARE(c.days.size(), 2);
    }

    void ldenAndDayParts()
    {
        QCOMPARE(qRound(denLevel(60, 55, 50) * 1000), 60000); // 12e6 + 4e6 + 8e6 over 24 hours
        StatisticsStream s(3600, 1000);
        Collected c;
        c.attach(s);
        s.add(sample(at("2026-12-11T06:59:00.000+01:00"), 500)); // night (morning)
        s.add(sample(at("2026-12-11T08:00:00.000+01:00"), 600)); // day
        s.add(sample(at("2026-12-11T19:00:00.000+01:00"), 550)); // evening
        QVERIFY(s.openPeriodRow().startsWith("2026-12-11T19:00:00+01:00,"));
        s.add(sample(at("2026-12-11T23:00:00.000+01:00"), 500)); // night (evening)
        s.finish();
        QCOMPARE(c.days.value(0).split(',').mid(4, 4), (QList<QByteArray>{"60.0", "55.0", "50.0", "60.0"}));

        // Without an evening sample there is no Lden.
        StatisticsStream partial(3600, 1000);
        partial.dayFinished = [&](const FinishedDay &d) { c.days = {d.row}; };
        partial.add(sample(at("2026-12-12T08:00:00.000+01:00"), 600));
        partial.add(sample(at("2026-12-12T23:30:00.000+01:00"), 500));
        partial.finish();
        QCOMPARE(c.days.value(0).split(',').mid(4, 4), (QList<QByteArray>{"60.0", "", "50.0", ""}));
    }

    void spellExactlyHoldLongAndJustShorter()
    {
        QTemporaryDir dir;
        VirtualClock clock;
        MonitorConfig cfg{dir.path(), 1000, 900, 700, 800, 3000};
        MonitorCore m(cfg, clock);
        QList<QByteArray> seen;
        m.eventOccurred = [&](const MonitorEvent &e) {
            QByteArray t;
            MonitorText::appendStamp(t, e.time);
            seen << t.mid(11, 12) + ' ' + e.name + ' ' + e.detail;
        };
        const Stamp t0 = at("2026-12-11T14:00:00.000+01:00");
        QVERIFY(!m.start(t0));
        // 70.0 from 1 s to 4 s: exactly the hold, announced with the spell's first sample and
        // ended by the first sample below. 80.0 twice for less than the hold, and 71.0 from 10 s
        // to 12.9 s, just shorter: nothing.
        for (auto [sec, level] : Steps{{1.0, 700}, {2.0, 800}, {3.0, 805}, {4.0, 720}, {4.9, 810}, {5.0, 600},
                                       {10.0, 710}, {12.9, 710}, {13.0, 600}})
            QVERIFY(!m.addSample(shifted(t0, sec, level)));
        Sample c = shifted(t0, 15, 600);
        c.weighting = Weighting::C;
        QVERIFY(!m.addSample(c));
        QVERIFY(!m.stop(shifted(t0, 20, 0).time));
        QCOMPARE(seen, (QList<QByteArray>{"14:00:00.000 start interval 1.0 s period 900 s",
                                          "14:00:01.000 warning 70.0",
                                          "14:00:05.000 warning-end max 81.0 dB for 4.0 s",
                                          "14:00:15.000 weighting A->C",
                                          "14:00:20.000 stop "}));
        QCOMPARE(rowsOf(dir.filePath("2026-12-11.events.csv")).value(2),
                 QByteArray("2026-12-11T14:00:05.000+01:00,warning-end,max 81.0 dB for 4.0 s"));
    }

    void midnightAndDaylightSavingChange()
    {
        // Europe/Berlin, 2026-10-25: 03:00 summer time is 02:00 winter time; the day has 25 hours.
        QTemporaryDir dir;
        VirtualClock clock;
        MonitorCore m(MonitorConfig{dir.path(), 10000, 3600, {}, {}, 0}, clock);
        QList<QByteArray> printed;
        m.periodFinished = [&](const FinishedPeriod &p) { printed << p.start; };
        const qint64 from = at("2026-10-24T23:50:00.000+02:00").utcMs;
        const qint64 to = at("2026-10-25T03:30:00.000+01:00").utcMs;
        QVERIFY(!m.start(berlin(from)));
        for (qint64 t = from; t < to; t += 10000) {
            QVERIFY(!m.addSample(sample(berlin(t), 500 + int(t / 10000 % 7))));
            clock.advanceMs(10000);
            QVERIFY(!m.tick(berlin(t + 5000)));
        }
        QVERIFY(!m.stop(berlin(to)));
        QVERIFY(m.journalSyncs() > 1000); // once a second of (virtual) writing
        QCOMPARE(printed, (QList<QByteArray>{"2026-10-24T23:00:00+02:00", "2026-10-25T00:00:00+02:00",
                                             "2026-10-25T01:00:00+02:00", "2026-10-25T02:00:00+02:00",
                                             "2026-10-25T02:00:00+01:00", "2026-10-25T03:00:00+01:00"}));
        const QList<QByteArray> periods = rowsOf(dir.filePath("2026-10-25.periods.csv"));
        QCOMPARE(periods.size(), 5);
        QVERIFY(periods[2].startsWith("2026-10-25T02:00:00+02:00,2026-10-25T03:00:00+02:00,360,100.0,"));
        QVERIFY(periods[3].startsWith("2026-10-25T02:00:00+01:00,2026-10-25T03:00:00+01:00,360,100.0,"));
        QVERIFY(periods[4].startsWith("2026-10-25T03:00:00+01:00,2026-10-25T04:00:00+01:00,180,50.0,"));
        const QList<QByteArray> days = rowsOf(dir.filePath("days.csv"));
        QCOMPARE(days.size(), 2);
        QVERIFY(days[0].startsWith("2026-10-24,60,0.7,"));
        // 4.5 hours and the last sample's tolerance of a 25-hour day.
        QVERIFY(days[1].startsWith("2026-10-25,1620,18.0,"));
        QCOMPARE(rowsOf(dir.filePath("2026-10-24.samples.csv")).value(0),
                 QByteArray("2026-10-24T23:50:00.000+02:00,50.3,A,FAST"));
    }

    void samplerTakesFramesAsTheRealTimeRecordingAndMarksSilence()
    {
        QTemporaryDir dir;
        VirtualClock clock;
        MonitorCore core({dir.path(), 100, 900, {}, {}, 0}, clock);
        const Stamp t0 = at("2026-12-11T14:00:00.000+01:00");
        QVERIFY(!core.start(t0));
        LiveSampler sampler(core, 100, 0);
        auto frameAt = [&](qint64 ms, const QByteArray &frame) {
            QVERIFY(!sampler.reading(readLiveFrame(frame, {t0.utcMs + ms, t0.offsetS}, ms)));
        };
        // A frame every 50 ms at an interval of 100 ms: every second frame, the one exactly one
        // interval on included.
        for (qint64 ms = 0; ms <= 400; ms += 50)
            frameAt(ms, liveFrame(0x18, 0x23, quint16(500 + ms / 50)));
        // The meter shows a stored value: the connection lives, but that is no level.
        frameAt(600, liveFrame(0x18, 0x63, 0x0453));
        QVERIFY(!sampler.tick({t0.utcMs + 3599, t0.offsetS}, 3599));
        QVERIFY(!sampler.isLost());
        QVERIFY(!sampler.tick({t0.utcMs + 3600, t0.offsetS}, 3600));
        QVERIFY(sampler.isLost());
        QVERIFY(!sampler.tick({t0.utcMs + 9000, t0.offsetS}, 9000));
        // Back, switched to C and SLOW meanwhile.
        frameAt(9100, liveFrame(0x00, 0x23, 620));
        QVERIFY(!sampler.isLost());
        QVERIFY(!core.stop({t0.utcMs + 9500, t0.offsetS}));

        QCOMPARE(sampler.samples(), qint64(6));
        QCOMPARE(rowsOf(dir.filePath("2026-12-11.samples.csv")),
                 (QList<QByteArray>{"2026-12-11T14:00:00.000+01:00,50.0,A,FAST", "2026-12-11T14:00:00.100+01:00,50.2,A,FAST",
                                    "2026-12-11T14:00:00.200+01:00,50.4,A,FAST", "2026-12-11T14:00:00.300+01:00,50.6,A,FAST",
                                    "2026-12-11T14:00:00.400+01:00,50.8,A,FAST", "2026-12-11T14:00:09.100+01:00,62.0,C,SLOW"}));
        QList<QByteArray> events = rowsOf(dir.filePath("2026-12-11.events.csv"));
        QCOMPARE(events.size(), 6);
        events.removeFirst();
        QCOMPARE(events, (QList<QByteArray>{"2026-12-11T14:00:03.600+01:00,lost,", "2026-12-11T14:00:09.100+01:00,resumed,",
                                            "2026-12-11T14:00:09.100+01:00,weighting,A->C",
                                            "2026-12-11T14:00:09.100+01:00,weighting,FAST->SLOW",
                                            "2026-12-11T14:00:09.500+01:00,stop,"}));
    }
    void commandsHoldingThePortPauseTheSamplerOfASession()
    {
        QTemporaryDir dir;
        VirtualClock clock;
        MonitorCore core({dir.path(), 100, 900, {}, {}, 0}, clock);
        const Stamp t0 = at("2026-12-11T14:00:00.000+01:00");
        QVERIFY(!core.start(t0));
        LiveSampler sampler(core, 100, 0);
        MeterSession session(std::make_unique<VirtualClock>(), {});
        SessionFeed feed(session);
        qint64 ms = 0;
        auto now = [&] { return Stamp{t0.utcMs + ms, t0.offsetS}; };
        feed.setFrameHandler([&](const QByteArray &f) { QVERIFY(!sampler.reading(readLiveFrame(f, now(), ms))); });
        feed.setPauseHandlers([&](const QString &why) { QVERIFY(!sampler.paused(now(), why)); },
                              [&] { QVERIFY(!sampler.resumed(now(), ms)); });
        session.link().onFrame(liveFrame(0x18, 0x23, 500));
        ms = 1000;
        {
            // A download whose transfer nests another hold on the port: one pause, one resume.
            PortLoan download(session.state().Loans, QStringLiteral("download"));
            PortLoan inner(session.state().Loans, QStringLiteral("recall"));
            // A frame left in the buffer when the command took the port: not a resumption.
            ms = 1020;
            session.link().onFrame(liveFrame(0x18, 0x23, 505));
            QVERIFY(sampler.isLost());
            ms = 5000;
            QVERIFY(!sampler.tick(now(), ms)); // no silence counted while the port is held
            QVERIFY(sampler.isLost());
            ms = 6000;
        }
        QVERIFY(!sampler.isLost());
        ms = 8999;
        QVERIFY(!sampler.tick(now(), ms));
        QVERIFY(!sampler.isLost());
        ms = 9000; // the meter stays silent after the command: lost without a reason
        QVERIFY(!sampler.tick(now(), ms));
        ms = 9500;
        session.link().onFrame(liveFrame(0x18, 0x23, 510));
        QVERIFY(!core.stop(now()));
        QList<QByteArray> events = rowsOf(dir.filePath("2026-12-11.events.csv"));
        QCOMPARE(events.size(), 6);
        events.removeFirst();
        QCOMPARE(events, (QList<QByteArray>{"2026-12-11T14:00:01.000+01:00,lost,download",
                                            "2026-12-11T14:00:06.000+01:00,resumed,",
                                            "2026-12-11T14:00:09.000+01:00,lost,",
                                            "2026-12-11T14:00:09.500+01:00,resumed,",
                                            "2026-12-11T14:00:09.500+01:00,stop,"}));
        QCOMPARE(sampler.samples(), qint64(2));
    }

    void restartsAfterStopAndCrashMatchTheRebuild()
    {
        QTemporaryDir dir;
        VirtualClock clock;
        const MonitorConfig cfg{dir.path(), 1000, 900, {}, {}, 0};
        const Stamp t0 = at("2026-12-11T14:00:00.000+01:00");
        auto run = [&](double fromS, double toS, bool stop) {
            MonitorCore m(cfg, clock);
            QVERIFY(!m.start(shifted(t0, fromS, 0).time));
            for (double s = fromS; s < toS; s += 1.0) {
                QVERIFY(!m.addSample(shifted(t0, s, 400 + int(s) % 300)));
                clock.advanceMs(1000);
            }
            if (stop)
                QVERIFY(!m.stop(shifted(t0, toS, 0).time));
        };
        const QString periods = dir.filePath("2026-12-11.periods.csv");
        run(0, 300, true);
        QCOMPARE(rowsOf(periods).size(), 1);
        QVERIFY(rowsOf(periods)[0].startsWith("2026-12-11T14:00:00+01:00,2026-12-11T14:15:00+01:00,300,33.4,"));

        // The second run continues the period the first one stopped in, then dies in the next one
        // half-way through writing a line.
        run(480, 1200, false);
        const QList<QByteArray> afterCrash = rowsOf(periods);
        QCOMPARE(afterCrash.size(), 1);
        QVERIFY(afterCrash[0].startsWith("2026-12-11T14:00:00+01:00,2026-12-11T14:15:00+01:00,720,"));
        const QString journal = dir.filePath("2026-12-11.samples.csv");
        {
            QFile f(journal);
            QVERIFY(f.open(QIODevice::Append));
            f.write("2026-12-11T14:20:00.0");
        }
        // Not a journal of the program, though named like one: left alone, never read.
        const QByteArray foreign = "time;level\n2026-12-10T10:00:00.000+01:00;99.9\n";
        {
            QFile f(dir.filePath("2026-12-10.samples.csv"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(foreign);
        }

        // The third run repairs the journal, writes the period the crash left without a row and
        // goes on.
        run(2400, 2460, true);
        QCOMPARE(rowsOf(journal).size(), 300 + 720 + 60);
        QVERIFY(rowsOf(journal).value(1019).startsWith("2026-12-11T14:19:59.000+01:00,"));
        const QList<QByteArray> live = rowsOf(periods);
        QCOMPARE(live.size(), 3);
        QVERIFY(live[1].startsWith("2026-12-11T14:15:00+01:00,2026-12-11T14:30:00+01:00,300,33.4,"));
        QVERIFY(live[2].startsWith("2026-12-11T14:30:00+01:00,2026-12-11T14:45:00+01:00,60,6.7,"));

        const QByteArray livePeriods = fileText(periods), liveDays = fileText(dir.filePath("days.csv"));
        QVERIFY(QFile::remove(periods));
        QVERIFY(QFile::remove(dir.filePath("days.csv")));
        const SummarizeReport r = summarizeFolder(dir.path(), 900);
        QVERIFY(!r.error);
        QCOMPARE(r.samples, qint64(1080));
        QCOMPARE(r.foreign, QStringList{dir.filePath("2026-12-10.samples.csv")});
        QCOMPARE(fileText(periods), livePeriods);
        QCOMPARE(fileText(dir.filePath("days.csv")), liveDays);
        QCOMPARE(fileText(dir.filePath("2026-12-10.samples.csv")), foreign);
        QVERIFY(!QFile::exists(dir.filePath("2026-12-10.periods.csv")));
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "test_monitor.moc"
