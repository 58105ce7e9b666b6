#pragma once
// The fixed 8-byte frames of the logger set-up and information exchanges, and the conversions of
// their BCD fields.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace SetupFrames {
inline const QByteArray Begin = QByteArray("\x02\x63\0\0\0\0\0\x03", 8);        // 'c'
inline const QByteArray Live = QByteArray("\x02\x61\0\0\0\0\0\x03", 8);         // 'a'
inline const QByteArray Rtc = QByteArray("\x02rtc\0\0\0\x03", 8);
inline const QByteArray Erase = QByteArray("\x02" "erase\0\x03", 8);
inline const QByteArray Boot = QByteArray("\x02" "boot\0\0\x03", 8);
inline const QByteArray Version = QByteArray("\x02V\0\0\0\0\0\x03", 8);
inline const QByteArray Time = QByteArray("\x02ti\0\0\0\0\x03", 8);
inline const QByteArray FirstBlock = QByteArray("\x02Pi\0\0\0\0\x03", 8);
inline const QByteArray EndBlocks = QByteArray("\x02Qi\0\0\0\0\x03", 8);
// The eight address bytes of the memory test: addresses 0x008F00 to 0x00FF00.
inline constexpr quint8 TestAddresses[8] = {0x8F, 0x9F, 0xAF, 0xBF, 0xCF, 0xDF, 0xEF, 0xFF};
inline constexpr quint8 TestByte = 0x96;
}

// A value 0..99 as two BCD digits.
quint8 toBcd(int value);
// The byte as two hexadecimal digits, which are its two BCD digits ("09", "1A").
QString hex2(quint8 byte);

// 02 YY MM DD hh mm ss 03 for the given local date and time.
QByteArray clockFrame(const QDateTime &t);
// The text shown after the meter took the clock frame.
QString clockSetMessage(const QByteArray &clockFrame);

// The interval edits: minutes and seconds as typed. nullopt when either is not a number of one or
// two digits, minutes above 1, seconds above 60, or both 0.
struct IntervalBytes {
    quint8 minutes = 0, seconds = 0;  // BCD
};
std::optional<IntervalBytes> parseInterval(const QString &minutes, const QString &seconds);
// 02 'i' 'n' 't' mm ss 00 03.
QByteArray intervalFrame(IntervalBytes interval);

// 02 'w' 'E' 00 AA 00 value 03 and 02 'r' 'E' 00 AA 00 00 03: one byte at address 0x00AA00.
QByteArray memoryWriteFrame(quint8 addressByte, quint8 value);
QByteArray memoryReadFrame(quint8 addressByte);

// The calibration frame 02 'J' LO HI 00 00 00 03, each setting taken modulo 256.
QByteArray calibrationFrame(int hi, int lo);
