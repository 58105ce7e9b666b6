// The Open and Save commands on screen: the choice dialog, the file dialogs' settings, and the
// operation each chosen name leads to.
#include "app/Catalogue.h"
#include "support/GraphTestState.h"
#include "app/ManualFile.h"
#include "link/LinkState.h"
#include "app/ui/K352Application.h"
#include "app/ui/ManualViewer.h"
#include "data/ui/FileDialog.h"
#include "data/ui/OpenSaveCommands.h"
#include "data/ui/TfrmOpenSave.h"
#include "data/ui/TfrmScope.h"
#include "chart/ui/PESGraph.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/TfrmGraph.h"
#include "support/TextFiles.h"
#include "tables/ui/TfrmDataCapture.h"
#include "tables/ui/TfrmList.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// What the dialogs were given and which operation ran.
struct Recorder {
    QStringList calls;
    QStringList filters;
    QStringList suffixes;
    QStringList folders;
    QStringList answers;  // names the file dialog "chooses", one per use; empty: Cancel

    void attach(OpenSaveCommands &c)
    {
        auto answer = [this](QFileDialog &d) {
            filters << d.nameFilters().join(QLatin1Char('|'));
            suffixes << d.defaultSuffix();
            folders << d.directory().absolutePath();
            calls << (d.acceptMode() == QFileDialog::AcceptSave ? QStringLiteral("save-dialog") : QStringLiteral("open-dialog"));
            if (!d.testOption(QFileDialog::DontUseNativeDialog))
                calls << QStringLiteral("native!");
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        c.OpenDialog1.answer = answer;
        c.SaveDialog1.answer = answer;
        c.actions.openCollection = [this](const QString &n) { calls << QStringLiteral("collection ") + n; };
        c.actions.openGraphFile = [this](const QString &n) { calls << QStringLiteral("graph ") + n; };
        c.actions.readTextTable = [this](const QString &n, char sep) {
            calls << QStringLiteral("table%1 ").arg(sep == ',' ? QStringLiteral(",") : QStringLiteral("\\t")) + n;
        };
        c.actions.readCaptureFile = [this](const QString &n) { calls << QStringLiteral("capture ") + n; };
        c.actions.saveGraphFile = [this](TfrmGraph *, const QString &n) { calls << QStringLiteral("save-graph ") + n; };
        c.actions.saveCollection = [this](const QString &n) { calls << QStringLiteral("save-collection ") + n; };
        c.actions.exportGraphText = [this](TfrmGraph *, const QString &n, char sep) {
            calls << QStringLiteral("graph-text%1 ").arg(sep == ',' ? QStringLiteral(",") : QStringLiteral("\\t")) + n;
        };
    }
};

// Presses OK in the range dialog once it is up (modal), from the event loop.
void acceptRangeWhenShown()
{
    QTimer::singleShot(0, [] {
        auto *scope = qobject_cast<TfrmScope *>(QApplication::activeModalWidget());
        if (!scope) {
            acceptRangeWhenShown();
            return;
        }
        scope->BitBtn1->click();
    });
}

QString manualFileNameForTest()
{
    return manualFileName(QLocale::system().language());
}

} // namespace

class GuiOpenSave : public QObject {
    Q_OBJECT
private slots:
    void choiceDialog();
    void fileDialogSettings();
    void openByChoiceAndExtension();
    void openDefaultExtensionCarriesOver();
    void saveByActiveWindow();
    void saveTableWhateverExtension();
    void graphTextByDefault();
    void exportsThatCannotCreateTheirFileSaySo();
    void helpOpensManualWhenPresent();
};

