#include "app/Catalogue.h"
#include "app/ui/K352Application.h"
#include "data/ui/ScopeTextUi.h"
#include "data/ui/TfrmScope.h"
#include "support/TextFiles.h"
#include "tables/ui/GridView.h"
#include "tables/ui/TablePrinter.h"
#include "tables/ui/TfrmDataCapture.h"
#include "tables/ui/TfrmList.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs answer on the range dialog once it is up (modal), from the event loop.
void whenScopeShown(std::function<void(TfrmScope *)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *scope = qobject_cast<TfrmScope *>(QApplication::activeModalWidget());
        if (!scope) {
            whenScopeShown(answer);
            return;
        }
        answer(scope);
    });
}

struct MessageLog {
    QStringList texts;
    MessageLog()
    {
        setMessageResponder([this](const QString &text, QMessageBox::StandardButtons) {
            texts << text;
            return QMessageBox::Ok;
        });
    }
    ~MessageLog() { setMessageResponder(nullptr); }
};

QString writeTable(QTemporaryDir &dir, const QString &name, int rows)
{
    QByteArray text;
    for (int i = 0; i < rows; ++i)
        text += "31.12.2010\t14:00:" + QByteArray::number(10 + i % 50) + "\t5" + QByteArray::number(i % 10) + ",0\r\n";
    const QString path = dir.filePath(name);
    putFile(path, text);
    return path;
}

} // namespace

class GuiTables : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void scopeStartsHidden();
    void rangeDialog();
    void progressWindowCancel();
    void tableWindowFromFile();
    void tableWindowSave();
    void outputToGraph();
    void activation();
    void singleValuesWindow();
    void printToPdf();
};

void GuiTables::initTestCase()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
}

void GuiTables::scopeStartsHidden()
{
    TfrmScope scope;
    QCOMPARE(scope.windowTitle(), QStringLiteral("Druckbereich"));
    QCOMPARE(scope.size(), QSize(329, 100));
    QVERIFY(scope.windowFlags() & Qt::WindowStaysOnTopHint);
    scope.show();
    for (QWidget *w : {static_cast<QWidget *>(scope.GroupBox1), static_cast<QWidget *>(scope.BitBtn1),
                       static_cast<QWidget *>(scope.BitBtn2), static_cast<QWidget *>(scope.Progress1),
                       static_cast<QWidget *>(scope.SText1), static_cast<QWidget *>(scope.SText2),
                       static_cast<QWidget *>(scope.lblBytesReceived), static_cast<QWidget *>(scope.lblTotalBytes)})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(scope.radAll->isChecked());
    QCOMPARE(scope.radAll->text(), QStringLiteral("Alle"));
    QCOMPARE(scope.radNo->text(), QStringLiteral(" Auswahl "));
    QCOMPARE(scope.Label1->text(), QStringLiteral("von"));
    QCOMPARE(scope.Label2->text(), QStringLiteral("zu"));
    QCOMPARE(scope.BitBtn2->text(), QStringLiteral(" Abbrechen "));
    QCOMPARE(scope.SText1->text(), QStringLiteral("Daten erhalten"));
    QCOMPARE(scope.SText2->text(), QStringLiteral("Gesamtdaten"));
}

