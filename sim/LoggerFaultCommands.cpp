#include "sim/LoggerFaultCommands.h"

#include <charconv>

const char *const kLoggerCommandUsage =
    "  record on|off      the meter records (REC) or not\n"
    "  blockbadsum K      block K (from 0) of the memory transfer goes out once with a wrong sum\n"
    "  blockcut K N       block K goes out once with only its first N bytes\n"
    "  blocksilent K      the meter falls silent after sending block K (once)\n"
    "  damage K           destroy the start marker of data set K (from 0)\n"
    "  setcount N         write N as the memory's data set count (0 and 4001 are faults)\n"
    "  memory             the standard data sets again, undamaged\n"
    "  writeecho on|off   memory writes are echoed (on) or carried out without an echo\n";

namespace {
bool number(std::string_view text, long long &value)
{
    const char *end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && p == end;
}

// Splits "a b" into two numbers.
bool twoNumbers(std::string_view text, long long &a, long long &b)
{
    const auto space = text.find(' ');
    if (space == std::string_view::npos)
        return false;
    std::string_view rest = text.substr(space + 1);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    return number(text.substr(0, space), a) && number(rest, b);
}
} // namespace

LoggerCommandResult applyLoggerCommand(SimulatedMeter &meter, std::string_view word, std::string_view arg)
{
    using R = LoggerCommandResult;
    long long n = 0, m = 0;
    const bool one = number(arg, n) && n >= 0;
    BlockTransfer &transfer = meter.blockTransfer();
    LoggerMemory &memory = meter.loggerMemory();
    const long long blocks = LoggerMemory::Size / 64 + 1;

    if (word == "record") {
        if (arg != "on" && arg != "off")
            return R::BadArgument;
        meter.state().recording = arg == "on";
    } else if (word == "writeecho") {
        if (arg != "on" && arg != "off")
            return R::BadArgument;
        meter.setEchoWrites(arg == "on");
    } else if (word == "blockbadsum") {
        if (!one || n >= blocks)
            return R::BadArgument;
        transfer.badSumInBlock(int(n));
    } else if (word == "blockcut") {
        if (!twoNumbers(arg, n, m) || n < 0 || n >= blocks || m < 0 || m > 64)
            return R::BadArgument;
        transfer.cutBlockShort(int(n), int(m));
    } else if (word == "blocksilent") {
        if (!one || n >= blocks)
            return R::BadArgument;
        transfer.silentAfterBlock(int(n));
    } else if (word == "damage") {
        if (!one || n >= memory.headerOffsets().size())
            return R::BadArgument;
        memory.damageSet(int(n));
    } else if (word == "setcount") {
        if (!one || n > 65535)
            return R::BadArgument;
        memory.setSetCountField(int(n));
    } else if (word == "memory") {
        if (!arg.empty())
            return R::BadArgument;
        memory.store(LoggerMemory::standardSets());
    } else {
        return R::NotMine;
    }
    return R::Done;
}
