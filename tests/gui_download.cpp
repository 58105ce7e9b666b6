// A memory download from the main window against the simulated meter on a pseudo-terminal: the
// information and progress windows, the data-set list, set 0 on the chart, a row pick showing
// another set, and the unsaved mark.
#include "app/ui/K352Application.h"
#include "app/ui/TfrmMain.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TwoThumbSlider.h"
#include "logger/ui/WindowLoggerUi.h"
#include "sim/PtyMeter.h"
#include "support/RunUntil.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QtTest>

class GuiDownload : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { setMessageResponder({}); }

    void downloadFillsTheDataSetWindow()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        PtyMeter meter;
        QVERIFY2(meter.start(), qPrintable(meter.errorString()));
        TfrmMainOptions o;
        o.systemPorts = false;
        o.extraPorts = {meter.slavePath()};
        TfrmMain w(o);
        w.resize(1200, 800);
        w.show();
        QVERIFY(runUntil([&] { return w.state().Connected; }, 5000));

        QStringList messages;
        setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        });
        int progressTotal = -1, progressSeen = 0;
        QPointer<TfrmScope> progressWindow;
        w.prepareLoggerUi = [&](WindowLoggerUi &ui) {
            ui.onProgress = [&](int received, int total) {
                progressTotal = total;
                progressSeen = received;
                progressWindow = ui.progressWindow();
            };
        };
        QAction *load = w.findChild<QAction *>("LoadData1");
        load->trigger();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(" | ")));

        TfrmGraph *g = w.dataSetGraph();
        QVERIFY(g);
        QCOMPARE(g->role(), GraphRole::DataSet);
        QVERIFY(g->pnlDataSets->isVisibleTo(g));
        QVERIFY(w.store().setCount() >= 3);
        QCOMPARE(g->Grid2->rowCount(), w.store().setCount());
        QCOMPARE(g->Grid2->item(0, 0)->text(), QString("1"));
        QVERIFY(!g->Grid2->item(0, 1)->text().isEmpty());
        // Set 0 on the chart with its statistics and cursors.
        const int count0 = w.store().SetCount.at(0);
        QCOMPARE(g->PESGraph1->Points(), count0);
        QCOMPARE(g->txtDataNo->text(), QString::number(count0));
        QCOMPARE(g->Slider1->Maximum(), count0 - 1);
        QVERIFY(!g->txtMax->text().isEmpty());
        QVERIFY(w.state().DownloadUnsaved);
        QVERIFY(progressTotal > 0);
        QCOMPARE(progressSeen, progressTotal);
        // The progress window is gone when the download has ended.
        QVERIFY(progressWindow.isNull());
        // The live link is back.
        QVERIFY(runUntil([&] { return w.state().Connected && w.state().FrameSeen; }, 3000));

        // Picking the second row shows the second set.
        g->Grid2->setCurrentCell(1, 0);
        g->Grid2->clearSelection();
        g->Grid2->setRangeSelected(QTableWidgetSelectionRange(1, 0, 1, 4), true);
        g->Grid2Click();
        QCOMPARE(g->PESGraph1->Points(), w.store().SetCount.at(1));
        QCOMPARE(g->txtDataNo->text(), QString::number(w.store().SetCount.at(1)));

        // The real-time window closes first and leaves the download unsaved; the exit then asks
        // whether to save it.
        QStringList asked;
        g->ask = [&](const QString &text) {
            asked << text;
            return QMessageBox::No;
        };
        QVERIFY(w.realTimeGraph());
        w.realTimeGraph()->parentWidget()->close();
        QVERIFY(runUntil([&] { return w.realTimeGraph() == nullptr; }, 1000));
        QVERIFY(w.state().DownloadUnsaved);
        QVERIFY(asked.isEmpty());
        QVERIFY(w.close());
        QCOMPARE(asked, QStringList{"Speichern der Messreihe ?"});
        QVERIFY(!w.state().DownloadUnsaved);
    }
};

QTEST_MAIN(GuiDownload)
#include "gui_download.moc"
