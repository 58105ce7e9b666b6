// The Open and Save commands' decisions: operation by extension, filters, default extensions and
// initial folders.
#include "data/OpenSaveRules.h"

#include <QtTest>

class TestOpenSaveRules : public QObject {
    Q_OBJECT
private slots:
    void extensions();
    void openByExtension();
    void saveChoicesByWindowAndExtension();
    void windowKinds();
    void filterTexts();
    void qtFilterSyntax();
    void dialogSetups();
    void defaultExtensionAppended();
};

void TestOpenSaveRules::extensions()
{
    QCOMPARE(fileExtension(QStringLiteral("/a/b/data.CSV")), QStringLiteral(".csv"));
    QCOMPARE(fileExtension(QStringLiteral("/a/b/data.csv.txt")), QStringLiteral(".txt"));
    QCOMPARE(fileExtension(QStringLiteral("/a/b.d/data")), QString());
    QCOMPARE(fileExtension(QStringLiteral("data")), QString());
    QCOMPARE(fileExtension(QStringLiteral("data.")), QStringLiteral("."));
    QCOMPARE(fileExtension(QStringLiteral("/x/.csv")), QStringLiteral(".csv"));
}

void TestOpenSaveRules::openByExtension()
{
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.GHF")), OpenOperation::GraphFile);
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.ghf")), OpenOperation::GraphFile);
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.CSV")), OpenOperation::TextTableComma);
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.csv.txt")), OpenOperation::TextTableTab);
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.Txt")), OpenOperation::TextTableTab);
    QCOMPARE(singleFileOperation(QStringLiteral("/d/a.txt.csv")), OpenOperation::TextTableComma);
    for (const char *name : {"/d/a.rec", "/d/a.cap", "/d/a", "/d.csv/a", "/d/a.ghfx", "/d/acsv"})
        QVERIFY2(singleFileOperation(QString::fromLatin1(name)) == OpenOperation::None, name);

    // Collections and capture files are read whatever their name; Cancel reads nothing.
    QCOMPARE(openOperation(OpenChoice::Collection, QStringLiteral("/d/a.txt")), OpenOperation::Collection);
    QCOMPARE(openOperation(OpenChoice::Capture, QStringLiteral("/d/a.ghf")), OpenOperation::Capture);
    QCOMPARE(openOperation(OpenChoice::Capture, QStringLiteral("/d/noext")), OpenOperation::Capture);
    QCOMPARE(openOperation(OpenChoice::SingleFile, QStringLiteral("/d/a.CSV")), OpenOperation::TextTableComma);
    QCOMPARE(openOperation(OpenChoice::SingleFile, QStringLiteral("/d/a.rec")), OpenOperation::None);
    QCOMPARE(openOperation(OpenChoice::Cancel, QStringLiteral("/d/a.ghf")), OpenOperation::None);
}

void TestOpenSaveRules::saveChoicesByWindowAndExtension()
{
    using W = SaveWindow;
    using S = SaveOperation;
    struct Case {
        W window;
        const char *name;
        S op;
    };
    const Case cases[] = {
        // The data-set graph window: graph file, collection, tab text; CSV writes nothing.
        {W::DataSetGraph, "/d/a.ghf", S::GraphFile},
        {W::DataSetGraph, "/d/a.GHF", S::GraphFile},
        {W::DataSetGraph, "/d/a.rec", S::Collection},
        {W::DataSetGraph, "/d/a.Rec", S::Collection},
        {W::DataSetGraph, "/d/a.txt", S::GraphTextTab},
        {W::DataSetGraph, "/d/a.csv", S::None},
        {W::DataSetGraph, "/d/a.CSV", S::None},
        {W::DataSetGraph, "/d/a.cap", S::None},
        {W::DataSetGraph, "/d/a", S::None},
        // Other graph windows: graph file, tab or comma text; no collection.
        {W::OtherGraph, "/d/a.ghf", S::GraphFile},
        {W::OtherGraph, "/d/a.TXT", S::GraphTextTab},
        {W::OtherGraph, "/d/a.CSV", S::GraphTextComma},
        {W::OtherGraph, "/d/a.csv.txt", S::GraphTextTab},
        {W::OtherGraph, "/d/a.txt.csv", S::GraphTextComma},
        {W::OtherGraph, "/d/a.rec", S::None},
        {W::OtherGraph, "/d/a", S::None},
        // Tables and single values: their export whatever the name.
        {W::Table, "/d/a.cap", S::TableText},
        {W::Table, "/d/a.CSV", S::TableText},
        {W::Table, "/d/a", S::TableText},
        {W::SingleValues, "/d/a.txt", S::CaptureText},
        {W::SingleValues, "/d/a.ghf", S::CaptureText},
        // No window or another window: nothing.
        {W::None, "/d/a.txt", S::None},
        {W::Other, "/d/a.ghf", S::None},
    };
    for (const Case &c : cases)
        QVERIFY2(saveOperation(c.window, QString::fromLatin1(c.name)) == c.op, c.name);
}

