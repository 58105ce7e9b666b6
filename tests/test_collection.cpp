// Data set collection files and the working copy: a round trip through the file gives the same
// sets, the working copy's length follows the end pointer, a file that does not parse changes
// nothing, and ".rec" names are recognised without regard to case.
#include "data/CollectionFile.h"
#include "data/WorkingCopy.h"
#include "data/MemoryImageParser.h"
#include "sim/LoggerMemory.h"
#include "support/ImageBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr TDateTime kNow = 46000.5;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Every list of the store, so that two loads can be compared as a whole.
void compareStores(const DataSetStore &a, const DataSetStore &b)
{
    QCOMPARE(a.SetStart, b.SetStart);
    QCOMPARE(a.SetInterval, b.SetInterval);
    QCOMPARE(a.SetCount, b.SetCount);
    QCOMPARE(a.SetFlags, b.SetFlags);
    QCOMPARE(a.SetHeaderOffset, b.SetHeaderOffset);
    QCOMPARE(a.SetEndOffset, b.SetEndOffset);
    QCOMPARE(a.SetMaxIndex, b.SetMaxIndex);
    QCOMPARE(a.SetMinIndex, b.SetMinIndex);
    QCOMPARE(a.SetMean, b.SetMean);
    QCOMPARE(a.Levels, b.Levels);
    QCOMPARE(a.LevelTimes, b.LevelTimes);
}

// What a download leaves in the image: L + 1 bytes rounded up to whole 64-byte blocks.
QByteArray downloadedImage(const LoggerMemory &memory)
{
    const int length = ((memory.at(12) << 8 | memory.at(13)) + 1 + 63) / 64 * 64;
    return memory.bytes().left(length);
}

QByteArray oneSetImage(int values, quint16 first = 600)
{
    ImageBuilder b;
    b.add(ImageSet{0x08, QByteArray("\x26\x12\x01\x10\x00\x00", 6), 0, 1, ramp(values, first)});
    return b.finish();
}
} // namespace

class TestCollection : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writtenAndReopenedGivesSameSets();
    void workingCopyLengthFollowsEndPointer();
    void fileThatFailsChangesNothing();
    void folderErrorAndUnreadableFiles();
    void saveAnyCaseOfRec();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder; // working copy folder, ends with "/"
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestCollection::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = workingCopyFolder(m_dir->path() + '/', QString());
    QCOMPARE(m_folder, m_dir->path() + "/temp/");
}

void TestCollection::writtenAndReopenedGivesSameSets()
{
    // The simulated meter's memory as a download delivers it, parsed directly...
    LoggerMemory memory;
    memory.store(LoggerMemory::standardSets());
    const QByteArray image = downloadedImage(memory);
    DataSetStore direct;
    direct.LastAddress = lastAddressOf(image);
    QCOMPARE(ParseMemoryImage(image, direct, kNow), ParseResult::Loaded);
    QCOMPARE(direct.setCount(), 5);

    // ...then written as the working copy, saved under a collection name and opened again.
    ensureWorkingCopyFolder(m_folder);
    const QString copy = workingCopyPath(m_folder);
    QVERIFY(writeWorkingCopy(image, copy));
    QCOMPARE(readAll(copy).size(), lastAddressOf(image) + 257);
    QVERIFY(readAll(copy).startsWith(image));
    const QString rec = path("download.rec");
    QVERIFY(saveCollection(copy, rec));
    QCOMPARE(readAll(rec), readAll(copy));

    DataSetStore reopened;
    MemoryImage scratch;
    CollectionOpenResult r = openCollectionFile(rec, reopened, scratch, m_folder, kNow);
    QCOMPARE(r.outcome, CollectionOpenResult::Loaded);
    QCOMPARE(r.parseCode, ParseResult::Loaded);
    QVERIFY(r.workingCopyWritten);
    QVERIFY(scratch.isEmpty());
    compareStores(reopened, direct);
    QCOMPARE(dataSetListRows(reopened, QLocale::c()), dataSetListRows(direct, QLocale::c()));

    // Reopening the file rewrote the working copy with the same bytes; a second round is stable.
    QCOMPARE(readAll(copy), readAll(rec));
    DataSetStore again;
    QCOMPARE(openCollectionFile(copy, again, scratch, m_folder, kNow).outcome, CollectionOpenResult::Loaded);
    compareStores(again, direct);
}

void TestCollection::workingCopyLengthFollowsEndPointer()
{
    // One set of 120 values ends at 1279; the end pointer says 1280.
    QByteArray base = oneSetImage(120);
    base.resize(1281);
    base[11] = 0x00;
    base[12] = 0x05;
    base[13] = 0x00;
    QCOMPARE(lastAddressOf(base), 1280);

    const QString copy = workingCopyPath(m_folder);
    for (int fileLength : {1281, 1537, 4000, int(kMaxCollectionBytes)}) {
        QByteArray file = base;
        file.append(fileLength - base.size(), char(0x5A)); // tail bytes that look like markers
        const QString rec = path(QString("l1280_%1.rec").arg(fileLength));
        writeAll(rec, file);
        DataSetStore store;
        MemoryImage scratch;
        const CollectionOpenResult r = openCollectionFile(rec, store, scratch, m_folder, kNow);
        QCOMPARE(r.outcome, CollectionOpenResult::Loaded);
        QCOMPARE(store.SetCount, QList<qint32>{120});
        const QByteArray written = readAll(copy);
        QCOMPARE(written.size(), 1537);
        // Whatever the file held, its first bytes are kept; beyond the file comes the filler.
        const int kept = qMin(fileLength, 1537);
        QCOMPARE(written.left(kept), file.left(kept));
        QCOMPARE(written.mid(kept), QByteArray(1537 - kept, WorkingCopyFiller));
    }
}

