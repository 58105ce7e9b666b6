// The real-time graph window in the main window against the simulated meter: opened at start-up
// beside the panel, a recording that ends by itself, the question before a new start, the stop,
// and what closing the window does to Run and Stop.
#include "app/ui/K352Application.h"
#include "app/SystemFormats.h"
#include "app/ui/TfrmMain.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TwoThumbSlider.h"
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

} // namespace

class GuiGraph : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { setMessageResponder({}); }
    void recordingInTheMainWindow();
    void closeQuestionsAndRunStop();
    void chartStatisticsOfAFileWindow();
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
    QVERIFY(!w.state().DownloadUnsaved); // any graph window's close clears it
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
    SharedState state;
    TfrmGraph g(GraphRole::File, state);
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

QTEST_MAIN(GuiGraph)
#include "gui_graph.moc"
