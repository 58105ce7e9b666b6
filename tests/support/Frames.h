#pragma once
// Builders of live frames for tests.
#include "link/LiveFrame.h"

#include <QByteArray>

// A valid live frame with the given status bytes and level count (binary, 0.1 dB).
inline QByteArray liveFrame(quint8 a = 0x18, quint8 b = 0x23, quint16 level = 553, quint8 seconds = 0x30)
{
    QByteArray f(LiveFrame::Size, '\0');
    f[0] = 0x02;
    f[1] = char(a);
    f[2] = char(b);
    f[5] = char(level >> 8);
    f[6] = char(level & 0xFF);
    f[7] = char(level >> 8);
    f[8] = char(level & 0xFF);
    f[11] = 0x12;
    f[12] = 0x34;
    f[13] = char(seconds);
    f[14] = 0x26;
    f[15] = 0x12;
    f[16] = 0x09;
    f[17] = char(LiveFrame::checksum(f.constData()));
    f[18] = 0x03;
    return f;
}
