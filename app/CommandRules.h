#pragma once
// The enabling rules of the main window's menu items and tool buttons, without widgets: the state
// of each item that the rules switch, and how each event changes it. Items not listed here are
// always enabled; their commands decide for themselves what they can do.
#include <QString>
#include <QStringList>
#include <functional>

struct ItemState {
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool operator==(const ItemState &) const = default;
};

struct CommandStates {
    ItemState btnRun, Run1, btnStop, Stop1;
    ItemState btnDataLogger, DataLogger1;
    ItemState btnOutputToGraph;
    ItemState ControlPanel1, RealTimeGraph1;  // check marks: the window exists
    ItemState Setup1, Cali1;                  // service items
    bool operator==(const CommandStates &) const = default;
};

// The states when the main window has been created: Run and Stop disabled, "Output Tabular to
// graph" disabled, both view items checked, the service items hidden unless asked for.
CommandStates initialCommandStates(bool serviceItems = false);

enum class CommandEvent {
    StartUp,                  // the start-up connection has run (found or not)
    MeterFound,               // the search found the meter
    ConnectionLost,           // the watchdog declared the connection lost
    LateHandshake,            // the meter answered again after a loss
    RecordingStarted,         // a real-time recording started
    RecordingStopped,         // a real-time recording stopped
    RealTimeGraphCreated,     // the real-time graph window was created
    RealTimeGraphClosed,      // the real-time graph window closed
    PanelOpened,              // the control panel was created (from the menu or at start-up)
    PanelClosed,              // the control panel closed
    TableActivated,           // a table window became the active child
    GraphActivated,           // a graph window became the active child
    PanelActivated,           // the control panel became the active child
    SingleValuesActivated,    // the single-values window became the active child (no change)
};

// What some events depend on: Connected for a closing real-time graph window, whether a
// recording runs for the late handshake.
struct CommandContext {
    bool connected = false;
    bool realTimeRunning = false;
};

CommandStates applyCommandEvent(CommandStates states, CommandEvent event, const CommandContext &context = {});

// Each switched item with its object name ("btnRun", "Run1", ...), for applying the states to the
// window's actions and buttons.
void forEachItem(const CommandStates &states, const std::function<void(const QString &name, const ItemState &)> &fn);

// Object names of the items that are always enabled.
QStringList alwaysEnabledItems();
