#include "app/Catalogue.h"
#include "data/GraphTextFile.h"
#include "tables/TextTableReader.h"
#include "support/ScriptedTextUi.h"
#include "support/TextFiles.h"
#include "tables/TableToGraph.h"
#include "tables/TextGridModel.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

// A table window grid from "date\ttime\tlevel" lines, as the text reader fills it.
std::shared_ptr<TextGrid> tableOf(const QByteArray &text)
{
    auto g = newListGrid();
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    readTextLines(buffer, '\t', *g, nullptr);
    return g;
}

bool sameMillisecond(TDateTime a, TDateTime b)
{
    return std::llround(a * 86400000.0) == std::llround(b * 86400000.0);
}

} // namespace

class TestTableToGraph : public QObject {
    Q_OBJECT
private slots:
    void convertsEveryRow_data();
    void convertsEveryRow();
    void pointTimeUnderCommaLocale();
    void singleRow();
    void emptyAndBadCells();
    void noData();
    void cancelStops();
};

void TestTableToGraph::convertsEveryRow_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("German") << QStringLiteral("de_DE")
                            << QByteArray("31.12.2010\t23:59:59,250\t56,7\r\n"
                                          "01.01.2011\t00:00:00\t100,0\r\n"
                                          "01.01.2011\t0:00:01,5\t30,1\r\n");
    QTest::newRow("English") << QStringLiteral("en_US")
                             << QByteArray("12/31/2010\t23:59:59.250\t56.7\r\n"
                                           "1/1/2011\t00:00:00\t100.0\r\n"
                                           "01/01/2011\t12:00:01.5 AM\t30.1\r\n");
}

void TestTableToGraph::convertsEveryRow()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, text);
    LocaleScope scope{QLocale(locale)};
    auto g = tableOf(text);
    ScriptedTextUi ui;
    const TableGraph graph = convertTableToGraph(*g, ui);
    QCOMPARE(graph.status, TableGraph::Converted);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(graph.xs.size(), size_t(3));
    QCOMPARE(graph.ys.size(), size_t(3));
    QVERIFY(sameMillisecond(graph.xs[0], dateTimeOf(2010, 12, 31, 23, 59, 59, 250)));
    QVERIFY(sameMillisecond(graph.xs[1], dateTimeOf(2011, 1, 1, 0, 0, 0)));
    QVERIFY(sameMillisecond(graph.xs[2], dateTimeOf(2011, 1, 1, 0, 0, 1, 5)));
    QCOMPARE(graph.ys, (std::vector<float>{56.7f, 100.0f, 30.1f}));
    QCOMPARE(graph.first, graph.xs[0]);
    QCOMPARE(graph.last, graph.xs[2]);
    // The "Graphing Progress" window, without Cancel, processing events between rows.
    QCOMPARE(ui.opened.size(), size_t(1));
    QCOMPARE(ui.opened[0].caption, LoadStr(84));
    QCOMPARE(ui.opened[0].text, LoadStr(85));
    QCOMPARE(ui.opened[0].total, qint64(3));
    QVERIFY(!ui.opened[0].showCancel);
    QVERIFY(ui.opened[0].processEvents);
    QCOMPARE(ui.positions, (std::vector<qint64>{1, 2, 3}));
    QCOMPARE(ui.closed, 1);
}

void TestTableToGraph::pointTimeUnderCommaLocale()
{
    // A German graph export writes a point before the milliseconds; with a comma as the decimal
    // separator that file still turns into the graph it came from.
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("g.txt"));
    const TDateTime x[] = {dateTimeOf(2010, 12, 31, 14, 5, 30, 5), dateTimeOf(2010, 12, 31, 14, 5, 30, 250),
                           dateTimeOf(2010, 12, 31, 14, 5, 31)};
    const float y[] = {56.7f, 57.0f, 58.5f};
    ScriptedTextUi ui;
    QCOMPARE(exportGraphText(ui, name, x, y, 3, '\t').status, TextExportResult::Written);
    const TextReadResult read = readTextTable(name, '\t', ui);
    QVERIFY(read.grid);
    QCOMPARE(read.grid->cell(2, 1), QStringLiteral("14:05:30.5"));
    ScriptedTextUi convertUi;
    TableGraph graph = convertTableToGraph(*read.grid, convertUi);
    QCOMPARE(graph.status, TableGraph::Converted);
    QVERIFY(convertUi.messages.isEmpty());
    QCOMPARE(graph.xs.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(sameMillisecond(graph.xs[size_t(i)], x[i]));
        QCOMPARE(graph.ys[size_t(i)], y[i]);
    }

    // A first row that does not convert is named in the message.
    auto g = tableOf("31.12.2010\t14:05:30;5\t50,0\r\n31.12.2010\t14:05:31\t50,0\r\n");
    ScriptedTextUi firstUi;
    graph = convertTableToGraph(*g, firstUi);
    QCOMPARE(graph.status, TableGraph::BadEnds);
    QVERIFY(graph.xs.empty());
    QCOMPARE(firstUi.messages, QStringList{QStringLiteral("'31.12.2010 14:05:30;5' is not a valid date and time")});
    QVERIFY(firstUi.opened.empty());

    // The last row alone failing names the last row.
    g = tableOf("31.12.2010\t14:05:30\t50,0\r\n31.12.2010\t14:05:31\t50,0\r\n31.12.2010\t14:05:32.2500\t50,0\r\n");
    ScriptedTextUi lastUi;
    graph = convertTableToGraph(*g, lastUi);
    QCOMPARE(graph.status, TableGraph::BadEnds);
    QCOMPARE(lastUi.messages, QStringList{invalidDateTimeMessage(QStringLiteral("31.12.2010 14:05:32.2500"))});

    // In a row between them the time is skipped: time 0 and the null level.
    g = tableOf("31.12.2010\t14:05:30\t50,0\r\n31.12.2010\t14:05:31x5\t51,0\r\n31.12.2010\t14:05:32\t52,0\r\n");
    ScriptedTextUi midUi;
    graph = convertTableToGraph(*g, midUi);
    QCOMPARE(graph.status, TableGraph::Converted);
    QVERIFY(midUi.messages.isEmpty());
    QCOMPARE(graph.xs[1], 0.0);
    QCOMPARE(graph.ys[1], kTableNullLevel);
    QCOMPARE(graph.ys[2], 52.0f);

    // Under an English locale the same text converts (the number after the point counts
    // milliseconds).
    LocaleScope english{QLocale(QStringLiteral("en_US"))};
    g = tableOf("12/31/2010\t14:05:30.5\t50.0\r\n");
    ScriptedTextUi enUi;
    graph = convertTableToGraph(*g, enUi);
    QCOMPARE(graph.status, TableGraph::Converted);
    QVERIFY(sameMillisecond(graph.xs[0], dateTimeOf(2010, 12, 31, 14, 5, 30, 5)));
}

