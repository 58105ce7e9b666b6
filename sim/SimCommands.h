#pragma once
// The simulated meter's commands as lines of text ("off", "on", "level 72", "spell 85 10", "silent
// 3000", ...): what k352-sim reads on standard input, and what the program's demo meter takes the same way.
#include "sim/PtyMeter.h"

#include <ostream>
#include <string_view>

// Carries out one command line (unknown ones are named on standard error); false for "quit".
bool applySimCommand(PtyMeter &meter, std::string_view line);
// A whole decimal number, nothing else around it.
bool parseNumber(std::string_view text, long long &value);
// k352-sim's usage text with every command.
void printSimUsage(std::ostream &out);
