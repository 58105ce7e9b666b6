// The reading decoder: levels, display digits, indicators, caches and the real-time hand-off.
#include "panel/ReadingDecoder.h"
#include "support/Frames.h"
#include "support/RecordingPanel.h"

#include <QtTest>

namespace {
struct Rig {
    LinkState state;
    ManualTimer blink{500};
    ReadingDecoder decoder{state, blink};
    RecordingPanel panel;
    QList<QPair<float, double>> handedOn;
    Rig()
    {
        decoder.setPanel(&panel);
        decoder.realTimeHandOff = [this](float l, double t) { handedOn.append({l, t}); };
    }
};
} // namespace

class TestDecoder : public QObject {
    Q_OBJECT
private slots:
    void weightingAndTimeWeighting();
    void maxMinSelectorsAndBlink();
    void recallDisplayUsesBcdAndSignedNumber();
    void recOverFull();
    void levelBar();
    void clockText();
    void thousandsDigit();
    void cachesTouchOnlyChangedElements();
    void levelHandedOnWhilePanelClosed();
    void valuesTheMeterNeverSends();
};

void TestDecoder::weightingAndTimeWeighting()
{
    Rig r;
    r.decoder.Decode(readingFrame(0x18, 0x23, 1000), 1.0);
    QCOMPARE(r.decoder.lastReading().level, 100.0f);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{1, 0, 0, 0}));
    QCOMPARE(r.panel.weighting, QString("dBA"));
    QCOMPARE(r.panel.fastText, QString("FAST"));
    QCOMPARE(r.panel.battery, 3);
    QVERIFY(r.panel.clockVisible);
    QVERIFY(!r.panel.maxShown && !r.panel.minShown);
    QCOMPARE(r.panel.recText, QString());
    QVERIFY(!r.panel.autoOff);
    r.decoder.Decode(readingFrame(0x00, 0x23, 1000), 1.0);
    QCOMPARE(r.panel.weighting, QString("dBC"));
    QCOMPARE(r.panel.fastText, QString("SLOW"));
    r.decoder.Decode(readingFrame(0xC0, 0x03, 1000), 1.0);
    QVERIFY(r.panel.under && r.panel.over);
    QVERIFY(!r.panel.clockVisible);
}

void TestDecoder::maxMinSelectorsAndBlink()
{
    Rig r;
    // MAX/MIN mode showing the maximum: digits show 60.0, the recording still gets 45.0.
    r.state.RealTimeRunning = true;
    r.decoder.Decode(readingFrame(0x1C, 0x04, 450, 600, 300), 2.0);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 6, 0, 0}));
    QVERIFY(r.panel.maxShown && !r.panel.minShown);
    QCOMPARE(r.handedOn.last().first, 45.0f);

    r.decoder.Decode(readingFrame(0x1C, 0x08, 450, 600, 300), 2.0);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 3, 0, 0}));
    QVERIFY(!r.panel.maxShown && r.panel.minShown);

    // Both selected: the labels blink together.
    r.decoder.Decode(readingFrame(0x1C, 0x0C, 450, 600, 300), 2.0);
    QVERIFY(r.blink.isEnabled());
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 4, 5, 0}));
    r.decoder.MaxMinTimerTimer();
    const bool first = r.panel.maxShown;
    QCOMPARE(r.panel.minShown, first);
    r.decoder.MaxMinTimerTimer();
    QCOMPARE(r.panel.maxShown, !first);
    QCOMPARE(r.panel.minShown, !first);

    // Selector MAX stops the blink and leaves MAX shown.
    r.decoder.Decode(readingFrame(0x1C, 0x04, 450, 600, 300), 2.0);
    QVERIFY(!r.blink.isEnabled());
    QVERIFY(r.panel.maxShown && !r.panel.minShown);

    // Leaving MAX/MIN mode hides both.
    r.decoder.Decode(readingFrame(0x18, 0x04, 450, 600, 300), 2.0);
    QVERIFY(!r.panel.maxShown && !r.panel.minShown);

    // A blink tick while the panel is closed changes only the blink state.
    r.decoder.setPanel(nullptr);
    const bool before = r.decoder.blinkState();
    r.decoder.MaxMinTimerTimer();
    QCOMPARE(r.decoder.blinkState(), !before);
    QVERIFY(!r.state.MaxMinBusy);
}

