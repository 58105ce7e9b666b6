// The real-time graph window in the main window against the simulated meter: opened at start-up
// beside the panel, a recording that ends by itself, the question before a new start, the stop,
// and what closing the window does to Run and Stop.
#include "app/ui/K352Application.h"
#include "support/GraphTestState.h"
#include "app/SystemFormats.h"
#include "app/ui/TfrmMain.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TwoThumbSlider.h"
#include "logger/DataSetDisplay.h"
#include "panel/ui/TfrmPanel.h"
#include "realtime/ui/TfrmSetupRealTime.h"
#include "sim/PtyMeter.h"
#include "support/RunUntil.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QtTest>

namespace {

QToolButton *button(QObject *w, const char *name)
{
    return w->findChild<QToolButton *>(QLatin1String(name));
}

QAction *action(QObject *w, const char *name)
{
    return w->findChild<QAction *>(QLatin1String(name));
}

// The pixels a field has for its text: its contents less the text margins and the 2 pixels the
// field keeps free on either side.
int textRoom(const QLineEdit *e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).marginsRemoved(e->textMargins());
    return r.width() - 2 * 2;
}

// A store of two sets: ten readings, then a set without readings.
DataSetStore storeWithAnEmptySet()
{
    DataSetStore s;
    s.SetStart = {46365.5, 46366.25};
    s.SetInterval = {2, 2};
    s.SetCount = {10, 0};
    s.SetFlags = {8, 8};
    s.SetHeaderOffset = {1024, 1058};
    s.SetEndOffset = {1057, 1073};
    s.SetMaxIndex = {4, 0};
    s.SetMinIndex = {1, 0};
    s.SetMean = {55.0, 0.0};
    for (int k = 0; k < 10; ++k) {
        s.Levels << (k == 4 ? 70.0f : k == 1 ? 40.0f : 55.0f);
        s.LevelTimes << 46365.5 + 2.0 * k / 86400.0;
    }
    return s;
}

} // namespace

class GuiGraph : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { setMessageResponder({}); }
    void recordingInTheMainWindow();
    void closeQuestionsAndRunStop();
    void chartStatisticsOfAFileWindow();
    void statisticsFieldsShowTheirWidestTextWhole();
    void anEmptyDataSetClearsTheFiguresAndTheChart();
};

void GuiGraph::recordingInTheMainWindow()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    TfrmMainOptions o;
    o.systemPorts = false;
    o.extraPorts = {meter.slavePath()};
    TfrmMain w(o);
    w.resize(1200, 800);
    w.show();
    QVERIFY(runUntil([&] { return w.state().Connected && w.realTimeGraph(); }, 5000));

    TfrmGraph *graph = w.realTimeGraph();
    QCOMPARE(graph->windowTitle(), QString("Onlinemessung"));
    QCOMPARE(graph->parentWidget()->x(), w.panel()->parentWidget()->width());
    QCOMPARE(graph->parentWidget()->height(), w.panel()->parentWidget()->height());
    QVERIFY(action(&w, "RealTimeGraph1")->isChecked());
    QCOMPARE(graph->PESGraph1->look().xAxisLabel, QString("Zeit"));
    QCOMPARE(graph->PESGraph1->YAxisLabel(), QString("dB"));
    QCOMPARE(graph->PESGraph1->Points(), 2000);
    QCOMPARE(graph->txtSamplingRate->currentIndex(), 1); // 0.2 s
    QVERIFY(graph->txtSamplingRate->isEnabled());
    QVERIFY(button(&w, "btnRun")->isEnabled());
    QVERIFY(!button(&w, "btnStop")->isEnabled());

    // A recording of 5 values at 0.2 s ends by itself.
    QString shownPeriod;
    w.runStartDialog = [&](TfrmSetupRealTime &d) {
        shownPeriod = d.edtPeriod->text();
        d.edtRealTimeNo->setText("    5");
        d.txtRate->setCurrentText("0.2");
        return true;
    };
    button(&w, "btnRun")->click();
    QCOMPARE(shownPeriod, QString("0:6:40"));
    QVERIFY(w.state().RealTimeRunning);
    QVERIFY(!button(&w, "btnRun")->isEnabled());
    QVERIFY(button(&w, "btnStop")->isEnabled());
    QVERIFY(runUntil([&] { return !w.state().RealTimeRunning; }, 8000));
    QCOMPARE(w.recorder().sampleCount(), 5);
    QCOMPARE(graph->PESGraph1->Points(), 5);
    QCOMPARE(graph->txtDataNo->text(), QString("5"));
    QVERIFY(!graph->txtAvgAll->text().isEmpty());
    QVERIFY(!graph->txtMax->text().isEmpty());
    for (int k = 1; k < 5; ++k)
        QVERIFY((graph->PESGraph1->XDataII(0, k) - graph->PESGraph1->XDataII(0, k - 1)) * 86400 >= 0.2 - 1e-6);
    for (int k = 0; k < 5; ++k) {
        const float y = graph->PESGraph1->YData(0, k);
        QVERIFY(y >= 20 && y <= 140);
    }
    QCOMPARE(graph->Slider1->Maximum(), 4);
    QCOMPARE(graph->Slider1->Value1(), 1);
    QCOMPARE(graph->Slider1->Value2(), 3);
    QVERIFY(!graph->txtCursorA->text().isEmpty());
    QVERIFY(button(&w, "btnRun")->isEnabled());
    QVERIFY(!button(&w, "btnStop")->isEnabled());
    QVERIFY(w.state().RealTimeUnsaved);

    // A new start asks first; Cancel keeps everything.
    QStringList asked;
    setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
        asked << text;
        return QMessageBox::Cancel;
    });
    bool dialogShown = false;
    w.runStartDialog = [&](TfrmSetupRealTime &) { return dialogShown = true; };
    button(&w, "btnRun")->click();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0], QString("Es sind noch Daten aus der letzten Onlinemessung vorhanden, diese Daten gehen "
                               "verloren\nMöchten Sie die Messdaten speichern?"));
    QVERIFY(!dialogShown);
    QCOMPARE(graph->PESGraph1->Points(), 5);

    // No: the dialog opens; a bad count is refused with its message and nothing starts.
    setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
        asked << text;
        return QMessageBox::No;
    });
    w.runStartDialog = [&](TfrmSetupRealTime &d) {
        d.edtRealTimeNo->setText(" 2 0");
        return true;
    };
    button(&w, "btnRun")->click();
    QCOMPARE(asked.last(), QString(" 2 0 nicht gültig"));
    QVERIFY(!w.state().RealTimeRunning);

    // A stop by the user after a few samples keeps exactly those.
    w.runStartDialog = [&](TfrmSetupRealTime &d) {
        d.edtRealTimeNo->setText(" 2000");
        d.txtRate->setCurrentText("0.0");
        return true;
    };
    button(&w, "btnRun")->click();
    QVERIFY(w.state().RealTimeRunning);
    QVERIFY(runUntil([&] { return w.recorder().sampleCount() >= 3; }, 5000));
    button(&w, "btnStop")->click();
    const int taken = w.recorder().sampleCount();
    QCOMPARE(graph->PESGraph1->Points(), taken);
    QCOMPARE(graph->Slider1->Maximum(), taken - 1);

    setMessageResponder([](const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; });
    QVERIFY(w.close());
    meter.stop();
}

