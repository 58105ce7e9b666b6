#pragma once
// Text commands that script the level the simulated meter measures. k352-sim reads them from
// standard input.
//
//   level DB            a steady level of DB dB from now on
//   level random        the random level again (a quiet background with louder events)
//   spell DB SECONDS    a loud spell: DB dB for SECONDS seconds, then the level as before
#include "sim/SimulatedMeter.h"

#include <string_view>

// Carries out one command (word and its argument text); false when it is not one of these or
// its argument is bad.
bool applyLevelCommand(SimulatedMeter &meter, std::string_view word, std::string_view arg);

// The lines of the usage text for these commands.
extern const char *const kLevelCommandUsage;
