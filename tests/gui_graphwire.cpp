// The graph window's tool bar and statistics at work: click modes and their pointers, marks placed
// by clicks and listed, the clear of the real-time chart, the statistics export, the rate list
// during a recording, undoing a zoom, and the acoustic figures beside the arithmetic ones.
#include "app/SystemFormats.h"
#include "support/GraphTestState.h"
#include "app/ui/K352Application.h"
#include "chart/ui/PESGraph.h"
#include "graph/GraphFile.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmYesNo.h"
#include "app/UserDataFolder.h"
#include "chart/ui/ChartCustomizeDialog.h"
#include "logger/DataSetDisplay.h"
#include "graph/ui/TfrmAnnoEdit.h"
#include "graph/ui/TfrmDelAnno.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TwoThumbSlider.h"
#include "realtime/RealTimeRecorder.h"
#include "support/NextModal.h"
#include "support/GraphFill.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

QToolButton *toolButton(TfrmGraph &g, const char *name) { return g.findChild<QToolButton *>(QLatin1String(name)); }

// A click, double-click or move on the chart at pixel p of the chart widget.
void clickAt(PESGraph *c, QPoint p) { QTest::mouseClick(c->plot(), Qt::LeftButton, {}, p - c->plot()->pos()); }
void doubleClickAt(PESGraph *c, QPoint p) { QTest::mouseDClick(c->plot(), Qt::LeftButton, {}, p - c->plot()->pos()); }
void moveTo(PESGraph *c, QPoint p) { QTest::mouseMove(c->plot(), p - c->plot()->pos()); }

// Collects the texts of the messages shown while it lives, answering OK.
struct Messages {
    QStringList texts;
    Messages()
    {
        setMessageResponder([this](const QString &text, QMessageBox::StandardButtons) {
            texts << text;
            return QMessageBox::Ok;
        });
    }
    ~Messages() { setMessageResponder({}); }
};

} // namespace

