#include "data/MemoryImageParser.h"

#include <QDate>
#include <algorithm>
#include <QTime>

namespace {

constexpr int FirstSetAddress = 1024;
constexpr quint8 MarkA5 = 0xA5;
constexpr quint8 Mark5A = 0x5A;

// Bounds-checked view of the image: a byte outside it reads as -1, which matches no marker.
class ImageView {
public:
    explicit ImageView(const MemoryImage &image) : m_image(image) {}
    int at(qint64 i) const
    {
        return i >= 0 && i < m_image.size() ? int(quint8(m_image.at(qsizetype(i)))) : -1;
    }
    quint8 byte(qint64 i) const { return quint8(m_image.at(qsizetype(i))); } // caller checked i
    qint64 size() const { return m_image.size(); }

private:
    const MemoryImage &m_image;
};

// Two BCD digits; -1 when a nibble is above 9.
int bcd(quint8 b)
{
    const int hi = b >> 4, lo = b & 0x0F;
    return hi > 9 || lo > 9 ? -1 : hi * 10 + lo;
}

bool decodeStart(const ImageView &img, qint64 q, TDateTime &out)
{
    int f[6];
    for (int i = 0; i < 6; ++i) {
        f[i] = bcd(img.byte(q + 3 + i));
        if (f[i] < 0)
            return false;
    }
    const QDate date(2000 + f[0], f[1], f[2]);
    if (!date.isValid() || !QTime::isValid(f[3], f[4], f[5]))
        return false;
    out = double(QDate(1899, 12, 30).daysTo(date)) + double(f[3] * 3600 + f[4] * 60 + f[5]) / 86400.0;
    return true;
}

struct SetHeader {
    qint32 count, headerOffset, endOffset, interval;
    quint8 flags;
    TDateTime start;
};

} // namespace

qint32 lastAddressOf(const MemoryImage &image)
{
    if (image.size() < 14)
        return -1;
    return qint32(quint8(image.at(12))) * 256 + quint8(image.at(13));
}

float decodeLevel(quint8 high, quint8 low)
{
    const int tenths = ((high & 0x0F) << 8) | low;
    const float level = float(double(tenths) * 0.1);
    return level < 20.0f || level > 140.0f ? 50.0f : level;
}

int decodeInterval(quint8 minutes, quint8 seconds)
{
    const int s = (minutes & 0x0F) * 60 + (seconds >> 4) * 10 + (seconds & 0x0F);
    return s > 60 ? 2 : s;
}

