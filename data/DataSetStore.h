#pragma once
// The data sets read from the meter's data logger: one entry per set in the per-set lists, and
// every reading of every set in two flat lists (levels as 32-bit floats, times as TDateTime), each
// contiguous so that one set can be handed to a chart as two array slices without copying.
#include "app/TDateTime.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// The raw logger memory: element i is the byte at logger address i. Filled by a download or from a
// collection file, emptied again right after it has been parsed.
using MemoryImage = QByteArray;

struct DataSetStore {
    // Per-set lists, entry k for data set k in memory order.
    QList<TDateTime> SetStart;
    QList<qint32> SetInterval;     // seconds between two readings, 0 to 60
    QList<qint32> SetCount;        // readings in the set
    QList<quint8> SetFlags;        // bit 3: A weighting, else C
    QList<qint32> SetHeaderOffset; // image offset of the set's first header byte
    QList<qint32> SetEndOffset;    // image offset of the last byte of the set's end marker
    QList<qint32> SetMaxIndex;     // first position of the highest reading within the set
    QList<qint32> SetMinIndex;     // first position of the lowest reading within the set
    QList<double> SetMean;         // mean level in dB, 0.0 for an empty set

    // Flat lists: set 0 first, each set's readings in recording order.
    QList<float> Levels;
    QList<TDateTime> LevelTimes;

    // The memory image these sets were parsed from, kept whole: saving the collection on screen
    // writes these bytes, never a file that may hold another download.
    MemoryImage Image;

    // Last used logger address of the image being parsed (image bytes 12 and 13).
    qint32 LastAddress = 0;
    // The set whose markers failed the check in the last parse that found a damaged set, and its
    // header offset minus 1: what the header repair writes to the meter.
    qint32 FaultSet = 0;
    qint32 FaultOffset = 0;

    static constexpr int MaxSets = 4000;

    int setCount() const { return int(SetStart.size()); }
    bool isEmpty() const { return SetStart.isEmpty(); }
    // Position of set k's first reading in Levels and LevelTimes: the sum of the counts before it.
    qsizetype setOffset(int k) const;
    bool isWeightingA(int k) const { return (SetFlags.at(k) & 0x08) != 0; }
};
