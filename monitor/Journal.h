#pragma once
// The journal: every sample, one line per sample, in one file per local calendar day
// (YYYY-MM-DD.samples.csv). Every other monitoring file can be rebuilt from it.
#include "monitor/AppendFile.h"
#include "monitor/Sample.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <limits>

namespace Journal {
inline const QByteArray Header = QByteArrayLiteral("time,level,weighting,response");
inline const QByteArray Suffix = QByteArrayLiteral(".samples.csv");
QString fileName(const QString &dir, qint64 day);
// Journal file names of a folder (YYYY-MM-DD.samples.csv), oldest first. Whether each was written
// by the program is the reader's to check.
QStringList files(const QString &dir);
} // namespace Journal

class JournalWriter {
public:
    JournalWriter(Clock &clock, QString dir) : m_file(clock, Journal::Header), m_dir(std::move(dir)) {}
    // Appends the sample to the file of its local day, opening (and repairing) that file first.
    MonitorError append(const Sample &s);
    MonitorError syncIfDue() { return m_file.isOpen() ? m_file.syncIfDue() : MonitorError{}; }
    void close() { m_file.close(); }
    int syncCount() const { return m_file.syncCount(); }

private:
    AppendFile m_file;
    QString m_dir;
    qint64 m_day = std::numeric_limits<qint64>::min();
    QByteArray m_line;
};

// Reads a journal file sample by sample with a fixed buffer. A file whose first line is not the
// journal header is not read at all; lines that do not parse (a torn last line) are skipped.
class JournalReader {
public:
    explicit JournalReader(const QString &path);
    bool isJournal() const { return m_ok; }
    bool next(Sample &s);
    qint64 skippedLines() const { return m_skipped; }

private:
    QFile m_file;
    bool m_ok = false;
    qint64 m_skipped = 0;
    char m_buf[256];
};
