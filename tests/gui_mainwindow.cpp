// The main window and the about box: menu and tool bar by name and German text, the initial
// command states, the fixed tool bar sizes, the link's view of the window, the start-up against the
// simulated meter on a pseudo-terminal, closing, and the application's handling of exceptions.
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/TfrmMain.h"
#include "link/PortList.h"
#include "panel/ui/TfrmPanel.h"
#include "sim/PtyMeter.h"
#include "support/QuietMain.h"
#include "support/RunUntil.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QAction *action(QObject *w, const char *name)
{
    return w->findChild<QAction *>(QLatin1String(name));
}

QMenu *menu(QObject *w, const char *name)
{
    return w->findChild<QMenu *>(QLatin1String(name));
}

QString statusPanel(QObject *w, int i)
{
    return w->findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(i))->text();
}


// A child window that refuses to close until it is allowed to.
class StubbornChild : public QWidget {
public:
    bool allow = false;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (allow)
            e->accept();
        else
            e->ignore();
    }
};

// An object whose event handler throws what it is told to.
class Thrower : public QObject {
public:
    std::function<void()> toThrow;
    int handled = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++handled;
        if (toThrow)
            toThrow();
        return true;
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void menuAndToolBarTexts();
    void initialCommandStates();
    void serviceModeShowsHiddenItems();
    void toolBarKeepsItsSizes();
    void linkStateSwitchesTheCommands();
    void portListMirrorsTheLink();
    void portListIsReadAgainAndReopens();
    void windowMenuListsChildWindows();
    void aboutBoxAndSplash();
    void startupFindsSimulatedMeter();
    void startupWithoutMeterKeepsPaintingAndSaysWhatToCheck();
    void panelMirrorsTheMeterAndReopens();
    void closeAsksChildWindowsFirst();
    void usualKeysAndQtsOwnGermanTexts();
    void escapedExceptionsAreShownAndLoopGoesOn();
};

