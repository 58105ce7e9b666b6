#include "data/GraphTextFile.h"
#include "tables/TextTableReader.h"
#include "support/ScriptedTextUi.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

namespace {

struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

QString writeTemp(QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// Reads bytes into a fresh table window grid.
TextGrid readBytes(const QByteArray &bytes, char sep, qint64 *rows = nullptr, int columns = 7, qint64 gridRows = 2)
{
    TextGrid grid(columns, gridRows);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const qint64 n = readTextLines(buffer, sep, grid, nullptr);
    if (rows)
        *rows = n;
    return grid;
}

QStringList row(const TextGrid &g, qint64 r)
{
    QStringList cells;
    for (int c = 0; c < g.columnCount(); ++c)
        cells << g.cell(c, r);
    return cells;
}

QStringList cellsOf(std::initializer_list<const char *> texts)
{
    QStringList l;
    for (const char *t : texts)
        l << QString::fromUtf8(t);
    return l;
}

} // namespace

class TestTextTableReader : public QObject {
    Q_OBJECT
private slots:
    void graphFileReadBack_data();
    void graphFileReadBack();
    void fieldsAndSeparators();
    void endOfReading();
    void longLines();
    void cancelKeepsRowsRead();
    void captureFile();
    void largeFilesRefusedOrCancelled();
    void missingFile();
    void fuzz();
};

void TestTextTableReader::graphFileReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<char>("sep");
    QTest::newRow("German tab") << "de_DE" << '\t';
    QTest::newRow("English tab") << "en_US" << '\t';
    QTest::newRow("English comma") << "en_US" << ',';
}

void TestTextTableReader::graphFileReadBack()
{
    QFETCH(QString, locale);
    QFETCH(char, sep);
    LocaleGuard guard{QLocale(locale)};
    QTemporaryDir dir;
    std::vector<TDateTime> x;
    std::vector<float> y;
    for (int i = 0; i < 250; ++i) {
        x.push_back(40543.6 + i / 86400.0 + i / 86400000.0);
        y.push_back(40.0f + i * 0.1f);
    }
    const QString name = dir.filePath(sep == ',' ? QStringLiteral("g.csv") : QStringLiteral("g.txt"));
    ScriptedTextUi out;
    QCOMPARE(exportGraphText(out, name, x.data(), y.data(), qint64(x.size()), sep).lines, qint64(250));

    ScriptedTextUi ui;
    const TextReadResult r = readTextTable(name, sep, ui);
    QVERIFY(r.grid);
    QCOMPARE(r.rows, qint64(250));
    QVERIFY(!r.cancelled);
    QCOMPARE(r.grid->rowCount(), qint64(251));
    QCOMPARE(r.grid->columnCount(), 7);
    QCOMPARE(row(*r.grid, 0), cellsOf({"Nr", "Datum", "Zeit", "Wert", "", "", ""}));
    QFile f(name);
    QVERIFY(f.open(QIODevice::ReadOnly));
    for (qint64 i = 1; i <= 250; ++i) {
        const QList<QByteArray> fields = f.readLine().chopped(2).split(sep);
        QCOMPARE(row(*r.grid, i), (QStringList{QString::number(i), QString::fromUtf8(fields[0]),
                                               QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2]),
                                               QString(), QString(), QString()}));
    }
    QCOMPARE(ui.opened.size(), size_t(1));
    QCOMPARE(ui.opened[0].caption, QStringLiteral("Open Progress"));
    QCOMPARE(ui.opened[0].text, QStringLiteral("0"));
    QVERIFY(ui.opened[0].countInText && ui.opened[0].processEvents && ui.opened[0].showCancel);
    QCOMPARE(ui.positions.size(), size_t(250));
    QCOMPARE(ui.positions.back(), qint64(250));
    QCOMPARE(ui.closed, 1);
}

