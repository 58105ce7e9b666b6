#include "monitor/RowFiles.h"

#include "monitor/AppendFile.h"
#include "monitor/Sample.h"
#include "monitor/StatisticsStream.h"

#include <QFile>
#include <QSaveFile>

namespace MonitorFiles {

QString periodsFileName(const QString &dir, qint64 day)
{
    return dir + '/' + QString::fromLatin1(MonitorText::dayText(day)) + QStringLiteral(".periods.csv");
}

QString daysFileName(const QString &dir) { return dir + QStringLiteral("/days.csv"); }

QString eventsFileName(const QString &dir, qint64 day)
{
    return dir + '/' + QString::fromLatin1(MonitorText::dayText(day)) + QStringLiteral(".events.csv");
}

MonitorError writeAtomically(const QString &path, const QByteArray &header, const QList<QByteArray> &rows)
{
    // A file of this name that the program did not write is not replaced.
    QFile old(path);
    if (old.exists() && old.size() > 0 && old.open(QIODevice::ReadOnly)
        && !(header + '\n').startsWith(old.read(header.size() + 1)))
        return {MonitorError::Kind::ForeignFile, path, QStringLiteral("not a file of this program; left alone")};
    old.close();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    QByteArray text = header + '\n';
    for (const QByteArray &r : rows)
        text += r + '\n';
    if (f.write(text) != text.size() || !f.commit())
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    return {};
}

MonitorError readRows(const QString &path, const QByteArray &header, QList<QByteArray> &rows)
{
    rows.clear();
    QFile f(path);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    const QByteArray all = f.readAll();
    if (!all.startsWith(header + '\n'))
        return {MonitorError::Kind::ForeignFile, path, QStringLiteral("not a file of this program; left alone")};
    qsizetype at = header.size() + 1;
    for (qsizetype lf; (lf = all.indexOf('\n', at)) >= 0; at = lf + 1)
        rows << all.mid(at, lf - at);
    return {};
}

} // namespace MonitorFiles

MonitorError PeriodsFile::put(qint64 day, const QByteArray &start, const QByteArray &row)
{
    using namespace MonitorFiles;
    const QString path = periodsFileName(m_dir, day);
    if (day != m_day || !m_loaded) {
        m_loaded = false;
        if (MonitorError e = readRows(path, PeriodsHeader, m_rows))
            return e;
        m_day = day;
        m_loaded = true;
    }
    const QByteArray key = start + ',';
    for (QByteArray &r : m_rows) {
        if (!r.startsWith(key))
            continue;
        if (r == row)
            return {};
        r = row;
        return writeAtomically(path, PeriodsHeader, m_rows);
    }
    QFile f(path);
    const bool fresh = !f.exists() || f.size() == 0;
    if (!fresh) {
        // A torn last row goes before the new one is appended.
        bool ours = true;
        if (MonitorError e = cutTornLine(path, PeriodsHeader, ours))
            return e;
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    const QByteArray text = (fresh ? PeriodsHeader + '\n' : QByteArray()) + row + '\n';
    if (f.write(text) != text.size() || !f.flush())
        return {MonitorError::Kind::WriteFailed, path, f.errorString()};
    m_rows << row;
    return {};
}

MonitorError DaysFile::load()
{
    QList<QByteArray> rows;
    if (MonitorError e = MonitorFiles::readRows(MonitorFiles::daysFileName(m_dir), MonitorFiles::DaysHeader, rows))
        return e;
    for (const QByteArray &r : rows) {
        const QDate d = QDate::fromString(QString::fromLatin1(r.left(10)), Qt::ISODate);
        if (d.isValid() && r.size() > 10 && r[10] == ',')
            m_rows[MonitorText::dayOfDate(d)] = r;
    }
    return {};
}

MonitorError DaysFile::commit() const
{
    QList<QByteArray> rows;
    for (const auto &[day, row] : m_rows)
        rows << row;
    return MonitorFiles::writeAtomically(MonitorFiles::daysFileName(m_dir), MonitorFiles::DaysHeader, rows);
}
