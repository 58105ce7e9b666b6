#include "logger/LoggerExchange.h"

namespace {
constexpr quint32 EchoWaitMs = 200;
}

int waitForBytes(SerialPort &port, Clock &clock, int n, quint32 ms, bool fixed)
{
    if (fixed) {
        BusyWait(clock, ms);
        return port.bytesWaiting();
    }
    const quint32 start = clock.tickMs();
    int waiting = port.bytesWaiting();
    while (waiting < n && quint32(clock.tickMs() - start) <= ms)
        waiting = port.bytesWaiting();
    return waiting;
}

bool sendLoggerFrame(SerialPort &port, Clock &clock, const QByteArray &frame, bool fixedWaits)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        port.purgeInput();
        port.write(frame);
        if (waitForBytes(port, clock, 8, EchoWaitMs, fixedWaits) < 8)
            continue;
        if (port.read(8) == frame)
            return true;
    }
    return false;
}
