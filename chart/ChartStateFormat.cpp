// The chart state block, little-endian:
//   0  4  magic "KCHS"
//   4  2  layout version (1)
//   6  2  reserved, 0
//   8  4  length of the whole block in bytes, this frame included
//  12  .. the look, the graph annotations, the two line annotations and the readings
//  end-4 4 CRC-32 of every byte before it
// Strings are a 32-bit byte count and UTF-8; flags one byte 0 or 1.
#include "chart/ChartState.h"

#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

constexpr char kMagic[4] = {'K', 'C', 'H', 'S'};
constexpr quint16 kVersion = 1;
constexpr qsizetype kFrameHead = 12;
constexpr qsizetype kFrameTail = 4;
constexpr quint32 kMaxListEntries = 1024; // subset colours and line types

class Writer {
public:
    explicit Writer(QByteArray &out) : m_out(out) {}
    template <typename T>
    void num(T value)
    {
        static_assert(std::is_arithmetic_v<T>);
        using U = std::conditional_t<sizeof(T) == 1, quint8,
            std::conditional_t<sizeof(T) == 2, quint16, std::conditional_t<sizeof(T) == 4, quint32, quint64>>>;
        U bits;
        std::memcpy(&bits, &value, sizeof bits);
        bits = qToLittleEndian(bits);
        m_out.append(reinterpret_cast<const char *>(&bits), sizeof bits);
    }
    void flag(bool b) { num<quint8>(b ? 1 : 0); }
    void text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        num<quint32>(quint32(utf8.size()));
        m_out.append(utf8);
    }
    void font(const ChartFont &f)
    {
        text(f.family);
        num<double>(f.pointSize);
        flag(f.bold);
        flag(f.italic);
    }
    template <typename T>
    void array(const T *values, qsizetype count)
    {
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            if (count > 0)
                m_out.append(reinterpret_cast<const char *>(values), count * qsizetype(sizeof(T)));
        } else {
            for (qsizetype i = 0; i < count; ++i)
                num<T>(values[i]);
        }
    }

private:
    QByteArray &m_out;
};

// Reads from a fixed byte range; every read checks the bytes that remain first. After the first
// failure every further read fails too, so a parse can check once at the end of a section.
class Reader {
public:
    Reader(const char *begin, qsizetype size) : m_p(begin), m_end(begin + size) {}
    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    qsizetype remaining() const { return m_ok ? qsizetype(m_end - m_p) : 0; }
    bool atEnd() const { return m_ok && m_p == m_end; }

    template <typename T>
    T num()
    {
        using U = std::conditional_t<sizeof(T) == 1, quint8,
            std::conditional_t<sizeof(T) == 2, quint16, std::conditional_t<sizeof(T) == 4, quint32, quint64>>>;
        if (remaining() < qsizetype(sizeof(U))) {
            m_ok = false;
            return T{};
        }
        U bits;
        std::memcpy(&bits, m_p, sizeof bits);
        m_p += sizeof bits;
        bits = qFromLittleEndian(bits);
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    bool flag()
    {
        const quint8 b = num<quint8>();
        if (b > 1)
            m_ok = false;
        return b == 1;
    }
    int ranged(int lo, int hi)
    {
        const qint32 v = num<qint32>();
        if (v < lo || v > hi)
            m_ok = false;
        return v;
    }
    double finite()
    {
        const double v = num<double>();
        if (!std::isfinite(v))
            m_ok = false;
        return v;
    }
    QString text()
    {
        const quint32 n = num<quint32>();
        if (qsizetype(n) > remaining()) {
            m_ok = false;
            return {};
        }
        const QString s = QString::fromUtf8(m_p, qsizetype(n));
        m_p += n;
        return s;
    }
    ChartFont font()
    {
        ChartFont f;
        f.family = text();
        f.pointSize = finite();
        if (f.pointSize < 0 || f.pointSize > 500)
            m_ok = false;
        f.bold = flag();
        f.italic = flag();
        return f;
    }
    // A count of entries of at least minBytes each: refused unless the block can hold them.
    quint32 count(qsizetype minBytes, quint32 limit)
    {
        const quint32 n = num<quint32>();
        if (n > limit || qint64(n) * minBytes > qint64(remaining()))
            m_ok = false;
        return m_ok ? n : 0;
    }
    template <typename T>
    void array(T *out, qsizetype count)
    {
        if (count < 0 || remaining() / qsizetype(sizeof(T)) < count) {
            m_ok = false;
            return;
        }
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            if (count > 0)
                std::memcpy(out, m_p, size_t(count) * sizeof(T));
            m_p += count * qsizetype(sizeof(T));
        } else {
            for (qsizetype i = 0; i < count; ++i)
                out[i] = num<T>();
        }
    }

private:
    const char *m_p;
    const char *m_end;
    bool m_ok = true;
};

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