void GuiGraph::closeQuestionsAndRunStop()
{
    TfrmMainOptions o;
    o.systemPorts = false;
    o.startup = false;
    TfrmMain w(o);
    w.show();
    w.state().Connected = true;
    TfrmGraph *graph = w.OpenRealTimeGraph();
    w.state().RealTimeUnsaved = true;
    w.state().DownloadUnsaved = true;
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    graph->ask = [&](const QString &t) {
        asked << t;
        return answer;
    };
    QVERIFY(!graph->parentWidget()->close());
    QCOMPARE(asked, QStringList{"Onlinemessung speichern"});
    QVERIFY(w.realTimeGraph());
    // Closing during a recording ends it; Run comes back because the meter is connected.
    w.recorder().begin(100, 0.2f, 46000);
    QVERIFY(w.state().RealTimeRunning);
    answer = QMessageBox::No;
    QVERIFY(graph->parentWidget()->close());
    QTRY_VERIFY(!w.realTimeGraph());
    QVERIFY(!w.state().RealTimeRunning);
    QVERIFY(!w.state().RealTimeUnsaved);
    QVERIFY(w.state().DownloadUnsaved); // only the data-set window's close clears it
    QCOMPARE(w.recorder().sampleCount(), 0);
    QVERIFY(!action(&w, "RealTimeGraph1")->isChecked());
    QVERIFY(w.wantedEnabled(Control::btnRun));
    QVERIFY(!w.wantedEnabled(Control::btnStop));
    // The menu command brings the window back, empty.
    action(&w, "RealTimeGraph1")->trigger();
    QVERIFY(w.realTimeGraph());
    QVERIFY(action(&w, "RealTimeGraph1")->isChecked());
    QCOMPARE(w.realTimeGraph()->PESGraph1->Points(), 2000);
    // Without a connection, closing leaves Run disabled.
    w.state().Connected = false;
    w.setControlEnabled(Control::btnRun, false);
    w.realTimeGraph()->parentWidget()->close();
    QTRY_VERIFY(!w.realTimeGraph());
    QVERIFY(!w.wantedEnabled(Control::btnRun));
}