class GuiGraphWire : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void modeButtonsSetTheModeAndThePointer()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        QToolButton *normal = toolButton(g, "ToolButton4");
        QToolButton *cross = toolButton(g, "ToolButton5");
        QToolButton *text = toolButton(g, "ToolButton9");
        for (QToolButton *b : {normal, cross, text, toolButton(g, "ToolButton13")})
            QVERIFY(b->isEnabled());
        QVERIFY(normal->isChecked());

        cross->click();
        QCOMPARE(state.GraphClickMode, ClickMode::Cross);
        QCOMPARE(g.PESGraph1->look().arrowCursor, int(sgArrowCross));
        QVERIFY(!normal->isChecked() && cross->isChecked());
        QCOMPARE(g.PESGraph1->plot()->cursor().shape(), Qt::CrossCursor);

        text->click();
        QCOMPARE(state.GraphClickMode, ClickMode::Text);
        QCOMPARE(g.PESGraph1->look().arrowCursor, int(sgArrowText));
        QVERIFY(!cross->isChecked() && text->isChecked());
        text->click(); // a mode button stays down when pressed again
        QVERIFY(text->isChecked());

        // Showing the window again starts in the normal mode.
        g.FormShow();
        QCOMPARE(state.GraphClickMode, ClickMode::Normal);
        QCOMPARE(g.PESGraph1->look().arrowCursor, int(sgArrowNormal));
        QVERIFY(normal->isChecked() && !text->isChecked());

        // The mode is program-wide: another window's FormShow makes it normal here too, and this
        // window's pointer and buttons follow as soon as the pointer is over its chart.
        cross->click();
        TfrmGraph other(GraphRole::File, state, state);
        QCOMPARE(state.GraphClickMode, ClickMode::Normal);
        g.PESGraph1MouseMove(g.PESGraph1->GraphRect().center());
        QCOMPARE(g.PESGraph1->look().arrowCursor, int(sgArrowNormal));
        QVERIFY(normal->isChecked() && !cross->isChecked());

        // The English hints are in the window's table; the German ones are shown.
        QCOMPARE(cross->toolTip(), QStringLiteral("Markierung setzten"));
        QCOMPARE(g.findChild<QPushButton *>("Button1")->toolTip(), QStringLiteral("Grafik Anpassungen"));
    }

    void clicksPlaceMarksThatAreListedAndDeleted()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(900, 650);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fill(g, 60, [](int i) { return 50.0f + float(i % 7); });
        PESGraph *c = g.PESGraph1;
        const QPoint p = c->GraphRect().center();

        // Normal mode: a click places nothing.
        clickAt(c, p);
        QCOMPARE(state.LastAnnotation, GraphMarks::CounterAtStart);

        toolButton(g, "ToolButton5")->click();
        clickAt(c, p);
        QCOMPARE(state.LastAnnotation, 5);
        QCOMPARE(c->graphAnnotation(5).type, int(sgAnnotCross));
        // The mode stays: the next click places the next cross.
        clickAt(c, p + QPoint(-120, -30));
        QCOMPARE(state.LastAnnotation, 6);

        toolButton(g, "ToolButton9")->click();
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<TfrmAnnoEdit *>(w);
            QVERIFY(d);
            d->Edit1->setText(QStringLiteral("Pumpe an"));
            d->btnOK->click();
        });
        clickAt(c, p + QPoint(60, 40));
        QCOMPARE(state.LastAnnotation, 7);
        QCOMPARE(c->graphAnnotation(7).text, QStringLiteral("Pumpe an"));
        // Cancel places nothing.
        onNextModal([](QWidget *w) { static_cast<TfrmAnnoEdit *>(w)->btnCancel->click(); });
        clickAt(c, p + QPoint(90, 40));
        QCOMPARE(state.LastAnnotation, 7);

        // Over the cross the pointer tells how to delete it; elsewhere it says nothing.
        moveTo(c, p);
        QCOMPARE(c->toolTip(), QStringLiteral("Doppelklick um zu löschen."));
        moveTo(c, p + QPoint(30, -70));
        QVERIFY(c->toolTip().isEmpty());

        // The list shows the three marks; deleting row 2 removes the second cross.
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<TfrmDelAnno *>(w);
            QVERIFY(d);
            QCOMPARE(d->StringGrid1->rowCount(), 3);
            QCOMPARE(d->StringGrid1->item(0, 2)->text(), QStringLiteral("X"));
            QCOMPARE(d->StringGrid1->item(2, 2)->text(), QStringLiteral("Pumpe an"));
            d->StringGrid1->clearSelection();
            d->StringGrid1->setRangeSelected(QTableWidgetSelectionRange(1, 0, 1, 2), true);
            d->BitBtn1->click();
        });
        toolButton(g, "ToolButton13")->click();
        QVERIFY(!c->graphAnnotation(6).visible());
        QVERIFY(c->graphAnnotation(5).visible() && c->graphAnnotation(7).visible());

        // A double-click on the first cross deletes it.
        toolButton(g, "ToolButton4")->click();
        doubleClickAt(c, p);
        QVERIFY(!c->graphAnnotation(5).visible());
        QVERIFY(c->graphAnnotation(7).visible());
    }

    void clearEmptiesTheRealTimeChartAndItsMarks()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::RealTime, state, state);
        g.resize(900, 650);
        PrepareChart(g.PESGraph1, 1, 130, 30, kT0 + 2000 / 86400.0, kT0, 2000);
        RealTimeRecorder recorder(state);
        recorder.setTarget(&g);
        g.onCleared = [&] { recorder.samplesCleared(); };
        recorder.windowOpened(kT0);
        recorder.begin(10, 1.0f, kT0);
        QVERIFY(!g.tbntClr->isEnabled());
        for (int i = 1; i <= 4; ++i)
            recorder.sample(60.0f + float(i), kT0 + 2 * i / 86400.0);
        QCOMPARE(recorder.sampleCount(), 4);
        placeMark(g.PESGraph1->state(), state.LastAnnotation, ClickMode::Cross, kT0 + 4 / 86400.0, 62);
        placeMark(g.PESGraph1->state(), state.LastAnnotation, ClickMode::Text, kT0 + 6 / 86400.0, 63, "Tür");

        // While the recording runs the clear does nothing.
        g.tbntClrClick();
        QCOMPARE(recorder.sampleCount(), 4);
        QCOMPARE(g.PESGraph1->YData(0, 1), 62.0f);

        recorder.stop(kT0 + 10 / 86400.0);
        QVERIFY(g.tbntClr->isEnabled());
        QCOMPARE(g.txtLeq->text(), levelText(10 * std::log10((std::pow(10.0, 6.1) + std::pow(10.0, 6.2) +
                                                                std::pow(10.0, 6.3) + std::pow(10.0, 6.4)) / 4)));
        const QString maximum = g.txtMax->text();
        toolButton(g, "ToolButton5")->click();
        g.tbntClr->click();
        QCOMPARE(g.PESGraph1->look().arrowCursor, int(sgArrowCross));
        QCOMPARE(g.windowTitle(), QStringLiteral("Onlinemessung"));
        QCOMPARE(g.PESGraph1->Points(), 200);
        QVERIFY(std::isnan(g.PESGraph1->YData(0, 1)) || g.PESGraph1->XDataII(0, 1) == 0);
        QCOMPARE(recorder.sampleCount(), 0);
        QCOMPARE(state.LastAnnotation, GraphMarks::CounterAtStart);
        QVERIFY(!g.PESGraph1->graphAnnotation(5).visible() && !g.PESGraph1->graphAnnotation(6).visible());
        QCOMPARE(g.PESGraph1->graphAnnotation(6).x, 0.0);
        // The arithmetic fields stay; the acoustic ones show no figure for an empty chart.
        QCOMPARE(g.txtMax->text(), maximum);
        QVERIFY(g.txtLeq->text().isEmpty() && g.txtL90->text().isEmpty() && g.txtLeqAB->text().isEmpty());
        // The next mark goes to slot 5 again and is listed.
        QCOMPARE(placeMark(g.PESGraph1->state(), state.LastAnnotation, ClickMode::Cross, kT0, 50), 5);
    }

    void exportCopiesFieldsAndReadingsAndSaysSo()
    {
        Messages messages;
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        fill(g, 3, [](int i) { return 60.0f + float(i); });
        QApplication::clipboard()->setText(QStringLiteral("alt"));
        g.findChild<QPushButton *>("Button2")->click();
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Daten wurden in die Zwischenablage kopiert.")});
        const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11 + 3 + 1);
        QCOMPARE(lines[1], QStringLiteral("Messrate:") + g.txtSamplingRate->currentText());
        QCOMPARE(lines[2], QStringLiteral("Datensatz:3"));
        QCOMPARE(lines[4], QStringLiteral("Maximum:62.0@") + g.txtMaxTime->text());
        QCOMPARE(lines[6], QStringLiteral("Punkt A:61.0@") + g.txtCursorATime->text());
        QCOMPARE(lines[10], QStringLiteral("Mittel zwischen A und B:") + g.txtAvgAB->text());
        QVERIFY(lines[13].endsWith(QStringLiteral("\t62.0")));
        // The acoustic figures are not part of the export.
        QVERIFY(!QApplication::clipboard()->text().contains(QStringLiteral("Leq")));
    }

    void rateListDuringARecordingKeepsTheRate()
    {
        Messages messages;
        GraphTestState state;
        TfrmGraph g(GraphRole::RealTime, state, state);
        g.setRateListPickOnly();
        g.selectRate(state.SamplingInterval);
        QCOMPARE(g.txtSamplingRate->currentIndex(), 1);

        // No recording: the picked entry becomes the rate, silently.
        g.txtSamplingRate->setCurrentIndex(5);
        emit g.txtSamplingRate->activated(5);
        QCOMPARE(state.SamplingInterval, 5.0f);
        QVERIFY(messages.texts.isEmpty());

        // A recording runs: the list goes back to the running rate and the user is told.
        state.RealTimeRunning = true;
        g.txtSamplingRate->setCurrentIndex(7);
        emit g.txtSamplingRate->activated(7);
        QCOMPARE(state.SamplingInterval, 5.0f);
        QCOMPARE(g.txtSamplingRate->currentIndex(), 5);
        QCOMPARE(messages.texts,
                 QStringList{QStringLiteral("Die Messrate kann während der Onlinemessung nicht geändert werden.")});

        // A file window's rate field only displays its chart's rate.
        state.RealTimeRunning = false;
        TfrmGraph file(GraphRole::File, state, state);
        fill(file, 10, [](int) { return 50.0f; });
        emit file.txtSamplingRate->activated(0);
        QCOMPARE(state.SamplingInterval, 5.0f);
    }

    void undoZoomFollowsTheZoom()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        g.resize(900, 650);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fill(g, 100, [](int i) { return 40.0f + float(i % 30); });
        auto *undo = g.findChild<QPushButton *>("UndoZoom");
        QVERIFY(!undo->isEnabled());
        PESGraph *c = g.PESGraph1;
        const QCPRange full = c->plot()->xAxis->range();
        const QRect r = c->GraphRect();
        const QPoint from = r.topLeft() + QPoint(r.width() / 5, r.height() / 5) - c->plot()->pos();
        const QPoint to = r.topLeft() + QPoint(r.width() / 2, r.height() / 2) - c->plot()->pos();
        QTest::mousePress(c->plot(), Qt::LeftButton, {}, from);
        QTest::mouseMove(c->plot(), to);
        QTest::mouseRelease(c->plot(), Qt::LeftButton, {}, to);
        QVERIFY(c->isZoomed());
        QVERIFY(undo->isEnabled());
        // The read-out strip lies in the plot area, clear of the axis labels left of it and above.
        const QRect zoomed = c->GraphRect();
        g.PESGraph1MouseMove(zoomed.center());
        QVERIFY(g.Panel12->isVisible());
        QVERIFY(zoomed.contains(g.Panel12->geometry()));
        undo->click();
        QVERIFY(!c->isZoomed());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(c->plot()->xAxis->range().lower, full.lower);
    }

    void acousticFiguresBesideTheArithmeticOnes()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        // 60 and 80 dB in equal parts: Leq 77.0 while the arithmetic mean is 70.0.
        fill(g, 10, [](int i) { return i < 5 ? 60.0f : 80.0f; });
        QCOMPARE(g.txtAvgAll->text(), QStringLiteral("70.0"));
        QCOMPARE(g.txtLeq->text(), QStringLiteral("77.0"));
        const double l10 = g.txtL10->text().toDouble(), l50 = g.txtL50->text().toDouble(),
                     l90 = g.txtL90->text().toDouble();
        QVERIFY(l10 >= l50 && l50 >= l90);
        QCOMPARE(g.txtL10->text(), QStringLiteral("80.0"));
        QCOMPARE(g.txtL90->text(), QStringLiteral("60.0"));

        // Leq between A and B follows the thumbs, in either order.
        g.Slider1->setValue1(0);
        g.Slider1->setValue2(4);
        QCOMPARE(g.txtLeqAB->text(), QStringLiteral("60.0"));
        g.Slider1->setValue1(9);
        g.Slider1->setValue2(4);
        QCOMPARE(g.txtLeqAB->text(), levelText(10 * std::log10((1e6 + 5 * 1e8) / 6)));
        g.Slider1->setValue1(5);
        g.Slider1->setValue2(5);
        QCOMPARE(g.txtLeqAB->text(), QStringLiteral("80.0"));

        // A chart of one point: its own figure between the cursors, nothing of the chart before.
        fill(g, 1, [](int) { return 65.0f; });
        QCOMPARE(g.txtLeqAB->text(), QStringLiteral("65.0"));

        // A null reading is no reading.
        fill(g, 3, [](int i) { return i == 0 ? 60.0f : i == 1 ? 9999.0f : 80.0f; });
        QCOMPARE(g.txtLeq->text(), QStringLiteral("77.0"));
        QCOMPARE(g.txtL10->text(), QStringLiteral("78.0"));
        QCOMPARE(g.txtL50->text(), QStringLiteral("70.0"));

        // An empty chart shows no figure rather than a wrong one.
        fill(g, 0, [](int) { return 0.0f; });
        for (QLineEdit *e : {g.txtLeq, g.txtL10, g.txtL50, g.txtL90, g.txtLeqAB})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName() + " shows " + e->text()));
    }

    void aDataSetShowsItsAcousticFigures()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::DataSet, state, state);
        const double x[4] = {kT0, kT0 + 2 / 86400.0, kT0 + 4 / 86400.0, kT0 + 6 / 86400.0};
        const float y[4] = {60, 60, 80, 80};
        DataSetDisplay d;
        d.set = 0;
        d.chart.points = 4;
        d.chart.minX = kT0;
        d.chart.maxX = x[3];
        d.count = 4;
        d.x = x;
        d.y = y;
        d.txtAvgAll = QStringLiteral("70.0");
        d.sliderMax = 3;
        d.sliderThumb1 = 2;
        d.sliderThumb2 = 3;
        g.showDataSet(d);
        QCOMPARE(g.txtLeq->text(), QStringLiteral("77.0"));
        QCOMPARE(g.txtLeqAB->text(), QStringLiteral("80.0"));

        // A set without readings: no figures.
        d.count = 0;
        d.chart.points = 0;
        d.sliderMax = 0;
        d.sliderThumb1 = d.sliderThumb2 = 0;
        g.showDataSet(d);
        QVERIFY(g.txtLeq->text().isEmpty() && g.txtL50->text().isEmpty() && g.txtLeqAB->text().isEmpty());
    }

    void graphOptionsMayBecomeTheTemplate()
    {
        const QString path = templatePath(appDataFolder());
        QFile::remove(path);
        GraphTestState state;
        TfrmGraph g(GraphRole::File, state, state);
        fill(g, 5, [](int) { return 50.0f; });
        auto *options = g.findChild<QPushButton *>("Button1");
        QVERIFY(options->isEnabled());

        // Confirmed, then "Nein": only this chart changes.
        onNextModal([](QWidget *w) {
            auto *d = dynamic_cast<ChartCustomizeDialog *>(w);
            QVERIFY(d);
            d->edtSubTitle->setText(QStringLiteral("Halle 3"));
            onNextModal([](QWidget *q) {
                auto *yesNo = dynamic_cast<TfrmYesNo *>(q);
                QVERIFY(yesNo);
                yesNo->btnNo->click();
            });
            d->accept();
        });
        options->click();
        QCOMPARE(g.PESGraph1->SubTitle(), QStringLiteral("Halle 3"));
        QVERIFY(!QFile::exists(path));

        // Confirmed, then "&Ja": the template file is written where new charts look for it.
        onNextModal([](QWidget *w) {
            onNextModal([](QWidget *q) { static_cast<TfrmYesNo *>(q)->btnYes->click(); });
            static_cast<QDialog *>(w)->accept();
        });
        options->click();
        QVERIFY(QFile::exists(path));
        PESGraph next;
        QVERIFY(PrepareChart(&next, 1, 130, 30, 0, 0, 10, path));
        QCOMPARE(next.SubTitle(), QStringLiteral("Halle 3"));
        QFile::remove(path);
    }

    void acousticFiguresFollowARecordingWithoutUpdatingPerSample()
    {
        GraphTestState state;
        TfrmGraph g(GraphRole::RealTime, state, state);
        PrepareChart(g.PESGraph1, 1, 130, 30, kT0 + 2000 / 86400.0, kT0, 2000);
        RealTimeRecorder recorder(state);
        recorder.setTarget(&g);
        recorder.windowOpened(kT0);
        recorder.begin(100, 1.0f, kT0);
        QVERIFY(g.txtLeq->text().isEmpty());
        recorder.sample(60.0f, kT0 + 2 / 86400.0);
        recorder.sample(80.0f, kT0 + 4 / 86400.0);
        // Not yet on the sample itself...
        QVERIFY(g.txtLeq->text().isEmpty());
        // ...but within a fraction of a second, over the samples taken (the rest are not readings).
        QTRY_COMPARE_WITH_TIMEOUT(g.txtLeq->text(), QStringLiteral("77.0"), 2000);
        QCOMPARE(g.txtL50->text(), QStringLiteral("70.0"));
        recorder.sample(80.0f, kT0 + 6 / 86400.0);
        recorder.stop(kT0 + 8 / 86400.0);
        // The stop shows the final figures at once.
        QCOMPARE(g.txtLeq->text(), levelText(10 * std::log10((1e6 + 2e8) / 3)));
    }
};

QTEST_MAIN(GuiGraphWire)
#include "gui_graphwire.moc"
