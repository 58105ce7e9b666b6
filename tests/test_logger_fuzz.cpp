// Random and mutated logger memory images through the parser and the collection file reader:
// nothing may read outside the image (the sanitizer build and Qt's index assertions catch that),
// a successful parse must leave a store that keeps its invariants, and a failed one must leave
// the store as it was.
#include "data/CollectionFile.h"
#include "data/WorkingCopy.h"
#include "data/MemoryImageParser.h"
#include "sim/LoggerMemory.h"
#include "support/ImageBuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {
constexpr TDateTime kNow = 46001.0;

class Fuzzer {
public:
    explicit Fuzzer(quint32 seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return below(100) < percent; }
    char byte()
    {
        // Markers turn up far more often than in random data, so the end search and the marker
        // checks are exercised.
        switch (below(8)) {
        case 0: return char(0xA5);
        case 1: return char(0x5A);
        default: return char(below(256));
        }
    }

    QByteArray randomImage()
    {
        QByteArray img(below(3000), '\0');
        for (char &c : img)
            c = byte();
        if (img.size() > 10 && chance(80)) { // a plausible set count
            img[9] = 0;
            img[10] = char(below(12));
        }
        return img;
    }

    QByteArray mutate(QByteArray img)
    {
        const int edits = 1 + below(6);
        for (int e = 0; e < edits && !img.isEmpty(); ++e) {
            switch (below(8)) {
            case 0: // a byte changed anywhere
            case 1: img[below(int(img.size()))] = byte(); break;
            case 2: // a byte changed in the first set headers, where the parse looks first
                if (img.size() > 1024)
                    img[1024 + below(int(qMin<qsizetype>(img.size() - 1024, 64)))] = byte();
                break;
            case 3: // cut short
                img.truncate(below(int(img.size()) + 1));
                break;
            case 4: // grown with noise
                for (int i = below(200); i > 0; --i)
                    img.append(byte());
                break;
            case 5: // bytes inserted or removed, shifting the sets
                if (chance(50))
                    img.insert(below(int(img.size())), below(9) + 1, byte());
                else
                    img.remove(below(int(img.size())), below(9) + 1);
                break;
            case 6: // set count
                if (img.size() > 10) {
                    const int n = chance(50) ? below(20) : below(4100);
                    img[9] = char(n >> 8);
                    img[10] = char(n & 0xFF);
                }
                break;
            case 7: // end pointer
                if (img.size() > 13) {
                    const int end = chance(50) ? int(img.size()) - 1 - below(300) + 150 : below(65536);
                    img[12] = char(end >> 8);
                    img[13] = char(end);
                }
                break;
            }
        }
        return img;
    }

    // Mostly the file's own end pointer, sometimes one from a download that disagrees with it.
    qint32 lastAddress(const QByteArray &img)
    {
        if (chance(70))
            return lastAddressOf(img);
        switch (below(3)) {
        case 0: return qint32(img.size()) - 1 + below(5) - 2;
        case 1: return below(65536);
        default: return below(3) - 1;
        }
    }

private:
    std::mt19937 m_rng;
};

QList<QByteArray> seedImages()
{
    QList<QByteArray> seeds;
    LoggerMemory memory;
    memory.store(LoggerMemory::standardSets());
    const int end = memory.endPointer();
    seeds.append(memory.bytes().left((end + 1 + 63) / 64 * 64 + 64));

    ImageBuilder b;
    b.add(ImageSet{0x08, QByteArray("\x26\x11\x02\x08\x15\x00", 6), 0, 1, ramp(114)});
    b.add(ImageSet{0x00, QByteArray("\x26\x11\x03\x08\x15\x00", 6), 1, 0, ramp(10)});
    b.add(ImageSet{0x08, QByteArray("\x26\x11\x04\x08\x15\x00", 6), 0, 0, {}});
    b.add(ImageSet{0x00, QByteArray("\x26\x13\x04\x08\x15\x00", 6), 0, 2, ramp(40, 100)});
    seeds.append(b.finish());

    ImageBuilder many;
    for (int i = 0; i < 60; ++i)
        many.add(ImageSet{quint8(i), QByteArray("\x25\x02\x28\x23\x59\x59", 6), 0, quint8(i), ramp(i % 5)});
    seeds.append(many.finish(-1, 0));
    return seeds;
}

