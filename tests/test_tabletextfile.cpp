#include "app/Catalogue.h"
#include "data/GraphTextFile.h"
#include "tables/TableTextFile.h"
#include "tables/TextTableReader.h"
#include "support/ScriptedTextUi.h"
#include "support/TextFiles.h"
#include "tables/TextGridModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

namespace {

RangeEntry selection(const char *from, const char *to)
{
    return RangeEntry{false, QString::fromLatin1(from), QString::fromLatin1(to)};
}

// A table window grid with rows "r<i>" in column 1 and "<i>" in column 3 for i = 1..rows.
std::shared_ptr<TextGrid> numberedTable(int rows)
{
    auto g = newListGrid();
    for (int i = 1; i <= rows; ++i) {
        g->setCell(0, i, QString::number(i));
        g->setCell(1, i, QStringLiteral("r%1").arg(i));
        g->setCell(3, i, QString::number(i));
    }
    return g;
}

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestTableTextFile : public QObject {
    Q_OBJECT
private slots:
    void writtenAndReadBack_data();
    void writtenAndReadBack();
    void separatorFollowsName();
    void rangeOfRows();
    void startBeyondEndWritesNothing();
    void cancelAndOpenFailure();
    void captureAlways99Lines();
    void captureReadBack();
};

void TestTableTextFile::writtenAndReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("German") << QStringLiteral("de_DE");
    QTest::newRow("English") << QStringLiteral("en_US");
}

void TestTableTextFile::writtenAndReadBack()
{
    QFETCH(QString, locale);
    LocaleScope scope{QLocale(locale)};
    QTemporaryDir dir;
    // A graph export read into a table window, saved as a table and read back again.
    const std::vector<TDateTime> x = {dateTimeOf(2010, 12, 31, 23, 59, 59, 250), dateTimeOf(2011, 1, 1, 0, 0, 0, 5),
                                      dateTimeOf(2011, 1, 1, 0, 0, 1)};
    const std::vector<float> y = {56.7f, 100.0f, 30.1f};
    const QString graphName = dir.filePath(QStringLiteral("graph.txt"));
    ScriptedTextUi ui;
    QCOMPARE(exportGraphText(ui, graphName, x.data(), y.data(), 3, '\t').status, TextExportResult::Written);
    const TextReadResult first = readTextTable(graphName, '\t', ui);
    QVERIFY(first.grid);
    QCOMPARE(first.rows, qint64(3));

    const QString tableName = dir.filePath(QStringLiteral("table.txt"));
    putFile(tableName, "an older file, longer than the new one, to be replaced whole\r\n\r\n\r\n\r\n\r\n");
    ScriptedTextUi saveUi;
    const TextExportResult saved = exportTableText(saveUi, tableName, *first.grid);
    QCOMPARE(saved.status, TextExportResult::Written);
    QCOMPARE(saved.lines, qint64(3));
    // Every field of columns 1 to 6 followed by a tab: the three empty cells give trailing tabs.
    const QList<QByteArray> graphLines = linesOf(fileBytes(graphName));
    const QList<QByteArray> tableLines = linesOf(fileBytes(tableName));
    QCOMPARE(tableLines.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(tableLines[i], graphLines[i].chopped(1) + "\t\t\t\t\r");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary file left

    const TextReadResult second = readTextTable(tableName, '\t', ui);
    QVERIFY(second.grid);
    QCOMPARE(second.rows, qint64(3));
    for (qint64 r = 1; r <= 3; ++r) {
        QCOMPARE(second.grid->cell(0, r), QString::number(r));
        for (int c = 1; c < 7; ++c)
            QCOMPARE(second.grid->cell(c, r), first.grid->cell(c, r));
    }
    QCOMPARE(second.grid->cell(2, 1).toUtf8(), QByteArray("23:59:59.250"));
    QVERIFY(second.grid->cellEmpty(6, 3));

    // Comma-separated, cells that hold a comma or a quote come back whole.
    first.grid->setCell(4, 1, QStringLiteral("say \"a,b\""));
    const QString csvName = dir.filePath(QStringLiteral("table.csv"));
    QCOMPARE(exportTableText(saveUi, csvName, *first.grid).status, TextExportResult::Written);
    const TextReadResult third = readTextTable(csvName, ',', ui);
    QCOMPARE(third.rows, qint64(3));
    for (qint64 r = 1; r <= 3; ++r)
        for (int c = 1; c < 7; ++c)
            QCOMPARE(third.grid->cell(c, r), first.grid->cell(c, r));
}

void TestTableTextFile::separatorFollowsName()
{
    QTemporaryDir dir;
    auto g = numberedTable(2);
    struct Case {
        const char *name;
        QByteArray first;
    };
    const Case cases[] = {{"A.CSV", "r1,,1,,,,\r\n"},
                          {"b.cSv", "r1,,1,,,,\r\n"},
                          {"c.csv.txt", "r1\t\t1\t\t\t\t\r\n"},
                          {"d.cap", "r1\t\t1\t\t\t\t\r\n"},
                          {"e", "r1\t\t1\t\t\t\t\r\n"}};
    for (const Case &c : cases) {
        const QString name = dir.filePath(QString::fromLatin1(c.name));
        ScriptedTextUi ui;
        QCOMPARE(exportTableText(ui, name, *g).status, TextExportResult::Written);
        QCOMPARE(fileBytes(name).left(c.first.size()), c.first);
    }
}

void TestTableTextFile::rangeOfRows()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("t.txt"));
    auto g = numberedTable(40);
    struct Case {
        RangeEntry entry;
        int first, last;
    };
    const Case cases[] = {{RangeEntry{}, 1, 40},
                          {selection("20", "5"), 5, 20},
                          {selection("-3", "7"), 3, 7},
                          {selection("0", "7"), 1, 7},
                          {selection("1", "1000"), 1, 40},
                          {selection("40", "40"), 40, 40}};
    for (const Case &c : cases) {
        ScriptedTextUi ui;
        ui.rangeAnswer = c.entry;
        const TextExportResult r = exportTableText(ui, name, *g);
        QCOMPARE(r.status, TextExportResult::Written);
        QCOMPARE(ui.rangeCaption, LoadStr(40));
        QCOMPARE(ui.rangeCount, qint64(40));
        const QList<QByteArray> lines = linesOf(fileBytes(name));
        QCOMPARE(lines.size(), c.last - c.first + 1);
        QCOMPARE(lines.first(), QByteArray("r") + QByteArray::number(c.first) + "\t\t" + QByteArray::number(c.first)
                                    + "\t\t\t\t\r");
        QVERIFY(lines.last().startsWith(QByteArray("r") + QByteArray::number(c.last) + "\t"));
        // The progress window of the table export: its own caption in both languages.
        QCOMPARE(ui.opened.size(), size_t(1));
        QCOMPARE(ui.opened[0].caption, QStringLiteral("Saving Progress"));
        QCOMPARE(ui.opened[0].text, LoadStr(43));
        QCOMPARE(ui.opened[0].total, qint64(c.last - c.first + 1));
        QCOMPARE(qint64(ui.positions.size()), qint64(c.last - c.first + 1));
        QCOMPARE(ui.positions.back(), qint64(c.last - c.first + 1));
        QCOMPARE(ui.closed, 1);
    }
}

