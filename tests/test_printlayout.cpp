#include "support/TextFiles.h"
#include "tables/PrintLayout.h"
#include "tables/TextGridModel.h"

#include <QtTest>

class TestPrintLayout : public QObject {
    Q_OBJECT
private slots:
    void tableLines();
    void fillRule();
    void singleValuesLines();
    void pages();
    void pageMetrics();
};

void TestPrintLayout::tableLines()
{
    auto g = newListGrid();
    for (int r = 1; r <= 3; ++r) {
        g->setCell(0, r, QString::number(r));
        g->setCell(1, r, QStringLiteral("31.12.2010"));
        g->setCell(2, r, QStringLiteral("14:05:3%1.5").arg(r));
        g->setCell(3, r, QStringLiteral("56,7"));
        g->setCell(6, r, QStringLiteral("never printed"));
    }
    const std::vector<QStringList> pages = layoutPrintPages(*g, TablePrintKind::List, 40);
    QCOMPARE(pages.size(), size_t(1));
    QCOMPARE(pages[0].size(), 4);
    const QString sp = QStringLiteral(" ");
    // Header: Nr (10 wide), Datum (10), Zeit (17), Wert (10), two empty 10-wide columns.
    QCOMPARE(pages[0][0], QStringLiteral("Nr") + sp.repeated(16) + QStringLiteral("Datum") + sp.repeated(10)
                              + QStringLiteral("Zeit") + sp.repeated(26) + QStringLiteral("Wert") + sp.repeated(12)
                              + sp.repeated(40));
    // A full cell keeps one blank before the next column.
    QCOMPARE(pages[0][1], QStringLiteral("1") + sp.repeated(18) + QStringLiteral("31.12.2010 ")
                              + QStringLiteral("14:05:31.5") + sp.repeated(14) + QStringLiteral("56,7")
                              + sp.repeated(12) + sp.repeated(40));
    for (const QString &line : pages[0])
        QVERIFY(!line.contains(QStringLiteral("never")));
}

void TestPrintLayout::fillRule()
{
    TextGrid g(7, 2);
    g.setCell(0, 1, QStringLiteral("abcd"));           // 4 of 10: 12 spaces
    g.setCell(1, 1, QStringLiteral("abcdefghijkl"));   // 12 of 10: none
    g.setCell(2, 1, QStringLiteral("abcdefghijklmnopq"));  // 17 of 17: none
    g.setCell(3, 1, QStringLiteral("abcdefghij"));     // 10 of 10: none
    QCOMPARE(printLine(g, TablePrintKind::List, 1),
             QStringLiteral("abcd") + QString(12, QLatin1Char(' ')) + QStringLiteral("abcdefghijkl ")
                 + QStringLiteral("abcdefghijklmnopq ") + QStringLiteral("abcdefghij ") + QString(40, QLatin1Char(' ')));
    QCOMPARE(printColumnWidth(TablePrintKind::List, 2), 17);
    QCOMPARE(printColumnWidth(TablePrintKind::List, 3), 10);
    QCOMPARE(printColumnWidth(TablePrintKind::DataCapture, 2), 17);
    QCOMPARE(printColumnWidth(TablePrintKind::DataCapture, 3), 17);
    QCOMPARE(printColumnWidth(TablePrintKind::DataCapture, 5), 10);
}

void TestPrintLayout::singleValuesLines()
{
    auto g = newDataCaptureGrid();
    g->setCell(1, 1, QStringLiteral("56,7"));
    g->setCell(2, 1, QStringLiteral("31.12.2010"));
    g->setCell(3, 1, QStringLiteral("14:05:30"));
    g->setCell(4, 1, QStringLiteral("A"));
    g->setCell(5, 1, QStringLiteral("F"));
    g->setCell(1, 100, QStringLiteral("70,0"));
    g->setCell(2, 50, QStringLiteral("date without a value"));
    const std::vector<QStringList> pages = layoutPrintPages(*g, TablePrintKind::DataCapture, 200);
    QCOMPARE(pages.size(), size_t(1));
    QCOMPARE(pages[0].size(), 101);  // header and 100 places, blank ones included
    const QString sp = QStringLiteral(" ");
    QCOMPARE(pages[0][0], QStringLiteral("No") + sp.repeated(16) + QStringLiteral("Wert") + sp.repeated(12)
                              + QStringLiteral("Datum") + sp.repeated(24) + QStringLiteral("Zeit") + sp.repeated(26)
                              + QStringLiteral("Wei.") + sp.repeated(12) + QStringLiteral("F/S") + sp.repeated(14));
    QCOMPARE(pages[0][1], QStringLiteral("01") + sp.repeated(16) + QStringLiteral("56,7") + sp.repeated(12)
                              + QStringLiteral("31.12.2010") + sp.repeated(14) + QStringLiteral("14:05:30")
                              + sp.repeated(18) + QStringLiteral("A") + sp.repeated(18) + QStringLiteral("F")
                              + sp.repeated(18));
    QCOMPARE(pages[0][2], QString());
    QCOMPARE(pages[0][50], QString());
    QVERIFY(pages[0][100].startsWith(QStringLiteral("100") + sp.repeated(14) + QStringLiteral("70,0")));
}

void TestPrintLayout::pages()
{
    auto g = newListGrid();
    for (int r = 1; r <= 100; ++r)
        g->setCell(0, r, QString::number(r));
    const std::vector<QStringList> pages = layoutPrintPages(*g, TablePrintKind::List, 40);
    QCOMPARE(pages.size(), size_t(3));
    QCOMPARE(pages[0].size(), 40);
    QCOMPARE(pages[1].size(), 40);
    QCOMPARE(pages[2].size(), 21);
    QVERIFY(pages[0][39].startsWith(QStringLiteral("39 ")));
    QVERIFY(pages[1][0].startsWith(QStringLiteral("40 ")));  // row 40 opens the second page
    QVERIFY(pages[2][20].startsWith(QStringLiteral("100 ")));
    std::vector<std::pair<qint64, int>> at;
    forEachPrintLine(*g, TablePrintKind::List, 40, [&](qint64 page, int position, const QString &) {
        at.emplace_back(page, position);
    });
    QCOMPARE(at.size(), size_t(101));
    QCOMPARE(at[40], (std::pair<qint64, int>(1, 0)));
    QCOMPARE(at[100], (std::pair<qint64, int>(2, 20)));
    // A page too small for a line still takes one line.
    QCOMPARE(layoutPrintPages(*g, TablePrintKind::List, 0).size(), size_t(101));
}

void TestPrintLayout::pageMetrics()
{
    QCOMPARE(printLineHeight(11), 25);
    QCOMPARE(printLineTop(0, 25), 25);
    // The first line starts one line height down; the last line ends within the page and one
    // more would not.
    for (int height : {1000, 1024, 1049, 1050, 13000}) {
        const int n = printLinesPerPage(height, 25);
        QVERIFY2(printLineTop(n - 1, 25) + 25 <= height, qPrintable(QString::number(height)));
        QVERIFY2(printLineTop(n, 25) + 25 > height, qPrintable(QString::number(height)));
    }
    QCOMPARE(printLinesPerPage(1000, 25), 39);
    QCOMPARE(printLinesPerPage(10, 25), 1);
    QCOMPARE(printLinesPerPage(1000, 0), 1);
}

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "test_printlayout.moc"
