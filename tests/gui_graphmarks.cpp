// The mark dialogs and handlers over a real chart widget, offscreen: the text entry, the list with
// its multi-row delete, placing by click, deleting by double-click, the hint over a mark, the
// customisation dialog with its pages, and keeping a customisation as the template.
#include "chart/ui/PESGraph.h"
#include "support/GraphTestState.h"
#include "graph/GraphFile.h"
#include "graph/ui/CustomizeTemplate.h"
#include "graph/ui/GraphMarkActions.h"
#include "graph/ui/StatisticsClipboard.h"
#include "graph/ui/TfrmAnnoEdit.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TfrmDelAnno.h"
#include "graph/ui/TfrmYesNo.h"
#include "support/NextModal.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
constexpr double kDay0 = 46000.5;


void fill(PESGraph &g, int points)
{
    g.setPoints(points);
    for (int i = 0; i < points; ++i) {
        g.setXDataII(0, i, kDay0 + i / 86400.0);
        g.setYData(0, i, 40.0f + float(i % 10));
    }
    g.setManualScaleControlY(sgManualMinAndMax);
    g.setManualMinY(30);
    g.setManualMaxY(130);
    g.setDateTimeMode(sgVBDateTime);
    g.look().allowGraphAnnotHotSpots = true;
    g.Redraw();
}

// A click on the chart at pixel p, which sets LastMousePos.
void clickAt(PESGraph &g, QPoint p)
{
    QTest::mouseClick(g.plot(), Qt::LeftButton, {}, p - g.plot()->pos());
}
} // namespace