void TestDecoder::recallDisplayUsesBcdAndSignedNumber()
{
    Rig r;
    r.decoder.Decode(readingFrame(0x00, 0x43, 0x0453, 0, 0, 0x07), 1.0);
    QCOMPARE(r.decoder.lastReading().level, 45.3f);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 4, 5, 3}));
    QVERIFY(r.panel.recall);
    QCOMPARE(r.panel.readNo, QString("7"));
    QVERIFY(!r.panel.clockVisible);
    r.decoder.Decode(readingFrame(0x00, 0x43, 0x0453, 0, 0, 0xFF), 1.0);
    QCOMPARE(r.panel.readNo, QString("-1"));
    // Recall with MAX/MIN mode on reads the level as binary.
    r.decoder.Decode(readingFrame(0x04, 0x40, 0x0453, 0, 0, 1), 1.0);
    QCOMPARE(r.decoder.lastReading().level, float(0x0453) * 0.1f);
    r.decoder.Decode(readingFrame(0x00, 0x03, 500), 1.0);
    QVERIFY(!r.panel.recall);
}

void TestDecoder::recOverFull()
{
    Rig r;
    r.decoder.Decode(readingFrame(0x01, 0x10, 500), 1.0);
    QCOMPARE(r.panel.recText, QString("REC"));
    QVERIFY(r.state.MeterRecording);
    r.decoder.Decode(readingFrame(0x00, 0x10, 500), 1.0);
    QCOMPARE(r.panel.recText, QString("FULL"));
    QVERIFY(!r.state.MeterRecording);
}

void TestDecoder::levelBar()
{
    QCOMPARE(levelBarWidth(29.9f), 1);
    QVERIFY(levelBarWidth(28.0f) <= 0);
    QCOMPARE(levelBarWidth(140.0f), 101);
    QCOMPARE(levelBarWidth(80.0f), 51);
    Rig r;
    r.decoder.Decode(readingFrame(0x18, 0x23, 1400), 1.0);
    QCOMPARE(r.panel.barWidth, 101);
}

void TestDecoder::clockText()
{
    QCOMPARE(meterTimeText(0x12, 0x34, 0x56, ":"), QString("12:34:56"));
    QCOMPARE(meterTimeText(0x09, 0x05, 0x00, "."), QString("09.05.00"));
    QCOMPARE(meterTimeText(0x25, 0x00, 0x00, ":"), QString("25:00:00"));
    QCOMPARE(meterTimeText(0x1A, 0x00, 0x00, ":"), QString("1A:00:00"));
    Rig r;
    r.decoder.Decode(withClock(readingFrame(0x18, 0x23, 500), 0x12, 0x34, 0x56), 1.0);
    QCOMPARE(r.panel.timeText, QString("12:34:56"));
    QCOMPARE(r.panel.dateText, QString("26-12-09"));
    // Same seconds byte: the clock text is not touched again.
    r.decoder.Decode(withClock(readingFrame(0x18, 0x23, 500), 0x12, 0x34, 0x56), 1.0);
    QCOMPARE(r.panel.calls["time"], 1);
}

