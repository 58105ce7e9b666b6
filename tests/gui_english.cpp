// The program in English: every window, menu and dialog built with English as the language shows
// the English texts of its table, and no German text of any table or of the catalogue is left on
// screen. Also the choice of the language at start-up.
#include "app/Catalogue.h"
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/TfrmMain.h"
#include "chart/ui/ChartCustomizeDialog.h"
#include "data/ui/TfrmOpenSave.h"
#include "data/ui/TfrmScope.h"
#include "graph/SamplingRateChoice.h"
#include "graph/ui/TfrmAnnoEdit.h"
#include "graph/ui/TfrmDelAnno.h"
#include "graph/ui/TfrmGraph.h"
#include "graph/ui/TfrmYesNo.h"
#include "panel/ui/TfrmPanel.h"
#include "realtime/ui/TfrmSetupRealTime.h"
#include "support/ImageBuilder.h"
#include "support/QuietMain.h"
#include "logger/ui/TfrmInfo.h"
#include "monitor/ui/TfrmMonitor.h"
#include "tables/ui/TfrmDataCapture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every text a window shows: captions, titles, tool tips, actions, list items, tabs, grid headers.
QStringList shownTexts(QWidget *window)
{
    QStringList out;
    QList<QObject *> objects = window->findChildren<QObject *>();
    objects.prepend(window);
    for (QObject *o : objects) {
        for (const char *p : {"text", "title", "windowTitle", "toolTip", "placeholderText", "specialValueText"}) {
            const QVariant v = o->property(p);
            if (v.typeId() == QMetaType::QString && !v.toString().isEmpty())
                out << v.toString();
        }
        if (auto *w = qobject_cast<QWidget *>(o)) {
            for (QAction *a : w->actions())
                out << a->text() << a->toolTip();
        }
        if (auto *c = qobject_cast<QComboBox *>(o)) {
            for (int i = 0; i < c->count(); ++i)
                out << c->itemText(i);
        }
        if (auto *t = qobject_cast<QTabWidget *>(o)) {
            for (int i = 0; i < t->count(); ++i)
                out << t->tabText(i);
        }
        if (auto *t = qobject_cast<QTableWidget *>(o)) {
            for (int i = 0; i < t->columnCount(); ++i)
                if (QTableWidgetItem *h = t->horizontalHeaderItem(i))
                    out << h->text();
        }
    }
    return out;
}

// The German texts of every table and of the catalogue that are no English text of them as well.
QSet<QString> germanOnlyTexts()
{
    QSet<QString> german, english;
    auto add = [&](const QString &de, const QString &en, bool multiLine) {
        for (const QString &item : multiLine ? en.split(',') : QStringList{en})
            english << item.trimmed();
        if (de.isEmpty() || de == en)
            return;
        if (!multiLine) {
            german << de.trimmed();
            return;
        }
        const QStringList enItems = en.split(',');
        for (const QString &item : de.split(','))
            if (!enItems.contains(item))
                german << item.trimmed();
    };
    for (const QString &windowClass : windowTextClasses())
        for (const WindowTextEntry &e : windowTexts(windowClass))
            add(QString::fromUtf8(e.german), QString::fromUtf8(e.english),
                qstrcmp(e.section, WindowTextSection::MultiLines) == 0);
    for (const WindowTextEntry &e : dialogCaptionTexts())
        add(QString::fromUtf8(e.german), QString::fromUtf8(e.english), false);
    for (int id = 0; id < 1000; ++id)
        add(LoadStr(id, Language::German), LoadStr(id, Language::English), false);
    return german - english;
}

void writeCollection(const QString &path)
{
    ImageBuilder b;
    ImageSet one;
    one.values = ramp(20);
    b.add(one);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(b.finish());
}

} // namespace

