#pragma once
// The single-value memory the meter sends after the start of a stored-values transfer: the
// number of readings at offset 20 and 10-byte records from offset 26 on. Decoding and the texts
// of the single-values window's columns 1 to 5.
#include "app/TDateTime.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

struct StoredReading {
    float level = 0;          // dB
    TDateTime when = 0;       // the record's date and time, or the one it inherited
    bool dateValid = false;   // the record's own date and time formed a valid date-time
    bool weightingA = false;  // else C
    bool fast = false;        // else SLOW
};

namespace StoredValues {
constexpr int MemorySize = 1024;
constexpr int CountOffset = 20;
constexpr int FirstRecord = 26;
constexpr int RecordSize = 10;
constexpr int MaxReadings = 99;
// Levels above this are shown as "----".
constexpr float ShownLimit = 150.0f;
}

// A BCD byte as high nibble x 10 + low nibble, without checking the digits (0x1A gives 20).
int bcdValue(quint8 byte);
// The number of readings in the memory (byte 20; above 99 counts as 0); 0 for a short memory.
int storedReadingCount(const QByteArray &memory);
// The readings of a complete memory (at least 1024 bytes; otherwise none). A record whose date
// and time are not valid takes those of the reading before it, the first one the zero of the
// date-time scale.
QList<StoredReading> decodeStoredReadings(const QByteArray &memory);
// Columns 1 to 5 of the window: level ("----" above 150.0), date, time, weighting, F/S, in the
// system's formats.
QStringList storedReadingCells(const StoredReading &reading);
