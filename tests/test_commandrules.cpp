// The main window's enabling rules, driven by the events that change them.
#include "app/CommandRules.h"

#include <QtTest>

namespace {
using E = CommandEvent;

CommandStates run(std::initializer_list<std::pair<E, CommandContext>> events, CommandStates s = initialCommandStates())
{
    for (const auto &[e, c] : events)
        s = applyCommandEvent(s, e, c);
    return s;
}

const CommandContext idle{true, false};
const CommandContext recording{true, true};
const CommandContext disconnected{false, false};
} // namespace

class TestCommandRules : public QObject {
    Q_OBJECT
private slots:
    void initialStates();
    void connectionAndRecording();
    void lossDuringRecording();
    void realTimeGraphWindow();
    void outputToGraphFollowsActiveWindow();
    void viewCheckMarks();
    void itemNames();
};

void TestCommandRules::initialStates()
{
    const CommandStates s = initialCommandStates();
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    QVERIFY(s.btnDataLogger.enabled && s.DataLogger1.enabled);
    QVERIFY(!s.btnOutputToGraph.enabled);
    QVERIFY(s.ControlPanel1.checked && s.RealTimeGraph1.checked);
    QVERIFY(!s.Setup1.visible && !s.Cali1.visible);
    const CommandStates service = initialCommandStates(true);
    QVERIFY(service.Setup1.visible && service.Cali1.visible);
}

void TestCommandRules::connectionAndRecording()
{
    CommandStates s = run({{E::StartUp, idle}, {E::MeterFound, idle}});
    QVERIFY(s.btnRun.enabled && s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    QVERIFY(s.btnDataLogger.visible && s.btnDataLogger.enabled);

    s = applyCommandEvent(s, E::RecordingStarted, recording);
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled && s.btnStop.enabled && s.Stop1.enabled);
    s = applyCommandEvent(s, E::RecordingStopped, idle);
    QVERIFY(s.btnRun.enabled && s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);

    // Lost while idle, then back: Run again, the data logger enabled again.
    s = applyCommandEvent(s, E::ConnectionLost, disconnected);
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    QVERIFY(!s.btnDataLogger.enabled && !s.DataLogger1.enabled);
    QVERIFY(s.btnDataLogger.visible);
    s = applyCommandEvent(s, E::LateHandshake, idle);
    QVERIFY(s.btnRun.enabled && s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    QVERIFY(s.btnDataLogger.enabled && s.DataLogger1.enabled && s.DataLogger1.visible);

    // The search finding no meter leaves Run disabled.
    s = run({{E::StartUp, disconnected}});
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled);
}

void TestCommandRules::lossDuringRecording()
{
    // The meter disconnects during a recording: Run and Stop both disabled until the late
    // handshake; then Stop is enabled and the Run button stays disabled.
    CommandStates s = run({{E::StartUp, idle}, {E::MeterFound, idle}, {E::RecordingStarted, recording},
                           {E::ConnectionLost, {false, true}}});
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    s = applyCommandEvent(s, E::LateHandshake, recording);
    QVERIFY(!s.btnRun.enabled && s.btnStop.enabled && s.Stop1.enabled);
    // The menu item Run keeps the state it had before the handshake.
    QVERIFY(!s.Run1.enabled);
    s = applyCommandEvent(s, E::RecordingStopped, idle);
    QVERIFY(s.btnRun.enabled && s.Run1.enabled && !s.btnStop.enabled);

    // A handshake during a recording leaves an enabled Run menu item enabled: only the button goes.
    CommandStates t = run({{E::MeterFound, idle}});
    t = applyCommandEvent(t, E::LateHandshake, recording);
    QVERIFY(!t.btnRun.enabled && t.Run1.enabled && t.btnStop.enabled);
}

void TestCommandRules::realTimeGraphWindow()
{
    CommandStates s = run({{E::MeterFound, idle}, {E::RecordingStarted, recording}});
    s = applyCommandEvent(s, E::RealTimeGraphClosed, idle);
    QVERIFY(!s.RealTimeGraph1.checked);
    QVERIFY(s.btnRun.enabled && s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
    s = applyCommandEvent(s, E::RealTimeGraphCreated, idle);
    QVERIFY(s.RealTimeGraph1.checked);

    // Closed while not connected: Stop off, Run left as it was.
    s = run({{E::RecordingStarted, recording}, {E::ConnectionLost, disconnected}});
    s = applyCommandEvent(s, E::RealTimeGraphClosed, disconnected);
    QVERIFY(!s.btnRun.enabled && !s.Run1.enabled && !s.btnStop.enabled && !s.Stop1.enabled);
}

void TestCommandRules::outputToGraphFollowsActiveWindow()
{
    CommandStates s = applyCommandEvent(initialCommandStates(), E::TableActivated);
    QVERIFY(s.btnOutputToGraph.enabled);
    // The single-values window does not change it.
    s = applyCommandEvent(s, E::SingleValuesActivated);
    QVERIFY(s.btnOutputToGraph.enabled);
    s = applyCommandEvent(s, E::PanelActivated);
    QVERIFY(!s.btnOutputToGraph.enabled);
    s = applyCommandEvent(applyCommandEvent(s, E::TableActivated), E::GraphActivated);
    QVERIFY(!s.btnOutputToGraph.enabled);
    s = applyCommandEvent(s, E::SingleValuesActivated);
    QVERIFY(!s.btnOutputToGraph.enabled);
}

void TestCommandRules::viewCheckMarks()
{
    CommandStates s = applyCommandEvent(initialCommandStates(), E::PanelClosed);
    QVERIFY(!s.ControlPanel1.checked);
    QVERIFY(s.RealTimeGraph1.checked);
    s = applyCommandEvent(s, E::PanelOpened);
    QVERIFY(s.ControlPanel1.checked);
    // Nothing but the view events touches the check marks.
    const CommandStates before = s;
    for (E e : {E::MeterFound, E::ConnectionLost, E::LateHandshake, E::RecordingStarted, E::RecordingStopped,
                E::TableActivated, E::GraphActivated, E::PanelActivated}) {
        const CommandStates after = applyCommandEvent(before, e, idle);
        QCOMPARE(after.ControlPanel1, before.ControlPanel1);
        QCOMPARE(after.RealTimeGraph1, before.RealTimeGraph1);
        QCOMPARE(after.Setup1, before.Setup1);
        QCOMPARE(after.Cali1, before.Cali1);
    }
}

void TestCommandRules::itemNames()
{
    // Every switched item is reported once by its object name, with its own state.
    QStringList names;
    CommandStates s = initialCommandStates();
    s.Stop1.enabled = true;
    forEachItem(s, [&](const QString &name, const ItemState &state) {
        QVERIFY2(!names.contains(name), qPrintable(name));
        names << name;
        if (name == QLatin1String("Stop1"))
            QVERIFY(state.enabled);
        if (name == QLatin1String("btnStop"))
            QVERIFY(!state.enabled);
    });
    QCOMPARE(names.size(), 11);
    for (const QString &always : alwaysEnabledItems())
        QVERIFY2(!names.contains(always), qPrintable(always));
    QVERIFY(alwaysEnabledItems().contains(QStringLiteral("SpeedButton8")));
    QVERIFY(alwaysEnabledItems().contains(QStringLiteral("Open1")));
}

QTEST_GUILESS_MAIN(TestCommandRules)
#include "test_commandrules.moc"
