#include "app/Catalogue.h"
#include "data/DateTimeText.h"
#include "data/GraphTextFile.h"
#include "tables/TextTableReader.h"
#include "support/ScriptedTextUi.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

namespace {

const QDate kEpoch(1899, 12, 30);

TDateTime at(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return double(kEpoch.daysTo(QDate(y, mo, d))) + ((h * 3600.0 + mi * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

QByteArray readAll(const QString &name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Ten points, one second apart from 31.12.2010 23:59:55.5, so the day changes after the 5th.
struct Points {
    std::vector<TDateTime> x;
    std::vector<float> y;
    Points()
    {
        for (int i = 0; i < 10; ++i) {
            x.push_back(at(2010, 12, 31, 23, 59, 55, 5) + i / 86400.0);
            y.push_back(50.0f + i * 0.5f);
        }
    }
};

RangeEntry selection(const char *from, const char *to)
{
    return RangeEntry{false, QString::fromLatin1(from), QString::fromLatin1(to)};
}

} // namespace

class TestGraphTextFile : public QObject {
    Q_OBJECT
private slots:
    void germanTabFile();
    void englishCommaFile();
    void timeZeroEndsExport();
    void nothingWrittenWithoutRange();
    void cancelLeavesOldFile();
    void openFailureIsSilent();
    void separatorByName();
    void lineByLine();
};

void TestGraphTextFile::germanTabFile()
{
    LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("a.txt"));
    writeFile(name, "an older, longer file that must be replaced completely\r\n");
    Points p;
    ScriptedTextUi ui;
    ui.rangeAnswer = selection("4", "7");
    const TextExportResult r = exportGraphText(ui, name, p.x.data(), p.y.data(), qint64(p.x.size()), '\t');
    QCOMPARE(r.status, TextExportResult::Written);
    QCOMPARE(r.lines, qint64(4));
    QCOMPARE(readAll(name), QByteArray("31.12.2010\t23:59:58.5\t51,5\r\n"
                                       "31.12.2010\t23:59:59.5\t52,0\r\n"
                                       "01.01.2011\t00:00:00.5\t52,5\r\n"
                                       "01.01.2011\t00:00:01.5\t53,0\r\n"));
    QCOMPARE(ui.rangeCaption, LoadStr(40));
    QCOMPARE(ui.rangeCount, qint64(10));
    QCOMPARE(ui.opened.size(), size_t(1));
    QCOMPARE(ui.opened[0].caption, LoadStr(42));
    QCOMPARE(ui.opened[0].text, LoadStr(43));
    QCOMPARE(ui.opened[0].total, qint64(4));
    QVERIFY(!ui.opened[0].processEvents);
    QCOMPARE(ui.positions, (std::vector<qint64>{1, 2, 3, 4}));
    QCOMPARE(ui.closed, 1);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
}

void TestGraphTextFile::englishCommaFile()
{
    LocaleGuard guard{QLocale(QStringLiteral("en_US"))};
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("a.csv"));
    const TDateTime x[] = {at(2010, 12, 31, 14, 5, 30, 5), at(2010, 12, 31, 14, 5, 30, 250)};
    const float y[] = {56.7f, 99.95f};
    ScriptedTextUi ui;
    const TextExportResult r = exportGraphText(ui, name, x, y, 2, ',');
    QCOMPARE(r.status, TextExportResult::Written);
    QCOMPARE(readAll(name), QByteArray("12/31/2010,14:05:30.5,56.7\r\n12/31/2010,14:05:30.250,100.0\r\n"));

    // The same points in a German file read back through the conversions.
    LocaleGuard de{QLocale(QStringLiteral("de_DE"))};
    const QString deName = dir.filePath(QStringLiteral("b.txt"));
    QCOMPARE(exportGraphText(ui, deName, x, y, 2, '\t').status, TextExportResult::Written);
    const QList<QByteArray> lines = readAll(deName).split('\n');
    QCOMPARE(lines.size(), 3);
    const RegionalFormat f = RegionalFormat::current();
    for (int i = 0; i < 2; ++i) {
        QVERIFY(lines[i].endsWith('\r'));
        const QList<QByteArray> fields = lines[i].chopped(1).split('\t');
        QCOMPARE(fields.size(), 3);
        QByteArray time = fields[1];
        time.replace('.', ',');
        const std::optional<TDateTime> t = textToDateTime((fields[0] + ' ' + time).toStdString(), f);
        QVERIFY(t.has_value());
        QVERIFY(std::fabs(*t - x[i]) * 86400000.0 < 0.01);
        QCOMPARE(textToNumber(fields[2].toStdString(), f), std::optional<double>(i == 0 ? 56.7 : 100.0));
    }

    // A German comma file quotes the level, and the text reader takes it back whole.
    const QString deCsv = dir.filePath(QStringLiteral("b.csv"));
    QCOMPARE(exportGraphText(ui, deCsv, x, y, 2, ',').status, TextExportResult::Written);
    QCOMPARE(readAll(deCsv), QByteArray("31.12.2010,14:05:30.5,\"56,7\"\r\n31.12.2010,14:05:30.250,\"100,0\"\r\n"));
    const TextReadResult back = readTextTable(deCsv, ',', ui);
    QCOMPARE(back.rows, qint64(2));
    QCOMPARE(back.grid->cell(3, 1), QStringLiteral("56,7"));
    QVERIFY(back.grid->cellEmpty(4, 1));
}

void TestGraphTextFile::timeZeroEndsExport()
{
    LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    Points p;
    p.x[4] = 0.0;
    const RangeEntry ranges[] = {RangeEntry{}, selection("1", "10"), selection("1", "5"), selection("2", "1000")};
    const qint64 expected[] = {4, 4, 4, 3};
    for (int k = 0; k < 4; ++k) {
        const QString name = dir.filePath(QStringLiteral("z%1.txt").arg(k));
        ScriptedTextUi ui;
        ui.rangeAnswer = ranges[k];
        const TextExportResult r = exportGraphText(ui, name, p.x.data(), p.y.data(), qint64(p.x.size()), '\t');
        QCOMPARE(r.status, TextExportResult::Written);
        QCOMPARE(r.lines, expected[k]);
        QCOMPARE(readAll(name).count("\r\n"), qsizetype(expected[k]));
        QCOMPARE(ui.closed, 1);
    }
    // A range that starts after the zero point writes it from there on.
    ScriptedTextUi ui;
    ui.rangeAnswer = selection("6", "10");
    const QString name = dir.filePath(QStringLiteral("after.txt"));
    QCOMPARE(exportGraphText(ui, name, p.x.data(), p.y.data(), 10, '\t').lines, qint64(5));
    // A zero point first: an empty file.
    p.x[0] = 0.0;
    ui.rangeAnswer = RangeEntry{};
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    QCOMPARE(exportGraphText(ui, empty, p.x.data(), p.y.data(), 10, '\t').status, TextExportResult::Written);
    QCOMPARE(readAll(empty), QByteArray());
}

void TestGraphTextFile::nothingWrittenWithoutRange()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("keep.txt"));
    writeFile(name, "old");
    Points p;
    struct Case {
        std::optional<RangeEntry> entry;
        qint64 count;
        bool message;
    };
    const Case cases[] = {{std::nullopt, 10, false},      // dialog cancelled
                          {selection("x", "3"), 10, true}, // not an integer
                          {selection("11", "20"), 10, true},  // start beyond the end
                          {RangeEntry{}, 0, true}};        // no points
    for (const Case &c : cases) {
        ScriptedTextUi ui;
        ui.rangeAnswer = c.entry;
        const TextExportResult r = exportGraphText(ui, name, p.x.data(), p.y.data(), c.count, '\t');
        QCOMPARE(r.status, TextExportResult::NotChosen);
        QCOMPARE(ui.messages.size(), c.message ? 1 : 0);
        QVERIFY(ui.opened.empty());
        QCOMPARE(readAll(name), QByteArray("old"));
    }
    ScriptedTextUi ui;
    ui.rangeAnswer = selection("1", "");
    exportGraphText(ui, name, p.x.data(), p.y.data(), 10, '\t');
    QCOMPARE(ui.messages, QStringList{LoadStr(41)});
}

