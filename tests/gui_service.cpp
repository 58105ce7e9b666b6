// The service windows on screen: the calibration dialog's up-down limits and sending, the
// single-values window filled by a recall and made afresh after it was closed, and the set-up
// window's labels after an information read and its interval refusal.
#include "app/ui/K352Application.h"
#include "logger/SingleValuesRecall.h"
#include "logger/ui/TfrmCali.h"
#include "logger/ui/RecallWindowUi.h"
#include "tables/ui/GridView.h"
#include "logger/ui/TfrmSetup.h"
#include "sim/SimPort.h"
#include "support/ScriptPort.h"
#include "support/SetupRig.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

class GuiService : public QObject {
    Q_OBJECT
private slots:
    void init() { m_messages.clear(); setMessageResponder([this](const QString &t, QMessageBox::StandardButtons) {
                      m_messages << t;
                      return QMessageBox::Ok;
                  }); }
    void cleanup() { setMessageResponder({}); }
    void calibrationLimitsAndSending();
    void singleValuesWindowFilledAndMadeAfresh();
    void setupWindowReadAndRefusal();

private:
    QStringList m_messages;
};

void GuiService::calibrationLimitsAndSending()
{
    VirtualClock clock;
    ScriptPort port(clock);
    port.addDevice("COM1");
    port.open();
    TfrmCali cali(port);
    QCOMPARE(cali.windowTitle(), QString("Calibration"));
    QCOMPARE(cali.Edit1->text(), QString("1"));
    QCOMPARE(cali.Edit2->text(), QString("1"));
    for (int i = 0; i < 15; ++i)
        cali.UpDown1Up->click();
    QCOMPARE(cali.Edit1->text(), QString("11"));
    cali.UpDown2Down->click();
    QCOMPARE(cali.Edit2->text(), QString("1"));
    cali.Button1->click();
    cali.Button1->click();
    QCOMPARE(port.writes().size(), 2);
    QCOMPARE(port.writes()[0].bytes, QByteArray("\x02\x4A\x01\x0B\0\0\0\x03", 8));
    QCOMPARE(port.writes()[1].bytes, port.writes()[0].bytes);
    cali.Edit1->setText("300");
    cali.Button1->click();
    QCOMPARE(port.writes().last().bytes[3], char(0x2C));
    cali.Edit2->setText("abc");
    cali.Button1->click();
    QCOMPARE(port.writes().size(), 3);
    QCOMPARE(m_messages, QStringList{"'abc' is not a valid integer value"});

    // Cali1Click: the timer is stopped while the dialog is open and running again afterwards.
    LinkState state;
    ManualTimer timer(1000);
    timer.setEnabled(true);
    bool stoppedWhileOpen = false;
    QTimer::singleShot(0, [&] {
        stoppedWhileOpen = !timer.isEnabled();
        if (auto *d = qobject_cast<TfrmCali *>(QApplication::activeModalWidget()))
            d->Button2->click();
    });
    openCalibrationDialog(state, port, timer, nullptr);
    QVERIFY(stoppedWhileOpen);
    QVERIFY(timer.isEnabled());
}

void GuiService::singleValuesWindowFilledAndMadeAfresh()
{
    VirtualClock clock;
    SimulatedMeter meter(QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)));
    SimPort port(clock);
    port.addDevice("ttyUSB0", &meter);
    port.setDeviceName("ttyUSB0");
    port.open();
    port.setRxHandler([&] { port.read(port.bytesWaiting()); });
    LinkState state;
    state.Connected = true;
    ManualTimer timer(1000);
    QPointer<TfrmDataCapture> window;
    {
        RecallWindowUi ui(window, nullptr, nullptr);
        SingleValuesRecall recall(state, port, clock, timer, ui);
        recall.RECALL1Click();
    }
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Datenaufzeichnung"));
    QCOMPARE(window->model()->grid().cell(0, 1), QString("01"));
    QCOMPARE(window->model()->grid().cell(1, 0), QString("Wert"));
    QCOMPARE(window->model()->grid().cell(4, 1), QString("dBA"));
    QCOMPARE(window->model()->grid().cell(5, 2), QString("SLOW"));
    QVERIFY(!window->model()->grid().cell(1, 5).isEmpty());
    QVERIFY(window->model()->grid().cell(1, 6).isEmpty());
    QCOMPARE(window->Grid1->model()->rowCount(), 100);

    // A recall that is refused reuses the window and leaves its rows empty.
    TfrmDataCapture *first = window;
    state.Connected = false;
    {
        RecallWindowUi ui(window, nullptr, nullptr);
        SingleValuesRecall recall(state, port, clock, timer, ui);
        recall.RECALL1Click();
    }
    QCOMPARE(window.data(), first);
    QVERIFY(window->model()->grid().cell(1, 1).isEmpty());
    QCOMPARE(m_messages.size(), 1);

    // Closed, it is forgotten; the next recall makes a new one.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window);
    RecallWindowUi ui(window, nullptr, nullptr);
    ui.prepareWindow();
    QVERIFY(window);
    delete window.data();
}

void GuiService::setupWindowReadAndRefusal()
{
    SetupRig r;
    auto *w = new TfrmSetup(r.state, r.comm1, r.clock, r.timer, nullptr, &r.comm2);
    QPointer<TfrmSetup> guard(w);
    QCOMPARE(w->windowTitle(), QString("Data Logger Setup"));
    QCOMPARE(w->edtInt1->text(), QString("00"));
    QCOMPARE(w->edtInt2->text(), QString("02"));
    QCOMPARE(w->Button4->text(), QString("Read  "));
    w->Button4->click();
    QCOMPARE(w->lblVer->text(), QString("1.10"));
    QCOMPARE(w->lblDataSets->text(), QString("5"));
    QCOMPARE(w->lblInt->text(), QString("00:02(mm:ss)"));
    QCOMPARE(w->lblMemTest->text(), QString("OK"));
    // The heading row, eight replies and the empty row after them.
    QCOMPARE(w->Grid1->rowCount(), 10);
    QCOMPARE(w->Grid1->item(1, 0)->text(), QString("00"));
    QCOMPARE(w->Grid1->item(1, 2)->text(), QString("77"));
    QVERIFY(r.handedBack());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    w->edtInt2->setText("00");
    const QByteArray before = r.port2.written();
    w->Button2->click();
    QCOMPARE(m_messages, QStringList{"Invalid Input"});
    QCOMPARE(r.port2.written(), before);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

QTEST_MAIN(GuiService)
#include "gui_service.moc"
