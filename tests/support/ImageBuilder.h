#pragma once
// Builds logger memory images for parser tests: header, data sets from 1024 on, end pointer.
#include <QByteArray>
#include <QList>

struct ImageSet {
    quint8 flags = 0x08;
    QByteArray when = QByteArray("\x26\x11\x02\x08\x15\x00", 6); // BCD yy mm dd hh mm ss
    quint8 intervalMinutes = 0x00, intervalSeconds = 0x02;
    QList<quint16> values;      // 12-bit numbers written as two bytes each
    int storedCount = -1;       // -1: the real count
    bool startMarker = true;
    bool endMarker = true;
};

class ImageBuilder {
public:
    ImageBuilder() : m_image(1024, '\0') {}

    // Appends a set; returns its header offset.
    int add(const ImageSet &s)
    {
        const int q = int(m_image.size());
        const int n = int(s.values.size());
        const int c = s.storedCount < 0 ? n : s.storedCount;
        m_image.append(s.startMarker ? char(0xA5) : char(0x00));
        m_image.append(s.startMarker ? char(0x5A) : char(0x00));
        m_image.append(char(s.flags));
        m_image.append(s.when);
        m_image.append(char(s.intervalMinutes));
        m_image.append(char(s.intervalSeconds));
        m_image.append(char(c >> 16));
        m_image.append(char(c >> 8));
        m_image.append(char(c));
        for (quint16 v : s.values) {
            m_image.append(char(v >> 8));
            m_image.append(char(v & 0xFF));
        }
        m_image.append(s.endMarker ? char(0x5A) : char(0x11));
        m_image.append(s.endMarker ? char(0xA5) : char(0x22));
        ++m_sets;
        return q;
    }
    // Header with the set count (default: the sets added) and the end pointer at the last byte,
    // then tail bytes of 0xFF after it.
    QByteArray finish(int setCount = -1, int tail = 64)
    {
        QByteArray img = m_image;
        const int n = setCount < 0 ? m_sets : setCount;
        const int end = int(img.size()) - 1;
        img[9] = char(n >> 8);
        img[10] = char(n & 0xFF);
        img[11] = char(end >> 16);
        img[12] = char(end >> 8);
        img[13] = char(end & 0xFF);
        img.append(tail, char(0xFF));
        return img;
    }
    int sets() const { return m_sets; }

private:
    QByteArray m_image;
    int m_sets = 0;
};

inline QList<quint16> ramp(int n, quint16 first = 500)
{
    QList<quint16> v;
    for (int i = 0; i < n; ++i)
        v.append(quint16(first + i % 300));
    return v;
}
