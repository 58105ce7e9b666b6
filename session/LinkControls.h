#pragma once
// The commands whose availability follows the live link and the real-time recording, and the one
// rule that decides it from the link's state.
#include "link/LinkState.h"

enum class Control { btnRun, Run1, btnStop, Stop1, btnDataLogger, DataLogger1, tbntClr };

inline constexpr Control AllLinkControls[] = {Control::btnRun,        Control::Run1,        Control::btnStop,
                                              Control::Stop1,         Control::btnDataLogger, Control::DataLogger1,
                                              Control::tbntClr};

// Run while connected and not recording; Stop while connected and recording; the data logger
// commands unless the meter has been declared lost; the real-time window's clear button while
// nothing is being recorded.
bool linkControlEnabled(Control control, const LinkState &state);
