// The command-line tool's collection commands and download dialogs without a meter: the set list
// with its acoustic figures, the exit codes of a file that cannot be read or parsed, the export of
// one set, and the answers the terminal gives to the download's dialogs.
#include "app/Catalogue.h"
#include "cli/CollectionCommands.h"
#include "cli/ConsoleLoggerUi.h"
#include "cli/ExitCodes.h"
#include "cli/SetList.h"
#include "data/CollectionFile.h"
#include "support/ImageBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace {
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Two sets: 60 and 80 dB alternating with one reading out of range (50 dB), 1 s, A; then an
// empty set at 60 s, C.
QByteArray twoSetImage()
{
    ImageBuilder b;
    ImageSet s;
    s.intervalSeconds = 0x01;
    s.values = {600, 800, 600, 800, 0x0FFF};
    b.add(s);
    ImageSet e;
    e.flags = 0x00;
    e.when = QByteArray("\x26\x12\x31\x23\x59\x59", 6);
    e.intervalMinutes = 0x01;
    e.intervalSeconds = 0x00;
    b.add(e);
    return b.finish();
}
} // namespace

class TestCliCollection : public QObject {
    Q_OBJECT
private slots:
    void setListShowsEachSetWithItsFigures();
    void loadExitCodesFollowTheLoadResult();
    void exportWritesOneSetAndRefusesWhatItCannot();
    void dialogsAreAnsweredByTheOptions();
    void progressAndMessagesOnStandardError();

private:
    QTemporaryDir m_dir;
};

void TestCliCollection::setListShowsEachSetWithItsFigures()
{
    const QString path = m_dir.filePath("two.rec");
    QVERIFY(writeFile(path, twoSetImage()));
    DataSetStore store;
    QString error;
    QCOMPARE(loadCollectionForCli(path, store, error), CliExit::Success);
    const QStringList lines = setListLines(store);
    QCOMPARE(setListHeading(), QString("set\tstart\tinterval\tcount\tweighting\tmin\tmax\tmean\tLeq"));
    QCOMPARE(lines.size(), 2);
    // Mean (60+80+60+80+50)/5 = 66.0; Leq 10*log10((2e6 + 2e8 + 1e5)/5) = 76.1.
    QCOMPARE(lines[0], QString("1\t2026-11-02T08:15:00\t00:01\t5\tA\t50.0\t80.0\t66.0\t76.1"));
    QCOMPARE(lines[1], QString("2\t2026-12-31T23:59:59\t01:00\t0\tC\t-\t-\t-\t-"));
    // Reading the file writes nothing beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"two.rec"});
}

void TestCliCollection::loadExitCodesFollowTheLoadResult()
{
    DataSetStore store;
    QString error;
    QCOMPARE(loadCollectionForCli(m_dir.filePath("missing.rec"), store, error), CliExit::FileError);
    QVERIFY(error.contains("missing.rec"));

    const QString empty = m_dir.filePath("empty.rec");
    QVERIFY(writeFile(empty, {}));
    QCOMPARE(loadCollectionForCli(empty, store, error), CliExit::FileError);

    const QString shortFile = m_dir.filePath("short.rec");
    QVERIFY(writeFile(shortFile, QByteArray(10, '\x01')));
    QCOMPARE(loadCollectionForCli(shortFile, store, error), CliExit::NoDataSet);

    ImageBuilder b;
    ImageSet s;
    s.values = ramp(20);
    b.add(s);
    const QString none = m_dir.filePath("none.rec");
    QVERIFY(writeFile(none, b.finish(0)));
    QCOMPARE(loadCollectionForCli(none, store, error), 16);
    QCOMPARE(error, none + ": There is not any recorded data in memory!");
    const QString many = m_dir.filePath("many.rec");
    QVERIFY(writeFile(many, b.finish(4001)));
    QCOMPARE(loadCollectionForCli(many, store, error), 12);

    ImageBuilder d;
    d.add(s);
    ImageSet broken = s;
    broken.startMarker = false;
    d.add(broken);
    const QString damaged = m_dir.filePath("damaged.rec");
    QVERIFY(writeFile(damaged, d.finish()));
    QCOMPARE(loadCollectionForCli(damaged, store, error), 11);
    QVERIFY(store.isEmpty()); // nothing of a failed file is kept

    // The largest file a working copy can be still loads; one byte more is no logger memory, and
    // no more than that is read.
    QByteArray full = b.finish();
    full.append(kMaxCollectionBytes - full.size(), char(0xFF));
    const QString largest = m_dir.filePath("largest.rec");
    QVERIFY(writeFile(largest, full));
    QCOMPARE(loadCollectionForCli(largest, store, error), CliExit::Success);
    const QString tooLarge = m_dir.filePath("toolarge.rec");
    QVERIFY(writeFile(tooLarge, full + '\xFF'));
    QCOMPARE(loadCollectionForCli(tooLarge, store, error), CliExit::FileError);
    QCOMPARE(error, tooLarge + ": larger than a logger memory (more than 65792 bytes)");

    QCOMPARE(CliExit::forLoadResult(LoadResult::Loaded), 0);
    QCOMPARE(CliExit::forLoadResult(LoadResult::ShortTransfer), 13);
    QCOMPARE(CliExit::forLoadResult(LoadResult::NoStartEcho), 15);
}

