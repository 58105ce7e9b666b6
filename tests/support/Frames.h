#pragma once
// Builders of the frames on the wire for tests, written from the frame layouts and not from the
// program's own encoders, so that a test compares the program with a second reading.
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

// A live frame with its own maximum and minimum level counts and reading number (zero unless given).
inline QByteArray readingFrame(quint8 a, quint8 b, quint16 level, quint16 max = 0, quint16 min = 0, quint8 readingNo = 0)
{
    QByteArray f = liveFrame(a, b, level);
    f[3] = char(readingNo);
    f[7] = char(max >> 8);
    f[8] = char(max & 0xFF);
    f[9] = char(min >> 8);
    f[10] = char(min & 0xFF);
    f[17] = char(LiveFrame::checksum(f.constData()));
    return f;
}

// The live frame f with the meter's clock at h:m:s (BCD bytes), its sum made good again.
inline QByteArray withClock(QByteArray f, quint8 h, quint8 m, quint8 s)
{
    f[11] = char(h);
    f[12] = char(m);
    f[13] = char(s);
    f[17] = char(LiveFrame::checksum(f.constData()));
    return f;
}

// A command frame of the logger transfers: 0x02, the command, 'E', two zero bytes, the memory
// address, the value, 0x03.
inline QByteArray loggerFrame(char command, quint8 address = 0x0D, quint8 value = 0)
{
    return QByteArray("\x02", 1) + command + 'E' + QByteArray(2, '\0') + char(address) + char(value)
           + QByteArray("\x03", 1);
}
