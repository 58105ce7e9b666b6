#include "app/Catalogue.h"
#include "app/WindowTexts.h"

#include <QObject>
#include <QSet>
#include <QtTest>

namespace {

// Stand-ins for widgets: one with a "text" property (a label or an action), one with "title"
// (a menu). A plain QObject has neither and gets the window title.
class TextObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER m_text)
    Q_PROPERTY(QString title MEMBER m_title)
public:
    explicit TextObject(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }
    QString m_text;
    QString m_title;
};

class TitleObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title MEMBER m_title)
public:
    explicit TitleObject(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }
    QString m_title;
};

QObject *child(const QString &name, QObject *parent)
{
    auto *object = new QObject(parent);
    object->setObjectName(name);
    return object;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void lookupUsesGermanWithEnglishFallback();
    void textsAreKeptLiterally();
    void unknownKeyIsEmpty();
    void dialogTexts();
    void applySetsCaptionsAndHints();
    void applyDottedPropertyAndSections();
    void tablesAreWellFormed();
    void joinedTextsKeepASeparator();
};

void TestCatalogue::lookupUsesGermanWithEnglishFallback()
{
    QCOMPARE(activeLanguage(), Language::German);
    QCOMPARE(LoadStr(12), QStringLiteral("REC"));
    QCOMPARE(LoadStr(12, Language::German), QStringLiteral("REC"));
    QCOMPARE(LoadStr(104), QStringLiteral("OL"));
    QCOMPARE(LoadStr(5), QStringLiteral("Suche nach Gerät"));
    QCOMPARE(LoadStr(5, Language::English), QStringLiteral("Searching Meter on "));
    QCOMPARE(LoadStr(97, Language::English),
             QStringLiteral("The meter is recording data, please stop recording before loading data."));
    QCOMPARE(LoadStr(27), QStringLiteral("Möchten Sie die Messdaten speichern?"));
    QCOMPARE(LoadStr(103), QStringLiteral("Keine Verbindung zum kavor 352-4."));
}

void TestCatalogue::textsAreKeptLiterally()
{
    QCOMPARE(LoadStr(43), QStringLiteral("speichert?"));
    QCOMPARE(LoadStr(85), QStringLiteral("rstellen?"));
    QCOMPARE(LoadStr(7), QStringLiteral("Initialisierung COM Port ?"));
    QCOMPARE(LoadStr(58, Language::English), QStringLiteral("Open single data flle(*.TXT,*.GHF)"));

    // Backslash and 'n', not a line break.
    const QString english26 = LoadStr(26, Language::English);
    QVERIFY(english26.endsWith(QStringLiteral("graph.\\n")));
    QVERIFY(!english26.contains(QLatin1Char('\n')));
    QCOMPARE(LoadStr(28, Language::English), QStringLiteral(" is not valid.\\n"));
    QCOMPARE(LoadStr(28), QStringLiteral("nicht gültig"));
}

void TestCatalogue::unknownKeyIsEmpty()
{
    QVERIFY(LoadStr(0).isEmpty());
    QVERIFY(LoadStr(9).isEmpty());
    QVERIFY(LoadStr(-1, Language::English).isEmpty());
}

void TestCatalogue::dialogTexts()
{
    QCOMPARE(dlgText("&Yes"), QStringLiteral("Ja"));
    QCOMPARE(dlgText("OK"), QStringLiteral(" OK "));
    QCOMPARE(dlgText("Confirm"), QStringLiteral("Bestätigen"));
    QCOMPARE(dlgText("N&o to All"), QStringLiteral("Nein alle"));
    QCOMPARE(dlgText("Unknown"), QStringLiteral("Unknown"));
    QCOMPARE(qsizetype(dialogCaptionTexts().size()), qsizetype(15));
}