void TestTableTextFile::startBeyondEndWritesNothing()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("keep.txt"));
    putFile(name, "old");
    auto g = numberedTable(40);
    struct Case {
        std::optional<RangeEntry> entry;
        int messages;
    };
    const Case cases[] = {{selection("41", "41"), 1},  // one past the end
                          {selection("50", "60"), 1},  // far beyond it
                          {selection("x", "3"), 1},    // not an integer
                          {std::nullopt, 0}};          // dialog cancelled
    for (const Case &c : cases) {
        ScriptedTextUi ui;
        ui.rangeAnswer = c.entry;
        QCOMPARE(exportTableText(ui, name, *g).status, TextExportResult::NotChosen);
        QCOMPARE(ui.messages.size(), c.messages);
        QVERIFY(ui.opened.empty());
        QCOMPARE(fileBytes(name), QByteArray("old"));
    }
    ScriptedTextUi ui;
    ui.rangeAnswer = selection("50", "60");
    exportTableText(ui, name, *g);
    QVERIFY(ui.messages.value(0).contains(QStringLiteral("50")));
    QVERIFY(ui.messages.value(0).contains(QStringLiteral("40")));
    // A grid without data rows has nothing to write: a message, and the old file stays.
    ScriptedTextUi empty;
    QCOMPARE(exportTableText(empty, name, TextGrid(7, 1)).status, TextExportResult::NotChosen);
    QCOMPARE(empty.messages.size(), 1);
    QCOMPARE(fileBytes(name), QByteArray("old"));
    // A new table window has its one empty data row, written as a line of separators.
    QCOMPARE(exportTableText(empty, name, *newListGrid()).status, TextExportResult::Written);
    QCOMPARE(fileBytes(name), QByteArray("\t\t\t\t\t\t\r\n"));
}