void TestOpenSaveRules::windowKinds()
{
    QCOMPARE(saveWindowFor(ChildClass::Graph, QStringLiteral("Messdatenreihe")), SaveWindow::DataSetGraph);
    // Only the exact caption counts; a file graph window keeps its file name as caption.
    QCOMPARE(saveWindowFor(ChildClass::Graph, QStringLiteral("messdatenreihe")), SaveWindow::OtherGraph);
    QCOMPARE(saveWindowFor(ChildClass::Graph, QStringLiteral("/home/u/Messdatenreihe.ghf")), SaveWindow::OtherGraph);
    QCOMPARE(saveWindowFor(ChildClass::Graph, QStringLiteral("Onlinemessung")), SaveWindow::OtherGraph);
    QCOMPARE(saveWindowFor(ChildClass::List, QStringLiteral("Messdatenreihe")), SaveWindow::Table);
    QCOMPARE(saveWindowFor(ChildClass::DataCapture, QStringLiteral("Datenaufzeichnung")), SaveWindow::SingleValues);
    QCOMPARE(saveWindowFor(ChildClass::Other, QString()), SaveWindow::Other);
    QCOMPARE(saveWindowFor(ChildClass::None, QString()), SaveWindow::None);
}

void TestOpenSaveRules::filterTexts()
{
    const QString graphText = QStringLiteral(
        "Graph file(*.ghf,only for k352-4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT");
    const QString graphTextCsv = graphText + QStringLiteral("|EXCEL file format(*.CSV,seperated by comma)|*.CSV");
    for (bool comma : {true, false}) {
        QCOMPARE(openFilter(OpenChoice::Collection, comma), QStringLiteral("Data Sets Collection (*.REC)|*.REC"));
        QCOMPARE(openFilter(OpenChoice::Capture, comma), QStringLiteral("Capture file(*.CAP,only for k352-4)|*.CAP"));
        QCOMPARE(saveFilter(SaveWindow::DataSetGraph, comma),
                 QStringLiteral("Data Set Collection file(*.rec,only for k352-4)|*.REC|") + graphText);
        QVERIFY(saveFilter(SaveWindow::Other, comma).isEmpty());
        QVERIFY(saveFilter(SaveWindow::None, comma).isEmpty());
    }
    // With a comma as decimal separator no list offers CSV.
    QCOMPARE(openFilter(OpenChoice::SingleFile, true), graphText);
    QCOMPARE(openFilter(OpenChoice::SingleFile, false), graphTextCsv);
    QCOMPARE(saveFilter(SaveWindow::OtherGraph, true), graphText);
    QCOMPARE(saveFilter(SaveWindow::OtherGraph, false), graphTextCsv);
    QCOMPARE(saveFilter(SaveWindow::Table, true), QStringLiteral(" TXT file(*.txt,data seperated by tab)|*.TXT"));
    QCOMPARE(saveFilter(SaveWindow::Table, false),
             QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT|EXCEL file format(*.csv,seperated by comma) |*.CSV"));
    QCOMPARE(saveFilter(SaveWindow::SingleValues, true),
             QStringLiteral(" CAP file(*.CAP)|*.CAP|TXT file(*.txt,data seperated by tab)|*.TXT|"));
    QCOMPARE(saveFilter(SaveWindow::SingleValues, false),
             QStringLiteral(" CAP file(*.CAP)|*.CAP|TXT file(*.txt,data seperated by tab)|*.TXT|EXCEL file "
                            "format(*.CSV,seperated by comma)|*.CSV"));
}

void TestOpenSaveRules::qtFilterSyntax()
{
    // Descriptions keep every character; the pattern follows in parentheses, where Qt looks for it.
    QCOMPARE(qtNameFilters(saveFilter(SaveWindow::OtherGraph, false)),
             (QStringList{QStringLiteral("Graph file(*.ghf,only for k352-4) (*.GHF)"),
                          QStringLiteral("TXT file(*.txt,data seperated by tab) (*.TXT)"),
                          QStringLiteral("EXCEL file format(*.CSV,seperated by comma) (*.CSV)")}));
    QCOMPARE(qtNameFilters(saveFilter(SaveWindow::Table, false)),
             (QStringList{QStringLiteral("TXT file(*.txt,data seperated by tab) (*.TXT)"),
                          QStringLiteral("EXCEL file format(*.csv,seperated by comma)  (*.CSV)")}));
    // A description that names its own pattern already is the Qt filter; the trailing bar adds none.
    QCOMPARE(qtNameFilters(openFilter(OpenChoice::Collection, true)), QStringList{QStringLiteral("Data Sets Collection (*.REC)")});
    QCOMPARE(qtNameFilters(saveFilter(SaveWindow::SingleValues, true)),
             (QStringList{QStringLiteral(" CAP file(*.CAP)"), QStringLiteral("TXT file(*.txt,data seperated by tab) (*.TXT)")}));
    QCOMPARE(qtNameFilters(QStringLiteral("Both|*.a;*.b")), QStringList{QStringLiteral("Both (*.a *.b)")});
    QCOMPARE(qtNameFilters(QStringLiteral("All|")), QStringList{QStringLiteral("All (*)")});
    QVERIFY(qtNameFilters(QString()).isEmpty());
}

void TestOpenSaveRules::dialogSetups()
{
    const QString folder = initialFolder(QStringLiteral("/home/u/Documents/k352_4/"), QStringLiteral("/opt/k352"));
    QCOMPARE(folder, QStringLiteral("/home/u/Documents/k352_4/"));
    QCOMPARE(initialFolder(QString(), QStringLiteral("/opt/k352")), QStringLiteral("/opt/k352"));

    FileDialogSetup s = openDialogSetup(OpenChoice::Collection, true, folder);
    QVERIFY(s.setsDefaultExtension);
    QCOMPARE(s.defaultExtension, QStringLiteral("REC"));
    QCOMPARE(s.folder, folder);
    QCOMPARE(s.nameFilters, qtNameFilters(s.filter));
    // The single-file and capture dialogs leave the default extension as it was.
    QVERIFY(!openDialogSetup(OpenChoice::SingleFile, true, folder).setsDefaultExtension);
    QVERIFY(!openDialogSetup(OpenChoice::Capture, false, folder).setsDefaultExtension);
    QCOMPARE(openDialogSetup(OpenChoice::SingleFile, false, folder).filter, openFilter(OpenChoice::SingleFile, false));

    const struct {
        SaveWindow window;
        const char *ext;
    } saves[] = {{SaveWindow::DataSetGraph, "REC"}, {SaveWindow::OtherGraph, "GHF"}, {SaveWindow::Table, "TXT"},
                 {SaveWindow::SingleValues, "CAP"}};
    for (const auto &c : saves) {
        for (bool comma : {true, false}) {
            s = saveDialogSetup(c.window, comma, folder);
            QVERIFY(s.setsDefaultExtension);
            QCOMPARE(s.defaultExtension, QString::fromLatin1(c.ext));
            QCOMPARE(s.filter, saveFilter(c.window, comma));
            QCOMPARE(s.folder, folder);
            QVERIFY(!s.nameFilters.isEmpty());
        }
    }
    QVERIFY(!saveDialogSetup(SaveWindow::Other, false, folder).setsDefaultExtension);
}

void TestOpenSaveRules::defaultExtensionAppended()
{
    QCOMPARE(withDefaultExtension(QStringLiteral("/d/run"), QStringLiteral("GHF")), QStringLiteral("/d/run.GHF"));
    QCOMPARE(withDefaultExtension(QStringLiteral("/d/run.csv"), QStringLiteral("GHF")), QStringLiteral("/d/run.csv"));
    QCOMPARE(withDefaultExtension(QStringLiteral("/d.x/run"), QStringLiteral("TXT")), QStringLiteral("/d.x/run.TXT"));
    // The open dialog's initial "*.ghf" appends "ghf".
    QCOMPARE(withDefaultExtension(QStringLiteral("/d/run"), QString::fromLatin1(kInitialOpenDefaultExtension)),
             QStringLiteral("/d/run.ghf"));
    QCOMPARE(withDefaultExtension(QStringLiteral("/d/run"), QString()), QStringLiteral("/d/run"));
    QCOMPARE(withDefaultExtension(QString(), QStringLiteral("REC")), QString());
    QCOMPARE(withDefaultExtension(QStringLiteral("/d/"), QStringLiteral("REC")), QStringLiteral("/d/"));
    QCOMPARE(defaultSuffix(QStringLiteral(".rec")), QStringLiteral("rec"));
    QCOMPARE(defaultSuffix(QStringLiteral("*.*")), QString());
}

QTEST_GUILESS_MAIN(TestOpenSaveRules)
#include "test_opensaverules.moc"