ParseResult ParseMemoryImage(const MemoryImage &image, DataSetStore &store, TDateTime undecodableStart)
{
    const ImageView img(image);
    const qint64 L = store.LastAddress;
    const int hi = img.at(9), lo = img.at(10);
    if (hi < 0 || lo < 0)
        return ParseResult::NoDataSet;
    const int n = hi * 256 + lo;
    if (n == 0)
        return ParseResult::NoDataSet;
    if (n > DataSetStore::MaxSets)
        return ParseResult::TooManySets;

    QList<SetHeader> sets;
    sets.reserve(n);
    qint64 q = FirstSetAddress;
    for (int i = 0; i < n; ++i) {
        const int c0 = img.at(q + 11), c1 = img.at(q + 12), c2 = img.at(q + 13);
        const qint64 stored = c0 < 0 || c1 < 0 || c2 < 0 ? -1 : (qint64(c0) << 16) | (c1 << 8) | c2;

        qint64 end;
        bool search;
        if ((q + 11) % 256 == 255 || stored < 0) {
            // The meter does not keep a count field that starts on a page's last byte.
            end = q + 14;
            search = true;
        } else {
            end = q + 15 + 2 * stored;
            search = end > L || img.at(end - 1) != Mark5A || img.at(end) != MarkA5;
        }
        if (search) {
            // A match needs k + 1 inside the image as well; stopping there finds the same end.
            const qint64 limit = std::min<qint64>(L, img.size() - 2);
            for (qint64 k = q + 14; k <= limit; k += 2) {
                if (img.at(k) == Mark5A && img.at(k + 1) == MarkA5) {
                    end = k + 1;
                    break;
                }
            }
        }
        const qint64 count = end - q - 15 < 0 ? 0 : (end - q - 15) / 2;

        // Markers that fall on the first byte of a 256-byte page are not required.
        bool damaged;
        if (img.at(q) != MarkA5)
            damaged = q % 256 != 0;
        else if (img.at(q + 1) != Mark5A)
            damaged = q % 256 != 0;
        else if (img.at(end - 1) != Mark5A)
            damaged = (end - 1) % 256 != 0;
        else if (img.at(end) != MarkA5)
            damaged = (end - 1) % 256 != 0;
        else
            damaged = false;
        // Whatever the markers say, a set must end within the used memory and within the image.
        if (end > L || end >= img.size())
            damaged = true;
        if (damaged) {
            store.FaultSet = i;
            store.FaultOffset = qint32(q - 1);
            return ParseResult::DamagedSet;
        }

        SetHeader h;
        h.count = qint32(count);
        h.headerOffset = qint32(q);
        h.endOffset = qint32(end);
        h.flags = img.byte(q + 2);
        if (!decodeStart(img, q, h.start))
            h.start = undecodableStart;
        h.interval = decodeInterval(img.byte(q + 9), img.byte(q + 10));
        sets.append(h);
        q = end + 1;
    }

    // Build the whole new content first, then replace the store in one step.
    DataSetStore fresh;
    fresh.Image = image;
    fresh.LastAddress = store.LastAddress;
    fresh.FaultSet = store.FaultSet;
    fresh.FaultOffset = store.FaultOffset;
    qsizetype total = 0;
    for (const SetHeader &h : sets)
        total += h.count;
    fresh.Levels.reserve(total);
    fresh.LevelTimes.reserve(total);
    for (const SetHeader &h : sets) {
        fresh.SetStart.append(h.start);
        fresh.SetInterval.append(h.interval);
        fresh.SetCount.append(h.count);
        fresh.SetFlags.append(h.flags);
        fresh.SetHeaderOffset.append(h.headerOffset);
        fresh.SetEndOffset.append(h.endOffset);

        const double step = double(h.interval) / 86400.0;
        float max = -99999.0f, min = 99999.0f;
        double sum = 0.0;
        qint32 maxIndex = 0, minIndex = 0;
        qint32 k = 0;
        for (qint64 a = qint64(h.headerOffset) + 14; a < qint64(h.endOffset) - 1; a += 2, ++k) {
            const float v = decodeLevel(img.byte(a), img.byte(a + 1));
            fresh.Levels.append(v);
            fresh.LevelTimes.append(h.start + double(k) * step);
            sum += v;
            if (v > max) {
                max = v;
                maxIndex = k;
            }
            if (v < min) {
                min = v;
                minIndex = k;
            }
        }
        fresh.SetMaxIndex.append(maxIndex);
        fresh.SetMinIndex.append(minIndex);
        fresh.SetMean.append(h.count != 0 ? sum / h.count : 0.0);
    }
    store = std::move(fresh);
    return ParseResult::Loaded;
}

QString intervalText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
}

QList<QStringList> dataSetListRows(const DataSetStore &store, const QLocale &locale)
{
    QList<QStringList> rows;
    for (int k = 0; k < store.setCount(); ++k) {
        const QDateTime start = fromTDateTime(store.SetStart.at(k));
        rows.append({QString::number(k + 1), locale.toString(start.date(), QLocale::ShortFormat),
                     start.time().toString(QStringLiteral("hh:mm:ss")), intervalText(store.SetInterval.at(k)),
                     QString::number(store.SetCount.at(k)), store.isWeightingA(k) ? "A" : "C"});
    }
    return rows;
}
