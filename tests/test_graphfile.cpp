// Graph files: the length field and the state behind it, replacing a file only when the new one is
// complete, the refusal of short, overlong and foreign files, the chart template, and a
// deterministic random corpus through the state loader and the file reader.
#include "graph/GraphFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <random>

namespace {

ChartState sampleState(int points = 40)
{
    ChartState s;
    s.data.setSubsets(1);
    s.data.setPoints(points);
    for (int i = 0; i < points; ++i) {
        s.data.setXDataII(0, i, 46000.5 + i / 86400.0);
        s.data.setYData(0, i, 40.0f + float(i % 17));
    }
    s.look.mainTitle = QStringLiteral("Messung");
    s.look.graphBackColor = PEargb(255, 0, 0, 0);
    s.look.gridStyle = sgDot;
    GraphAnnotation *a = s.annotationForWrite(5);
    a->type = sgAnnotCross;
    a->x = 46000.5002;
    a->y = 55;
    s.annotationForWrite(6)->text = QStringLiteral("Notiz");
    return s;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray withLength(quint32 n, const QByteArray &rest)
{
    QByteArray b(4, '\0');
    qToLittleEndian(n, b.data());
    return b + rest;
}

void fixFrame(QByteArray &block)
{
    if (block.size() < 16)
        return;
    qToLittleEndian(quint32(block.size()), block.data() + 8);
    qToLittleEndian(ChartStateCrc32(block.constData(), block.size() - 4), block.data() + block.size() - 4);
}

// What a loaded state holds must have come from the block's bytes.
bool boundedBy(const ChartState &s, qsizetype size)
{
    const qint64 readings = qint64(s.data.Subsets()) * s.data.Points() * 12;
    return readings <= size && qint64(s.annotations.size()) * 28 <= size;
}
} // namespace

class TestGraphFile : public QObject {
    Q_OBJECT
private slots:
    void saveWritesTheLengthThenTheStateAndLoadRestoresIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.ghf"));
        const ChartState s = sampleState();
        const QByteArray block = SaveChartState(s);
        QVERIFY(saveGraphFile(s, path).ok());
        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size(), 4 + block.size());
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData()), quint32(block.size()));
        QCOMPARE(bytes.mid(4), block);

        ChartState loaded;
        QVERIFY(loadGraphFile(path, loaded).ok());
        QVERIFY(loaded == s);

        // Saving again replaces the file; bytes after the state are not read.
        QVERIFY(saveGraphFile(sampleState(3), path).ok());
        QCOMPARE(readFile(path).size(), 4 + SaveChartState(sampleState(3)).size());
        writeFile(path, withLength(quint32(block.size()), block + QByteArray("tail")));
        ChartState again;
        QVERIFY(loadGraphFile(path, again).ok());
        QVERIFY(again == s);
    }

    void refusalsLeaveTheChartAsItWas()
    {
        QTemporaryDir dir;
        const ChartState before = sampleState(5);
        const QByteArray block = SaveChartState(sampleState());
        struct Case {
            const char *name;
            QByteArray bytes;
            GraphFileResult::Outcome outcome;
        };
        const Case cases[] = {
            {"empty", QByteArray(), GraphFileResult::TooShort},
            {"three bytes", QByteArray("\x10\0\0", 3), GraphFileResult::TooShort},
            {"length larger than the file", withLength(quint32(block.size() + 1), block), GraphFileResult::TooShort},
            {"length of 4 GiB", withLength(0xFFFFFFFFu, QByteArray(64, 'x')), GraphFileResult::TooShort},
            {"zero length", withLength(0, QByteArray()), GraphFileResult::Refused},
            {"not a state", withLength(8, QByteArray("ABCDEFGH")), GraphFileResult::Refused},
            {"damaged state", withLength(quint32(block.size()), block.left(block.size() - 1) + 'x'), GraphFileResult::Refused},
        };
        for (const Case &c : cases) {
            const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".ghf"));
            writeFile(path, c.bytes);
            ChartState s = before;
            const GraphFileResult r = loadGraphFile(path, s);
            QVERIFY2(r.outcome == c.outcome, c.name);
            QVERIFY2(!r.message.isEmpty(), c.name);
            QVERIFY2(s == before, c.name);
        }

        QByteArray got("x");
        const QString shortPath = dir.filePath(QStringLiteral("length of 4 GiB.ghf"));
        GraphFileResult r = readGraphFile(shortPath, &got);
        QCOMPARE(r.message, QStringLiteral("Stream read error"));
        QVERIFY(got.isEmpty());
        // An empty state is read as such and handed on; it is the chart that refuses it.
        QVERIFY(readGraphFile(dir.filePath(QStringLiteral("zero length.ghf")), &got).ok());
        QVERIFY(got.isEmpty());
        const QString foreign = dir.filePath(QStringLiteral("not a state.ghf"));
        ChartState s;
        QCOMPARE(loadGraphFile(foreign, s).message, refusedGraphFileMessage(foreign));

        r = readGraphFile(dir.filePath(QStringLiteral("missing.ghf")), &got);
        QCOMPARE(r.outcome, GraphFileResult::CannotOpen);
        QVERIFY(r.message.startsWith(QStringLiteral("Cannot open file \"")));
    }

    void aFailedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("plain"));
        writeFile(blocker, "x");
        const GraphFileResult r = saveGraphFile(sampleState(), blocker + QStringLiteral("/a.ghf"));
        QCOMPARE(r.outcome, GraphFileResult::CannotCreate);
        QVERIFY(r.message.contains(QStringLiteral("a.ghf")));
        // A directory in the target's place cannot be replaced and is left alone.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("d.ghf")));
        QCOMPARE(saveGraphFile(sampleState(), dir.filePath(QStringLiteral("d.ghf"))).outcome, GraphFileResult::CannotCreate);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("d.ghf"))).isDir());
    }

    void templateIsSavedInItsFolderAndLoadedIntoNewCharts()
    {
        QTemporaryDir dir;
        const QString appData = dir.filePath(QStringLiteral("share/k352_4/"));
        QCOMPARE(templatePath(appData), appData + QStringLiteral("template/graph.ghf"));
        QCOMPARE(templateFolder(dir.path()), dir.path() + QStringLiteral("/template/"));

        ChartState fresh;
        TemplateLoad t = loadTemplate(fresh, appData);
        QVERIFY(!t.loaded);
        QVERIFY(t.message.isEmpty());
        QVERIFY(fresh == ChartState{});

        // The folder (and its parents) are created.
        QVERIFY(saveTemplate(SaveChartState(sampleState()), appData).ok());
        QVERIFY(QFileInfo(templatePath(appData)).isFile());
        t = loadTemplate(fresh, appData);
        QVERIFY(t.loaded);
        QCOMPARE(fresh.look.mainTitle, QStringLiteral("Messung"));

        // A block the chart refuses is passed over without a word; a short file is reported.
        writeFile(templatePath(appData), withLength(4, QByteArray("KCHS")));
        ChartState other;
        t = loadTemplate(other, appData);
        QVERIFY(!t.loaded);
        QVERIFY(t.message.isEmpty());
        QVERIFY(other == ChartState{});
        writeFile(templatePath(appData), withLength(400, QByteArray("KCHS")));
        t = loadTemplate(other, appData);
        QVERIFY(!t.loaded);
        QCOMPARE(t.message, QStringLiteral("Stream read error"));
        QVERIFY(other == ChartState{});

        // A folder that cannot be created: its message, nothing written.
        const QString blocker = dir.filePath(QStringLiteral("file"));
        writeFile(blocker, "x");
        const GraphFileResult r = saveTemplate(SaveChartState(sampleState()), blocker);
        QCOMPARE(r.outcome, GraphFileResult::CannotCreate);
        QCOMPARE(r.message, QStringLiteral("Cannot create ") + blocker + QStringLiteral("/template/ directory."));
    }

    void randomCorpusThroughTheLoaderAndTheReader()
    {
        std::mt19937 rng(0x352u);
        auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        const QByteArray seeds[] = {SaveChartState(sampleState()), SaveChartState(ChartState{}),
                                    SaveChartState(sampleState(1))};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fuzz.ghf"));
        const ChartState untouched = sampleState(2);
        int accepted = 0, refused = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray b = seeds[below(3)];
            const int edits = 1 + below(6);
            for (int e = 0; e < edits; ++e) {
                switch (below(6)) {
                case 0: b[below(int(b.size()))] = char(below(256)); break;
                case 1: b.truncate(below(int(b.size()) + 1)); break;
                case 2: b.insert(below(int(b.size()) + 1), QByteArray(1 + below(40), char(below(256)))); break;
                case 3: // a count or length field set to something large
                    if (b.size() > 20)
                        qToLittleEndian(quint32(below(2) ? 0xFFFFFFFFu : quint32(below(1 << 20))),
                                        b.data() + 12 + below(int(b.size()) - 16));
                    break;
                case 4: b[below(int(b.size()))] ^= char(1 << below(8)); break;
                default: b.remove(below(int(b.size())), below(30)); break;
                }
                if (b.isEmpty())
                    b = seeds[0];
            }
            // Most rounds get a valid frame, so the parse reaches the body.
            if (below(10) < 8)
                fixFrame(b);

            ChartState s = untouched;
            const ChartStateError err = LoadChartState(b, s);
            if (err == ChartStateError::None) {
                ++accepted;
                QVERIFY(boundedBy(s, b.size()));
                // What was taken is a state of its own: it saves and loads unchanged (compared
                // as blocks, since a loaded NaN level or position never compares equal).
                const QByteArray saved = SaveChartState(s);
                ChartState again;
                QCOMPARE(int(LoadChartState(saved, again)), int(ChartStateError::None));
                QCOMPARE(SaveChartState(again), saved);
            } else {
                ++refused;
                QVERIFY(s == untouched);
            }

            // The same block in a graph file, sometimes with a wrong length field.
            QByteArray file = withLength(quint32(b.size()), b);
            if (below(4) == 0)
                qToLittleEndian(quint32(b.size() + 1 + below(1 << 30)), file.data());
            else if (below(4) == 0)
                file.truncate(below(int(file.size())));
            writeFile(path, file);
            ChartState f = untouched;
            const GraphFileResult r = loadGraphFile(path, f);
            if (r.ok())
                QVERIFY(boundedBy(f, file.size()));
            else
                QVERIFY(f == untouched);
        }
        // The corpus reaches both outcomes.
        QVERIFY(accepted > 20);
        QVERIFY(refused > 1000);
    }
};

QTEST_GUILESS_MAIN(TestGraphFile)
#include "test_graphfile.moc"