void GuiGraph::chartStatisticsOfAFileWindow()
{
    GraphTestState state;
    TfrmGraph g(GraphRole::File, state, state);
    g.resize(800, 600);
    QVERIFY(!g.pnlDataSets->isVisible());
    PESGraph *c = g.PESGraph1;
    c->setSubsets(1);
    c->setPoints(10);
    const double t0 = 46365.5;
    for (int i = 0; i < 10; ++i) {
        c->setXDataII(0, i, t0 + i / 86400.0);
        c->setYData(0, i, i == 2 || i == 6 ? 90.0f : 50.0f);
    }
    g.ShowChartStatistics();
    QCOMPARE(g.txtSamplingRate->currentText(), QString("0.9"));
    QCOMPARE(g.txtDataNo->text(), QString("10"));
    QCOMPARE(g.txtMax->text(), QString("90.0"));
    QCOMPARE(g.txtMaxTime->text(), dateTimeText(t0 + 2 / 86400.0));
    QCOMPARE(g.txtAvgAll->text(), QString("58.0"));
    QCOMPARE(g.Slider1->Value1(), 3);
    QCOMPARE(g.Slider1->Value2(), 6);
    QCOMPARE(state.CursorA, 3);
    QCOMPARE(state.CursorB, 6);
    QCOMPARE(g.txtMaxAB->text(), QString("90.0"));
    QCOMPARE(g.txtCursorB->text(), QString("90.0"));
    QCOMPARE(c->VertLineAnnotation(1), t0 + 6 / 86400.0);
}

void GuiGraph::statisticsFieldsShowTheirWidestTextWhole()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    GraphTestState state;
    TfrmGraph g(GraphRole::DataSet, state, state);
    g.fillDataSetList({{"1", "28.12.2026", "23:58:58", "00:02", "12345", "A"},
                       {"2", "29.12.2026", "08:08:08", "01:00", "8", "C"}});
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const QString level = QStringLiteral("-199,9");
    const QString time = dateTimeText(46384.9992);
    const auto check = [&](const char *when) {
        QCoreApplication::processEvents();
        for (QLineEdit *e : {g.txtAvgAll, g.txtMax, g.txtMin, g.txtLeq, g.txtL10, g.txtL50, g.txtL90, g.txtCursorA,
                             g.txtCursorB, g.txtMaxAB, g.txtMinAB, g.txtAvgAB, g.txtLeqAB})
            QVERIFY2(e->fontMetrics().horizontalAdvance(level) < textRoom(e),
                     qPrintable(QString("%1 %2: %3 px").arg(when, e->objectName()).arg(textRoom(e))));
        for (QLineEdit *e : {g.txtStartTime, g.txtMaxTime, g.txtMinTime, g.txtCursorATime, g.txtCursorBTime,
                             g.txtMaxABTime, g.txtMinABTime})
            QVERIFY2(e->fontMetrics().horizontalAdvance(time) < textRoom(e),
                     qPrintable(QString("%1 %2: %3 px").arg(when, e->objectName()).arg(textRoom(e))));
    };
    check("default size");
    g.resize(g.minimumSizeHint());
    check("smallest size");
    // Narrower than its fields (a squeezed workspace), the panel scrolls and still cuts no digit.
    g.setMinimumSize(0, 0);
    g.resize(300, g.height());
    check("squeezed");
}

void GuiGraph::anEmptyDataSetClearsTheFiguresAndTheChart()
{
    GraphTestState state;
    TfrmGraph g(GraphRole::DataSet, state, state);
    g.resize(900, 600);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const DataSetStore store = storeWithAnEmptySet();
    g.showDataSet(ShowDataSet(store, 0));
    QCOMPARE(g.txtMax->text(), QString("70.0"));
    QVERIFY(!g.txtCursorA->text().isEmpty());
    QVERIFY(!g.txtMaxAB->text().isEmpty());

    g.showDataSet(ShowDataSet(store, 1));
    PESGraph *c = g.PESGraph1;
    QCOMPARE(c->Points(), 0);
    QCOMPARE(g.txtDataNo->text(), QString("0"));
    for (QLineEdit *e : {g.txtAvgAll, g.txtMax, g.txtMaxTime, g.txtMin, g.txtMinTime, g.txtLeq, g.txtL10, g.txtL50,
                         g.txtL90, g.txtCursorA, g.txtCursorATime, g.txtCursorB, g.txtCursorBTime, g.txtMaxAB,
                         g.txtMaxABTime, g.txtMinAB, g.txtMinABTime, g.txtAvgAB, g.txtLeqAB})
        QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName() + ": " + e->text()));
    // The time axis starts at the empty set's own start, and no cursor line stands on the plot.
    c->Redraw();
    const QRect r = c->GraphRect();
    QVERIFY(std::abs(c->PixelToGraph(r.left(), r.top()).x() - 46366.25) * 86400 < 1);
    for (int line = 0; line < 2; ++line) {
        const double x = c->GraphToPixel(c->VertLineAnnotation(line), 60).x();
        QVERIFY2(x < r.left() || x > r.right() + 1, qPrintable(QString::number(x)));
    }
}

QTEST_MAIN(GuiGraph)
#include "gui_graph.moc"
