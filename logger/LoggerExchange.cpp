#include "logger/LoggerExchange.h"

#include "link/LiveFrame.h"

#include <algorithm>

namespace {
constexpr quint32 EchoWaitMs = 200;
// A line counts as quiet after this long without a byte (some 50 byte times at 9600 baud, more
// than any pause inside a reply); a meter that never stops gets the bound.
constexpr quint32 QuietMs = 50;
constexpr quint32 QuietLimitMs = 1000;
// The time of a live frame and an echo at 9600 baud, with some slack.
constexpr quint32 EchoBehindFrameMs = 35;
} // namespace

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

void waitForQuietLine(SerialPort &port, Clock &clock)
{
    const quint32 start = clock.tickMs();
    quint32 lastChange = start;
    int seen = port.bytesWaiting();
    for (;;) {
        const quint32 now = clock.tickMs();
        if (quint32(now - lastChange) > QuietMs || quint32(now - start) > QuietLimitMs)
            return;
        const int waiting = port.bytesWaiting();
        if (waiting != seen) {
            seen = waiting;
            lastChange = now;
        }
    }
}

bool sendLoggerFrame(SerialPort &port, Clock &clock, const QByteArray &frame, int replyEndsWait)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        waitForQuietLine(port, clock);
        port.purgeInput();
        port.write(frame);
        const int waiting = replyEndsWait > 0 ? waitForBytes(port, clock, replyEndsWait, EchoWaitMs)
                                              : waitForBytes(port, clock, 8, EchoWaitMs, true);
        if (waiting < 8)
            continue;
        QByteArray reply = port.read(8);
        if (reply == frame)
            return true;
        // The meter may have started a live frame just as the frame went out (the line was quiet
        // when it was purged, so the frame is whole): its echo then follows that frame. Sending
        // again would only repeat what the meter has already done.
        if (reply.at(0) != LiveFrame::Stx)
            continue;
        const int rest = LiveFrame::Size - 8;
        if (waitForBytes(port, clock, rest + std::max(replyEndsWait, 8), EchoBehindFrameMs) < rest + 8)
            continue;
        reply += port.read(rest);
        if (reply.at(LiveFrame::Size - 1) == LiveFrame::Etx && LiveFrame::checksumOk(reply.constData())
            && port.read(8) == frame)
            return true;
    }
    return false;
}