void TestMainWindow::menuAndToolBarTexts()
{
    TfrmMain w(quietOptions());
    // Every menu and menu item shows the German caption of the window's text table; one without
    // a German entry keeps its design text.
    const QHash<QString, QString> designTexts = {{"Exit1", "Beenden"}, {"Setup1", "Setup"}, {"Cali1", "Cali"}};
    int captions = 0;
    for (const WindowTextEntry &e : windowTexts("TfrmMain")) {
        if (qstrcmp(e.section, WindowTextSection::Captions) != 0)
            continue;
        const QString german = QString::fromUtf8(e.german);
        const QString expected = german.isEmpty() ? designTexts.value(QString::fromUtf8(e.name)) : german;
        QVERIFY2(!expected.isEmpty(), e.name);
        if (QMenu *m = menu(&w, e.name))
            QCOMPARE(m->title(), expected);
        else if (QAction *a = action(&w, e.name))
            QCOMPARE(a->text(), expected);
        else
            QFAIL(e.name);
        ++captions;
    }
    QCOMPARE(captions, 25);
    // The items sit in their menus, in order, with the separators where they belong.
    auto names = [](QMenu *m) {
        QStringList out;
        for (QAction *a : m->actions())
            out << a->objectName();
        return out;
    };
    QCOMPARE(names(menu(&w, "File1")),
             QStringList({"Open1", "Save1", "N1", "Print1", "PrinterSetup1", "N2", "Exit1"}));
    QVERIFY(action(&w, "N1")->isSeparator() && action(&w, "N2")->isSeparator() && action(&w, "N4")->isSeparator());
    QCOMPARE(names(menu(&w, "DataLogger1")), QStringList({"LoadData1", "EraseMemory1", "Setup1", "Cali1"}));
    QCOMPARE(names(menu(&w, "Help1")), QStringList({"Contents1", "N4", "About1"}));
    QStringList bar;
    for (QAction *a : w.menuBar()->actions())
        bar << (a->menu() ? a->menu()->objectName() : a->objectName());
    QCOMPARE(bar, QStringList({"File1", "RealTime1", "DataLogger1", "RECALL1", "View1", "Window1", "Help1"}));

    // Tool buttons left to right with their German hints, then the port list.
    const char *buttons[] = {"SpeedButton1",     "SpeedButton2", "btnPrint", "btnDataLogger",
                             "btnOutputToGraph", "btnRun",       "btnStop",  "SpeedButton8"};
    const auto hint = [](const char *name) {
        for (const WindowTextEntry &e : windowTexts("TfrmMain"))
            if (qstrcmp(e.section, WindowTextSection::Hints) == 0 && qstrcmp(e.name, name) == 0)
                return QString::fromUtf8(e.german);
        return QString();
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int lastX = -1;
    for (const char *name : buttons) {
        auto *b = w.findChild<QToolButton *>(QLatin1String(name));
        QVERIFY2(b, name);
        QVERIFY2(!hint(name).isEmpty(), name);
        QCOMPARE(b->toolTip(), hint(name));
        QVERIFY2(!b->icon().isNull(), name);
        QVERIFY2(b->x() > lastX, name);
        lastX = b->x();
    }
    auto *combo = w.findChild<QComboBox *>("ComboBoxDeviceName");
    QVERIFY(combo && combo->x() > lastX);
    QCOMPARE(combo->placeholderText(), QString("ComPort"));
}

void TestMainWindow::initialCommandStates()
{
    TfrmMain w(quietOptions());
    // Working now.
    QVERIFY(action(&w, "Exit1")->isEnabled());
    QVERIFY(action(&w, "About1")->isEnabled());
    // Hidden until the service mode.
    QVERIFY(!action(&w, "Setup1")->isVisible());
    QVERIFY(!action(&w, "Cali1")->isVisible());
    // Checked view items.
    QVERIFY(action(&w, "ControlPanel1")->isChecked());
    QVERIFY(action(&w, "RealTimeGraph1")->isChecked());
    // The other commands are always offered; they decide for themselves whether they can run.
    for (const char *name : {"Open1", "Save1", "Print1", "PrinterSetup1", "Tile1", "Cascade1", "Contents1",
                             "LoadData1", "EraseMemory1", "RECALL1"})
        QVERIFY2(action(&w, name)->isEnabled(), name);
    // Run and Stop wait for the meter; the real-time graph can always be reopened.
    QVERIFY(!action(&w, "Run1")->isEnabled());
    QVERIFY(!action(&w, "Stop1")->isEnabled());
    QVERIFY(action(&w, "RealTimeGraph1")->isEnabled());
    for (const char *name : {"btnOutputToGraph", "btnRun", "btnStop"})
        QVERIFY2(!w.findChild<QToolButton *>(QLatin1String(name))->isEnabled(), name);
    for (const char *name : {"SpeedButton1", "SpeedButton2", "btnPrint", "btnDataLogger", "SpeedButton8"})
        QVERIFY2(w.findChild<QToolButton *>(QLatin1String(name))->isEnabled(), name);
    // The design state of the link's controls.
    QVERIFY(!w.wantedEnabled(Control::btnRun) && !w.wantedEnabled(Control::Run1));
    QVERIFY(!w.wantedEnabled(Control::btnStop) && !w.wantedEnabled(Control::Stop1));
    QVERIFY(w.wantedEnabled(Control::btnDataLogger) && w.wantedEnabled(Control::DataLogger1));
    QVERIFY(menu(&w, "DataLogger1")->menuAction()->isEnabled());
    // Hidden diagnostics and edit field.
    QVERIFY(w.findChild<QLabel *>("Label1")->isHidden());
    QVERIFY(w.findChild<QLineEdit *>("MaskEdit1")->isHidden());
    // Shared state after window creation.
    QCOMPARE(w.state().SamplingInterval, 0.2f);
    QVERIFY(!w.state().DateSeparator.isEmpty());
    QVERIFY(w.state().DateOrder >= 1 && w.state().DateOrder <= 4);
    QVERIFY(!w.state().Connected);
    QVERIFY(!w.mainTimer().isEnabled());
    QCOMPARE(w.mainTimer().interval(), 100);
}

void TestMainWindow::serviceModeShowsHiddenItems()
{
    TfrmMainOptions o = quietOptions();
    o.serviceItems = true;
    TfrmMain w(o);
    QVERIFY(action(&w, "Setup1")->isVisible() && action(&w, "Cali1")->isVisible());
    QVERIFY(action(&w, "Setup1")->isEnabled() && action(&w, "Cali1")->isEnabled());
}

void TestMainWindow::toolBarKeepsItsSizes()
{
    TfrmMain w(quietOptions());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *panel = w.findChild<QWidget *>("Panel1");
    auto *image = w.findChild<QLabel *>("Image1");
    QVERIFY(panel && image);
    QVERIFY(!image->pixmap().isNull());
    for (const QSize size : {QSize(969, 767), QSize(1600, 1000), QSize(700, 300), QSize(400, 200)}) {
        w.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(panel->height(), 81);
        QCOMPARE(image->width(), 180);
        if (size.width() >= 969) // Image1 sits at the right edge when there is room for everything
            QCOMPARE(image->geometry().right(), panel->width() - 1);
    }
    // The panel sits right under the menu bar, the workspace under it.
    QVERIFY(panel->mapTo(&w, QPoint(0, 0)).y() >= w.menuBar()->geometry().bottom());
    QVERIFY(w.workspace()->mapTo(&w, QPoint(0, 0)).y() >= panel->mapTo(&w, QPoint(0, panel->height())).y());
    QCOMPARE(w.workspace()->frameShape(), QFrame::NoFrame);
    // The workspace scrolls to child windows beyond its edges.
    QCOMPARE(w.workspace()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(w.workspace()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    // Two status panels, each wide enough for a device path and the connection state.
    QCOMPARE(w.statusBar()->objectName(), QString("StatusBar1"));
    for (int i = 0; i < 2; ++i)
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(i))->minimumWidth() >= 50);
    auto *p0 = w.findChild<QLabel *>("StatusBar1Panel0");
    QVERIFY(p0->minimumWidth() >= p0->fontMetrics().horizontalAdvance("/dev/pts/12"));
}

void TestMainWindow::linkStateSwitchesTheCommands()
{
    TfrmMain w(quietOptions());
    TfrmMain &view = w;
    auto *btnRun = w.findChild<QToolButton *>("btnRun");
    auto *btnDataLogger = w.findChild<QToolButton *>("btnDataLogger");
    QAction *dataLogger = menu(&w, "DataLogger1")->menuAction();

    // The search finds the meter: run and the data logger button are offered.
    view.setControlEnabled(Control::btnRun, true);
    view.setControlEnabled(Control::Run1, true);
    view.setControlEnabled(Control::btnStop, false);
    QVERIFY(w.wantedEnabled(Control::btnRun) && w.wantedEnabled(Control::Run1));
    QVERIFY(btnRun->isEnabled());
    QVERIFY(action(&w, "Run1")->isEnabled());
    view.setControlEnabled(Control::btnDataLogger, true);
    QVERIFY(w.wantedEnabled(Control::btnDataLogger));
    QVERIFY(btnDataLogger->isEnabled());

    // Loss of the connection switches the data logger menu off; the handshake back on.
    view.setControlEnabled(Control::DataLogger1, false);
    view.setControlEnabled(Control::btnDataLogger, false);
    QVERIFY(!dataLogger->isEnabled());
    QVERIFY(!w.wantedEnabled(Control::btnDataLogger));
    view.setControlEnabled(Control::DataLogger1, true);
    QVERIFY(dataLogger->isEnabled());
    QVERIFY(action(&w, "LoadData1")->isEnabled());

    view.setControlVisible(Control::btnDataLogger, false);
    QVERIFY(btnDataLogger->isHidden());
    view.setControlVisible(Control::btnDataLogger, true);
    QVERIFY(!btnDataLogger->isHidden());
    view.setControlVisible(Control::DataLogger1, false);
    QVERIFY(!dataLogger->isVisible());
    view.setControlVisible(Control::DataLogger1, true);
    QVERIFY(dataLogger->isVisible());

    // A control of a window that does not exist yet is only remembered.
    view.setControlEnabled(Control::tbntClr, true);
    QVERIFY(w.wantedEnabled(Control::tbntClr));

    view.setStatus("/dev/ttyUSB0", "Verbindung On");
    QCOMPARE(statusPanel(&w, 0), QString("/dev/ttyUSB0"));
    QCOMPARE(statusPanel(&w, 1), QString("Verbindung On"));
    view.setDiagnostics("2/17");
    QCOMPARE(w.findChild<QLabel *>("Label1")->text(), QString("2/17"));
    QVERIFY(!view.panelOpen() && !view.realTimeWindowExists());
}

void TestMainWindow::portListMirrorsTheLink()
{
    TfrmMainOptions o = quietOptions();
    o.extraPorts = {"/dev/k352-test-a", "/dev/k352-test-b", "/dev/k352-test-a"};
    TfrmMain w(o);
    auto *combo = w.findChild<QComboBox *>("ComboBoxDeviceName");
    // Creation: the given paths, each once; the first selected and Comm1 set from it.
    QCOMPARE(w.link().ports().entries, QStringList({"/dev/k352-test-a", "/dev/k352-test-b"}));
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(w.comm1().deviceName(), QString("/dev/k352-test-a"));

    // The link changes the list (a port dropped by the search): the combo follows without calling
    // back into the link.
    w.link().ports().entries << "ttyS7";
    w.link().ports().select(2);
    w.portListChanged();
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QString("ttyS7"));
    QCOMPARE(w.comm1().deviceName(), QString("/dev/k352-test-a"));
    w.link().ports().removeAt(0);
    w.portListChanged();
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentText(), QString("ttyS7"));

    // The user picks an entry: the link selects it and Comm1 moves there (the open fails quietly).
    combo->setCurrentIndex(0);
    QCOMPARE(w.link().ports().selected, 0);
    QCOMPARE(w.comm1().deviceName(), QString("/dev/k352-test-b"));
    QVERIFY(!w.comm1().isOpen());

    // No ports at all: nothing selected, the design text shows.
    TfrmMain empty(quietOptions());
    auto *emptyCombo = empty.findChild<QComboBox *>("ComboBoxDeviceName");
    QCOMPARE(emptyCombo->count(), 0);
    QCOMPARE(emptyCombo->currentIndex(), -1);
    QCOMPARE(empty.link().ports().selected, -1);
}

