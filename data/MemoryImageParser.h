#pragma once
// Turns a logger memory image into the data set store.
//
// Memory layout: bytes 9-10 the number of sets (big-endian), 11-13 the end pointer (address of
// the last used byte), the first set at 1024. A set: A5 5A, flag byte, BCD year, month, day, hour,
// minute, second, interval minutes (low nibble) and seconds (BCD), a 24-bit value count, two bytes
// per value, and the end marker 5A A5. Every index is checked against the image, so an image of
// any content is parsed without reading outside it.
#include "data/DataSetStore.h"

#include <QLocale>
#include <QStringList>

// Numbered as the load results of the same meaning.
enum class ParseResult {
    Loaded = 0,
    DamagedSet = 1,  // FaultSet and FaultOffset are set
    TooManySets = 2, // count above 4000
    NoDataSet = 6,   // count 0 (or an image too short to hold the count)
};

// The end pointer of an image, bytes 12 and 13 (big-endian); -1 when the image is shorter.
qint32 lastAddressOf(const MemoryImage &image);

// Parses image with store.LastAddress as the last valid index. On success replaces every list of
// the store, keeps the image with it (store.Image) and returns Loaded; otherwise DamagedSet, TooManySets or NoDataSet, and leaves the lists as they were (DamagedSet
// sets FaultSet and FaultOffset). A set start that cannot be decoded becomes undecodableStart.
ParseResult ParseMemoryImage(const MemoryImage &image, DataSetStore &store, TDateTime undecodableStart);

// One level from its two value bytes: the 12-bit number in tenths of a dB, 50.0 outside 20.0..140.0.
float decodeLevel(quint8 high, quint8 low);
// Recording interval in seconds from the two interval bytes; above 60 gives 2.
int decodeInterval(quint8 minutes, quint8 seconds);

// The rows of the data-set list, one per set: number, start date (the locale's short date format),
// start time "hh:mm:ss", interval "mm:ss", count, "A" or "C".
QList<QStringList> dataSetListRows(const DataSetStore &store, const QLocale &locale = QLocale());
// The interval as the list shows it: 2 gives "00:02", 60 gives "01:00".
QString intervalText(int seconds);
