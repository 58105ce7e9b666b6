#pragma once
// The files of rows with one row per key: a day's periods file (one row per period) and days.csv
// (one row per day). A new row is appended; a row that changes makes the file be rewritten beside
// itself and renamed over it, so a crash leaves either the old or the new file, never a mix.
#include "monitor/MonitorError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <map>

namespace MonitorFiles {
QString periodsFileName(const QString &dir, qint64 day);
QString daysFileName(const QString &dir);
QString eventsFileName(const QString &dir, qint64 day);
// Writes header and rows to path through a temporary file and a rename.
MonitorError writeAtomically(const QString &path, const QByteArray &header, const QList<QByteArray> &rows);
// Reads the rows of a file of the program (after its header); ForeignFile when its first line is
// not header. A missing file has no rows. A torn last line is dropped.
MonitorError readRows(const QString &path, const QByteArray &header, QList<QByteArray> &rows);
} // namespace MonitorFiles

// The periods file of one day at a time, keyed by the period's start text.
class PeriodsFile {
public:
    explicit PeriodsFile(QString dir) : m_dir(std::move(dir)) {}
    MonitorError put(qint64 day, const QByteArray &start, const QByteArray &row);

private:
    QString m_dir;
    qint64 m_day = -1;
    bool m_loaded = false;
    QList<QByteArray> m_rows;
};

// days.csv, held in memory (one short row per day) and rewritten whole.
class DaysFile {
public:
    explicit DaysFile(QString dir) : m_dir(std::move(dir)) {}
    // Reads the rows already there.
    MonitorError load();
    void put(qint64 day, const QByteArray &row) { m_rows[day] = row; }
    MonitorError commit() const;

private:
    QString m_dir;
    std::map<qint64, QByteArray> m_rows;
};
