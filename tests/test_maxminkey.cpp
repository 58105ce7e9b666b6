// The MAX/MIN key's press-and-hold logic on a manual timer and virtual time: what is sent, when,
// and what happens without a connection or while the receive handler is busy.
#include "panel/MaxMinKey.h"

#include <QtTest>

namespace {
struct Rig {
    ManualTimer timer{0};
    LinkState state;
    VirtualClock clock;
    QString sent;
    QStringList messages;
    MaxMinKey key{timer, state, clock, [this](char c) { sent += QLatin1Char(c); },
                  [this](const QString &m) { messages << m; }};

    Rig() { state.Connected = true; }
    // A timer tick is only delivered while the timer runs, as a real timer would.
    void tick()
    {
        if (timer.isEnabled())
            key.timerTick();
    }
};
} // namespace

class TestMaxMinKey : public QObject {
    Q_OBJECT
private slots:
    void timerIsOneSecondAndStopped();
    void shortPressSendsMOnRelease();
    void heldThreeTicksSendsNOnceAndNothingOnRelease();
    void notConnectedShowsMessageAndSendsNothing();
    void connectionLostWhileHeld();
    void busyReceiverDelaysSendAtMostThreeSeconds();
    void sendReenteringReleaseDoesNotSendTwice();
};

void TestMaxMinKey::timerIsOneSecondAndStopped()
{
    Rig r;
    QCOMPARE(r.timer.interval(), 1000);
    QVERIFY(!r.timer.isEnabled());
    r.key.mouseDown();
    QVERIFY(r.timer.isEnabled());
    QVERIFY(r.key.pressed());
}

void TestMaxMinKey::shortPressSendsMOnRelease()
{
    Rig r;
    r.key.mouseDown();
    r.tick();  // held about 1.5 s: one tick, then release
    QCOMPARE(r.sent, QString());
    r.key.mouseUp();
    QCOMPARE(r.sent, QString("M"));
    QVERIFY(!r.timer.isEnabled());
    QVERIFY(!r.key.pressed());
    QCOMPARE(r.key.ticks(), 0);

    // Two ticks are still a short press.
    r.key.mouseDown();
    r.tick();
    r.tick();
    r.key.mouseUp();
    QCOMPARE(r.sent, QString("MM"));
    QVERIFY(r.messages.isEmpty());
}

void TestMaxMinKey::heldThreeTicksSendsNOnceAndNothingOnRelease()
{
    Rig r;
    r.key.mouseDown();
    r.tick();
    r.tick();
    QCOMPARE(r.sent, QString());
    r.tick();  // about 3 s
    QCOMPARE(r.sent, QString("N"));
    QVERIFY(!r.timer.isEnabled());
    r.tick();  // still held at 3.5 s: nothing more
    r.key.mouseUp();
    QCOMPARE(r.sent, QString("N"));
    QVERIFY(r.messages.isEmpty());

    // The next click is an ordinary short press again.
    r.key.mouseDown();
    r.key.mouseUp();
    QCOMPARE(r.sent, QString("NM"));
}

void TestMaxMinKey::notConnectedShowsMessageAndSendsNothing()
{
    Rig r;
    r.state.Connected = false;
    r.key.mouseDown();
    r.tick();
    r.key.mouseUp();
    QCOMPARE(r.messages, QStringList{"No Connection"});
    QCOMPARE(r.sent, QString());

    // The connection returns before the hold time would have run out: the released key stays
    // released, no 'N' is sent.
    r.state.Connected = true;
    r.tick();
    r.tick();
    r.tick();
    QCOMPARE(r.sent, QString());
    QVERIFY(!r.timer.isEnabled());
}

void TestMaxMinKey::connectionLostWhileHeld()
{
    Rig r;
    r.key.mouseDown();
    r.tick();
    r.tick();
    r.state.Connected = false;
    r.tick();  // third tick without a connection: the hold ends without sending
    QCOMPARE(r.sent, QString());
    QVERIFY(!r.timer.isEnabled());
    r.key.mouseUp();
    QCOMPARE(r.messages, QStringList{"No Connection"});
    QCOMPARE(r.sent, QString());
}

void TestMaxMinKey::busyReceiverDelaysSendAtMostThreeSeconds()
{
    Rig r;
    r.state.RxBusy = true;  // never cleared: the wait must give up
    r.key.mouseDown();
    const qint64 before = r.clock.elapsedUs();
    r.key.mouseUp();
    const qint64 waited = r.clock.elapsedUs() - before;
    QVERIFY2(waited >= 3000 * 1000 && waited < 3100 * 1000, qPrintable(QString::number(waited)));
    QCOMPARE(r.sent, QString("M"));

    // Not busy: no wait at all.
    r.state.RxBusy = false;
    r.key.mouseDown();
    const qint64 start = r.clock.elapsedUs();
    r.key.mouseUp();
    QVERIFY(r.clock.elapsedUs() - start < 1000);
    QCOMPARE(r.sent, QString("MM"));
}

void TestMaxMinKey::sendReenteringReleaseDoesNotSendTwice()
{
    // The exchange processes window events; a release delivered during the held command's
    // exchange must not add an 'M'.
    ManualTimer timer{0};
    LinkState state;
    state.Connected = true;
    VirtualClock clock;
    QString sent;
    MaxMinKey *keyPtr = nullptr;
    MaxMinKey key(timer, state, clock,
                  [&](char c) {
                      sent += QLatin1Char(c);
                      if (c == 'N')
                          keyPtr->mouseUp();
                  },
                  {});
    keyPtr = &key;
    key.mouseDown();
    key.timerTick();
    key.timerTick();
    key.timerTick();
    QCOMPARE(sent, QString("N"));
}

QTEST_GUILESS_MAIN(TestMaxMinKey)
#include "test_maxminkey.moc"