void TestMainWindow::portListIsReadAgainAndReopens()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("usb-kavor-if00");
    PtyMeter meter;
    meter.setLinkPath(link);
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    TfrmMainOptions o = quietOptions();
    o.extraPorts = {"/dev/k352-test-a", link};
    TfrmMain w(o);
    w.comm1().setRxHandler(w.link().receiveHandler());
    auto *combo = w.findChild<QComboBox *>("ComboBoxDeviceName");

    // A port dropped earlier (busy at start-up) is back once the list is opened.
    w.link().ports().removeAt(1);
    w.portListChanged();
    QCOMPARE(combo->count(), 1);
    combo->showPopup();
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), 0);
    combo->hidePopup();

    // The user picks it (a change of index, then its activation).
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QVERIFY(w.comm1().isOpen());
    // The adapter is pulled and plugged back: the port closes itself; choosing the same entry
    // again opens the link, which now names another terminal.
    const QString first = meter.slavePath();
    meter.replug(200);
    QVERIFY(runUntil([&] { return !w.comm1().isOpen(); }, 3000));
    QVERIFY(runUntil([&] { return meter.slavePath() != first; }, 3000));
    emit combo->activated(1);
    QVERIFY(w.comm1().isOpen());
    QCOMPARE(w.comm1().deviceName(), link);
    meter.stop();
}

