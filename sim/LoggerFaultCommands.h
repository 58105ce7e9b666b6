#pragma once
// Text commands that script the data logger's side of the simulated meter: faults of the next
// block transfer, a damaged memory, the REC mark. k352-sim reads them from standard input.
//
//   record on|off       the meter records (the live frame's REC mark) or not
//   blockbadsum K       block K (from 0) of the transfer goes out once with a wrong sum
//   blockcut K N        block K goes out once with only its first N bytes (0..64)
//   blocksilent K       the meter answers nothing more after sending block K (once)
//   damage K            the start marker of data set K (from 0) is destroyed
//   setcount N          N (0..65535) is written as the memory's data set count
//   memory              the standard data sets again, undamaged
//   writeecho on|off    memory writes are echoed, or carried out without an echo
#include "sim/SimulatedMeter.h"

#include <string_view>

enum class LoggerCommandResult { NotMine, Done, BadArgument };

// Carries out one command (word and its argument text) on the meter.
LoggerCommandResult applyLoggerCommand(SimulatedMeter &meter, std::string_view word, std::string_view arg);

// The lines of the usage text for these commands.
extern const char *const kLoggerCommandUsage;
