// The start dialog of a real-time recording and the two-thumb cursor slider.
#include "graph/ui/TwoThumbSlider.h"
#include "realtime/ui/TfrmSetupRealTime.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class GuiRealTime : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void setupDialogDuration();
    void setupDialogBadRate();
    void sliderValuesAndRange();
    void sliderDrag();
};

void GuiRealTime::setupDialogDuration()
{
    TfrmSetupRealTime d;
    QCOMPARE(d.windowTitle(), QString("Real-Time Setup"));
    QCOMPARE(d.edtRealTimeNo->text(), QString(" 2000"));
    QCOMPARE(d.txtRate->count(), 9);
    QCOMPARE(d.txtRate->itemText(0), QString("0,1"));
    QVERIFY(d.edtPeriod->isReadOnly());
    QCOMPARE(d.findChild<QLabel *>("Label1")->text(), QString("Anzahl aufzunehmende Messwerte"));
    d.setRateText("0,2");
    QCOMPARE(d.edtPeriod->text(), QString("0:6:40"));
    // Any edit that leaves 2000 values at 0.2 s writes the padded form.
    d.edtRealTimeNo->setText("2000 ");
    d.edtRealTimeNoChange();
    QCOMPARE(d.edtPeriod->text(), QString("0:06:40"));
    d.edtRealTimeNo->setText("99999");
    d.txtRate->setCurrentText("30,0");
    QCOMPARE(d.edtPeriod->text(), QString("833:19:30"));
    // A count that is not a number counts as 0.
    d.edtRealTimeNo->setText("1 2");
    d.edtRealTimeNoChange();
    QCOMPARE(d.edtPeriod->text(), QString("0:00:00"));
    // Letters cannot be typed into the count.
    QTest::keyClicks(d.edtRealTimeNo, "x");
    QVERIFY(!d.edtRealTimeNo->text().contains('x'));
}

void GuiRealTime::setupDialogBadRate()
{
    TfrmSetupRealTime d;
    QStringList errors;
    d.showError = [&](const QString &t) { errors << t; };
    d.setRateText("0,2");
    d.txtRate->setCurrentText("0.2x");
    QCOMPARE(errors, QStringList{"'0.2x' is not a valid floating point value"});
    QCOMPARE(d.edtPeriod->text(), QString("0:6:40")); // not updated
}

void GuiRealTime::sliderValuesAndRange()
{
    TwoThumbSlider s;
    QCOMPARE(s.Minimum(), 0);
    QCOMPARE(s.Maximum(), 100);
    QCOMPARE(s.Value1(), 0);
    QCOMPARE(s.Value2(), 100);
    QSignalSpy one(&s, &TwoThumbSlider::value1Changed), two(&s, &TwoThumbSlider::value2Changed);
    s.setValue1(0); // unchanged: no event
    QCOMPARE(one.count(), 0);
    s.setValue1(40);
    QCOMPARE(one.count(), 1);
    s.setValue2(500); // clamped to 100, which it already is
    QCOMPARE(two.count(), 0);
    s.setRange(0, 36);
    QCOMPARE(s.Value1(), 36);
    QCOMPARE(s.Value2(), 36);
    QCOMPARE(one.count(), 2);
    QCOMPARE(two.count(), 1);
    s.setValue1(12);
    s.setValue2(24);
    s.setRange(20, 30);
    QCOMPARE(s.Value1(), 20);
    QCOMPARE(s.Value2(), 24);
}

void GuiRealTime::sliderDrag()
{
    TwoThumbSlider s;
    s.resize(210, 18);
    s.setRange(0, 100);
    s.setValue1(10);
    s.setValue2(90);
    const int y = s.height() / 2;
    // 200 usable pixels for 100 steps: 41 pixels to the right move thumb 1 by 20 (truncated).
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(s.thumbCentre(10), y));
    QMouseEvent move(QEvent::MouseMove, QPointF(s.thumbCentre(10) + 41, y), s.mapToGlobal(QPointF(s.thumbCentre(10) + 41, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s, &move);
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(s.thumbCentre(30), y));
    QCOMPARE(s.Value1(), 30);
    QCOMPARE(s.Value2(), 90);
    // A press away from both thumbs moves nothing.
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(s.thumbCentre(60), y));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(s.thumbCentre(60), y));
    QCOMPARE(s.Value1(), 30);
    QCOMPARE(s.Value2(), 90);
}

QTEST_MAIN(GuiRealTime)
#include "gui_realtime.moc"
