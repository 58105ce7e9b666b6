#include "monitor/AppendFile.h"

#include "link/Clock.h"

#include <QFileInfo>
#include <unistd.h>

namespace {
constexpr quint32 kSyncEveryMs = 1000;
}

MonitorError cutTornLine(const QString &path, const QByteArray &header, bool &ours)
{
    ours = true;
    QFile f(path);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadWrite))
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    const QByteArray first = f.read(header.size() + 1);
    if (first != header + '\n' && !(header + '\n').startsWith(first)) {
        ours = false;
        return {MonitorError::Kind::ForeignFile, path, QStringLiteral("not a file of this program; left alone")};
    }
    const qint64 size = f.size();
    if (size == 0)
        return {};
    // Look back from the end for the last line end, a block at a time.
    qint64 end = size;
    constexpr qint64 kBlock = 4096;
    while (end > 0) {
        const qint64 from = std::max<qint64>(0, end - kBlock);
        f.seek(from);
        const QByteArray block = f.read(end - from);
        const qsizetype lf = block.lastIndexOf('\n');
        if (lf >= 0) {
            end = from + lf + 1;
            break;
        }
        end = from;
    }
    if (end != size && !f.resize(end))
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    return {};
}

MonitorError AppendFile::fault(MonitorError::Kind kind, const QString &detail) const
{
    return {kind, m_file.fileName(), detail};
}

MonitorError AppendFile::open(const QString &path)
{
    close();
    bool ours = true;
    if (MonitorError e = cutTornLine(path, m_header, ours))
        return e;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fault(QFileInfo(QFileInfo(path).path()).isDir() ? MonitorError::Kind::WriteFailed
                                                               : MonitorError::Kind::FolderGone,
                     m_file.errorString());
    m_lastSyncTick = m_clock.tickMs();
    if (m_file.size() == 0)
        return append(m_header);
    return {};
}

MonitorError AppendFile::append(const QByteArray &line)
{
    if (!m_file.isOpen())
        return fault(MonitorError::Kind::WriteFailed, QStringLiteral("file not open"));
    m_line = line;
    m_line.append('\n');
    if (m_file.write(m_line) != m_line.size() || !m_file.flush())
        return fault(MonitorError::Kind::WriteFailed, m_file.errorString());
    m_dirty = true;
    return syncIfDue();
}

MonitorError AppendFile::syncIfDue()
{
    if (!m_dirty || quint32(m_clock.tickMs() - m_lastSyncTick) < kSyncEveryMs)
        return {};
    return sync();
}

MonitorError AppendFile::sync()
{
    m_lastSyncTick = m_clock.tickMs();
    m_dirty = false;
    ++m_syncs;
    if (::fdatasync(m_file.handle()) != 0)
        return fault(MonitorError::Kind::WriteFailed, QStringLiteral("cannot be synced to the disk"));
    // A removed folder keeps an open file writable; it is noticed here, once a second.
    if (!QFileInfo::exists(m_file.fileName()))
        return fault(MonitorError::Kind::FolderGone, QStringLiteral("the file or its folder was removed"));
    return {};
}

void AppendFile::close()
{
    if (!m_file.isOpen())
        return;
    if (m_dirty)
        sync();
    m_file.close();
}