void TestTextTableReader::fieldsAndSeparators()
{
    // Trailing separators give empty cells; fields beyond column 6 are dropped; the last field
    // without a separator after it is taken.
    qint64 n = 0;
    TextGrid g = readBytes("a\tb\tc\t\t\t\t\r\n"
                           "1\t2\t3\t4\t5\t6\t7\t8\r\n"
                           "\tx\n"
                           "p,q\tr\r\n",
                           '\t', &n);
    QCOMPARE(n, qint64(4));
    QCOMPARE(row(g, 1), cellsOf({"1", "a", "b", "c", "", "", ""}));
    QCOMPARE(row(g, 2), cellsOf({"2", "1", "2", "3", "4", "5", "6"}));
    QCOMPARE(row(g, 3), cellsOf({"3", "", "x", "", "", "", ""}));
    QCOMPARE(row(g, 4), cellsOf({"4", "p,q", "r", "", "", "", ""}));
    // A German level in a comma file splits into two fields, as the file holds them, unless it is
    // quoted; "" in quotes is one quote, and a quote inside a field is text.
    g = readBytes("31.12.2010,14:05:30.5,56,7\r\n"
                  "31.12.2010,14:05:30.5,\"56,7\",\"a \"\"b\"\"\",\"\",x\"y,\"open,end\r\n",
                  ',', &n);
    QCOMPARE(row(g, 1), cellsOf({"1", "31.12.2010", "14:05:30.5", "56", "7", "", ""}));
    QCOMPARE(row(g, 2), cellsOf({"2", "31.12.2010", "14:05:30.5", "56,7", "a \"b\"", "", "x\"y"}));
    // A line whose only comma is quoted holds no separator: the reading ends.
    readBytes("\"56,7\"\r\na,b\r\n", ',', &n);
    QCOMPARE(n, qint64(0));
    // UTF-8 text survives.
    g = readBytes("M\xc3\xa4rz\t1\r\n", '\t', &n);
    QCOMPARE(g.cell(1, 1), QString::fromUtf8("M\xc3\xa4rz"));
}

void TestTextTableReader::endOfReading()
{
    qint64 n = -1;
    // A header line without separators: an empty window (the header row only).
    TextGrid g = readBytes("Datum Zeit Wert\r\n31.12.2010\t14:00:00.0\t50,0\r\n", '\t', &n);
    QCOMPARE(n, qint64(0));
    QCOMPARE(g.rowCount(), qint64(2));
    QVERIFY(g.cellEmpty(1, 1));
    // An empty line ends the reading; so does a line with the other separator only.
    readBytes("a\tb\r\n\r\nc\td\r\n", '\t', &n);
    QCOMPARE(n, qint64(1));
    readBytes("a\tb\r\nc,d\r\ne\tf\r\n", '\t', &n);
    QCOMPARE(n, qint64(1));
    // The last line without a line end is read; an empty file reads nothing.
    g = readBytes("a\tb\r\nc\td", '\t', &n);
    QCOMPARE(n, qint64(2));
    QCOMPARE(g.cell(2, 2), QStringLiteral("d"));
    readBytes("", '\t', &n);
    QCOMPARE(n, qint64(0));
    g = readBytes("a\tb\r", '\t', &n);
    QCOMPARE(g.cell(2, 1), QStringLiteral("b"));
}