void TestCatalogue::applySetsCaptionsAndHints()
{
    QObject window;
    window.setObjectName("frmMain");
    auto *panel = child("Panel1", &window);
    auto *btnRun = child("btnRun", panel);  // nested below a panel
    auto *file1 = new TitleObject("File1", &window);
    auto *open1 = new TextObject("Open1", file1);
    auto *exit1 = new TextObject("Exit1", file1);
    exit1->m_text = QStringLiteral("Beenden");
    auto *tile1 = child("Tile1", &window);
    tile1->setProperty("text", QStringLiteral("design"));  // dynamic property

    // btnRun, File1, Open1 and Tile1; Exit1 has no German text, the other controls do not exist.
    QCOMPARE(applyWindowTexts(&window, "TfrmMain"), 4);

    QCOMPARE(btnRun->property("toolTip").toString(), QStringLiteral("Start Onlinemessung"));
    QCOMPARE(file1->m_title, QStringLiteral("Datei"));
    QCOMPARE(open1->m_text, QStringLiteral("Öffnen"));
    QVERIFY(open1->m_title.isEmpty());  // "text" wins over "title"
    QCOMPARE(exit1->m_text, QStringLiteral("Beenden"));  // empty German entry keeps the design text
    QCOMPARE(tile1->property("text").toString(), QStringLiteral("untereinander"));
    QVERIFY(!tile1->property("windowTitle").isValid());

    // The window itself, by class name; a plain object gets the window title.
    QObject about;
    auto *label3 = new TextObject("Label3", &about);
    applyWindowTexts(&about, "TfrmAbout");
    QCOMPARE(about.property("windowTitle").toString(), QStringLiteral("Über k352-4 Schallpegelmessgerät"));
    QCOMPARE(label3->m_text, QStringLiteral("Schallpegelmessgeräte Software"));

    QCOMPARE(applyWindowTexts(&about, "TfrmNoSuchWindow"), 0);
    QCOMPARE(applyWindowTexts(nullptr, "TfrmMain"), 0);
}

void TestCatalogue::applyDottedPropertyAndSections()
{
    namespace S = WindowTextSection;
    const WindowTextEntry table[] = {
        {S::Captions, "frmTest", "Test", "Prüfung"},
        {S::OtherStrings, "MaskEdit1.text", "1", "2"},
        {S::OtherStrings, "Missing1.text", "1", "2"},
        {S::OtherStrings, "Plain1", "x", "y"},  // no property named: not applied
        {S::Hints, "MaskEdit1", "Edit", ""},
    };
    QObject window;
    window.setObjectName("frmTest");
    auto *edit = new TextObject("MaskEdit1", &window);
    auto *plain = child("Plain1", &window);
    plain->setProperty("toolTip", QStringLiteral("design"));

    QCOMPARE(applyWindowTexts(&window, "TfrmTest", table), 2);
    QCOMPARE(window.property("windowTitle").toString(), QStringLiteral("Prüfung"));  // by object name
    QCOMPARE(edit->m_text, QStringLiteral("2"));
    QVERIFY(!edit->property("toolTip").isValid());
    QCOMPARE(plain->property("toolTip").toString(), QStringLiteral("design"));
    QVERIFY(!plain->property("text").isValid());
}

void TestCatalogue::tablesAreWellFormed()
{
    const QStringList sections = windowTextSections();
    QCOMPARE(sections.size(), 11);
    QStringList classes = windowTextClasses();
    QVERIFY(classes.contains("TfrmMain") && classes.contains("TfrmAbout") && classes.contains("TfrmScope"));

    auto check = [&](const QString &table, std::span<const WindowTextEntry> entries) {
        QSet<QString> seen;
        int lastSection = 0;
        for (const WindowTextEntry &entry : entries) {
            const QString id = table + "/" + entry.section + "/" + entry.name;
            const int section = sections.indexOf(QString::fromLatin1(entry.section));
            QVERIFY2(section >= lastSection, qPrintable("section out of order: " + id));
            lastSection = section;
            QVERIFY2(entry.english[0] != '\0' || entry.german[0] != '\0', qPrintable("no text: " + id));
            QVERIFY2(!seen.contains(id), qPrintable("duplicate: " + id));
            seen.insert(id);
        }
    };
    for (const QString &windowClass : classes)
        check(windowClass, windowTexts(windowClass));
    check("dialogs", dialogCaptionTexts());

    QVERIFY(windowTexts("TfrmMain").size() == 36);
    QVERIFY(windowTexts("TfrmNoSuchWindow").empty());
}

void TestCatalogue::joinedTextsKeepASeparator()
{
    QCOMPARE(joinTexts(LoadStr(5), "/dev/pts/0"), QStringLiteral("Suche nach Gerät /dev/pts/0"));
    QCOMPARE(joinTexts(LoadStr(5, Language::English), "COM3"), QStringLiteral("Searching Meter on COM3"));
    QCOMPARE(joinTexts(LoadStr(26), LoadStr(27), '\n'),
             QStringLiteral("Es sind noch Daten aus der letzten Onlinemessung vorhanden, diese Daten gehen verloren\n"
                            "Möchten Sie die Messdaten speichern?"));
    QCOMPARE(joinTexts("", LoadStr(28)), LoadStr(28));

    // Texts a window builds from its table: German, English where German is empty.
    QCOMPARE(windowText("TfrmAnnoEdit", "Label1"), QStringLiteral("Text der Notiz:"));
    QCOMPARE(windowText("ChartCustomizeDialog", "tabColors"), QStringLiteral("Farben"));
    QVERIFY(windowText("TfrmPanel", "btnMaxMin").startsWith("single click"));
    QVERIFY(windowText("TfrmMain", "NoSuchEntry").isEmpty());
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