void GuiTables::rangeDialog()
{
    ScopeTextUi ui;
    // OK with a selection.
    QString caption, from, to;
    bool groupShown = false;
    whenScopeShown([&](TfrmScope *scope) {
        caption = scope->windowTitle();
        from = scope->edtSelFrom->text();
        to = scope->edtSelTo->text();
        groupShown = scope->GroupBox1->isVisible() && scope->BitBtn1->isVisible() && !scope->Progress1->isVisible();
        scope->radNo->setChecked(true);
        scope->edtSelFrom->setText(QStringLiteral("20"));
        scope->edtSelTo->setText(QStringLiteral("5"));
        scope->BitBtn1->click();
    });
    std::optional<RangeEntry> entry = ui.askRange(QStringLiteral("Daten speichern"), 40);
    QVERIFY(entry);
    QCOMPARE(caption, QStringLiteral("Daten speichern"));
    QCOMPARE(from, QStringLiteral("1"));
    QCOMPARE(to, QStringLiteral("40"));
    QVERIFY(groupShown);
    QVERIFY(!entry->all);
    QCOMPARE(entry->from, QStringLiteral("20"));
    QCOMPARE(entry->to, QStringLiteral("5"));

    // OK with "Alle".
    whenScopeShown([](TfrmScope *scope) { scope->BitBtn1->click(); });
    entry = ui.askRange(QStringLiteral("x"), 3);
    QVERIFY(entry && entry->all);

    // Cancel and the close box both give no range.
    whenScopeShown([](TfrmScope *scope) { scope->BitBtn2->click(); });
    QVERIFY(!ui.askRange(QStringLiteral("x"), 3));
    whenScopeShown([](TfrmScope *scope) { scope->close(); });
    QVERIFY(!ui.askRange(QStringLiteral("x"), 3));
}

void GuiTables::progressWindowCancel()
{
    ScopeTextUi ui;
    ui.setRefreshInterval(0);
    ProgressSetup setup;
    setup.caption = QStringLiteral("Open Progress");
    setup.text = QStringLiteral("0");
    setup.total = 100;
    setup.showBar = false;
    setup.countInText = true;
    setup.processEvents = true;
    ui.progressOpen(setup);
    TfrmScope *scope = ui.progressWindow();
    QVERIFY(scope);
    QVERIFY(scope->isVisible());
    QCOMPARE(scope->windowTitle(), QStringLiteral("Open Progress"));
    QVERIFY(!scope->Progress1->isVisible());
    QVERIFY(scope->SText1->isVisible());
    QVERIFY(scope->BitBtn2->isVisible());
    QVERIFY(!scope->GroupBox1->isVisible());
    QCOMPARE(scope->result(), -1);
    QVERIFY(ui.progressStep(1));
    QVERIFY(ui.progressStep(2));
    QCOMPARE(scope->SText1->text(), QStringLiteral("2"));
    // Cancel only sets the result: the window stays until the caller closes it.
    QTimer::singleShot(0, scope->BitBtn2, &QPushButton::click);
    QVERIFY(!ui.progressStep(3));
    QVERIFY(scope->isVisible());
    QCOMPARE(scope->result(), int(TfrmScope::ResultCancel));
    ui.progressClose();
    QVERIFY(!ui.progressWindow());

    // An export's progress window: bar from 0 to the total; its close box counts as Cancel.
    setup = ProgressSetup{};
    setup.caption = LoadStr(42);
    setup.text = LoadStr(43);
    setup.total = 10;
    ui.progressOpen(setup);
    scope = ui.progressWindow();
    QVERIFY(scope->Progress1->isVisible());
    QCOMPARE(scope->Progress1->maximum(), 10);
    QCOMPARE(scope->result(), 0);
    QVERIFY(ui.progressStep(4));
    QCOMPARE(scope->Progress1->value(), 4);
    scope->close();
    QVERIFY(scope->isVisible());
    QVERIFY(!ui.progressStep(5));
    ui.progressClose();

    // A count without a total is shown at the refresh pace only, not on every line.
    ScopeTextUi slow;
    slow.setRefreshInterval(60000);
    setup = ProgressSetup{};
    setup.text = QStringLiteral("0");
    setup.showBar = false;
    setup.countInText = true;
    slow.progressOpen(setup);
    for (qint64 i = 1; i <= 1000; ++i)
        QVERIFY(slow.progressStep(i));
    QCOMPARE(slow.progressWindow()->SText1->text(), QStringLiteral("0"));
}