void TestTableTextFile::cancelAndOpenFailure()
{
    QTemporaryDir dir;
    auto g = numberedTable(10);
    const QString name = dir.filePath(QStringLiteral("keep.txt"));
    putFile(name, "old");
    ScriptedTextUi ui;
    ui.cancelAfterSteps = 4;
    const TextExportResult r = exportTableText(ui, name, *g);
    QCOMPARE(r.status, TextExportResult::Cancelled);
    QCOMPARE(r.lines, qint64(4));
    QCOMPARE(ui.closed, 1);
    QCOMPARE(fileBytes(name), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});

    // A file that cannot be created: the progress window closes, no message, nothing written.
    const QString bad = dir.filePath(QStringLiteral("no/such/folder/t.txt"));
    ScriptedTextUi ui2;
    QCOMPARE(exportTableText(ui2, bad, *g).status, TextExportResult::OpenFailed);
    QCOMPARE(ui2.opened.size(), size_t(1));
    QCOMPARE(ui2.closed, 1);
    QVERIFY(ui2.messages.isEmpty());
    ScriptedTextUi ui3;
    QCOMPARE(exportCaptureText(ui3, bad, *newDataCaptureGrid()).status, TextExportResult::OpenFailed);
    QVERIFY(ui3.messages.isEmpty());
    QVERIFY(ui3.opened.empty());
}

void TestTableTextFile::captureAlways99Lines()
{
    QTemporaryDir dir;
    auto g = newDataCaptureGrid();
    const char *row1[] = {"56,7", "31.12.2010", "14:05:30", "A", "F"};
    for (int c = 1; c <= 5; ++c)
        g->setCell(c, 1, QString::fromLatin1(row1[c - 1]));
    g->setCell(1, 3, QStringLiteral("70,0"));
    g->setCell(1, 100, QStringLiteral("not written"));

    const QString name = dir.filePath(QStringLiteral("values.cap"));
    ScriptedTextUi ui;
    const TextExportResult r = exportCaptureText(ui, name, *g);
    QCOMPARE(r.status, TextExportResult::Written);
    QCOMPARE(r.lines, qint64(99));
    QVERIFY(ui.opened.empty());  // no range dialog, no progress window
    QCOMPARE(ui.rangeCount, qint64(-1));
    const QByteArray bytes = fileBytes(name);
    const QList<QByteArray> lines = linesOf(bytes);
    QCOMPARE(lines.size(), 99);
    QCOMPARE(lines[0], QByteArray("56,7\t31.12.2010\t14:05:30\tA\tF\t\r"));
    QCOMPARE(lines[1], QByteArray("\t\t\t\t\t\r"));
    QCOMPARE(lines[2], QByteArray("70,0\t\t\t\t\t\r"));
    QCOMPARE(lines[98], QByteArray("\t\t\t\t\t\r"));
    QVERIFY(!bytes.contains("not written"));

    // Commas by name, 99 lines also for an empty window.
    const QString csv = dir.filePath(QStringLiteral("values.CSV"));
    QCOMPARE(exportCaptureText(ui, csv, *newDataCaptureGrid()).status, TextExportResult::Written);
    QCOMPARE(fileBytes(csv), QByteArray(",,,,,\r\n").repeated(99));
}

void TestTableTextFile::captureReadBack()
{
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    auto g = newDataCaptureGrid();
    for (int r = 1; r <= 5; ++r) {
        g->setCell(1, r, QStringLiteral("%1,0").arg(50 + r));
        g->setCell(2, r, QStringLiteral("0%1.01.2011").arg(r));
        g->setCell(3, r, QStringLiteral("10:00:0%1").arg(r));
        g->setCell(4, r, QStringLiteral("C"));
        g->setCell(5, r, QStringLiteral("S"));
    }
    const QString name = dir.filePath(QStringLiteral("v.cap"));
    ScriptedTextUi ui;
    QCOMPARE(exportCaptureText(ui, name, *g).status, TextExportResult::Written);
    // A line of separators only still holds a separator: all 99 lines are read, the empty ones
    // as empty rows.
    const TextReadResult back = readCaptureFile(name, ui);
    QVERIFY(back.grid);
    QCOMPARE(back.rows, qint64(99));
    QCOMPARE(back.grid->rowCount(), qint64(101));
    for (qint64 r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            QCOMPARE(back.grid->cell(c, r), g->cell(c, r));
    QVERIFY(back.grid->cellEmpty(1, 6));
    QCOMPARE(back.grid->cell(0, 0), QStringLiteral("No"));
}

QTEST_GUILESS_MAIN(TestTableTextFile)
#include "test_tabletextfile.moc"
