#pragma once
// A CSV file that is only appended to, line by line: the header when it is new, each line written
// and flushed to the operating system as it comes, and synced to the disk at most a second after
// it was written (checked on the tick of a Clock, so tests need no real time). A torn last line left
// by a crash or a power cut is cut off when the file is opened.
#include "monitor/MonitorError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

class Clock;

class AppendFile {
public:
    AppendFile(Clock &clock, QByteArray header) : m_clock(clock), m_header(std::move(header)) {}
    ~AppendFile() { close(); }

    // Opens path for appending; the header is written to a new or empty file. A file whose first
    // line is not the header is left alone (ForeignFile).
    MonitorError open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Appends one line (without its line end), flushes it, and syncs when a second has passed
    // since the last sync.
    MonitorError append(const QByteArray &line);
    // Syncs what is pending when a second has passed; a caller without lines calls it now and then.
    MonitorError syncIfDue();
    void close();
    int syncCount() const { return m_syncs; }

private:
    MonitorError sync();
    MonitorError fault(MonitorError::Kind kind, const QString &detail) const;

    Clock &m_clock;
    QByteArray m_header;
    QFile m_file;
    QByteArray m_line;
    bool m_dirty = false;
    quint32 m_lastSyncTick = 0;
    int m_syncs = 0;
};

// Cuts a file back to its last complete line; bytes after the last LF are a line that a crash
// left unfinished. Whether the file starts with header (or is a torn beginning of it) is returned
// in ours: a file that does not is not touched.
MonitorError cutTornLine(const QString &path, const QByteArray &header, bool &ours);