void writeLook(Writer &w, const ChartLook &l)
{
    w.text(l.mainTitle);
    w.text(l.subTitle);
    w.text(l.xAxisLabel);
    w.text(l.yAxisLabel);
    w.num<qint32>(l.manualScaleControlX);
    w.num<qint32>(l.manualScaleControlY);
    w.num<double>(l.manualMinX);
    w.num<double>(l.manualMaxX);
    w.num<double>(l.manualMinY);
    w.num<double>(l.manualMaxY);
    w.num<qint32>(l.dateTimeMode);
    w.flag(l.usingXDataII);
    w.flag(l.subsetByPoint);
    w.num<qint32>(l.workingAxis);
    w.num<float>(l.nullDataValueY);
    w.num<quint32>(l.deskColor);
    w.num<quint32>(l.graphBackColor);
    w.num<quint32>(l.graphForeColor);
    w.num<quint32>(l.textColor);
    w.num<quint32>(l.yAxisColor);
    w.num<quint32>(quint32(l.subsetColors.size()));
    for (PEColor c : l.subsetColors)
        w.num<quint32>(c);
    w.num<quint32>(quint32(l.subsetLineTypes.size()));
    for (int t : l.subsetLineTypes)
        w.num<qint32>(t);
    w.num<qint32>(l.gridStyle);
    w.num<qint32>(l.gridLines);
    w.font(l.mainTitleFont);
    w.font(l.subTitleFont);
    w.font(l.labelFont);
    w.font(l.tickFont);
    w.num<qint32>(l.arrowCursor);
    w.num<qint32>(l.allowZooming);
    w.flag(l.scrollingHorzZoom);
    w.flag(l.scrollingVertZoom);
    w.flag(l.allowDataHotSpots);
    w.num<qint32>(l.allowDataLabels);
    w.flag(l.prepareImages);
    w.flag(l.allowPopup);
    w.flag(l.noHelp);
    w.flag(l.noRandomPointsToExport);
    w.flag(l.focalRect);
    w.flag(l.allowBar);
    w.flag(l.showGraphAnnotations);
    w.num<qint32>(l.graphAnnotationTextSize);
    w.flag(l.allowGraphAnnotHotSpots);
    w.flag(l.showVertLineAnnotations);
    w.flag(l.allowVertLineAnnotHotSpots);
    w.num<qint32>(l.lineAnnotationTextSize);
}

void readLook(Reader &r, ChartLook &l)
{
    l.mainTitle = r.text();
    l.subTitle = r.text();
    l.xAxisLabel = r.text();
    l.yAxisLabel = r.text();
    l.manualScaleControlX = r.ranged(sgNoManualScale, sgManualMinAndMax);
    l.manualScaleControlY = r.ranged(sgNoManualScale, sgManualMinAndMax);
    l.manualMinX = r.finite();
    l.manualMaxX = r.finite();
    l.manualMinY = r.finite();
    l.manualMaxY = r.finite();
    l.dateTimeMode = r.ranged(sgNoDateTime, sgVBDateTime);
    l.usingXDataII = r.flag();
    l.subsetByPoint = r.flag();
    l.workingAxis = r.ranged(0, 0);
    l.nullDataValueY = r.num<float>();
    l.deskColor = r.num<quint32>();
    l.graphBackColor = r.num<quint32>();
    l.graphForeColor = r.num<quint32>();
    l.textColor = r.num<quint32>();
    l.yAxisColor = r.num<quint32>();
    l.subsetColors.resize(r.count(4, kMaxListEntries));
    for (PEColor &c : l.subsetColors)
        c = r.num<quint32>();
    l.subsetLineTypes.resize(r.count(4, kMaxListEntries));
    for (int &t : l.subsetLineTypes)
        t = r.ranged(PELT_THINSOLID, PELT_LASTLINETYPE);
    l.gridStyle = r.ranged(sgThin, sgOnePixel);
    l.gridLines = r.ranged(sgGridBoth, sgGridNone);
    l.mainTitleFont = r.font();
    l.subTitleFont = r.font();
    l.labelFont = r.font();
    l.tickFont = r.font();
    l.arrowCursor = r.ranged(sgArrowNormal, sgArrowCross);
    l.allowZooming = r.ranged(sgNoZooming, sgHorzPlusVertZooming);
    l.scrollingHorzZoom = r.flag();
    l.scrollingVertZoom = r.flag();
    l.allowDataHotSpots = r.flag();
    l.allowDataLabels = r.ranged(sgNoDataLabels, sgDataLabels);
    l.prepareImages = r.flag();
    l.allowPopup = r.flag();
    l.noHelp = r.flag();
    l.noRandomPointsToExport = r.flag();
    l.focalRect = r.flag();
    l.allowBar = r.flag();
    l.showGraphAnnotations = r.flag();
    l.graphAnnotationTextSize = r.ranged(1, 1000);
    l.allowGraphAnnotHotSpots = r.flag();
    l.showVertLineAnnotations = r.flag();
    l.allowVertLineAnnotHotSpots = r.flag();
    l.lineAnnotationTextSize = r.ranged(1, 1000);
}

} // namespace

