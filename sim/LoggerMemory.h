#pragma once
// The meter's data logger memory: 64 KiB, header at 0 (set count at 9-10, end pointer at 11-13,
// recording interval at 14-15), data sets from 1024 on, erased bytes 0xFF.
#include <QByteArray>
#include <QDateTime>
#include <QList>

struct SimDataSet {
    QDateTime start;
    int intervalSeconds = 1;   // 0..60 (minutes and seconds in the header)
    bool weightingA = true;
    QList<quint16> levels;     // tenths of a dB
};

// A single value stored with the MEM key, as its 10-byte record holds it.
struct SimReading {
    QDateTime when;
    bool weightingA = true;
    bool fast = true;
    quint16 level = 0;        // tenths of a dB, at most 9999 (four BCD digits)
    bool invalidDate = false; // the record carries month 0, as a meter with a lost clock writes it

    QByteArray record() const;
};

class LoggerMemory {
public:
    static constexpr int Size = 65536;
    static constexpr int FirstSet = 1024;

    LoggerMemory();

    // Writes the header and the sets; returns the header offsets of the sets. A count field that
    // starts on the last byte of a 256-byte page keeps that byte erased, as the meter leaves it.
    QList<int> store(const QList<SimDataSet> &sets);
    // Several realistic sets: different days, intervals 1 s, 2 s and 60 s, both weightings, one
    // without readings, one whose count field starts on a page's last byte (set 3).
    static QList<SimDataSet> standardSets();

    // The single-value memory below the first set: count at 20, 10-byte records from 26 on (at
    // most 99). Kept when the sets are stored again or erased.
    void setReadings(const QList<SimReading> &readings);
    const QList<SimReading> &readings() const { return m_readings; }
    void addReading(const SimReading &reading);
    // A handful: both weightings and speeds, a level above the meter's range, one with an
    // invalid date.
    static QList<SimReading> standardReadings();

    // The recording interval of the header (BCD minutes and seconds at 14 and 15); kept when the
    // sets are stored again or erased.
    void setInterval(quint8 minutesBcd, quint8 secondsBcd);
    // All data sets gone: count 0, end pointer 1023, the data area erased.
    void erase() { store({}); }

    quint8 at(int address) const { return quint8(m_bytes.at(address & 0xFFFF)); }
    void write(int address, quint8 value) { m_bytes[address & 0xFFFF] = char(value); }
    const QByteArray &bytes() const { return m_bytes; }
    int endPointer() const { return (at(11) << 16) | (at(12) << 8) | at(13); }
    int setCountField() const { return at(9) * 256 + at(10); }

    // Faults: a set count written over the header; the start marker of set k destroyed.
    void setSetCountField(int count);
    void damageSet(int k);
    const QList<int> &headerOffsets() const { return m_offsets; }

private:
    void writeReadings();

    QByteArray m_bytes;
    QList<int> m_offsets;
    QList<SimReading> m_readings;
    quint8 m_intervalMinutes = 0x00, m_intervalSeconds = 0x02;
};
