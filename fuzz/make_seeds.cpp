// Writes the starting corpus of every fuzz target into DIR/<target>/: the logger memories of the
// simulated meter and of the parser tests, a chart state and its graph file, graph text, table text
// and capture lines in both separators and number styles.
#include "chart/ChartState.h"
#include "sim/LoggerMemory.h"
#include "support/ImageBuilder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>

namespace {

bool put(const QString &dir, const QString &target, const QString &name, const QByteArray &bytes)
{
    const QString folder = dir + QLatin1Char('/') + target;
    QFile file(folder + QLatin1Char('/') + name);
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<QByteArray> memoryImages()
{
    QList<QByteArray> images;
    LoggerMemory memory;
    memory.store(LoggerMemory::standardSets());
    images << memory.bytes().left((memory.endPointer() + 1 + 63) / 64 * 64 + 64);

    ImageBuilder b;
    b.add(ImageSet{0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 1, ramp(114)});
    b.add(ImageSet{0x00, QByteArray("\x26\x11\x03\x08\x15\x00", 6), 1, 0, ramp(10)});
    b.add(ImageSet{0x08, QByteArray("\x26\x11\x04\x08\x15\x00", 6), 0, 0, {}});
    b.add(ImageSet{0x00, QByteArray("\x26\x13\x04\x08\x15\x00", 6), 0, 2, ramp(40, 100)});
    images << b.finish();

    ImageBuilder many;
    for (int i = 0; i < 60; ++i)
        many.add(ImageSet{quint8(i), QByteArray("\x25\x02\x28\x23\x59\x59", 6), 0, quint8(i), ramp(i % 5)});
    images << many.finish(-1, 0);
    return images;
}

QByteArray chartState()
{
    ChartState s;
    s.data.setPoints(6);
    for (int i = 0; i < 5; ++i) { // the last point unwritten, as in a chart saved mid-recording
        s.data.setXDataII(0, i, 46000.5 + i / 86400.0);
        s.data.setYData(0, i, 50.0f + float(i));
    }
    s.annotationForWrite(3)->text = QStringLiteral("Note");
    s.vertLines[0].x = 46000.5;
    return SaveChartState(s);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    const QList<QByteArray> images = memoryImages();
    for (int i = 0; i < images.size(); ++i) {
        ok &= put(dir, QStringLiteral("fuzz_memory_image"), QString::number(i), images[i]);
        ok &= put(dir, QStringLiteral("fuzz_collection_file"), QString::number(i), images[i]);
    }
    const QByteArray state = chartState();
    QByteArray graphFile(4, '\0');
    qToLittleEndian(quint32(state.size()), graphFile.data());
    graphFile += state;
    ok &= put(dir, QStringLiteral("fuzz_chart_state"), QStringLiteral("0"), state);
    ok &= put(dir, QStringLiteral("fuzz_graph_file"), QStringLiteral("0"), graphFile);

    const QList<QByteArray> texts{
        "05.03.2020\t14:07:09.0\t20,0\r\n05.03.2020\t14:07:10.500\t61,3\r\n",
        "03/05/2020,14:07:09.0,20.0\r\n03/05/2020,14:07:10.5,61.3\r\n",
        "05.03.2020,14:07:09.0,\"20,0\"\r\n05.03.2020,14:07:10.5,\"61,3\"\r\n",
        "1\t05.03.2020\t14:07:09\t63,4\tA\tFAST\t\r\n2\t05.03.2020\t14:08:00\t70,1\tC\tSLOW\t\r\n"};
    for (int i = 0; i < texts.size(); ++i) {
        for (const char *target : {"fuzz_table_text", "fuzz_graph_text", "fuzz_capture_file"})
            ok &= put(dir, QString::fromLatin1(target), QString::number(i), texts[i]);
    }
    return ok ? 0 : 1;
}
