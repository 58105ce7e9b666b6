#include "sim/SimCommands.h"

#include "sim/LevelCommands.h"
#include "sim/LoggerFaultCommands.h"

#include <QString>
#include <charconv>
#include <iostream>

namespace {



std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}


// The command frames the meter has taken in, one a line: the time in ms since the start, then
// the bytes in hex. What the computer put on the wire, for watching an exchange.
void printFrames(PtyMeter &meter)
{
    QList<SimulatedMeter::TimedBytes> frames;
    meter.withMeter([&](SimulatedMeter &m) { frames = m.receivedFrames(); });
    for (const SimulatedMeter::TimedBytes &f : frames)
        std::cout << QString::number(double(f.us) / 1000.0, 'f', 1).toStdString() << ' '
                  << f.bytes.toHex(' ').toStdString() << '\n';
    std::cout << std::flush;
}


const char *const kSimUsage =
    "Usage: k352-sim [--seed N] [--start yyyy-MM-ddThh:mm:ss] [--link PATH]\n"
    "       k352-sim --help | --version\n"
    "\n"
    "Runs a simulated sound level meter on a pseudo-terminal and prints its path.\n"
    "Open that path as the meter's serial port. With --link PATH a symbolic link\n"
    "PATH points at the terminal and follows it across a replug.\n"
    "Commands on standard input:\n"
    "  off         switch the meter off (no output, input ignored)\n"
    "  on          switch it on again\n"
    "  silent MS   answer nothing for MS milliseconds\n"
    "  resume      end a silence early\n"
    "  noise N     send N random bytes\n"
    "  badsum      give the next live frame a wrong checksum\n"
    "  split MS    pause MS milliseconds in the middle of the next live frame\n"
    "  replug MS   pull the USB adapter and plug it back after MS milliseconds: the\n"
    "              terminal goes away and a new one (another number) is printed\n"
    "  frames      print every command frame received so far (ms since start, hex bytes)\n"
    "  quit        stop\n"
    "The end of standard input does not stop the meter; SIGINT and SIGTERM do.\n";

} // namespace

bool parseNumber(std::string_view text, long long &value)
{
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// The usage text with the data logger's commands.
void printSimUsage(std::ostream &out)
{
    out << kSimUsage << "Commands for the measured level:\n" << kLevelCommandUsage
        << "Commands for the data logger:\n" << kLoggerCommandUsage;
}


// Carries out one command line; false for "quit".
bool applySimCommand(PtyMeter &meter, std::string_view line)
{
    line = trimmed(line);
    if (line.empty())
        return true;
    const auto space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view arg = space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space));
    long long n = 0;
    const bool hasNumber = parseNumber(arg, n) && n >= 0;

    if (word == "quit" && arg.empty())
        return false;
    if (word == "off" && arg.empty())
        meter.powerOff();
    else if (word == "on" && arg.empty())
        meter.powerOn();
    else if (word == "resume" && arg.empty())
        meter.resume();
    else if (word == "badsum" && arg.empty())
        meter.corruptNextChecksum();
    else if (word == "silent" && hasNumber)
        meter.silence(n);
    else if (word == "noise" && hasNumber && n <= 1000000)
        meter.injectNoise(int(n));
    else if (word == "split" && hasNumber && n <= 3600000)
        meter.splitNextFrame(int(n));
    else if (word == "replug" && hasNumber && n <= 3600000)
        meter.replug(n);
    else if (word == "frames" && arg.empty())
        printFrames(meter);
    else {
        LoggerCommandResult r = LoggerCommandResult::NotMine;
        meter.withMeter([&](SimulatedMeter &m) {
            if (applyLevelCommand(m, word, arg))
                r = LoggerCommandResult::Done;
            else
                r = applyLoggerCommand(m, word, arg);
        });
        if (r != LoggerCommandResult::Done)
            std::cerr << "k352-sim: unknown command: " << line << " (try --help)" << std::endl;
    }
    return true;
}
