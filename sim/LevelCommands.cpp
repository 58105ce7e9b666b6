#include "sim/LevelCommands.h"

#include <charconv>
#include <cmath>

const char *const kLevelCommandUsage =
    "  level DB           measure a steady DB dB from now on (one decimal counts)\n"
    "  level random       measure the random level again\n"
    "  spell DB SECONDS   a loud spell: DB dB for SECONDS seconds, then back\n";

namespace {
bool decimal(std::string_view text, double &value)
{
    const char *end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && p == end && value >= 0 && value <= 200;
}
} // namespace

bool applyLevelCommand(SimulatedMeter &meter, std::string_view word, std::string_view arg)
{
    double db = 0, seconds = 0;
    if (word == "level" && arg == "random") {
        meter.setSteadyLevel(std::nullopt);
        return true;
    }
    if (word == "level" && decimal(arg, db)) {
        meter.setSteadyLevel(db);
        return true;
    }
    if (word == "spell") {
        const auto space = arg.find(' ');
        if (space == std::string_view::npos)
            return false;
        std::string_view rest = arg.substr(space + 1);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (!decimal(arg.substr(0, space), db) || !decimal(rest, seconds))
            return false;
        meter.startSpell(db, std::llround(seconds * 1000));
        return true;
    }
    return false;
}