void TestGraphTextFile::cancelLeavesOldFile()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("keep.txt"));
    writeFile(name, "old");
    Points p;
    ScriptedTextUi ui;
    ui.cancelAfterSteps = 3;
    const TextExportResult r = exportGraphText(ui, name, p.x.data(), p.y.data(), 10, '\t');
    QCOMPARE(r.status, TextExportResult::Cancelled);
    QCOMPARE(r.lines, qint64(3));
    QCOMPARE(ui.closed, 1);
    QCOMPARE(readAll(name), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
    // Cancelled without an old file: no file at all.
    const QString fresh = dir.filePath(QStringLiteral("new.txt"));
    ScriptedTextUi ui2;
    ui2.cancelAfterSteps = 1;
    QCOMPARE(exportGraphText(ui2, fresh, p.x.data(), p.y.data(), 10, '\t').status, TextExportResult::Cancelled);
    QVERIFY(!QFile::exists(fresh));
}

void TestGraphTextFile::openFailureIsSilent()
{
    QTemporaryDir dir;
    Points p;
    ScriptedTextUi ui;
    const QString name = dir.filePath(QStringLiteral("no/such/folder/a.txt"));
    const TextExportResult r = exportGraphText(ui, name, p.x.data(), p.y.data(), 10, '\t');
    QCOMPARE(r.status, TextExportResult::OpenFailed);
    QCOMPARE(ui.opened.size(), size_t(1));
    QCOMPARE(ui.closed, 1);
    QVERIFY(ui.positions.empty());
    QVERIFY(ui.messages.isEmpty());
}

