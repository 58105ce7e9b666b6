#pragma once
// A monitoring folder as a window shows it, one day at a time: the day's samples as a min/max
// envelope in fixed bins (built once when the day is loaded, then extended sample by sample), its
// periods and events, and days.csv. A folder that another process is writing into is followed by
// reading what was appended (the journal) or rewritten (the other files) since the last look.
#include "monitor/Sample.h"
#include "monitor/StatisticsStream.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using CsvRows = QList<QList<QByteArray>>;

namespace MonitorFolder {
// The days of the folder that have a journal, oldest first.
std::vector<qint64> days(const QString &dir);
// Whether path is days.csv or a day file (journal, periods, events) of a monitoring folder that
// the program wrote (its header line says so).
bool isFolderFile(const QString &path);
// The rows of a file of the program after its header, split at the commas; none when the file is
// missing or not the program's. A torn last line is left out.
CsvRows readRows(const QString &path, const QByteArray &header);
// The period length and the sampling interval named by the last start event of the rows.
std::optional<std::pair<int, qint64>> startSettings(const CsvRows &events);
}

// The min/max of a day's samples per bin of binS seconds of the local day; NaN where no sample.
class DayEnvelope {
public:
    void reset(qint64 day, int binS);
    void add(const Sample &s);
    qint64 day() const { return m_day; }
    int binSeconds() const { return m_binS; }
    const std::vector<float> &minima() const { return m_min; }
    const std::vector<float> &maxima() const { return m_max; }
    qint64 samples() const { return m_samples; }

private:
    qint64 m_day = 0;
    int m_binS = 30;
    std::vector<float> m_min, m_max;
    qint64 m_samples = 0;
};

// Reads the whole lines appended to a journal since the last read.
class JournalTail {
public:
    explicit JournalTail(QString path = {}) : m_path(std::move(path)) {}
    // Hands each new sample to f; false when the file is not a journal of the program.
    bool read(const std::function<void(const Sample &)> &f);

private:
    QString m_path;
    qint64 m_offset = 0;
    bool m_checked = false;
};

class FolderView {
public:
    enum Change { Nothing = 0, Samples = 1, Periods = 2, Events = 4, Days = 8, DayList = 16 };

    explicit FolderView(QString dir, int periodS = 900, qint64 intervalMs = 1000);
    ~FolderView();
    const QString &dir() const { return m_dir; }
    // Whether another process writes the folder, so that new journal lines are read from the
    // files; otherwise the samples come through addSample (after the first load).
    void setFollowing(bool following) { m_following = following; }

    // Days with a journal, oldest first.
    const std::vector<qint64> &days() const { return m_days; }
    // Loads a day: its journal into the envelope, its periods and events. With no day given, the
    // latest one (today's when there is none).
    void showDay(std::optional<qint64> day = std::nullopt);
    qint64 shownDay() const { return m_envelope.day(); }
    bool showingLatest() const { return m_days.empty() || m_envelope.day() >= m_days.back(); }
    const DayEnvelope &envelope() const { return m_envelope; }
    const CsvRows &periods() const { return m_periods; }
    const CsvRows &events() const { return m_events; }
    const CsvRows &dayRows() const { return m_dayRows; }
    int periodSeconds() const { return m_periodS; }

    // A sample taken in this process (a monitor run into the folder): drawn when its day is shown,
    // and the figures of the open period follow it.
    void addSample(const Sample &s);
    // Reads what other writers changed since the last look (the journal of the latest day only
    // when follow is set: a run of this process hands its samples over itself). A Change mask.
    int refresh(bool follow);
    // The next refresh reads the periods, events and days files again whatever their dates say.
    void forgetSeen() { m_periodsSeen = m_eventsSeen = m_daysSeen = {}; }
    // Time passes: an open period that has ended is closed.
    void tick(const Stamp &now);

    std::optional<Sample> lastSample() const { return m_last; }
    // The row the open period would have now (periods file columns); empty when none is open.
    QByteArray openPeriodRow() const;

private:
    struct Stamped {
        QDateTime modified;
        qint64 size = -1;
    };
    bool changed(const QString &path, Stamped &seen) const;
    void track(const Sample &s);
    void restartOpenPeriod();

    QString m_dir;
    int m_periodS;
    qint64 m_intervalMs;
    std::vector<qint64> m_days;
    DayEnvelope m_envelope;
    JournalTail m_tail;
    QString m_tailPath;
    bool m_following = true;
    CsvRows m_periods, m_events, m_dayRows;
    Stamped m_periodsSeen, m_eventsSeen, m_daysSeen;
    std::optional<Sample> m_last;
    std::unique_ptr<StatisticsStream> m_open;
};
