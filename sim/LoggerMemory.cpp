#include "sim/LoggerMemory.h"

#include <algorithm>
#include <cmath>

namespace {
quint8 bcd(int v)
{
    v = std::clamp(v, 0, 99);
    return quint8(((v / 10) << 4) | (v % 10));
}

QList<quint16> levelsFrom(int count, double base, double swing, int seed)
{
    QList<quint16> out;
    for (int i = 0; i < count; ++i) {
        const double db = base + swing * std::sin(0.05 * i + seed) + 2.0 * std::sin(0.7 * i * seed);
        out.append(quint16(std::lround(std::clamp(db, 25.0, 130.0) * 10)));
    }
    return out;
}
} // namespace

namespace {
// Erased memory is 0xFF; the header area below the first set starts out as zeros. (QByteArray::fill
// with a size resizes the array, so the header is cleared through its iterators.)
QByteArray erasedMemory()
{
    QByteArray bytes(LoggerMemory::Size, char(0xFF));
    std::fill(bytes.begin(), bytes.begin() + LoggerMemory::FirstSet, char(0x00));
    return bytes;
}
} // namespace

LoggerMemory::LoggerMemory() : m_bytes(erasedMemory()) {}

QList<int> LoggerMemory::store(const QList<SimDataSet> &sets)
{
    m_bytes = erasedMemory();
    m_offsets.clear();
    int q = FirstSet;
    for (const SimDataSet &s : sets) {
        m_offsets.append(q);
        const int n = int(s.levels.size());
        write(q, 0xA5);
        write(q + 1, 0x5A);
        write(q + 2, s.weightingA ? 0x08 : 0x00);
        const QDate d = s.start.date();
        const QTime t = s.start.time();
        write(q + 3, bcd(d.year() % 100));
        write(q + 4, bcd(d.month()));
        write(q + 5, bcd(d.day()));
        write(q + 6, bcd(t.hour()));
        write(q + 7, bcd(t.minute()));
        write(q + 8, bcd(t.second()));
        write(q + 9, quint8(s.intervalSeconds / 60));
        write(q + 10, bcd(s.intervalSeconds % 60));
        if ((q + 11) % 256 != 255)
            write(q + 11, quint8(n >> 16));
        write(q + 12, quint8(n >> 8));
        write(q + 13, quint8(n));
        for (int i = 0; i < n; ++i) {
            write(q + 14 + 2 * i, quint8(s.levels[i] >> 8));
            write(q + 15 + 2 * i, quint8(s.levels[i] & 0xFF));
        }
        write(q + 14 + 2 * n, 0x5A);
        write(q + 15 + 2 * n, 0xA5);
        q += 16 + 2 * n;
    }
    const int end = q - 1;
    setSetCountField(int(sets.size()));
    write(11, quint8(end >> 16));
    write(12, quint8(end >> 8));
    write(13, quint8(end));
    write(14, m_intervalMinutes);
    write(15, m_intervalSeconds);
    writeReadings();
    return m_offsets;
}

QList<SimDataSet> LoggerMemory::standardSets()
{
    // Sizes chosen so that set 3 starts at 244 modulo 256: its count field begins at 255.
    QList<SimDataSet> sets;
    sets.append({QDateTime(QDate(2026, 11, 2), QTime(8, 15, 0)), 1, true, levelsFrom(300, 62, 8, 1)});
    sets.append({QDateTime(QDate(2026, 11, 5), QTime(14, 30, 10)), 2, false, levelsFrom(182, 71, 12, 2)});
    sets.append({QDateTime(QDate(2026, 11, 20), QTime(22, 0, 0)), 60, true, {}});
    sets.append({QDateTime(QDate(2026, 11, 21), QTime(23, 59, 30)), 60, true, levelsFrom(240, 45, 6, 3)});
    QList<quint16> loud = levelsFrom(120, 88, 15, 4);
    loud[7] = 150;  // below the meter's range
    loud[8] = 1450; // above it
    sets.append({QDateTime(QDate(2026, 12, 1), QTime(7, 5, 9)), 1, false, loud});
    return sets;
}

void LoggerMemory::setSetCountField(int count)
{
    write(9, quint8((count >> 8) & 0xFF));
    write(10, quint8(count & 0xFF));
}

void LoggerMemory::damageSet(int k)
{
    if (k >= 0 && k < m_offsets.size()) {
        write(m_offsets[k], 0x00);
        write(m_offsets[k] + 1, 0x00);
    }
}

QByteArray SimReading::record() const
{
    QByteArray r(10, '\0');
    r[0] = char((weightingA ? 0x08 : 0x00) | (fast ? 0x10 : 0x00));
    const QDate d = when.date();
    const QTime t = when.time();
    r[1] = char(bcd(d.year() % 100));
    r[2] = char(invalidDate ? 0x00 : bcd(d.month()));
    r[3] = char(bcd(d.day()));
    r[4] = char(bcd(t.hour()));
    r[5] = char(bcd(t.minute()));
    r[6] = char(bcd(t.second()));
    const int w = std::clamp(int(level), 0, 9999);
    r[7] = char(bcd(w / 100));
    r[8] = char(bcd(w % 100));
    return r;
}

void LoggerMemory::writeReadings()
{
    write(20, quint8(m_readings.size()));
    for (int i = 0; i < m_readings.size(); ++i) {
        const QByteArray r = m_readings[i].record();
        for (int k = 0; k < r.size(); ++k)
            write(26 + 10 * i + k, quint8(r[k]));
    }
}

void LoggerMemory::setReadings(const QList<SimReading> &readings)
{
    m_readings = readings.mid(0, 99);
    for (int a = 20; a < FirstSet; ++a)
        write(a, 0x00);
    writeReadings();
}

void LoggerMemory::addReading(const SimReading &reading)
{
    if (m_readings.size() < 99) {
        m_readings.append(reading);
        writeReadings();
    }
}

QList<SimReading> LoggerMemory::standardReadings()
{
    return {
        {QDateTime(QDate(2026, 11, 30), QTime(9, 5, 30)), true, true, 945, false},
        {QDateTime(QDate(2026, 11, 30), QTime(9, 6, 2)), false, false, 612, false},
        {QDateTime(QDate(2026, 12, 1), QTime(17, 45, 0)), true, false, 1500, false},
        {QDateTime(QDate(2026, 12, 1), QTime(17, 45, 9)), false, true, 733, true},
        {QDateTime(QDate(2026, 12, 3), QTime(6, 0, 59)), true, true, 1501, false},
    };
}

void LoggerMemory::setInterval(quint8 minutesBcd, quint8 secondsBcd)
{
    m_intervalMinutes = minutesBcd;
    m_intervalSeconds = secondsBcd;
    write(14, minutesBcd);
    write(15, secondsBcd);
}