quint32 ChartStateCrc32(const char *bytes, qsizetype size)
{
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = table[(c ^ quint8(bytes[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray SaveChartState(const ChartState &state)
{
    QByteArray out;
    const ChartData &d = state.data;
    out.reserve(1024 + qsizetype(d.Subsets()) * d.Points() * 12);
    out.append(kMagic, 4);
    Writer w(out);
    w.num<quint16>(kVersion);
    w.num<quint16>(0);
    w.num<quint32>(0); // length, filled in below

    writeLook(w, state.look);

    w.num<quint32>(quint32(state.annotations.size()));
    for (const GraphAnnotation &a : state.annotations) {
        w.num<double>(a.x);
        w.num<double>(a.y);
        w.num<qint32>(a.type);
        w.num<quint32>(a.color);
        w.text(a.text);
    }
    for (const VertLineAnnotation &v : state.vertLines) {
        w.num<double>(v.x);
        w.text(v.text);
    }

    w.num<quint32>(quint32(d.Subsets()));
    w.num<quint32>(quint32(d.Points()));
    for (int s = 0; s < d.Subsets(); ++s) {
        w.array(d.xArray(s), d.Points());
        w.array(d.yArray(s), d.Points());
    }

    const quint32 length = qToLittleEndian(quint32(out.size() + kFrameTail));
    std::memcpy(out.data() + 8, &length, 4);
    const quint32 crc = qToLittleEndian(ChartStateCrc32(out.constData(), out.size()));
    out.append(reinterpret_cast<const char *>(&crc), 4);
    return out;
}

ChartStateError LoadChartState(const char *bytes, qsizetype size, ChartState &state)
{
    if (!bytes || size < kFrameHead + kFrameTail)
        return ChartStateError::TooShort;
    if (std::memcmp(bytes, kMagic, 4) != 0)
        return ChartStateError::NotAChartState;
    Reader head(bytes + 4, kFrameHead - 4);
    const quint16 version = head.num<quint16>();
    head.num<quint16>();
    const quint32 length = head.num<quint32>();
    if (version != kVersion)
        return ChartStateError::Version;
    if (qint64(length) != qint64(size))
        return ChartStateError::Length;
    quint32 stored;
    std::memcpy(&stored, bytes + size - kFrameTail, 4);
    if (qFromLittleEndian(stored) != ChartStateCrc32(bytes, size - kFrameTail))
        return ChartStateError::Checksum;

    // Parse into a fresh state so that a refused block leaves the chart as it was.
    ChartState loaded;
    Reader r(bytes + kFrameHead, size - kFrameHead - kFrameTail);
    readLook(r, loaded.look);

    const quint32 annotations = r.count(28, ChartState::kMaxGraphAnnotations);
    loaded.annotations.resize(annotations);
    for (GraphAnnotation &a : loaded.annotations) {
        a.x = r.num<double>();
        a.y = r.num<double>();
        a.type = r.ranged(sgAnnotTextOnly, sgAnnotCross);
        a.color = r.num<quint32>();
        a.text = r.text();
        if (!r.ok())
            return ChartStateError::Malformed;
    }
    for (VertLineAnnotation &v : loaded.vertLines) {
        v.x = r.num<double>();
        v.text = r.text();
    }

    const quint32 subsets = r.num<quint32>();
    const quint32 points = r.num<quint32>();
    // A chart without a curve is nothing this program draws or writes; its point count would be
    // taken by the next subset the chart gets without a byte of the block behind it.
    if (!r.ok() || subsets == 0 || subsets > quint32(ChartData::kMaxSubsets) || points > quint32(ChartData::kMaxPoints))
        return ChartStateError::Malformed;
    // Exactly the readings must remain; only then is memory for them taken.
    if (qint64(subsets) * qint64(points) * 12 != qint64(r.remaining()))
        return ChartStateError::Malformed;
    loaded.data.setSubsets(int(subsets));
    loaded.data.setPoints(int(points));
    for (int s = 0; s < int(subsets); ++s) {
        r.array(loaded.data.xArray(s), points);
        r.array(loaded.data.yArray(s), points);
    }
    if (!r.atEnd())
        return ChartStateError::Malformed;

    loaded.data.markAllChanged();
    state = std::move(loaded);
    return ChartStateError::None;
}