void TestMainWindow::windowMenuListsChildWindows()
{
    TfrmMain w(quietOptions());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMenu *window1 = menu(&w, "Window1");
    auto listed = [&] {
        QStringList out;
        for (QAction *a : window1->actions())
            if (!a->isSeparator() && a->objectName().isEmpty())
                out << a->text();
        return out;
    };
    emit window1->aboutToShow();
    QVERIFY(listed().isEmpty());

    auto *a = new QWidget;
    a->setWindowTitle("Onlinemessung");
    auto *b = new QWidget;
    b->setWindowTitle("Messdatenreihe");
    QMdiSubWindow *subA = w.workspace()->addSubWindow(a);
    QMdiSubWindow *subB = w.workspace()->addSubWindow(b);
    subA->show();
    subB->show();
    w.workspace()->setActiveSubWindow(subB);
    emit window1->aboutToShow();
    QCOMPARE(listed(), QStringList({"&1 Onlinemessung", "&2 Messdatenreihe"}));
    // Rebuilding does not pile up entries; the active window is checked; choosing one activates it.
    emit window1->aboutToShow();
    QCOMPARE(listed().size(), 2);
    QAction *first = nullptr;
    for (QAction *act : window1->actions())
        if (act->text() == "&1 Onlinemessung")
            first = act;
    QVERIFY(first && !first->isChecked());
    first->trigger();
    QCOMPARE(w.workspace()->activeSubWindow(), subA);

    subB->close();
    QCoreApplication::processEvents();
    emit window1->aboutToShow();
    QCOMPARE(listed(), QStringList({"&1 Onlinemessung"}));
}