void TestDecoder::thousandsDigit()
{
    int d[4];
    QVERIFY(displayDigits(453, d));
    QCOMPARE((QList<int>{d[0], d[1], d[2], d[3]}), (QList<int>{10, 4, 5, 3}));
    QVERIFY(displayDigits(50, d));
    QCOMPARE((QList<int>{d[0], d[1], d[2], d[3]}), (QList<int>{10, 0, 5, 0}));
    QVERIFY(displayDigits(1305, d));
    QCOMPARE(d[0], 1);
    QVERIFY(displayDigits(1999, d));
    QCOMPARE((QList<int>{d[0], d[1], d[2], d[3]}), (QList<int>{1, 9, 9, 9}));
    // Beyond the half digit: 230.5 dB must not show as " 30.5", and 1100.0 not at all.
    QVERIFY(!displayDigits(2305, d));
    QVERIFY(!displayDigits(11000, d));
}

void TestDecoder::cachesTouchOnlyChangedElements()
{
    Rig r;
    r.decoder.Decode(readingFrame(0x18, 0x23, 553), 1.0);
    QCOMPARE(r.panel.calls["digit"], 4);
    QCOMPARE(r.panel.calls["indicators"], 1);
    QCOMPARE(r.panel.calls["battery"], 1);
    QVERIFY(!r.state.PanelRefresh);
    r.decoder.Decode(readingFrame(0x18, 0x23, 558), 1.0); // only the last digit changes
    QCOMPARE(r.panel.calls["digit"], 5);
    QCOMPARE(r.panel.calls["indicators"], 1);
    r.decoder.Decode(readingFrame(0x18, 0x22, 558), 1.0); // battery 2: indicators and battery again
    QCOMPARE(r.panel.calls["indicators"], 2);
    QCOMPARE(r.panel.calls["battery"], 2);
    QCOMPARE(r.panel.battery, 2);

    // A reopened panel gets everything on the next frame, though nothing changed.
    RecordingPanel fresh;
    r.decoder.setPanel(&fresh);
    r.state.PanelRefresh = true;
    r.decoder.Decode(readingFrame(0x18, 0x22, 558), 1.0);
    QCOMPARE(fresh.shownDigits(), (QList<int>{10, 5, 5, 8}));
    QCOMPARE(fresh.battery, 2);
    QCOMPARE(fresh.calls["indicators"], 1);
}

void TestDecoder::levelHandedOnWhilePanelClosed()
{
    Rig r;
    r.decoder.setPanel(nullptr);
    r.decoder.Decode(readingFrame(0x18, 0x23, 553), 3.5);
    QVERIFY(r.handedOn.isEmpty()); // no recording runs
    r.state.RealTimeRunning = true;
    r.decoder.Decode(readingFrame(0x01, 0x23, 612), 3.5);
    QCOMPARE(r.handedOn.size(), 1);
    QCOMPARE(r.handedOn[0].first, 61.2f);
    QCOMPARE(r.handedOn[0].second, 3.5);
    QVERIFY(r.state.MeterRecording);
    QVERIFY(r.state.PanelRefresh); // untouched while the panel is closed
}

void TestDecoder::valuesTheMeterNeverSends()
{
    Rig r;
    r.decoder.Decode(readingFrame(0x18, 0x23, 553), 1.0);
    r.decoder.Decode(readingFrame(0x18, 0x23, 2500), 1.0); // above 199.9 dB: not shown as 50.0
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 5, 5, 3}));
    // A count of 65535 and non-BCD clock bytes: the digits stay, nothing breaks.
    r.decoder.Decode(withClock(readingFrame(0xFF, 0xFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFF), 0xFF, 0xFF, 0xFF), 1.0);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{10, 5, 5, 3}));
    QCOMPARE(r.panel.timeText, QString("FF:FF:FF"));
    // The next valid frame repairs the display.
    r.decoder.Decode(readingFrame(0x18, 0x23, 1200), 1.0);
    QCOMPARE(r.panel.shownDigits(), (QList<int>{1, 2, 0, 0}));
    QCOMPARE(r.panel.weighting, QString("dBA"));
    QVERIFY(!r.panel.under && !r.panel.over);
    r.decoder.Decode(QByteArray(5, '\x02'), 1.0); // too short: ignored
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "test_decoder.moc"
