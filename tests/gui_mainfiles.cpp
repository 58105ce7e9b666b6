// The main window's file commands with their windows: a collection file into the data-set window
// (and one that does not parse leaving it alone), a graph file into a new window (and a broken one
// giving a message and no window), a table read and turned into a graph, tiling.
#include "app/ui/K352Application.h"
#include "app/ui/TfrmMain.h"
#include "app/ui/Workspace.h"
#include "panel/ui/TfrmPanel.h"
#include "chart/ui/PESGraph.h"
#include "data/WorkingCopy.h"
#include "graph/GraphFile.h"
#include "graph/StatisticsExport.h"
#include "graph/ui/TfrmGraph.h"
#include "support/ImageBuilder.h"
#include "graph/ui/TwoThumbSlider.h"
#include "tables/ui/TfrmList.h"
#include "support/QuietMain.h"
#include "support/RunUntil.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<TfrmGraph *> graphWindows(TfrmMain &w, GraphRole role)
{
    QList<TfrmGraph *> out;
    for (QMdiSubWindow *sub : w.workspace()->subWindowList()) {
        if (auto *g = qobject_cast<TfrmGraph *>(sub->widget()); g && g->role() == role)
            out << g;
    }
    return out;
}

} // namespace

class GuiMainFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_messages;

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_messages.clear();
        setMessageResponder([this](const QString &text, QMessageBox::StandardButtons) {
            m_messages << text;
            return QMessageBox::Ok;
        });
    }
    void cleanup() { setMessageResponder({}); }

    void collectionFileIntoTheDataSetWindow()
    {
        TfrmMain w(quietOptions());
        w.state().UserDataFolder = m_dir.path() + "/data/";
        QVERIFY(QDir().mkpath(w.state().UserDataFolder));
        ImageBuilder b;
        ImageSet one;
        one.values = ramp(30);
        b.add(one);
        ImageSet two;
        two.values = ramp(12, 700);
        two.flags = 0x00;
        b.add(two);
        const QString good = m_dir.filePath("two.rec");
        writeFile(good, b.finish());
        w.openSave().actions.openCollection(good);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
        TfrmGraph *g = w.dataSetGraph();
        QVERIFY(g);
        QCOMPARE(g->Grid2->rowCount(), 2);
        QCOMPARE(g->Grid2->item(1, 5)->text(), QString("C"));
        QCOMPARE(g->PESGraph1->Points(), 30);
        QVERIFY(!w.state().DownloadUnsaved);

        // A file that does not parse leaves the collection on screen and says so.
        ImageBuilder empty;
        const QString bad = m_dir.filePath("none.rec");
        writeFile(bad, empty.finish(0));
        w.openSave().actions.openCollection(bad);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains("none.rec"));
        QCOMPARE(w.store().setCount(), 2);
        QCOMPARE(g->Grid2->rowCount(), 2);
        QCOMPARE(g->PESGraph1->Points(), 30);
        QCOMPARE(graphWindows(w, GraphRole::DataSet).size(), 1);
    }

    // Save writes the collection on screen, whatever the working copy holds; a save that cannot
    // write says so, keeps the unsaved mark, and keeps the window open when asked on closing.
    void savingTheCollectionOnScreen()
    {
        TfrmMain w(quietOptions());
        w.state().UserDataFolder = m_dir.path() + "/save/";
        QVERIFY(QDir().mkpath(w.state().UserDataFolder));
        ImageBuilder shown;
        ImageSet set;
        set.values = ramp(30);
        shown.add(set);
        const QByteArray image = shown.finish();
        const QString opened = m_dir.filePath("shown.rec");
        writeFile(opened, image);
        w.openSave().actions.openCollection(opened);
        QCOMPARE(w.store().setCount(), 1);

        // Another memory in the working copy, as a later download that did not parse leaves it.
        const QString copy = workingCopyPath(workingCopyFolder(w.state().UserDataFolder, QString()));
        ImageBuilder other;
        set.values = ramp(7);
        other.add(set);
        other.add(set);
        QVERIFY(writeWorkingCopy(other.finish(), copy));

        w.state().DownloadUnsaved = true;
        const QString target = m_dir.filePath("saved.rec");
        w.openSave().actions.saveCollection(target);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
        QCOMPARE(readFile(target), workingCopyBytes(image));
        QVERIFY(!w.state().DownloadUnsaved);

        w.state().DownloadUnsaved = true;
        const QString nowhere = m_dir.filePath("missing/folder/x.rec");
        w.openSave().actions.saveCollection(nowhere);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains("x.rec"));
        QVERIFY(w.state().DownloadUnsaved);

        TfrmGraph *g = w.dataSetGraph();
        QVERIFY(g);
        w.workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(g->parentWidget()));
        w.openSave().SaveDialog1.answer = [&](QFileDialog &) { return nowhere; };
        g->ask = [](const QString &) { return QMessageBox::Yes; };
        QVERIFY(!g->FormCloseQuery());
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(w.state().DownloadUnsaved);
        w.openSave().SaveDialog1.answer = [&](QFileDialog &) { return target; };
        QVERIFY(g->FormCloseQuery());
    }

    // k352 a.rec missing.rec b.ghf: after the start-up (here one that finds no meter) both files are
    // open, and the missing one was named in a message of its own.
    void filesNamedAtStartOpenInOrder()
    {
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", m_dir.path().toLocal8Bit());
        ImageBuilder b;
        ImageSet one;
        one.values = ramp(25);
        b.add(one);
        const QString rec = m_dir.filePath("a.rec");
        writeFile(rec, b.finish());
        ChartState chart;
        chart.data.setSubsets(1);
        chart.data.setPoints(2);
        chart.data.setXDataII(0, 0, 46000.5);
        chart.data.setXDataII(0, 1, 46000.6);
        chart.look.mainTitle = "From the command line";
        const QString ghf = m_dir.filePath("b.ghf");
        QCOMPARE(saveGraphFile(chart, ghf).outcome, GraphFileResult::Ok);

        TfrmMainOptions o;
        o.systemPorts = false;
        o.extraPorts = {"/dev/k352-no-such-port"};
        o.files = {rec, m_dir.filePath("missing.rec"), ghf};
        TfrmMain w(o);
        w.show();
        QVERIFY(runUntil([&] { return m_messages.size() >= 2 && !graphWindows(w, GraphRole::File).isEmpty(); }, 8000));
        qputenv("HOME", oldHome);
        QCOMPARE(m_messages.size(), 2);  // no meter, then the missing file
        QVERIFY2(m_messages[1].contains("missing.rec") && m_messages[1].contains("nicht"), qPrintable(m_messages[1]));
        QVERIFY(w.dataSetGraph());
        QCOMPARE(w.store().setCount(), 1);
        QCOMPARE(w.dataSetGraph()->PESGraph1->Points(), 25);
        QCOMPARE(graphWindows(w, GraphRole::File).size(), 1);
        QCOMPARE(graphWindows(w, GraphRole::File)[0]->PESGraph1->state().look.mainTitle, QString("From the command line"));
        QVERIFY(w.realTimeGraph());
        QVERIFY(w.close());
    }

    void graphFileIntoANewWindow()
    {
        TfrmMain w(quietOptions());
        ChartState state;
        state.data.setSubsets(1);
        state.data.setPoints(3);
        for (int i = 0; i < 3; ++i) {
            state.data.setXDataII(0, i, 46000.5 + i / 86400.0);
            state.data.setYData(0, i, 60.0f + i);
        }
        state.look.mainTitle = "Kept";
        const QString path = m_dir.filePath("chart.ghf");
        QCOMPARE(saveGraphFile(SaveChartState(state), path).outcome, GraphFileResult::Ok);
        w.openSave().actions.openGraphFile(path);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
        QList<TfrmGraph *> files = graphWindows(w, GraphRole::File);
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0]->windowTitle(), path);
        QCOMPARE(files[0]->PESGraph1->Points(), 3);
        QCOMPARE(files[0]->PESGraph1->MainTitle(), QString("Kept"));
        QCOMPARE(files[0]->txtDataNo->text(), QString("3"));

        // A length field larger than the file: a message and no window.
        const QString broken = m_dir.filePath("broken.ghf");
        writeFile(broken, QByteArray("\xff\xff\x00\x00KCHS", 8));
        w.openSave().actions.openGraphFile(broken);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(graphWindows(w, GraphRole::File).size(), 1);
    }

    // A chart saved mid-recording: the points not yet recorded count as level 0 in every field
    // and in the export, never as "nan". A state without subsets is refused; a window whose chart
    // has none anyway shows no readings.
    void graphFilesWithoutReadingsOrSubsets()
    {
        TfrmMain w(quietOptions());
        ChartState state;
        state.data.setPoints(6);
        for (int i = 0; i < 3; ++i) {
            state.data.setXDataII(0, i, 46000.5 + i / 86400.0);
            state.data.setYData(0, i, 60.0f + float(i));
        }
        const QString midway = m_dir.filePath("midway.ghf");
        QCOMPARE(saveGraphFile(SaveChartState(state), midway).outcome, GraphFileResult::Ok);
        w.openSave().actions.openGraphFile(midway);
        QList<TfrmGraph *> files = graphWindows(w, GraphRole::File);
        QCOMPARE(files.size(), 1);
        TfrmGraph *g = files[0];
        QCOMPARE(g->txtAvgAll->text(), QString("30.5"));
        QCOMPARE(g->txtMin->text(), QString("0.0"));
        g->Slider1->setValue1(0);
        QCOMPARE(g->Slider1->Value2(), 4);
        QCOMPARE(g->txtAvgAB->text(), QString("36.6"));
        QCOMPARE(g->txtMinAB->text(), QString("0.0"));
        const QString text = statisticsExportText(g->statisticsFields(), g->PESGraph1->state().data);
        QVERIFY2(!text.contains("nan", Qt::CaseInsensitive), qPrintable(text));

        ChartState none;
        none.data.setSubsets(0);
        none.data.setPoints(ChartData::kMaxPoints);
        const QString noSubsets = m_dir.filePath("nosubsets.ghf");
        QCOMPARE(saveGraphFile(SaveChartState(none), noSubsets).outcome, GraphFileResult::Ok);
        w.openSave().actions.openGraphFile(noSubsets);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(graphWindows(w, GraphRole::File).size(), 1);

        g->PESGraph1->setSubsets(0);
        g->Slider1->setValue2(3);
        g->ShowChartStatistics();
        QCOMPARE(g->txtDataNo->text(), QString("0"));
        QCOMPARE(g->txtLeq->text(), QString());
    }

    void cancelledExitClosesNothing()
    {
        TfrmMain w(quietOptions());
        w.state().UserDataFolder = m_dir.path() + "/exit/";
        QVERIFY(QDir().mkpath(w.state().UserDataFolder));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Panel, an unsaved download, a table and an unsaved recording.
        w.ControlPanel1Click();
        ImageBuilder b;
        ImageSet one;
        one.values = ramp(20);
        b.add(one);
        const QString rec = m_dir.filePath("exit.rec");
        writeFile(rec, b.finish());
        w.openSave().actions.openCollection(rec);
        w.state().DownloadUnsaved = true;
        const QString txt = m_dir.filePath("exit.txt");
        writeFile(txt, "12/09/2026\t14:05:30.5\t61.5\r\n");
        w.openSave().actions.readTextTable(txt, '\t');
        w.RealTimeGraph1Click();
        w.state().RealTimeUnsaved = true;
        TfrmGraph *dataSet = w.dataSetGraph();
        TfrmGraph *realTime = w.realTimeGraph();
        QVERIFY(dataSet && realTime && w.panel() && w.findChild<TfrmList *>());
        const int windows = int(w.workspace()->subWindowList().size());
        QCOMPARE(windows, 4);

        QStringList asked;
        QMessageBox::StandardButton realTimeAnswer = QMessageBox::Cancel;
        dataSet->ask = [&](const QString &text) {
            asked << text;
            return QMessageBox::No;
        };
        realTime->ask = [&](const QString &text) {
            asked << text;
            return realTimeAnswer;
        };
        // The download's question is answered, the recording's cancelled: every window stays.
        w.Exit1Click();
        QCOMPARE(asked, (QStringList{"Speichern der Messreihe ?", "Onlinemessung speichern"}));
        QVERIFY(w.isVisible());
        QCOMPARE(int(w.workspace()->subWindowList().size()), windows);
        for (QMdiSubWindow *sub : w.workspace()->subWindowList())
            QVERIFY2(sub->isVisible(), qPrintable(sub->windowTitle()));
        QVERIFY(w.panel() && w.dataSetGraph() && w.realTimeGraph());
        QVERIFY(w.state().DownloadUnsaved && w.state().RealTimeUnsaved);

        // Both answered No: each question once, and everything closes.
        asked.clear();
        realTimeAnswer = QMessageBox::No;
        w.Exit1Click();
        QCOMPARE(asked, (QStringList{"Speichern der Messreihe ?", "Onlinemessung speichern"}));
        QVERIFY(!w.isVisible());
    }

    void tableIntoAGraphAndTiling()
    {
        TfrmMain w(quietOptions());
        w.resize(1000, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QString path = m_dir.filePath("table.txt");
        writeFile(path, "12/09/2026\t14:05:30.5\t61.5\r\n"
                        "12/09/2026\t14:05:31.5\t62.5\r\n"
                        "12/09/2026\t14:05:32.5\t63.5\r\n");
        w.openSave().actions.readTextTable(path, '\t');
        auto *list = w.findChild<TfrmList *>();
        QVERIFY(list);
        auto *out = w.findChild<QToolButton *>("btnOutputToGraph");
        QVERIFY(out->isEnabled());
        w.workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(list->parentWidget()));
        w.btnOutputToGraphClick();
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
        QList<TfrmGraph *> files = graphWindows(w, GraphRole::File);
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0]->PESGraph1->Points(), 3);
        QCOMPARE(files[0]->PESGraph1->YData(0, 2), 63.5f);
        QVERIFY(files[0]->PESGraph1->XDataII(0, 1) > files[0]->PESGraph1->XDataII(0, 0));

        // A graph window becoming the active child switches "Output Tabular to graph" off, the
        // table switches it on again.
        w.workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(list->parentWidget()));
        QTRY_VERIFY(out->isEnabled());
        w.workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(files[0]->parentWidget()));
        QTRY_VERIFY(!out->isEnabled());

        // Tiling: one below the other, as wide as the workspace, filling its height, each window
        // at least as large as its fields need.
        w.Tile1Click();
        QRect all;
        auto checkTiled = [&] {
            all = QRect();
            QList<QRect> placed;
            for (QMdiSubWindow *sub : w.workspace()->subWindowList()) {
                if (!sub->isVisible())
                    continue;
                QVERIFY2(sub->height() >= sub->minimumSizeHint().height(), qPrintable(sub->windowTitle()));
                QVERIFY(sub->width() >= sub->minimumSizeHint().width());
                for (const QRect &other : std::as_const(placed))
                    QVERIFY2(!other.intersects(sub->geometry()), qPrintable(sub->windowTitle()));
                placed << sub->geometry();
                all = all.united(sub->geometry());
            }
        };
        checkTiled();
        QCOMPARE(all, QRect(QPoint(0, 0), w.workspace()->viewport()->size()));

        // At 1280×720 with the panel and the real-time graph as well the windows no longer fit:
        // they keep their sizes, the panel at the left, and the workspace scrolls down to the last.
        w.ControlPanel1Click();
        w.RealTimeGraph1Click();
        w.resize(1280, 720);
        w.Tile1Click();
        QTRY_VERIFY(w.workspace()->verticalScrollBar()->isVisible());
        checkTiled();
        QCOMPARE(w.panel()->parentWidget()->pos(), QPoint(0, 0));
        QCOMPARE(all.topLeft(), QPoint(0, 0));
        QCOMPARE(all.width(), w.workspace()->viewport()->width());
        QCOMPARE(w.workspace()->verticalScrollBar()->maximum(), all.height() - w.workspace()->viewport()->height());
        QCOMPARE(shareHeights(600, {100, 400, 50}), (std::vector<int>{100, 400, 100}));
        QCOMPARE(shareHeights(300, {100, 400}), (std::vector<int>{100, 400}));
    }
};

QTEST_MAIN(GuiMainFiles)
#include "gui_mainfiles.moc"
