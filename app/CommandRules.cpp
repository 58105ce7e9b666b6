#include "app/CommandRules.h"

namespace {
void setRun(CommandStates &s, bool on)
{
    s.btnRun.enabled = on;
    s.Run1.enabled = on;
}
void setStop(CommandStates &s, bool on)
{
    s.btnStop.enabled = on;
    s.Stop1.enabled = on;
}
} // namespace

CommandStates initialCommandStates(bool serviceItems)
{
    CommandStates s;
    setRun(s, false);
    setStop(s, false);
    s.btnOutputToGraph.enabled = false;
    s.ControlPanel1.checked = true;
    s.RealTimeGraph1.checked = true;
    s.Setup1.visible = serviceItems;
    s.Cali1.visible = serviceItems;
    return s;
}

CommandStates applyCommandEvent(CommandStates s, CommandEvent event, const CommandContext &context)
{
    switch (event) {
    case CommandEvent::StartUp:
        s.btnDataLogger.visible = true;
        s.DataLogger1.visible = true;
        break;
    case CommandEvent::MeterFound:
        setRun(s, true);
        setStop(s, false);
        break;
    case CommandEvent::ConnectionLost:
        setRun(s, false);
        setStop(s, false);
        s.btnDataLogger.enabled = false;
        s.DataLogger1.enabled = false;
        break;
    case CommandEvent::LateHandshake:
        s.btnDataLogger.visible = s.btnDataLogger.enabled = true;
        s.DataLogger1.visible = s.DataLogger1.enabled = true;
        if (context.realTimeRunning) {
            // Only the tool button: the menu item keeps the state it had.
            s.btnRun.enabled = false;
            setStop(s, true);
        } else {
            setRun(s, true);
            setStop(s, false);
        }
        break;
    case CommandEvent::RecordingStarted:
        setRun(s, false);
        setStop(s, true);
        break;
    case CommandEvent::RecordingStopped:
        setRun(s, true);
        setStop(s, false);
        break;
    case CommandEvent::RealTimeGraphCreated: s.RealTimeGraph1.checked = true; break;
    case CommandEvent::RealTimeGraphClosed:
        s.RealTimeGraph1.checked = false;
        setStop(s, false);
        if (context.connected)
            setRun(s, true);
        break;
    case CommandEvent::PanelOpened: s.ControlPanel1.checked = true; break;
    case CommandEvent::PanelClosed: s.ControlPanel1.checked = false; break;
    case CommandEvent::TableActivated: s.btnOutputToGraph.enabled = true; break;
    case CommandEvent::GraphActivated:
    case CommandEvent::PanelActivated: s.btnOutputToGraph.enabled = false; break;
    case CommandEvent::SingleValuesActivated: break;
    }
    return s;
}

void forEachItem(const CommandStates &s, const std::function<void(const QString &, const ItemState &)> &fn)
{
    fn(QStringLiteral("btnRun"), s.btnRun);
    fn(QStringLiteral("Run1"), s.Run1);
    fn(QStringLiteral("btnStop"), s.btnStop);
    fn(QStringLiteral("Stop1"), s.Stop1);
    fn(QStringLiteral("btnDataLogger"), s.btnDataLogger);
    fn(QStringLiteral("DataLogger1"), s.DataLogger1);
    fn(QStringLiteral("btnOutputToGraph"), s.btnOutputToGraph);
    fn(QStringLiteral("ControlPanel1"), s.ControlPanel1);
    fn(QStringLiteral("RealTimeGraph1"), s.RealTimeGraph1);
    fn(QStringLiteral("Setup1"), s.Setup1);
    fn(QStringLiteral("Cali1"), s.Cali1);
}

QStringList alwaysEnabledItems()
{
    return {QStringLiteral("Open1"),        QStringLiteral("Save1"),         QStringLiteral("Print1"),
            QStringLiteral("PrinterSetup1"), QStringLiteral("Exit1"),        QStringLiteral("LoadData1"),
            QStringLiteral("EraseMemory1"), QStringLiteral("RECALL1"),       QStringLiteral("Tile1"),
            QStringLiteral("Cascade1"),     QStringLiteral("Contents1"),     QStringLiteral("About1"),
            QStringLiteral("SpeedButton1"), QStringLiteral("SpeedButton2"),  QStringLiteral("btnPrint"),
            QStringLiteral("SpeedButton8")};
}
