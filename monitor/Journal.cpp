#include "monitor/Journal.h"

#include <QDir>
#include <QRegularExpression>

namespace Journal {

QString fileName(const QString &dir, qint64 day)
{
    return dir + '/' + QString::fromLatin1(MonitorText::dayText(day) + Suffix);
}

QStringList files(const QString &dir)
{
    static const QRegularExpression name(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.samples\\.csv$"));
    QStringList out;
    for (const QString &f : QDir(dir).entryList(QDir::Files, QDir::Name)) {
        if (name.match(f).hasMatch())
            out << dir + '/' + f;
    }
    return out;
}

} // namespace Journal

MonitorError JournalWriter::append(const Sample &s)
{
    const qint64 day = s.time.localDay();
    if (day != m_day || !m_file.isOpen()) {
        if (MonitorError e = m_file.open(Journal::fileName(m_dir, day)))
            return e;
        m_day = day;
    }
    m_line.clear();
    MonitorText::appendSampleLine(m_line, s);
    return m_file.append(m_line);
}

JournalReader::JournalReader(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    const qint64 n = m_file.readLine(m_buf, sizeof m_buf);
    m_ok = n == Journal::Header.size() + 1 && std::string_view(m_buf, size_t(n - 1)) == Journal::Header.constData()
           && m_buf[n - 1] == '\n';
}

bool JournalReader::next(Sample &s)
{
    if (!m_ok)
        return false;
    for (;;) {
        const qint64 n = m_file.readLine(m_buf, sizeof m_buf);
        if (n <= 0)
            return false;
        const bool whole = m_buf[n - 1] == '\n';
        if (!whole && n == qint64(sizeof m_buf) - 1) {
            // An overlong line: skip the rest of it.
            char c;
            while (m_file.getChar(&c) && c != '\n') {}
        }
        if (whole) {
            if (const auto parsed = MonitorText::parseSampleLine(std::string_view(m_buf, size_t(n)))) {
                s = *parsed;
                return true;
            }
        }
        ++m_skipped;
    }
}
