#include "mqtt/MqttOutbox.h"

#include "monitor/AppendFile.h"
#include "monitor/RowFiles.h"
#include "monitor/StatisticsStream.h"
#include "mqtt/MqttPayload.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <map>

namespace MqttOutbox {

QString ackFileName(const QString &dir, qint64 day)
{
    return dir + '/' + QString::fromLatin1(MonitorText::dayText(day)) + QStringLiteral(".mqtt-acked.csv");
}

QByteArray eventRow(const MonitorEvent &e)
{
    QByteArray row;
    MonitorText::appendStamp(row, e.time);
    return row + ',' + e.name + ',' + e.detail;
}

MqttMessage periodMessage(const QByteArray &prefix, qint64 day, const QByteArray &row)
{
    return {prefix + "/period", MqttPayload::period(row), 1, false, day, "period," + row};
}

MqttMessage eventMessage(const QByteArray &prefix, qint64 day, const QByteArray &row)
{
    return {prefix + "/event", MqttPayload::event(row), 1, false, day, "event," + row};
}

namespace {
// The UTC milliseconds of a time field, with or without milliseconds; 0 when it does not parse.
qint64 timeOf(const QByteArray &field)
{
    QByteArray t = field;
    if (t.size() == 25) // 2026-12-11T14:15:00+01:00
        t.insert(19, ".000");
    const auto s = MonitorText::parseStamp(std::string_view(t.constData(), size_t(t.size())));
    return s ? s->utcMs : 0;
}

QSet<QByteArray> acknowledged(const QString &dir, qint64 day, QStringList &problems)
{
    QList<QByteArray> rows;
    if (const MonitorError e = MonitorFiles::readRows(ackFileName(dir, day), AckHeader, rows))
        problems << e.message();
    return QSet<QByteArray>(rows.begin(), rows.end());
}
} // namespace

QList<MqttMessage> pending(const QString &dir, const QByteArray &prefix, QStringList &problems)
{
    static const QRegularExpression name(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})\\.(periods|events)\\.csv$"));
    std::map<qint64, bool> days;
    for (const QString &f : QDir(dir).entryList(QDir::Files)) {
        const auto m = name.match(f);
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (m.hasMatch() && date.isValid())
            days[MonitorText::dayOfDate(date)] = true;
    }
    QList<MqttMessage> out;
    for (const auto &[day, unused] : days) {
        const QSet<QByteArray> acked = acknowledged(dir, day, problems);
        std::vector<std::pair<qint64, MqttMessage>> todo;
        auto take = [&](const QString &path, const QByteArray &header, bool periods) {
            QList<QByteArray> rows;
            if (const MonitorError e = MonitorFiles::readRows(path, header, rows)) {
                problems << e.message();
                return;
            }
            for (const QByteArray &row : rows) {
                MqttMessage m = periods ? periodMessage(prefix, day, row) : eventMessage(prefix, day, row);
                if (row.isEmpty() || acked.contains(m.ackLine))
                    continue;
                const QList<QByteArray> f = row.split(',');
                todo.emplace_back(timeOf(f.value(periods ? 1 : 0)), std::move(m));
            }
        };
        take(MonitorFiles::periodsFileName(dir, day), MonitorFiles::PeriodsHeader, true);
        take(MonitorFiles::eventsFileName(dir, day), EventsHeader, false);
        std::stable_sort(todo.begin(), todo.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &t : todo)
            out << std::move(t.second);
    }
    return out;
}

} // namespace MqttOutbox

QString MqttAckWriter::note(qint64 day, const QByteArray &line)
{
    if (day != m_day) {
        m_file.close();
        m_day = day;
        m_failedDay = false;
        m_file.setFileName(MqttOutbox::ackFileName(m_dir, day));
        // A file of this name that the program did not write is left alone; a note that a crash
        // left unfinished is cut off.
        bool ours = true;
        const MonitorError cut = cutTornLine(m_file.fileName(), MqttOutbox::AckHeader, ours);
        if (cut || !ours) {
            m_failedDay = true;
            return cut ? cut.message()
                       : m_file.fileName() + QStringLiteral(": not a file of this program; acknowledgements are not noted");
        }
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            m_failedDay = true;
            return m_file.fileName() + QStringLiteral(": ") + m_file.errorString();
        }
        if (m_file.size() == 0)
            m_file.write(MqttOutbox::AckHeader + '\n');
    }
    if (m_failedDay)
        return {};
    if (m_file.write(line + '\n') != line.size() + 1 || !m_file.flush()) {
        m_failedDay = true;
        return m_file.fileName() + QStringLiteral(": ") + m_file.errorString();
    }
    return {};
}
