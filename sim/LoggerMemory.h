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
    QByteArray m_bytes;
    QList<int> m_offsets;
};