// What must hold after every successful parse.
bool storeHolds(const DataSetStore &s, const QByteArray &img, QString &why)
{
    const int n = s.setCount();
    const QList<qsizetype> sizes{s.SetInterval.size(), s.SetCount.size(), s.SetFlags.size(),
                                 s.SetHeaderOffset.size(), s.SetEndOffset.size(), s.SetMaxIndex.size(),
                                 s.SetMinIndex.size(), s.SetMean.size()};
    if (n < 1 || n > DataSetStore::MaxSets || sizes.count(n) != sizes.size())
        return why = "per-set lists differ in length", false;
    qsizetype total = 0;
    for (int k = 0; k < n; ++k) {
        const qint32 q = s.SetHeaderOffset[k], e = s.SetEndOffset[k], c = s.SetCount[k];
        if (q != (k == 0 ? 1024 : s.SetEndOffset[k - 1] + 1))
            return why = QString("set %1 does not follow the one before").arg(k), false;
        if (c < 0 || c != qMax(0, (e - q - 15) / 2))
            return why = QString("set %1 count does not match its offsets").arg(k), false;
        if (e > s.LastAddress || e >= img.size())
            return why = QString("set %1 ends outside the image").arg(k), false;
        if (c > 0 && (s.SetMaxIndex[k] >= c || s.SetMinIndex[k] >= c || s.SetMaxIndex[k] < 0 || s.SetMinIndex[k] < 0))
            return why = QString("set %1 extreme outside the set").arg(k), false;
        if (c == 0 && (s.SetMaxIndex[k] != 0 || s.SetMinIndex[k] != 0 || s.SetMean[k] != 0.0))
            return why = QString("empty set %1 has statistics").arg(k), false;
        if (s.SetInterval[k] < 0 || s.SetInterval[k] > 60)
            return why = QString("set %1 interval out of range").arg(k), false;
        total += c;
    }
    if (s.Levels.size() != total || s.LevelTimes.size() != total)
        return why = "flat lists do not match the counts", false;
    for (float v : s.Levels)
        if (!(v >= 20.0f && v <= 140.0f))
            return why = "level outside 20..140", false;
    return true;
}

struct Fingerprint {
    QList<qint32> counts, headers;
    qsizetype levels = 0;
    double firstMean = -1;
    bool operator==(const Fingerprint &) const = default;
};

Fingerprint fingerprint(const DataSetStore &s)
{
    return {s.SetCount, s.SetHeaderOffset, s.Levels.size(), s.SetMean.isEmpty() ? -1.0 : s.SetMean.first()};
}
} // namespace

class TestLoggerFuzz : public QObject {
    Q_OBJECT
private slots:
    void parserSurvivesAnyImage();
    void collectionReaderSurvivesAnyFile();
};

void TestLoggerFuzz::parserSurvivesAnyImage()
{
    Fuzzer f(0x352u);
    const QList<QByteArray> seeds = seedImages();
    DataSetStore store;
    int loaded = 0, codes[7] = {};
    QElapsedTimer timer;
    timer.start();
    for (int it = 0; it < 4000; ++it) {
        const QByteArray img = it % 5 == 0 ? f.randomImage() : f.mutate(seeds[it % seeds.size()]);
        const Fingerprint before = fingerprint(store);
        store.LastAddress = f.lastAddress(img);
        const int code = int(ParseMemoryImage(img, store, kNow));
        QVERIFY2(code == 0 || code == 1 || code == 2 || code == 6, qPrintable(QString::number(code)));
        ++codes[code];
        if (code == 0) {
            ++loaded;
            QString why;
            QVERIFY2(storeHolds(store, img, why), qPrintable(QString("iteration %1: %2").arg(it).arg(why)));
            // The rows of the list can be made from whatever was parsed.
            QCOMPARE(dataSetListRows(store, QLocale::c()).size(), store.setCount());
        } else {
            QVERIFY2(fingerprint(store) == before, qPrintable(QString("iteration %1 changed the store").arg(it)));
        }
    }
    // The mutations must reach every outcome, or the test is not exercising the parser.
    QVERIFY(loaded > 100);
    QVERIFY(codes[1] > 100);
    QVERIFY(codes[2] > 0);
    QVERIFY(codes[6] > 0);
    qInfo("parser: %d images, %d loaded, %d damaged, %lld ms", 4000, loaded, codes[1], qlonglong(timer.elapsed()));
}

void TestLoggerFuzz::collectionReaderSurvivesAnyFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + "/temp/";
    const QString file = dir.filePath("fuzz.rec");
    const QString copy = workingCopyPath(folder);
    Fuzzer f(0x4B352u);
    const QList<QByteArray> seeds = seedImages();
    DataSetStore store;
    MemoryImage image;
    int loaded = 0;
    for (int it = 0; it < 400; ++it) {
        const QByteArray bytes = it % 4 == 0 ? f.randomImage() : f.mutate(seeds[it % seeds.size()]);
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
        }
        const Fingerprint before = fingerprint(store);
        const CollectionOpenResult r = openCollectionFile(file, store, image, folder, kNow);
        QVERIFY(image.isEmpty());
        if (r.outcome == CollectionOpenResult::Loaded) {
            ++loaded;
            QString why;
            QVERIFY2(storeHolds(store, bytes, why), qPrintable(why));
            QFile written(copy);
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QByteArray w = written.readAll();
            QCOMPARE(w.size(), qsizetype(lastAddressOf(bytes)) + 257);
            QCOMPARE(w.left(bytes.size()), bytes.left(w.size()));
        } else {
            QVERIFY(r.outcome != CollectionOpenResult::FolderError);
            QVERIFY(fingerprint(store) == before);
        }
    }
    QVERIFY(loaded > 10);
}

QTEST_GUILESS_MAIN(TestLoggerFuzz)
#include "test_logger_fuzz.moc"