void TestTableToGraph::singleRow()
{
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    auto g = tableOf("31.12.2010\t14:05:30\t56,7\r\n");
    QCOMPARE(g->rowCount(), qint64(2));
    ScriptedTextUi ui;
    const TableGraph graph = convertTableToGraph(*g, ui);
    QCOMPARE(graph.status, TableGraph::Converted);
    QCOMPARE(graph.xs.size(), size_t(1));
    QCOMPARE(graph.first, graph.last);
    QCOMPARE(graph.first, graph.xs[0]);
    QVERIFY(sameMillisecond(graph.xs[0], dateTimeOf(2010, 12, 31, 14, 5, 30)));
    QCOMPARE(graph.ys[0], 56.7f);
}

void TestTableToGraph::emptyAndBadCells()
{
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    // An empty level keeps its time; a level that is no number (a point under a comma locale)
    // does too; a row with a bad date keeps nothing.
    auto g = tableOf("31.12.2010\t14:00:00\t50,0\r\n"
                     "31.12.2010\t14:00:01\t\r\n"
                     "31.12.2010\t14:00:02\t51.5\r\n"
                     "32.12.2010\t14:00:03\t52,0\r\n"
                     "31.12.2010\t14:00:04\t53,0\r\n");
    ScriptedTextUi ui;
    const TableGraph graph = convertTableToGraph(*g, ui);
    QCOMPARE(graph.status, TableGraph::Converted);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(graph.xs.size(), size_t(5));
    QVERIFY(sameMillisecond(graph.xs[1], dateTimeOf(2010, 12, 31, 14, 0, 1)));
    QCOMPARE(graph.ys[1], kTableNullLevel);
    QVERIFY(sameMillisecond(graph.xs[2], dateTimeOf(2010, 12, 31, 14, 0, 2)));
    QCOMPARE(graph.ys[2], kTableNullLevel);
    QCOMPARE(graph.xs[3], 0.0);
    QCOMPARE(graph.ys[3], kTableNullLevel);
    QCOMPARE(graph.ys[4], 53.0f);
}

void TestTableToGraph::noData()
{
    // An empty first date: "Keine Daten zur Darstellung", no progress window.
    ScriptedTextUi ui;
    const TableGraph graph = convertTableToGraph(*newListGrid(), ui);
    QCOMPARE(graph.status, TableGraph::NoData);
    QCOMPARE(ui.messages, QStringList{LoadStr(83)});
    QVERIFY(ui.opened.empty());
    QVERIFY(graph.xs.empty());
    // A header line without separators leaves the window empty, so it has no data either.
    auto g = tableOf("Datum Zeit Wert\r\n31.12.2010\t14:00:00\t50,0\r\n");
    ScriptedTextUi ui2;
    QCOMPARE(convertTableToGraph(*g, ui2).status, TableGraph::NoData);
}

void TestTableToGraph::cancelStops()
{
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    QByteArray text;
    for (int i = 0; i < 10; ++i)
        text += "31.12.2010\t14:00:0" + QByteArray::number(i) + "\t50,0\r\n";
    auto g = tableOf(text);
    ScriptedTextUi ui;
    ui.cancelAfterSteps = 3;
    const TableGraph graph = convertTableToGraph(*g, ui);
    QCOMPARE(graph.status, TableGraph::Cancelled);
    QCOMPARE(ui.closed, 1);
    QVERIFY(graph.xs[1] != 0.0);
    QCOMPARE(graph.xs[2], 0.0);  // the step that saw Cancel converts nothing
}

QTEST_GUILESS_MAIN(TestTableToGraph)
#include "test_tabletograph.moc"
