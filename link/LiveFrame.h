#pragma once
// The meter's 19-byte live status frame: 0x02, 16 bytes of status, a sum byte, 0x03.
#include <QByteArray>
#include <QtGlobal>

namespace LiveFrame {
constexpr int Size = 19;
constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr int SumOffset = 17;

// Sum of the bytes at offsets 1 to 16, modulo 256.
inline quint8 checksum(const char *frame)
{
    quint8 sum = 0;
    for (int i = 1; i <= 16; ++i)
        sum = quint8(sum + quint8(frame[i]));
    return sum;
}
inline bool checksumOk(const char *frame) { return checksum(frame) == quint8(frame[SumOffset]); }
}

namespace CommandFrames {
// An 8-byte command frame: 0x02, the command, five parameter bytes, 0x03.
inline QByteArray make(char command)
{
    QByteArray f(8, '\0');
    f[0] = 0x02;
    f[1] = command;
    f[7] = 0x03;
    return f;
}
}