void TestTextTableReader::longLines()
{
    // 200 characters: the first 179 are taken and the reading ends after that line.
    QByteArray longLine = "a\t" + QByteArray(198, 'x');
    qint64 n = 0;
    TextGrid g = readBytes(longLine + "\r\nb\tc\r\n", '\t', &n);
    QCOMPARE(n, qint64(1));
    QCOMPARE(g.cell(2, 1), QString(177, QLatin1Char('x')));
    // Exactly 179 characters (with and without CR) are a normal line.
    const QByteArray exact = "a\t" + QByteArray(177, 'y');
    g = readBytes(exact + "\r\nb\tc\r\n" + exact + "\nd\te", '\t', &n);
    QCOMPARE(n, qint64(4));
    QCOMPARE(g.cell(2, 1).size(), 177);
    QCOMPARE(g.cell(2, 3).size(), 177);
    QCOMPARE(g.cell(1, 4), QStringLiteral("d"));
    // 180 characters at the end of the input, without a line end: cut as well.
    g = readBytes("b\tc\r\n" + exact + "z", '\t', &n);
    QCOMPARE(n, qint64(2));
    QCOMPARE(g.cell(2, 2).size(), 177);
    // A line far longer than the read chunk: only its start is kept.
    g = readBytes("q\tr\n" + QByteArray(3 << 20, '\t'), '\t', &n);
    QCOMPARE(n, qint64(2));
    QCOMPARE(g.cell(1, 2), QString());
    // A separator only after character 179 does not count.
    g = readBytes("a\tb\n" + QByteArray(179, 'x') + "\ty\n", '\t', &n);
    QCOMPARE(n, qint64(1));
}

void TestTextTableReader::cancelKeepsRowsRead()
{
    QTemporaryDir dir;
    const QString name = writeTemp(dir, QStringLiteral("c.txt"), "a\t1\r\nb\t2\r\nc\t3\r\nd\t4\r\n");
    ScriptedTextUi ui;
    ui.cancelAfterSteps = 3;
    const TextReadResult r = readTextTable(name, '\t', ui);
    QVERIFY(r.cancelled);
    QCOMPARE(r.rows, qint64(2));
    QCOMPARE(r.grid->rowCount(), qint64(3));
    QCOMPARE(r.grid->cell(1, 2), QStringLiteral("b"));
    QCOMPARE(ui.closed, 1);
}

void TestTextTableReader::captureFile()
{
    QTemporaryDir dir;
    QByteArray bytes = "56,7\t31.12.2010\t14:05:30\tA\tF\t\r\n";
    for (int i = 2; i <= 99; ++i)
        bytes += "\t\t\t\t\t\r\n";
    const QString name = writeTemp(dir, QStringLiteral("x.cap"), bytes);
    ScriptedTextUi ui;
    const TextReadResult r = readCaptureFile(name, ui);
    QVERIFY(r.grid);
    QCOMPARE(r.rows, qint64(99));
    QCOMPARE(r.grid->rowCount(), qint64(101));
    QCOMPARE(r.grid->columnCount(), 6);
    QCOMPARE(row(*r.grid, 0), cellsOf({"No", "Wert", "Datum", "Zeit", "Wei.", "F/S"}));
    QCOMPARE(row(*r.grid, 1), cellsOf({"1", "56,7", "31.12.2010", "14:05:30", "A", "F"}));
    QCOMPARE(row(*r.grid, 99), cellsOf({"99", "", "", "", "", ""}));
    QCOMPARE(r.grid->cell(0, 100), QStringLiteral("100"));
    // A small file shows no progress.
    QVERIFY(ui.opened.empty());
    // The separator follows the name as the capture export chooses it: a capture saved as ".csv"
    // reads back with its commas, quoted fields included.
    const QString csv = writeTemp(dir, QStringLiteral("x.CSV"), "\"56,7\",31.12.2010,14:05:30,A,F,\r\n,,,,,\r\n");
    const TextReadResult c = readCaptureFile(csv, ui);
    QCOMPARE(c.rows, qint64(2));
    QCOMPARE(row(*c.grid, 1), cellsOf({"1", "56,7", "31.12.2010", "14:05:30", "A", "F"}));
}