class GuiEnglish : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void everyWindowIsEnglish()
    {
        QCOMPARE(activeLanguage(), Language::English);
        // Chosen once: a later choice changes nothing.
        QVERIFY(!setActiveLanguage(Language::German));
        QCOMPARE(activeLanguage(), Language::English);
        auto *app = dynamic_cast<K352Application *>(QCoreApplication::instance());
        QVERIFY(app && !app->qtTranslationsLoaded());

        QStringList messages;
        setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        });
        TfrmMain main(quietOptions());
        main.state().UserDataFolder = m_dir.path() + "/";
        main.ControlPanel1Click();
        main.RealTimeGraph1Click();
        const QString rec = m_dir.filePath("sets.rec");
        writeCollection(rec);
        main.openFiles({rec, m_dir.filePath("gone.ghf")});
        QVERIFY(main.dataSetGraph());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("The file") && messages[0].contains("gone.ghf"), qPrintable(messages[0]));
        setMessageResponder({});

        ChartLook look;
        ChartCustomizeDialog customize(look, 2, CustomizePages{});
        TfrmAbout about;
        TfrmScope scope;
        TfrmSetupRealTime setup;
        TfrmAnnoEdit annoEdit;
        TfrmDelAnno delAnno;
        TfrmYesNo yesNo;
        TfrmOpenSave openSave;
        openSave.prepareForOpen(false);
        TfrmDataCapture capture;
        TfrmInfo info;
        SystemMonitorTime monitorTime;
        TfrmMonitor monitor(nullptr, monitorTime);
        monitor.setAttribute(Qt::WA_DeleteOnClose, false);
        TfrmMonitorStart monitorStart;
        const QList<std::pair<QString, QWidget *>> windows = {
            {"TfrmMain", &main},
            {"TfrmPanel", main.panel()},
            {"TfrmGraph", main.realTimeGraph()},
            {"TfrmGraph", main.dataSetGraph()},
            {"ChartCustomizeDialog", &customize},
            {"TfrmAbout", &about},
            {"TfrmScope", &scope},
            {"TfrmSetupRealTime", &setup},
            {"TfrmAnnoEdit", &annoEdit},
            {"TfrmDelAnno", &delAnno},
            {"TfrmYesNo", &yesNo},
            {"TfrmOpenSave", &openSave},
            {"TfrmDataCapture", &capture},
            {"TfrmInfo", &info},
            {"TfrmMonitor", &monitor},
            {"TfrmMonitorStart", &monitorStart},
        };
        const QSet<QString> german = germanOnlyTexts();
        QVERIFY(german.contains("Messdatenreihe") && german.contains("Vermerk löschen"));
        for (const auto &[windowClass, window] : windows) {
            QVERIFY2(window, qPrintable(windowClass));
            for (const QString &text : shownTexts(window))
                QVERIFY2(!german.contains(text.trimmed()), qPrintable(windowClass + ": " + text));
            // Where a table names a control, the control shows the English text, also where the
            // German one is empty and the design text is German ("E&xit" over "Beenden").
            for (const WindowTextEntry &e : windowTexts(windowClass)) {
                const bool caption = qstrcmp(e.section, WindowTextSection::Captions) == 0;
                if (!caption && qstrcmp(e.section, WindowTextSection::Hints) != 0)
                    continue;
                const QString name = QString::fromUtf8(e.name);
                QObject *target = name == windowClass ? window : window->findChild<QObject *>(name);
                if (!target)
                    continue;
                const QString shown = !caption ? target->property("toolTip").toString()
                                      : target->property("text").isValid() ? target->property("text").toString()
                                      : target->property("title").isValid() ? target->property("title").toString()
                                                                             : target->property("windowTitle").toString();
                QCOMPARE(shown, QString::fromUtf8(e.english));
            }
        }
        QCOMPARE(main.dataSetGraph()->windowTitle(), QString("DataLogger"));
        QCOMPARE(main.findChild<QAction *>("Exit1")->text(), QString("E&xit"));
        QCOMPARE(chooseSamplingRate("1", true, 0.2).message,
                 QString("The sampling rate cannot be changed during a real-time recording."));
        QCOMPARE(dlgText("&Yes"), QString("&Yes"));
        main.close();
    }

    void languageFollowsTheOptionOrTheSystem()
    {
        const QLocale german(QLocale::German, QLocale::Austria), french(QLocale::French, QLocale::France);
        QCOMPARE(chooseLanguage("", german), Language::German);
        QCOMPARE(chooseLanguage("", french), Language::English);
        QCOMPARE(chooseLanguage("", QLocale::c()), Language::English);
        QCOMPARE(chooseLanguage("en", german), Language::English);
        QCOMPARE(chooseLanguage("DE", french), Language::German);
        QVERIFY(!chooseLanguage("fr", german).has_value());
    }
};

int main(int argc, char **argv)
{
    K352Application app(argc, argv, Language::English);
    GuiEnglish test;
    return QTest::qExec(&test, argc, argv);
}
#include "gui_english.moc"