void GuiOpenSave::choiceDialog()
{
    TfrmOpenSave dialog;
    QVERIFY(dialog.btnOpenCapture->isHidden());
    QCOMPARE(dialog.size(), QSize(359, 244));
    QCOMPARE(dialog.btnOpenSingleSet->geometry(), QRect(24, 64, 305, 33));
    QCOMPARE(dialog.Button1->geometry(), QRect(24, 162, 305, 33));
    QCOMPARE(dialog.Button1->text(), QStringLiteral("Abbrechen"));
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);

    dialog.prepareForOpen(true);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Daten öffnen"));
    QCOMPARE(dialog.btnOpenSets->text(), QStringLiteral("Datei öffnen (*.rec)"));
    QCOMPARE(dialog.btnOpenSingleSet->text(), QStringLiteral("Datei öffnen (*.TXT,*.GHF)"));
    QVERIFY(!dialog.btnOpenCapture->isHidden());
    QCOMPARE(dialog.btnOpenCapture->text(), QStringLiteral("Öffnen CAP Datei"));
    dialog.prepareForOpen(false);
    QCOMPARE(dialog.btnOpenSingleSet->text(), QStringLiteral("Datei öffnen (*.TXT,*.CSV,*.GHF)"));

    // Each button ends the dialog with its result; closing it counts as Cancel.
    const std::pair<QPushButton *, int> buttons[] = {
        {dialog.btnOpenSets, 1}, {dialog.btnOpenSingleSet, 7}, {dialog.btnOpenCapture, 9}, {dialog.Button1, 2}};
    for (const auto &[button, result] : buttons) {
        dialog.open();
        button->click();
        QCOMPARE(dialog.result(), result);
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(TfrmOpenSave::choiceOf(0), OpenChoice::Cancel);
    QCOMPARE(TfrmOpenSave::choiceOf(9), OpenChoice::Capture);
}