void TestCollection::fileThatFailsChangesNothing()
{
    const QString good = path("good.rec");
    writeAll(good, oneSetImage(50, 700));
    DataSetStore store;
    MemoryImage scratch;
    QCOMPARE(openCollectionFile(good, store, scratch, m_folder, kNow).outcome, CollectionOpenResult::Loaded);
    const DataSetStore before = store;
    const QString copy = workingCopyPath(m_folder);
    const QByteArray copyBefore = readAll(copy);
    QVERIFY(!copyBefore.isEmpty());

    // A set count of 0, one of 4001, and a damaged third set (a different collection of 3 sets).
    QByteArray zero = oneSetImage(80, 900);
    zero[9] = 0;
    zero[10] = 0;
    QByteArray tooMany = oneSetImage(80, 900);
    tooMany[9] = char(4001 >> 8);
    tooMany[10] = char(4001 & 0xFF);
    ImageBuilder b;
    b.add(ImageSet{0x00, QByteArray("\x25\x01\x01\x00\x00\x00", 6), 0, 2, ramp(30, 400)});
    b.add(ImageSet{0x00, QByteArray("\x25\x01\x02\x00\x00\x00", 6), 0, 2, ramp(31, 410)});
    ImageSet broken;
    broken.values = ramp(5);
    broken.startMarker = false;
    const int brokenAt = b.add(broken);
    const QByteArray damaged = b.finish();

    const QList<std::pair<QByteArray, int>> cases{{zero, 6}, {tooMany, 2}, {damaged, 1}};
    for (const auto &[bytes, code] : cases) {
        const QString bad = path(QString("bad%1.rec").arg(code));
        writeAll(bad, bytes);
        const CollectionOpenResult r = openCollectionFile(bad, store, scratch, m_folder, kNow);
        QCOMPARE(r.outcome, CollectionOpenResult::ParseFailed);
        QCOMPARE(int(r.parseCode), code);
        QVERIFY(!r.workingCopyWritten);
        QVERIFY(scratch.isEmpty());
        compareStores(store, before);
        QCOMPARE(readAll(copy), copyBefore);
    }
    QCOMPARE(store.FaultSet, 2);
    QCOMPARE(store.FaultOffset, brokenAt - 1);
}

void TestCollection::folderErrorAndUnreadableFiles()
{
    DataSetStore store;
    MemoryImage scratch;
    const QString good = path("good.rec");
    writeAll(good, oneSetImage(20));

    // A missing file, an empty file and files too short for the header leave the store alone.
    QCOMPARE(openCollectionFile(path("missing.rec"), store, scratch, m_folder, kNow).outcome,
             CollectionOpenResult::CannotOpen);
    writeAll(path("empty.rec"), {});
    QCOMPARE(openCollectionFile(path("empty.rec"), store, scratch, m_folder, kNow).outcome,
             CollectionOpenResult::EmptyFile);
    for (int n : {1, 13, 14, 1024, 1030}) {
        writeAll(path("short.rec"), oneSetImage(20).left(n));
        const CollectionOpenResult r = openCollectionFile(path("short.rec"), store, scratch, m_folder, kNow);
        QCOMPARE(r.outcome, CollectionOpenResult::ParseFailed);
        QVERIFY(store.isEmpty());
        QVERIFY(scratch.isEmpty());
    }
    QVERIFY(!QFileInfo::exists(workingCopyPath(m_folder)));

    // The working copy's folder cannot be made (its parent is a file): the collection is in the
    // store, the error names the folder, and nothing is written.
    writeAll(path("blocker"), "x");
    const QString folder = path("blocker") + "/temp/";
    const CollectionOpenResult r = openCollectionFile(good, store, scratch, folder, kNow);
    QCOMPARE(r.outcome, CollectionOpenResult::FolderError);
    QCOMPARE(r.errorText, folder);
    QCOMPARE(store.SetCount, QList<qint32>{20});
    QVERIFY(scratch.isEmpty());
}

void TestCollection::saveAnyCaseOfRec()
{
    for (const QString name : {"a.rec", "b.REC", "c.Rec", "/x/y/z.rEc"})
        QVERIFY2(isCollectionFileName(name), qPrintable(name));
    for (const QString name : {"a.ghf", "rec", "a.rec.txt", "a.recx", "a."})
        QVERIFY2(!isCollectionFileName(name), qPrintable(name));

    const QString copy = workingCopyPath(m_folder);
    // Nothing to save yet: no file is made.
    QVERIFY(!saveCollection(copy, path("none.REC")));
    QVERIFY(!QFileInfo::exists(path("none.REC")));

    ensureWorkingCopyFolder(m_folder);
    const QByteArray image = oneSetImage(40);
    QVERIFY(writeWorkingCopy(image, copy));
    writeAll(path("upper.REC"), QByteArray(5000, 'o')); // an older, longer file is replaced
    QVERIFY(saveCollection(copy, path("upper.REC")));
    QVERIFY(saveCollection(copy, path("lower.rec")));
    QCOMPARE(readAll(path("upper.REC")), readAll(copy));
    QCOMPARE(readAll(path("lower.rec")), readAll(copy));
    QVERIFY(!QDir(m_dir->path()).entryList(QDir::Files).join(' ').contains(".tmp"));

    DataSetStore store;
    MemoryImage scratch;
    QCOMPARE(openCollectionFile(path("upper.REC"), store, scratch, m_folder, kNow).outcome,
             CollectionOpenResult::Loaded);
    QCOMPARE(store.SetCount, QList<qint32>{40});
}

QTEST_GUILESS_MAIN(TestCollection)
#include "test_collection.moc"