void TestMainWindow::aboutBoxAndSplash()
{
    TfrmAbout box;
    QCOMPARE(box.size(), QSize(383, 117));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(box.windowTitle(), QString("Über k352-4 Schallpegelmessgerät"));
    QCOMPARE(box.findChild<QLabel *>("Label3")->text(), QString("Schallpegelmessgeräte Software"));
    QCOMPARE(box.findChild<QLabel *>("Label1")->text(), QString("Version:"));
    QCOMPARE(box.findChild<QLabel *>("Label2")->text(), QString("4.8.0.0"));
    QVERIFY(box.findChild<QLabel *>("Label4")->text().isEmpty());
    const QFont title = box.findChild<QLabel *>("Label3")->font();
    QVERIFY(title.bold() && title.italic());
    QCOMPARE(title.pixelSize(), 20);
    QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);

    // As an about box: OK closes it.
    auto *ok = box.findChild<QPushButton *>("BitBtn1");
    QVERIFY(ok);
    box.show();
    QVERIFY(ok->isVisible());
    ok->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));

    // As the splash: no OK, status line, and the main window drives it.
    QPointer<TfrmAbout> splash = new TfrmAbout;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->showAsSplash();
    QVERIFY(splash->isVisible());
    QVERIFY(!splash->findChild<QPushButton *>("BitBtn1")->isVisible());
    TfrmMain w(quietOptions());
    w.setSplash(splash);
    QVERIFY(w.splashOpen());
    w.setSplashStatus("Suche nach Gerät/dev/ttyUSB0");
    QCOMPARE(splash->status(), QString("Suche nach Gerät/dev/ttyUSB0"));
    w.closeSplash();
    QVERIFY(!w.splashOpen());
    QTRY_VERIFY(splash.isNull()); // freed once closed
    w.setSplashStatus("after"); // no splash any more: nothing happens
}