void GuiTables::tableWindowFromFile()
{
    QTemporaryDir dir;
    const QString name = writeTable(dir, QStringLiteral("t.txt"), 5);
    std::unique_ptr<TfrmList> list(TfrmList::readTextFile(name, '\t'));
    QVERIFY(list);
    QCOMPARE(list->windowTitle(), name);
    list->show();
    TextGridModel *m = list->model();
    QCOMPARE(m->rowCount(), 5);
    QCOMPARE(m->columnCount(), 7);
    QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Nr"));
    QCOMPARE(m->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Wert"));
    QCOMPARE(m->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1"));
    QCOMPARE(m->data(m->index(4, 2), Qt::DisplayRole).toString(), QStringLiteral("14:00:14"));
    QCOMPARE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable, Qt::ItemFlags());
    QCOMPARE(list->Grid1->verticalHeader()->defaultSectionSize(), 18);
    QCOMPARE(list->Grid1->editTriggers(), QAbstractItemView::NoEditTriggers);

    // A missing file: no window.
    QVERIFY(!TfrmList::readTextFile(dir.filePath(QStringLiteral("missing.txt")), '\t'));
    QVERIFY(!TfrmDataCapture::readCaptureFile(dir.filePath(QStringLiteral("missing.cap"))));
}

void GuiTables::tableWindowSave()
{
    QTemporaryDir dir;
    std::unique_ptr<TfrmList> list(TfrmList::readTextFile(writeTable(dir, QStringLiteral("t.txt"), 5), '\t'));
    QVERIFY(list);
    const QString out = dir.filePath(QStringLiteral("out.CSV"));
    whenScopeShown([](TfrmScope *scope) {
        scope->radNo->setChecked(true);
        scope->edtSelFrom->setText(QStringLiteral("2"));
        scope->edtSelTo->setText(QStringLiteral("3"));
        scope->BitBtn1->click();
    });
    QCOMPARE(list->saveAs(out).status, TextExportResult::Written);
    QCOMPARE(fileBytes(out), QByteArray("31.12.2010,14:00:11,\"51,0\",,,,\r\n31.12.2010,14:00:12,\"52,0\",,,,\r\n"));
}

void GuiTables::outputToGraph()
{
    MessageLog log;
    QTemporaryDir dir;
    std::unique_ptr<TfrmList> list(TfrmList::readTextFile(writeTable(dir, QStringLiteral("t.txt"), 4), '\t'));
    QVERIFY(list);
    int calls = 0;
    TableGraph got;
    QString title;
    list->outputToGraph = [&](const TableGraph &graph, const QString &t) {
        ++calls;
        got = graph;
        title = t;
    };
    list->btnOutputToGraphClick();
    QCOMPARE(calls, 1);
    QCOMPARE(got.status, TableGraph::Converted);
    QCOMPARE(got.xs.size(), size_t(4));
    QCOMPARE(got.ys[3], 53.0f);
    QCOMPARE(title, list->windowTitle());
    QVERIFY(log.texts.isEmpty());

    // No data: the message, nothing handed on.
    TfrmList empty;
    empty.outputToGraph = list->outputToGraph;
    empty.btnOutputToGraphClick();
    QCOMPARE(calls, 1);
    QCOMPARE(log.texts, QStringList{LoadStr(83)});

    // A first row that does not convert: the message, and an empty result for the empty window.
    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    putFile(bad, "31.12.2010\t14:00:00;5\t50,0\r\n");
    std::unique_ptr<TfrmList> badList(TfrmList::readTextFile(bad, '\t'));
    badList->outputToGraph = list->outputToGraph;
    badList->btnOutputToGraphClick();
    QCOMPARE(calls, 2);
    QCOMPARE(got.status, TableGraph::BadEnds);
    QVERIFY(got.xs.empty());
    QCOMPARE(log.texts.last(), QStringLiteral("'31.12.2010 14:00:00;5' is not a valid date and time"));
}

void GuiTables::activation()
{
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    bool enabled = false;
    auto *list = new TfrmList;
    list->onActivated = [&] { enabled = true; };
    bool closed = false;
    list->onClosed = [&] { closed = true; };
    QMdiSubWindow *sub = list->addToWorkspace(&area);
    auto *other = new QWidget;
    QMdiSubWindow *otherSub = area.addSubWindow(other);
    otherSub->show();
    area.setActiveSubWindow(otherSub);
    enabled = false;
    area.setActiveSubWindow(sub);
    QVERIFY(enabled);
    QCOMPARE(sub->size().width() >= 387, true);
    QPointer<TfrmList> alive(list);
    sub->close();
    QVERIFY(closed);
    QTRY_VERIFY(!alive);
}

void GuiTables::singleValuesWindow()
{
    TfrmDataCapture window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Datenaufzeichnung"));
    window.show();
    TextGridModel *m = window.model();
    QCOMPARE(m->rowCount(), 100);
    QCOMPARE(m->columnCount(), 6);
    const QStringList header = {"No", "Wert", "Datum", "Zeit", "Wei.", "F/S"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), header[c]);
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("01"));
    QCOMPARE(m->data(m->index(9, 0), Qt::DisplayRole).toString(), QStringLiteral("10"));
    QCOMPARE(m->data(m->index(99, 0), Qt::DisplayRole).toString(), QStringLiteral("100"));
    const int widths[] = {64, 81, 94, 90, 64, 64};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(window.Grid1->horizontalHeader()->sectionSize(c), widths[c]);

    // Saved and read back as a capture file.
    m->setCell(1, 2, QStringLiteral("61,5"));
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("v.cap"));
    QCOMPARE(window.saveAs(name).status, TextExportResult::Written);
    std::unique_ptr<TfrmDataCapture> back(TfrmDataCapture::readCaptureFile(name));
    QVERIFY(back);
    back->show();
    QCOMPARE(back->windowTitle(), name);
    QCOMPARE(back->model()->data(back->model()->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("61,5"));
    QCOMPARE(back->model()->data(back->model()->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("02"));
}

void GuiTables::printToPdf()
{
    QTemporaryDir dir;
    auto printTo = [&](const QString &file, const TextGrid &grid, TablePrintKind kind) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return printTable(printer, grid, kind);
    };
    auto g = newListGrid();
    for (int r = 1; r <= 3; ++r)
        g->setRow(r, {"", "31.12.2010", "14:00:00", "50,0"});
    const QString small = dir.filePath(QStringLiteral("small.pdf"));
    const TablePrintMetrics one = printTo(small, *g, TablePrintKind::List);
    QVERIFY(one.lineHeight > 14);
    QVERIFY(one.linesPerPage >= 40);
    QCOMPARE(one.pages, qint64(1));
    {
        // The last line of a page ends within the printable area.
        QPrinter same(QPrinter::HighResolution);
        same.setOutputFormat(QPrinter::PdfFormat);
        const int printable = int(same.pageRect(QPrinter::DevicePixel).height());
        QVERIFY(printLineTop(one.linesPerPage - 1, one.lineHeight) + one.lineHeight <= printable);
    }
    QVERIFY(fileBytes(small).startsWith("%PDF"));

    // Enough rows for three pages.
    for (int r = 1; r <= 2 * one.linesPerPage + 5; ++r)
        g->setRow(r, {"", "31.12.2010", "14:00:00", "50,0"});
    const QString big = dir.filePath(QStringLiteral("big.pdf"));
    const TablePrintMetrics three = printTo(big, *g, TablePrintKind::List);
    QCOMPARE(three.linesPerPage, one.linesPerPage);
    QCOMPARE(three.pages, qint64(3));
    QCOMPARE(fileBytes(big).count("/Type /Page\n") + fileBytes(big).count("/Type /Page\r"), qsizetype(3));

    // A window that is no table is left to the caller.
    QWidget plain;
    QPrinter printer;
    QVERIFY(!printTableWindow(&plain, printer));
}

int main(int argc, char **argv)
{
    K352Application app(argc, argv);
    GuiTables test;
    return QTest::qExec(&test, argc, argv);
}

#include "gui_tables.moc"