void GuiOpenSave::fileDialogSettings()
{
    QTemporaryDir dir;
    FileDialog save(FileDialog::Save);
    save.setup(saveDialogSetup(SaveWindow::OtherGraph, false, dir.path()));
    bool asked = false;
    save.answer = [&](QFileDialog &d) {
        asked = true;
        [&] {
            QVERIFY(d.testOption(QFileDialog::DontUseNativeDialog));
            QCOMPARE(d.acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(!d.testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(d.nameFilters(), saveDialogSetup(SaveWindow::OtherGraph, false, QString()).nameFilters);
            QCOMPARE(d.defaultSuffix(), QStringLiteral("GHF"));
            QCOMPARE(QDir(d.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        }();
        return dir.filePath(QStringLiteral("run"));
    };
    // A name typed without an extension gets the default one.
    QCOMPARE(save.execute(nullptr), dir.filePath(QStringLiteral("run.GHF")));
    QVERIFY(asked);
    // Cancel gives no name.
    save.answer = [](QFileDialog &) { return QString(); };
    QVERIFY(save.execute(nullptr).isEmpty());

    // The open dialog takes any name, also one of a missing file.
    FileDialog open(FileDialog::Open);
    open.setup(openDialogSetup(OpenChoice::Capture, true, dir.path()));
    open.answer = [&](QFileDialog &d) {
        [&] {
            QCOMPARE(d.acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(d.fileMode(), QFileDialog::AnyFile);
            QCOMPARE(d.nameFilters(), QStringList{QStringLiteral("Capture file(*.CAP,only for k352-4) (*.CAP)")});
        }();
        return dir.filePath(QStringLiteral("missing.cap"));
    };
    QCOMPARE(open.execute(nullptr), dir.filePath(QStringLiteral("missing.cap")));
}

void GuiOpenSave::openByChoiceAndExtension()
{
    QWidget main;
    OpenSaveCommands c(&main);
    Recorder r;
    r.attach(c);
    c.userDataFolder = [] { return QDir::tempPath() + QLatin1Char('/'); };
    c.commaDecimal = [] { return true; };
    int choice = 2;
    QStringList buttonTexts;
    c.runChoice = [&](TfrmOpenSave &d) {
        buttonTexts << d.btnOpenSingleSet->text();
        return choice;
    };

    // Cancel in the choice dialog: no file dialog, nothing read.
    c.Open1Click();
    QVERIFY(r.calls.isEmpty());
    QCOMPARE(buttonTexts, QStringList{QStringLiteral("Datei öffnen (*.TXT,*.GHF)")});

    choice = 7;
    r.answers = {QStringLiteral("/d/a.CSV"), QStringLiteral("/d/a.csv.txt"), QStringLiteral("/d/b.Ghf"),
                 QStringLiteral("/d/c.rec"), QString()};
    for (int i = 0; i < 5; ++i)
        c.Open1Click();
    QCOMPARE(r.calls, (QStringList{QStringLiteral("open-dialog"), QStringLiteral("table, /d/a.CSV"),
                                   QStringLiteral("open-dialog"), QStringLiteral("table\\t /d/a.csv.txt"),
                                   QStringLiteral("open-dialog"), QStringLiteral("graph /d/b.Ghf"),
                                   QStringLiteral("open-dialog"), QStringLiteral("open-dialog")}));
    // With a comma as decimal separator the single-file filter offers no CSV, yet a CSV name reads.
    QVERIFY(!r.filters.first().contains(QLatin1String("CSV")));
    QCOMPARE(r.folders.first(), QDir(QDir::tempPath()).absolutePath());

    // A capture file whatever its extension; a collection file whatever its extension.
    r.calls.clear();
    choice = 9;
    r.answers = {QStringLiteral("/d/values.txt")};
    c.Open1Click();
    choice = 1;
    r.answers = {QStringLiteral("/d/sets.bin")};
    c.Open1Click();
    QCOMPARE(r.calls, (QStringList{QStringLiteral("open-dialog"), QStringLiteral("capture /d/values.txt"),
                                   QStringLiteral("open-dialog"), QStringLiteral("collection /d/sets.bin")}));
    QCOMPARE(r.filters.last(), QStringLiteral("Data Sets Collection (*.REC)"));
}

void GuiOpenSave::openDefaultExtensionCarriesOver()
{
    QWidget main;
    OpenSaveCommands c(&main);
    Recorder r;
    r.attach(c);
    int choice = 7;
    c.runChoice = [&](TfrmOpenSave &) { return choice; };
    c.commaDecimal = [] { return false; };

    // At first a name typed without extension becomes a graph file.
    r.answers = {QStringLiteral("/d/run")};
    c.Open1Click();
    QCOMPARE(r.calls.last(), QStringLiteral("graph /d/run.ghf"));
    // After a collection was opened the open dialog's default extension is "REC", also for the
    // single-file choice, whose name then reads nothing.
    choice = 1;
    r.answers = {QStringLiteral("/d/sets")};
    c.Open1Click();
    QCOMPARE(r.calls.last(), QStringLiteral("collection /d/sets.REC"));
    choice = 7;
    r.answers = {QStringLiteral("/d/run")};
    r.calls.clear();
    c.Open1Click();
    QCOMPARE(r.calls, QStringList{QStringLiteral("open-dialog")});
    QCOMPARE(r.suffixes.last(), QStringLiteral("REC"));
    // Without a user data folder the dialog starts in the program's folder.
    QCOMPARE(r.folders.last(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
}

void GuiOpenSave::saveByActiveWindow()
{
    QWidget main;
    OpenSaveCommands c(&main);
    Recorder r;
    r.attach(c);
    c.commaDecimal = [] { return true; };
    GraphTestState state;

    // No active window, or the control panel-like other window: no dialog.
    QCOMPARE(c.Save1Click(nullptr), SaveOperation::None);
    QWidget other;
    QCOMPARE(c.Save1Click(&other), SaveOperation::None);
    QVERIFY(r.calls.isEmpty());

    // The data-set graph window: its caption decides, whatever the window's role.
    TfrmGraph dataSet(GraphRole::File, state, state);
    dataSet.setWindowTitle(QStringLiteral("Messdatenreihe"));
    r.answers = {QStringLiteral("/d/a.csv"), QStringLiteral("/d/a.REC"), QStringLiteral("/d/a.txt"), QStringLiteral("/d/a")};
    QCOMPARE(c.Save1Click(&dataSet), SaveOperation::None);
    QCOMPARE(c.Save1Click(&dataSet), SaveOperation::Collection);
    QCOMPARE(c.Save1Click(&dataSet), SaveOperation::GraphTextTab);
    // A name without extension gets "REC".
    QCOMPARE(c.Save1Click(&dataSet), SaveOperation::Collection);
    QCOMPARE(r.calls, (QStringList{QStringLiteral("save-dialog"), QStringLiteral("save-dialog"),
                                   QStringLiteral("save-collection /d/a.REC"), QStringLiteral("save-dialog"),
                                   QStringLiteral("graph-text\\t /d/a.txt"), QStringLiteral("save-dialog"),
                                   QStringLiteral("save-collection /d/a.REC")}));
    QVERIFY(r.filters.first().startsWith(QLatin1String("Data Set Collection file(*.rec,only for k352-4) (*.REC)|")));
    QCOMPARE(r.suffixes.first(), QStringLiteral("REC"));

    // Another graph window: ".CSV" writes comma text although the comma filter was not offered.
    r.calls.clear();
    r.filters.clear();
    TfrmGraph fileGraph(GraphRole::File, state, state);
    fileGraph.setWindowTitle(QStringLiteral("/d/Messdatenreihe.ghf"));
    r.answers = {QStringLiteral("/d/b.CSV"), QStringLiteral("/d/b.ghf"), QStringLiteral("/d/b.rec")};
    QCOMPARE(c.Save1Click(&fileGraph), SaveOperation::GraphTextComma);
    QCOMPARE(c.Save1Click(&fileGraph), SaveOperation::GraphFile);
    QCOMPARE(c.Save1Click(&fileGraph), SaveOperation::None);
    QCOMPARE(r.calls, (QStringList{QStringLiteral("save-dialog"), QStringLiteral("graph-text, /d/b.CSV"),
                                   QStringLiteral("save-dialog"), QStringLiteral("save-graph /d/b.ghf"),
                                   QStringLiteral("save-dialog")}));
    QVERIFY(!r.filters.first().contains(QLatin1String("CSV")));
    QCOMPARE(r.suffixes.last(), QStringLiteral("GHF"));

    // Cancel: nothing.
    r.calls.clear();
    QCOMPARE(c.Save1Click(&fileGraph), SaveOperation::None);
    QCOMPARE(r.calls, QStringList{QStringLiteral("save-dialog")});
}

void GuiOpenSave::saveTableWhateverExtension()
{
    LocaleScope scope{QLocale(QStringLiteral("de_DE"))};
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    putFile(in, "31.12.2010\t14:00:10\t50,0\r\n31.12.2010\t14:00:11\t51,0\r\n");
    std::unique_ptr<TfrmList> list(TfrmList::readTextFile(in, '\t'));
    QVERIFY(list);

    QWidget main;
    OpenSaveCommands c(&main);
    QStringList suffixes;
    QString answer = dir.filePath(QStringLiteral("out.cap"));
    c.SaveDialog1.answer = [&](QFileDialog &d) {
        suffixes << d.defaultSuffix();
        return answer;
    };
    // A table window saved under ".cap" writes the tab-separated table text under that name.
    acceptRangeWhenShown();
    QCOMPARE(c.Save1Click(list.get()), SaveOperation::TableText);
    QCOMPARE(fileBytes(answer), QByteArray("31.12.2010\t14:00:10\t50,0\t\t\t\t\r\n31.12.2010\t14:00:11\t51,0\t\t\t\t\r\n"));
    QCOMPARE(suffixes, QStringList{QStringLiteral("TXT")});

    // The single-values window: a capture file of 99 lines under any name; "CAP" appended.
    TfrmDataCapture values;
    answer = dir.filePath(QStringLiteral("values"));
    QCOMPARE(c.Save1Click(&values), SaveOperation::CaptureText);
    QCOMPARE(fileBytes(answer + QStringLiteral(".CAP")).count('\n'), 99);
    QCOMPARE(suffixes.last(), QStringLiteral("CAP"));
}

void GuiOpenSave::graphTextByDefault()
{
    // Without a replacement, the graph text export writes the chart's points; a point whose level
    // was never written reads 0, and a point with time 0 ends the file.
    LocaleScope scope{QLocale(QStringLiteral("en_US"))};
    GraphTestState state;
    TfrmGraph graph(GraphRole::File, state, state);
    const TDateTime t0 = dateTimeOf(2010, 12, 31, 14, 5, 30, 5);
    const TDateTime t1 = dateTimeOf(2010, 12, 31, 14, 5, 30, 250);
    PrepareChart(graph.PESGraph1, 1, 130, 30, t1, t0, 4);
    graph.PESGraph1->setXDataII(0, 0, t0);
    graph.PESGraph1->setYData(0, 0, 56.7f);
    graph.PESGraph1->setXDataII(0, 1, t1);
    graph.PESGraph1->setXDataII(0, 3, t1);
    graph.PESGraph1->setYData(0, 3, 60.0f);

    QTemporaryDir dir;
    QWidget main;
    OpenSaveCommands c(&main);
    c.commaDecimal = [] { return false; };
    const QString name = dir.filePath(QStringLiteral("g.CSV"));
    c.SaveDialog1.answer = [&](QFileDialog &) { return name; };
    acceptRangeWhenShown();
    QCOMPARE(c.Save1Click(&graph), SaveOperation::GraphTextComma);
    QCOMPARE(fileBytes(name), QByteArray("12/31/2010,14:05:30.5,56.7\r\n12/31/2010,14:05:30.250,0.0\r\n"));
}

void GuiOpenSave::exportsThatCannotCreateTheirFileSaySo()
{
    // Graph text, table text and capture exports into a folder that does not exist: each says so
    // and the save is marked as failed.
    QStringList messages;
    setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
        messages << text;
        return QMessageBox::Ok;
    });
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("missing/"));
    QWidget main;
    OpenSaveCommands c(&main);
    QString name;
    c.SaveDialog1.answer = [&](QFileDialog &) { return name; };

    GraphTestState state;
    TfrmGraph graph(GraphRole::File, state, state);
    PrepareChart(graph.PESGraph1, 1, 130, 30, 40000.1, 40000.0, 1);
    graph.PESGraph1->setXDataII(0, 0, 40000.05);
    graph.PESGraph1->setYData(0, 0, 50.0f);
    TfrmDataCapture values;
    std::unique_ptr<TfrmList> list(new TfrmList);
    for (QWidget *window : std::initializer_list<QWidget *>{&graph, list.get(), &values}) {
        messages.clear();
        name = folder + QStringLiteral("out.txt");
        if (window != &values)
            acceptRangeWhenShown();
        QVERIFY(c.Save1Click(window) != SaveOperation::None);
        QVERIFY(c.lastSaveFailed());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("out.txt")), qPrintable(messages[0]));
    }
    setMessageResponder({});
}

void GuiOpenSave::helpOpensManualWhenPresent()
{
    // Without the instrument's manual, Help opens the program's own manual that the build puts
    // beside the program; the instrument's manual of the system language (English under the
    // tests' C locale), here in the user data folder, comes first when it is there.
    QTemporaryDir dir;
    QStringList opened;
    auto open = [&](const QString &f) { opened << f; };
    const ManualLookup own = openManual(dir.path(), open);
    QCOMPARE(own.file, QCoreApplication::applicationDirPath() + QStringLiteral("/Instruction Manual/k352_4-manual-en.html"));
    QVERIFY(QFile(own.file).size() > 1000);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Instruction Manual"))));
    const QString manual = dir.filePath(QStringLiteral("Instruction Manual/")) + manualFileNameForTest();
    QVERIFY(putFile(manual, "%PDF-1.4\n"));
    QCOMPARE(openManual(dir.path(), open).file, manual);
    QCOMPARE(opened, (QStringList{own.file, manual}));
    // Where nothing is found, the message names every place looked at.
    const QString text = manualMissingText(own.searched, true);
    QVERIFY(text.startsWith(QStringLiteral("Die Bedienungsanleitung wurde nicht gefunden.")));
    for (const QString &place : own.searched)
        QVERIFY(text.contains(place));
}

int main(int argc, char **argv)
{
    K352Application app(argc, argv);
    GuiOpenSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "gui_opensave.moc"