void TestMainWindow::startupFindsSimulatedMeter()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));

    TfrmMainOptions o;
    o.systemPorts = false;
    o.extraPorts = {"/dev/k352-no-such-port", meter.slavePath()};
    TfrmMain w(o);
    auto *splash = new TfrmAbout;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->showAsSplash();
    QPointer<TfrmAbout> splashRef(splash);
    w.setSplash(splash);
    w.show();

    QVERIFY2(runUntil([&] { return statusPanel(&w, 1) == "Verbindung On"; }, 5000), qPrintable(statusPanel(&w, 1)));
    QCOMPARE(statusPanel(&w, 0), meter.slavePath());
    QCOMPARE(w.windowTitle(), QString("k352_4"));
    QVERIFY(w.state().Connected);
    QVERIFY(w.comm1().isOpen());
    QVERIFY(w.mainTimer().isEnabled());
    // The absent device was dropped from the list; the combo shows what is left.
    auto *combo = w.findChild<QComboBox *>("ComboBoxDeviceName");
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->currentText(), meter.slavePath());
    // The splash went away at the end of the start-up.
    QTRY_VERIFY(splashRef.isNull());
    // The user data folder was made in the documents folder (HOME is a scratch folder here).
    QVERIFY(w.state().UserDataFolder.endsWith("/k352_4/"));
    QVERIFY(QDir(w.state().UserDataFolder).exists());
    // The search enabled run.
    QVERIFY(w.wantedEnabled(Control::btnRun));
    QVERIFY(w.findChild<QToolButton *>("btnRun")->isEnabled());
    // Live frames keep coming in and are acknowledged while the loop runs.
    const quint32 before = w.link().candidateFrames();
    QVERIFY(runUntil([&] { return w.link().candidateFrames() >= before + 3; }, 3000));
    QVERIFY(w.state().Connected);

    QVERIFY(w.close());
    QVERIFY(!w.comm1().isOpen());
    QVERIFY(!w.mainTimer().isEnabled());
    meter.stop();
}

void TestMainWindow::startupWithoutMeterKeepsPaintingAndSaysWhatToCheck()
{
    TfrmMainOptions o;
    o.systemPorts = false;
    o.extraPorts = {"/dev/k352-no-such-port"};
    TfrmMain w(o);
    auto *splash = new TfrmAbout;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->showAsSplash();
    w.setSplash(splash);
    QStringList messages;
    setMessageResponder([&](const QString &text, QMessageBox::StandardButtons) {
        messages << text;
        return QMessageBox::Ok;
    });
    // Events are delivered while the search waits: a timer sees the splash's search line.
    QStringList seenOnSplash;
    QPointer<TfrmAbout> splashRef(splash);
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, [&] {
        if (splashRef && !splashRef->status().isEmpty())
            seenOnSplash << splashRef->status();
    });
    tick.start();
    w.show();
    QVERIFY(runUntil([&] { return !messages.isEmpty(); }, 5000));
    setMessageResponder({});
    QVERIFY(seenOnSplash.contains("Suche nach Gerät /dev/k352-no-such-port"));
    QCOMPARE(statusPanel(&w, 1), QString("Off Connection"));
    QCOMPARE(messages.size(), 1);
    for (const char *hint : {"eingeschaltet", "USB-Kabel", "\"dialout\"", "k352 --demo"})
        QVERIFY2(messages[0].contains(QString::fromUtf8(hint)), hint);
    QVERIFY(w.close());
}