class TestGraphMarksGui : public QObject {
    Q_OBJECT
private slots:
    void textEntryGivesItsTextOrNothing()
    {
        TfrmAnnoEdit probe;
        QVERIFY(probe.windowTitle().isEmpty());
        QVERIFY(probe.windowFlags() & Qt::WindowStaysOnTopHint);

        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<TfrmAnnoEdit *>(w);
            QVERIFY(d);
            QTest::keyClicks(d->Edit1, QStringLiteral("Luefter"));
            d->Edit1->insert(QStringLiteral(" an ü"));
            d->btnOK->click();
        });
        QCOMPARE(TfrmAnnoEdit::askText(nullptr), std::optional<QString>(QStringLiteral("Luefter an ü")));
        onNextModal([](QWidget *w) { static_cast<TfrmAnnoEdit *>(w)->btnOK->click(); });
        QCOMPARE(TfrmAnnoEdit::askText(nullptr), std::optional<QString>(QString()));
        onNextModal([](QWidget *w) { static_cast<TfrmAnnoEdit *>(w)->btnCancel->click(); });
        QVERIFY(!TfrmAnnoEdit::askText(nullptr));
    }

    void listDeletesTheSelectedRows()
    {
        TfrmDelAnno empty;
        QCOMPARE(empty.windowTitle(), QStringLiteral("Vermerk löschen"));
        QCOMPARE(empty.StringGrid1->columnCount(), 3);
        QCOMPARE(empty.StringGrid1->horizontalHeaderItem(2)->text(), QStringLiteral("Kommentar"));
        QCOMPARE(empty.StringGrid1->columnWidth(1), 120);
        QCOMPARE(empty.BitBtn1->text(), QStringLiteral(" Löschen "));
        empty.setRows({});
        QVERIFY(!empty.BitBtn1->isEnabled());

        ChartState chart;
        int counter = GraphMarks::CounterAtStart;
        for (int i = 0; i < 6; ++i)
            placeMark(chart, counter, i == 1 ? ClickMode::Text : ClickMode::Cross, kDay0 + i / 86400.0, 50,
                      QStringLiteral("Tür"));
        placeMark(chart, counter, ClickMode::Text, kDay0, 50, QString()); // placed, not listed

        // Rows 2 to 4 selected, " Löschen ".
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<TfrmDelAnno *>(w);
            QVERIFY(d);
            QCOMPARE(d->StringGrid1->rowCount(), 6);
            QVERIFY(d->BitBtn1->isEnabled());
            QCOMPARE(d->StringGrid1->item(1, 2)->text(), QStringLiteral("Tür"));
            QCOMPARE(d->StringGrid1->item(0, 2)->text(), QStringLiteral("X"));
            QCOMPARE(d->StringGrid1->item(5, 0)->text(), QStringLiteral("6"));
            d->StringGrid1->clearSelection();
            d->StringGrid1->setRangeSelected(QTableWidgetSelectionRange(1, 0, 3, 2), true);
            QCOMPARE(d->selectedRows(), std::make_pair(2, 4));
            d->BitBtn1->click();
        });
        QCOMPARE(TfrmDelAnno::editMarks(chart, nullptr), 3);
        QCOMPARE(markRows(chart).size(), size_t(3));
        QVERIFY(!chart.annotation(6).visible() && !chart.annotation(8).visible());
        QVERIFY(chart.annotation(5).visible() && chart.annotation(9).visible());

        // "Abbrechen" changes nothing.
        const ChartState before = chart;
        onNextModal([](QWidget *w) {
            auto *d = static_cast<TfrmDelAnno *>(w);
            d->StringGrid1->selectAll();
            d->BitBtn2->click();
        });
        QCOMPARE(TfrmDelAnno::editMarks(chart, nullptr), 0);
        QVERIFY(chart == before);
    }

    void clicksPlaceMarksAndDoubleClicksDeleteThem()
    {
        PESGraph g;
        g.resize(640, 480);
        fill(g, 100);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        int counter = GraphMarks::CounterAtStart;
        const QRect plot = g.GraphRect();
        const QPoint p = plot.center();

        // Normal mode, and a point outside the plot area: nothing.
        clickAt(g, p);
        QCOMPARE(placeMarkAtClick(g, counter, ClickMode::Normal), -1);
        clickAt(g, QPoint(plot.right() + 1, p.y())); // shifted past the right edge
        int asked = 0;
        QCOMPARE(placeMarkAtClick(g, counter, ClickMode::Text, [&] { ++asked; return QString("x"); }), -1);
        QCOMPARE(asked, 0);

        // A cross where the pointer is; a note a little below and right of it.
        clickAt(g, p);
        const int cross = placeMarkAtClick(g, counter, ClickMode::Cross);
        QCOMPARE(cross, 5);
        const GraphAnnotation &c = g.graphAnnotation(cross);
        QCOMPARE(c.type, int(sgAnnotCross));
        const QPointF back = g.GraphToPixel(c.x, c.y);
        QVERIFY(std::abs(back.x() - p.x()) < 1.0 && std::abs(back.y() - p.y()) < 1.0);

        const QPoint q = p + QPoint(-80, 40);
        clickAt(g, q);
        const int note = placeMarkAtClick(g, counter, ClickMode::Text, [] { return QString("Pumpe"); });
        QCOMPARE(note, 6);
        QCOMPARE(g.graphAnnotation(note).text, QStringLiteral("Pumpe"));
        const QPointF noteAt = g.GraphToPixel(g.graphAnnotation(note).x, g.graphAnnotation(note).y);
        QVERIFY(std::abs(noteAt.x() - (q.x() + 1)) < 1.0 && std::abs(noteAt.y() - (q.y() + 7)) < 1.0);
        QCOMPARE(placeMarkAtClick(g, counter, ClickMode::Text, [] { return std::optional<QString>(); }), -1);
        QCOMPARE(counter, 6);

        // The hint over the cross, and its double-click deletes it through the chart's event.
        QCOMPARE(markHintAt(g, p), QStringLiteral("Doppelklick um zu löschen."));
        QVERIFY(markHintAt(g, p + QPoint(40, -60)).isEmpty());
        g.OnGraphAnnotHotSpot = [&](int slot, bool dbl) { deleteMarkOnDoubleClick(g, slot, dbl); };
        clickAt(g, p);
        QVERIFY(g.graphAnnotation(cross).visible());
        QTest::mouseDClick(g.plot(), Qt::LeftButton, {}, p - g.plot()->pos());
        QVERIFY(!g.graphAnnotation(cross).visible());
        QVERIFY(g.graphAnnotation(note).visible());
        QVERIFY(!deleteMarkOnDoubleClick(g, 40, true));
    }

    void yesNoQuestion()
    {
        TfrmYesNo probe;
        QCOMPARE(probe.windowTitle(), QStringLiteral("Bestätigen"));
        // The question says what "&Ja" keeps.
        QVERIFY(probe.Label1->text().contains(QStringLiteral("Aussehen")));
        QVERIFY(probe.Label1->text().contains(QStringLiteral("neuen Grafiken")));
        QCOMPARE(probe.btnYes->text(), QStringLiteral("&Ja"));
        onNextModal([](QWidget *w) { static_cast<TfrmYesNo *>(w)->btnYes->click(); });
        QVERIFY(TfrmYesNo::ask(nullptr));
        onNextModal([](QWidget *w) { static_cast<TfrmYesNo *>(w)->btnNo->click(); });
        QVERIFY(!TfrmYesNo::ask(nullptr));
        TfrmYesNo d;
        QTimer::singleShot(0, d.btnNo, &QPushButton::click);
        QCOMPARE(d.exec(), TfrmYesNo::ResultNo);
    }

    void customizeDialogTakesItsSettingsOnOk()
    {
        PESGraph g;
        fill(g, 10);
        int fired = 0;
        g.OnCustomizeDlg = [&] { ++fired; };
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<ChartCustomizeDialog *>(w);
            QVERIFY(d);
            QCOMPARE(d->tabs->count(), 5);
            d->edtMainTitle->setText(QStringLiteral("Halle 3"));
            d->edtYAxisLabel->setText(QStringLiteral("dB(A)"));
            d->cboGridStyle->setCurrentIndex(sgDash);
            d->subsetLineTypes[0]->setCurrentIndex(PELT_THICKSOLID);
            d->subsetColors[0]->setColor(PEargb(255, 0, 255, 0));
            d->btnGraphBackColor->setColor(PEargb(255, 255, 255, 255));
            d->fonts[0].bold->setChecked(false);
            d->accept();
        });
        g.PEactions(sgCustomize);
        QCOMPARE(fired, 1);
        QCOMPARE(g.DialogResult(), 1);
        QCOMPARE(g.MainTitle(), QStringLiteral("Halle 3"));
        QCOMPARE(g.YAxisLabel(), QStringLiteral("dB(A)"));
        QCOMPARE(g.look().gridStyle, int(sgDash));
        QCOMPARE(g.look().subsetLineType(0), int(PELT_THICKSOLID));
        QCOMPARE(g.look().subsetColor(0), PEargb(255, 0, 255, 0));
        QCOMPARE(g.look().graphBackColor, PEargb(255, 255, 255, 255));
        QVERIFY(!g.look().mainTitleFont.bold);
        QCOMPARE(g.plot()->xAxis->grid()->pen().style(), Qt::DashLine);

        // Cancel keeps the chart as it was; the event comes all the same.
        const ChartLook before = g.look();
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<ChartCustomizeDialog *>(w);
            d->edtMainTitle->setText(QStringLiteral("verworfen"));
            d->reject();
        });
        g.PEactions(sgCustomize);
        QCOMPARE(fired, 2);
        QCOMPARE(g.DialogResult(), 0);
        QVERIFY(g.look() == before);
    }

    void printingShowsTheColourPageAloneThenThePrintDialog()
    {
        // A graph window's chart: a confirmed customisation for printing asks nothing about
        // keeping it as the template, and the print dialog works on the printer it is given.
        GraphTestState state;
        TfrmGraph w(GraphRole::File, state, state);
        PESGraph &g = *w.PESGraph1;
        fill(g, 10);
        QPrinter printer;
        printer.setDocName(QStringLiteral("the program's printer"));
        QStringList seen;
        int tabs = -1;
        onNextModal([&](QWidget *w) {
            auto *d = dynamic_cast<ChartCustomizeDialog *>(w);
            QVERIFY(d);
            tabs = d->tabs->count();
            seen << d->tabs->tabText(0);
            d->btnDeskColor->setColor(PEargb(255, 255, 255, 255));
            // The button shows the colour, not a number.
            QVERIFY(d->btnDeskColor->text().isEmpty() && !d->btnDeskColor->icon().isNull());
            d->accept();
            onNextModal([&](QWidget *p) {
                seen << QString::fromLatin1(p->metaObject()->className());
                if (auto *print = qobject_cast<QPrintDialog *>(p))
                    seen << print->printer()->docName();
                static_cast<QDialog *>(p)->reject();
            });
        });
        g.CustomizeAndPrint(printer);
        QCOMPARE(tabs, 1);
        QCOMPARE(seen, QStringList({QStringLiteral("Farben"), QStringLiteral("QPrintDialog"), printer.docName()}));
        QCOMPARE(g.look().deskColor, PEargb(255, 255, 255, 255));
        QVERIFY(g.AllowPage1() && g.AllowPage2() && g.AllowSubsetsPage() && g.AllowFontPage());
    }

    void confirmedCustomizationBecomesTheTemplateOfTheNextChart()
    {
        QTemporaryDir dir;
        const QString appData = dir.filePath(QStringLiteral("k352_4/"));
        PESGraph g;
        fill(g, 10);
        g.graphAnnotationForWrite(3)->type = sgAnnotCross;
        g.setVertLineAnnotation(1, g.XDataII(0, 4));
        int asked = 0;
        auto yes = [&] { ++asked; return true; };

        // Not confirmed: no question, nothing saved.
        onNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        g.PEactions(sgCustomize);
        QVERIFY(keepCustomizationAsTemplate(g, appData, yes).isEmpty());
        QCOMPARE(asked, 0);

        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<ChartCustomizeDialog *>(w);
            d->edtSubTitle->setText(QStringLiteral("Vorlage"));
            d->accept();
        });
        g.PEactions(sgCustomize);
        QVERIFY(keepCustomizationAsTemplate(g, appData, [] { return false; }).isEmpty());
        QVERIFY(!QFile::exists(templatePath(appData)));
        // "&Ja" through the real question creates the folder and the file.
        onNextModal([](QWidget *w) { static_cast<TfrmYesNo *>(w)->btnYes->click(); });
        QVERIFY(keepCustomizationAsTemplate(g, appData).isEmpty());
        QVERIFY(QFile::exists(templatePath(appData)));

        PESGraph next;
        const TemplateLoad t = loadTemplate(next.state(), appData);
        QVERIFY(t.loaded);
        QCOMPARE(next.SubTitle(), QStringLiteral("Vorlage"));
        // The file holds the look alone: no reading, mark or cursor line of the customised chart.
        ChartState stored;
        QVERIFY(loadGraphFile(templatePath(appData), stored).ok());
        QCOMPARE(stored.look.subTitle, QStringLiteral("Vorlage"));
        QCOMPARE(stored.data.Points(), 0);
        QVERIFY(stored.annotations.empty());
        QCOMPARE(stored.vertLines, ChartState{}.vertLines);

        // A folder that cannot be created gives its message.
        QFile blocker(dir.filePath(QStringLiteral("blocked")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(keepCustomizationAsTemplate(g, blocker.fileName(), yes),
                 QStringLiteral("Cannot create ") + blocker.fileName() + QStringLiteral("/template/ directory."));
    }

    void statisticsGoToTheClipboard()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PESGraph g;
        fill(g, 3);
        QApplication::clipboard()->setText(QStringLiteral("alt"));
        StatisticsFieldTexts f;
        f.avgAll = QStringLiteral("***.* dB ");
        const QString message = copyStatisticsToClipboard(f, g);
        QLocale::setDefault(saved);
        QCOMPARE(message, QStringLiteral("Daten wurden in die Zwischenablage kopiert."));
        const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11 + 3 + 1);
        QCOMPARE(lines[3], QStringLiteral("Mittel.:***.* dB "));
        QVERIFY(lines[13].endsWith(QStringLiteral("\t42,0")));
    }
};

QTEST_MAIN(TestGraphMarksGui)
#include "gui_graphmarks.moc"