void TestCliCollection::exportWritesOneSetAndRefusesWhatItCannot()
{
    const QString rec = m_dir.filePath("export.rec");
    QVERIFY(writeFile(rec, twoSetImage()));
    DataSetStore store;
    QString error;
    QCOMPARE(loadCollectionForCli(rec, store, error), CliExit::Success);

    struct RestoreLocale {
        QLocale saved;
        ~RestoreLocale() { QLocale::setDefault(saved); }
    } restore;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString csv = m_dir.filePath("SET1.CSV");
    QCOMPARE(exportSetAsText(store, 1, csv, error), CliExit::Success);
    // The levels hold the decimal comma: quoted, so that each stays one field.
    QCOMPARE(readFile(csv), QByteArray("02.11.2026,08:15:00.0,\"60,0\"\r\n"
                                       "02.11.2026,08:15:01.0,\"80,0\"\r\n"
                                       "02.11.2026,08:15:02.0,\"60,0\"\r\n"
                                       "02.11.2026,08:15:03.0,\"80,0\"\r\n"
                                       "02.11.2026,08:15:04.0,\"50,0\"\r\n"));
    // Only the last three characters choose the comma.
    const QString txt = m_dir.filePath("set1.csv.txt");
    QCOMPARE(exportSetAsText(store, 1, txt, error), CliExit::Success);
    QVERIFY(readFile(txt).startsWith("02.11.2026\t08:15:00.0\t60,0\r\n"));

    // The empty set gives an empty file, replacing what was there.
    const QString empty = m_dir.filePath("set2.txt");
    QVERIFY(writeFile(empty, "old"));
    QCOMPARE(exportSetAsText(store, 2, empty, error), CliExit::Success);
    QCOMPARE(QFileInfo(empty).size(), 0);

    for (int k : {0, 3, -1}) {
        QCOMPARE(exportSetAsText(store, k, m_dir.filePath("nothing.txt"), error), CliExit::Usage);
        QVERIFY(!QFile::exists(m_dir.filePath("nothing.txt")));
    }
    QCOMPARE(exportSetAsText(store, 1, m_dir.filePath("no/such/folder.txt"), error), CliExit::FileError);
    QCOMPARE(exportSetAsText(store, 2, m_dir.filePath("no/such/folder.txt"), error), CliExit::FileError);
}

void TestCliCollection::dialogsAreAnsweredByTheOptions()
{
    using B = LoggerUi::Button;
    const QList<B> damaged{B::Ok, B::Cancel, B::Retry};
    const QList<B> failed{B::Cancel, B::Retry};
    {
        ConsoleLoggerUi ui(nullptr, 2, false);
        QCOMPARE(ui.confirm("a", failed), B::Retry);
        QCOMPARE(ui.confirm("b", damaged), B::Retry);
        QCOMPARE(ui.confirm("c", failed), B::Cancel);
        QCOMPARE(ui.retriesLeft(), 0);
        QCOMPARE(ui.messages(), (QStringList{"a", "b", "c"}));
    }
    {
        // A repair answers only the damaged-set dialog; the retries stay for the others.
        ConsoleLoggerUi ui(nullptr, 1, true);
        QCOMPARE(ui.confirm("d", damaged), B::Ok);
        QCOMPARE(ui.confirm("e", failed), B::Retry);
        QCOMPARE(ui.confirm("f", failed), B::Cancel);
    }
    {
        ConsoleLoggerUi ui(nullptr);
        QCOMPARE(ui.confirm("g", damaged), B::Cancel);
        QVERIFY(!ui.prepareDataSetWindow());
        ui.message("h");
        QCOMPARE(ui.messages().last(), QString("h"));
    }
}

void TestCliCollection::progressAndMessagesOnStandardError()
{
    std::FILE *f = std::tmpfile();
    QVERIFY(f);
    {
        ConsoleLoggerUi ui(f);
        ui.openProgress("Datenabfrageprozess", 64 * 100);
        for (int r = 64; r <= 64 * 101; r += 64)
            ui.setProgress(r);
        ui.closeProgress();
        ui.message(LoadStr(100)); // the catalogue's text, shown in English
    }
    std::rewind(f);
    QByteArray text(4096, '\0');
    text.resize(qsizetype(std::fread(text.data(), 1, size_t(text.size()), f)));
    std::fclose(f);
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.first(), QByteArray("6400 total bytes"));
    QCOMPARE(lines.at(1), QByteArray("64 bytes received"));
    QVERIFY(lines.contains("6400 bytes received"));
    QVERIFY2(lines.size() <= 1 + 11 + 1 + 1 + 1, text.constData());
    QCOMPARE(lines.at(lines.size() - 2), QByteArray("There was error when reading data from meter"));
}

QTEST_GUILESS_MAIN(TestCliCollection)
#include "test_cli_collection.moc"