void TestTextTableReader::largeFilesRefusedOrCancelled()
{
    QTemporaryDir dir;
    QByteArray bytes;
    for (int i = 0; i < 2000; ++i)
        bytes += "31.12.2010\t14:05:30.5\t56,7\r\n";
    const QString name = writeTemp(dir, QStringLiteral("big.txt"), bytes);
    // The estimate from the first lines: about one row per line, the text and the bookkeeping.
    const TableEstimate e = estimateTable(bytes.size(), QByteArrayView(bytes).first(1000), 7);
    QVERIFY(e.rows >= 2000 && e.rows < 2100);
    QVERIFY(e.bytes >= bytes.size() + 2000 * TextGrid::rowOverhead(7));
    // Above the limit: refused before anything is read, with a message naming the file.
    ScriptedTextUi ui;
    TextReadResult r = readTextTable(name, '\t', ui, {e.bytes - 1, 0});
    QVERIFY(!r.grid);
    QVERIFY(r.refused);
    QVERIFY(ui.opened.empty());
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].contains(name));
    // Within it: read whole, and the grid took no more than the estimate.
    r = readTextTable(name, '\t', ui, {e.bytes, 0});
    QCOMPARE(r.rows, qint64(2000));
    QVERIFY(r.grid->memoryBytes() <= e.bytes + 4096);
    // A large capture file shows "Open Progress", and its Cancel ends the reading.
    const QString cap = writeTemp(dir, QStringLiteral("big.cap"), bytes);
    ScriptedTextUi cancelling;
    cancelling.cancelAfterSteps = 3;
    r = readCaptureFile(cap, cancelling, {e.bytes, qint64(bytes.size())});
    QVERIFY(r.cancelled);
    QCOMPARE(r.rows, qint64(2));
    QCOMPARE(cancelling.opened.size(), size_t(1));
    QCOMPARE(cancelling.opened[0].caption, QStringLiteral("Open Progress"));
    QCOMPARE(cancelling.closed, 1);
}

void TestTextTableReader::missingFile()
{
    ScriptedTextUi ui;
    const TextReadResult r = readTextTable(QStringLiteral("/nonexistent/dir/file.txt"), '\t', ui);
    QVERIFY(!r.grid);
    QVERIFY(ui.opened.empty());
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(!readCaptureFile(QStringLiteral("/nonexistent/dir/file.cap"), ui).grid);
    QVERIFY(ui.messages.isEmpty());
}

void TestTextTableReader::fuzz()
{
    // Random bytes weighted towards the characters the reader looks at, in both grid shapes;
    // nothing may crash, and every grid must keep the reader's rules.
    QRandomGenerator rng(352);
    const char alphabet[] = {'\t', ',', '\r', '\n', 'a', '1', ' ', '\0', '"', char(0xc3), char(0xff)};
    for (int iter = 0; iter < 3000; ++iter) {
        QByteArray bytes;
        const int len = int(rng.bounded(iter % 100 == 0 ? 5000 : 600));
        for (int i = 0; i < len; ++i) {
            if (rng.bounded(50) == 0)
                bytes += QByteArray(int(rng.bounded(400)), alphabet[rng.bounded(int(sizeof alphabet))]);
            else
                bytes += rng.bounded(3) == 0 ? char(rng.bounded(256)) : alphabet[rng.bounded(int(sizeof alphabet))];
        }
        const char sep = iter % 2 ? '\t' : ',';
        const bool capture = iter % 3 == 0;
        qint64 n = 0;
        const TextGrid g = readBytes(bytes, sep, &n, capture ? 6 : 7, capture ? 101 : 2);
        QVERIFY(n >= 0 && n <= bytes.count('\n') + 1);
        QCOMPARE(g.rowCount(), std::max<qint64>(capture ? 101 : 2, n + 1));
        for (qint64 r = 1; r <= n; ++r) {
            QCOMPARE(g.cell(0, r), QString::number(r));
            qsizetype total = 0;
            for (int c = 1; c < g.columnCount(); ++c) {
                const std::string_view cell = g.cellUtf8(c, r);
                QVERIFY(cell.find('\n') == std::string_view::npos);
                QVERIFY(cell.find(sep) == std::string_view::npos || bytes.contains('"'));
                total += qsizetype(cell.size());
            }
            QVERIFY(total <= kMaxTextLine);
        }
    }
}

QTEST_GUILESS_MAIN(TestTextTableReader)
#include "test_texttablereader.moc"
