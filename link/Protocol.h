#pragma once
// The meter's serial protocol by name: the command characters of the 8-byte command frame, the
// logger commands, the logger memory registers, the offsets of the 19-byte live frame and the bits
// of its two status bytes, and LiveStatus, the live frame's fields as named values.
#include <QByteArray>
#include <QtGlobal>

namespace Protocol {

// Byte 1 of the main command frame (02, command, 00 x 5, 03).
namespace Command {
constexpr char Identify = 'K';    // answered by 4 bytes; the meter's hold "390"
constexpr char Stream = 'a';      // (re)start the live stream
constexpr char Poll = 'A';        // asks an unconnected meter for live frames
constexpr char Acknowledge = 'X'; // after each decoded live frame
constexpr char EraseMemory = 'e';
// The control panel's keys.
constexpr char KeyFast = 'F';
constexpr char KeyWeighting = 'C';
constexpr char KeyRecord = 'E';
constexpr char KeyLevel = 'l';
constexpr char KeyMaxMinShort = 'M';
constexpr char KeyMaxMinHeld = 'N';
constexpr char KeyBackLight = 'W';
constexpr char KeyInterval = 'T';
constexpr char KeyMemory = 'R';
constexpr char KeyRecall = 'Q';
constexpr char KeySet = 'S';
constexpr char KeyDown = 'L';
} // namespace Command

// What the meter's identification reply holds.
inline constexpr char IdentifyReply[] = "390";

// Byte 1 of the logger frame (02, command, five parameter bytes, 03).
namespace Logger {
constexpr char ReadByte = 'r';
constexpr char WriteByte = 'w';
constexpr char MemoryBank = 'E'; // byte 2 of a read or write
constexpr char StartTransfer = 'P';
constexpr char BlockAccepted = 'y';
constexpr char BlockRejected = 'n';
constexpr char StopTransfer = 'Q';
constexpr char EndTransfer = 'X'; // end of the stored-values transfer
// A block of the transfer: 64 data bytes and their sum modulo 256.
constexpr int BlockSize = 64;
} // namespace Logger

// Register addresses (byte 5 of a read or write) of the logger memory header.
namespace Register {
constexpr quint8 FaultSetHigh = 0x09;  // 0x09..0x0A: data set number; 0x0B..0x0D: offset
constexpr int FaultFieldCount = 5;
constexpr quint8 EndPointer = 0x0B;    // 0x0B..0x0D: end pointer, high byte first
constexpr int EndPointerBytes = 3;
} // namespace Register

// Offsets in the 19-byte live frame.
namespace LiveOffset {
constexpr int StatusA = 1;
constexpr int StatusB = 2;
constexpr int RecallNumber = 3; // signed
constexpr int Level = 5;        // 2 bytes, high first
constexpr int Maximum = 7;
constexpr int Minimum = 9;
constexpr int Hours = 11;       // BCD
constexpr int Minutes = 12;
constexpr int Seconds = 13;
constexpr int Date = 14;        // 3 BCD bytes, shown in order
} // namespace LiveOffset

// Bits of status byte A.
namespace StatusA {
constexpr quint8 Recording = 0x01;
constexpr quint8 MaxMin = 0x04;
constexpr quint8 WeightingA = 0x08;
constexpr quint8 Fast = 0x10;
constexpr quint8 Under = 0x40;
constexpr quint8 Over = 0x80;
} // namespace StatusA

// Bits of status byte B.
namespace StatusB {
constexpr quint8 Battery = 0x03;
constexpr quint8 Selector = 0x0C;
constexpr quint8 Full = 0x10;
constexpr quint8 Clock = 0x20;
constexpr quint8 Recall = 0x40;
} // namespace StatusB

} // namespace Protocol

// Which MAX/MIN value the display holds (status byte B's selector).
enum class MaxMinSelector { None = 0x00, Max = 0x04, Min = 0x08, Both = 0x0C };

// The fields of one live frame.
struct LiveStatus {
    bool recording = false;
    bool maxMin = false;
    bool weightingA = false;
    bool fast = false;
    bool under = false;
    bool over = false;
    int battery = 0;
    MaxMinSelector selector = MaxMinSelector::None;
    bool memoryFull = false;
    bool clockShown = false;
    bool recallShown = false;
    qint8 recallNumber = 0;
    int levelWord = 0;   // binary count of 0.1 dB
    int levelBcd = 0;    // the same two bytes as four BCD digits (a stored value shown)
    int maximumWord = 0;
    int minimumWord = 0;
    quint8 hours = 0, minutes = 0, seconds = 0; // BCD
    quint8 date[3] = {0, 0, 0};                 // BCD

    // Whether the indicators a display draws from the status bytes (MAX/MIN, recording, memory
    // full, time and frequency weighting, range, battery) are the same.
    bool sameIndicators(const LiveStatus &o) const
    {
        return recording == o.recording && maxMin == o.maxMin && weightingA == o.weightingA && fast == o.fast
               && under == o.under && over == o.over && battery == o.battery && selector == o.selector
               && memoryFull == o.memoryFull;
    }

    // Parses a 19-byte frame (the caller has checked size, markers and sum).
    static LiveStatus parse(const QByteArray &frame);
};

inline LiveStatus LiveStatus::parse(const QByteArray &f)
{
    using namespace Protocol;
    auto at = [&](int i) { return quint8(f.at(i)); };
    auto word = [&](int i) { return (at(i) << 8) | at(i + 1); };
    LiveStatus s;
    const quint8 a = at(LiveOffset::StatusA), b = at(LiveOffset::StatusB);
    s.recording = a & StatusA::Recording;
    s.maxMin = a & StatusA::MaxMin;
    s.weightingA = a & StatusA::WeightingA;
    s.fast = a & StatusA::Fast;
    s.under = a & StatusA::Under;
    s.over = a & StatusA::Over;
    s.battery = b & StatusB::Battery;
    s.selector = MaxMinSelector(b & StatusB::Selector);
    s.memoryFull = b & StatusB::Full;
    s.clockShown = b & StatusB::Clock;
    s.recallShown = b & StatusB::Recall;
    s.recallNumber = qint8(at(LiveOffset::RecallNumber));
    s.levelWord = word(LiveOffset::Level);
    // Four BCD digits, high nibble of the first byte first. A nibble above 9 counts as its value,
    // as the meter never sends one.
    const quint8 hi = at(LiveOffset::Level), lo = at(LiveOffset::Level + 1);
    s.levelBcd = (hi >> 4) * 1000 + (hi & 0x0F) * 100 + (lo >> 4) * 10 + (lo & 0x0F);
    s.maximumWord = word(LiveOffset::Maximum);
    s.minimumWord = word(LiveOffset::Minimum);
    s.hours = at(LiveOffset::Hours);
    s.minutes = at(LiveOffset::Minutes);
    s.seconds = at(LiveOffset::Seconds);
    for (int i = 0; i < 3; ++i)
        s.date[i] = at(LiveOffset::Date + i);
    return s;
}