void TestMainWindow::panelMirrorsTheMeterAndReopens()
{
    PtyMeter meter;
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    meter.withMeter([](SimulatedMeter &m) {
        m.state().weightingA = true;
        m.state().fast = true;
    });
    TfrmMainOptions o;
    o.systemPorts = false;
    o.extraPorts = {meter.slavePath()};
    TfrmMain w(o);
    w.show();
    QVERIFY(runUntil([&] { return w.state().Connected; }, 5000));

    // The panel was created at the top left before the search and follows the live frames.
    TfrmPanel *panel = w.panel();
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget()->pos(), QPoint(0, 0));
    QCOMPARE(w.decoder().panel(), panel);
    auto label = [&](const char *name) { return w.panel()->findChild<QLabel *>(QLatin1String(name)); };
    QVERIFY(runUntil([&] { return !w.state().PanelRefresh; }, 3000)); // the first frame drew everything
    QCOMPARE(label("lbldBA")->text(), QString("dBA"));
    QCOMPARE(label("lblFAST")->text(), QString("FAST"));
    QVERIFY(!label("lblNoConnection")->isVisible());
    QVERIFY(w.decoder().lastReading().displayCount > 0);
    QVERIFY(!label("MainD3")->pixmap().isNull());

    // A key on the panel reaches the meter, and the next frames show the result.
    w.panel()->btnFastClick();
    QVERIFY(runUntil([&] { return label("lblFAST")->text() == "SLOW"; }, 3000));
    w.panel()->btnACClick();
    QVERIFY(runUntil([&] { return label("lbldBA")->text() == "dBC"; }, 3000));

    // Closing forgets the panel; the decoder goes on without it.
    auto *controlPanel = action(&w, "ControlPanel1");
    QVERIFY(controlPanel->isEnabled());
    w.panel()->parentWidget()->close();
    QTRY_VERIFY(!w.panel());
    QVERIFY(!controlPanel->isChecked());
    QVERIFY(!w.decoder().panel());
    const quint32 before = w.link().candidateFrames();
    QVERIFY(runUntil([&] { return w.link().candidateFrames() >= before + 2; }, 3000));

    // Reopening makes a fresh panel that the next frame draws completely.
    controlPanel->trigger();
    QVERIFY(w.panel());
    QVERIFY(controlPanel->isChecked());
    QVERIFY(w.state().PanelRefresh);
    QCOMPARE(w.panel()->parentWidget()->pos(), QPoint(0, 0));
    QVERIFY(runUntil([&] { return !w.state().PanelRefresh; }, 3000));
    QCOMPARE(label("lblFAST")->text(), QString("SLOW"));
    QCOMPARE(label("lbldBA")->text(), QString("dBC"));
    QVERIFY(!label("MainD4")->pixmap().isNull());

    // A second click on an existing, minimised panel restores it and makes no second one.
    QPointer<TfrmPanel> same = w.panel();
    w.panel()->parentWidget()->showMinimized();
    controlPanel->trigger();
    QCOMPARE(w.panel(), same.data());
    QVERIFY(!w.panel()->parentWidget()->isMinimized());
    QCOMPARE(w.findChildren<TfrmPanel *>().size(), 1);

    QVERIFY(w.close());
    meter.stop();
}

void TestMainWindow::closeAsksChildWindowsFirst()
{
    TfrmMainOptions o = quietOptions();
    TfrmMain w(o);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *child = new StubbornChild;
    child->setWindowTitle("Onlinemessung");
    w.workspace()->addSubWindow(child)->show();
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    child->allow = true;
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
}

void TestMainWindow::usualKeysAndQtsOwnGermanTexts()
{
    TfrmMain w(quietOptions());
    const QList<QPair<const char *, QKeySequence>> keys = {
        {"Open1", QKeySequence("Ctrl+O")},  {"Save1", QKeySequence("Ctrl+S")},
        {"Print1", QKeySequence("Ctrl+P")}, {"Exit1", QKeySequence("Ctrl+Q")},
        {"Contents1", QKeySequence("F1")},
    };
    for (const auto &[name, key] : keys)
        QVERIFY2(action(&w, name)->shortcuts().contains(key), name);
    // Qt's own dialogs and buttons speak German.
    auto *app = dynamic_cast<K352Application *>(QCoreApplication::instance());
    QVERIFY(app->qtTranslationsLoaded());
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QString("Abbrechen"));
}

void TestMainWindow::escapedExceptionsAreShownAndLoopGoesOn()
{
    auto *app = dynamic_cast<K352Application *>(QCoreApplication::instance());
    QVERIFY(app);
    QStringList shown;
    app->setErrorReporter([&](const QString &text) {
        shown << text;
        // A second failure while the first is being shown is not stacked.
        K352Application::reportError("nested");
    });
    Thrower t;
    t.toThrow = [] { throw PortError("Datei nicht gefunden: a.rec"); };
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(shown, QStringList{"Datei nicht gefunden: a.rec"});

    t.toThrow = [] { throw SilentAbort(); };
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(shown.size(), 1); // silent

    t.toThrow = nullptr;
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(t.handled, 3); // the loop went on delivering events
    app->setErrorReporter({});
}

int main(int argc, char *argv[])
{
    // The user data folder goes into a scratch home folder, not the real one.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
    K352Application app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "gui_mainwindow.moc"