void TestGraphTextFile::separatorByName()
{
    QCOMPARE(separatorForFileName(QStringLiteral("/x/a.CSV")), ',');
    QCOMPARE(separatorForFileName(QStringLiteral("a.csv")), ',');
    QCOMPARE(separatorForFileName(QStringLiteral("a.cSv")), ',');
    QCOMPARE(separatorForFileName(QStringLiteral("a.csv.txt")), '\t');
    QCOMPARE(separatorForFileName(QStringLiteral("a.txt")), '\t');
    QCOMPARE(separatorForFileName(QStringLiteral("acsv")), ',');
    QCOMPARE(separatorForFileName(QStringLiteral("sv")), '\t');
}

void TestGraphTextFile::lineByLine()
{
    // A live recording appends one line per sample to an open file; the lines equal the export's.
    LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("live.txt"));
    Points p;
    {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        GraphLineFormatter lines('\t');
        for (int i = 0; i < 10; ++i) {
            QVERIFY(lines.write(f, p.x[size_t(i)], p.y[size_t(i)]));
            QVERIFY(f.flush());
            QCOMPARE(QFileInfo(name).size(), qint64(28 * (i + 1)));
        }
    }
    ScriptedTextUi ui;
    const QString exported = dir.filePath(QStringLiteral("export.txt"));
    QCOMPARE(exportGraphText(ui, exported, p.x.data(), p.y.data(), 10, '\t').lines, qint64(10));
    QCOMPARE(readAll(name), readAll(exported));

    // The formatter follows the locale it was given, not a later default.
    GraphLineFormatter english(',', RegionalFormat::of(QLocale(QStringLiteral("en_US"))));
    QByteArray out;
    english.append(out, at(2010, 12, 31, 14, 5, 30, 250), 56.7f);
    QCOMPARE(out, QByteArray("12/31/2010,14:05:30.250,56.7\r\n"));
    // A device that takes nothing.
    QBuffer closed;
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
    QVERIFY(!english.write(closed, 1.0, 1.0f));
}

QTEST_GUILESS_MAIN(TestGraphTextFile)
#include "test_graphtextfile.moc"
