#pragma once
// The waits and the echo-checked exchange of the logger frame that the memory download and the
// stored-values transfer share.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QByteArray>

// Polls the port until at least n bytes are waiting or more than ms have passed; the bytes
// waiting then. With fixed set, waits the full ms first.
int waitForBytes(SerialPort &port, Clock &clock, int n, quint32 ms, bool fixed = false);

// Lets the line fall quiet: returns once no byte has arrived for a short while (or, when the
// meter keeps talking, after a bounded time), so that a late echo or a live frame still on its
// way is over before the next frame is written.
void waitForQuietLine(SerialPort &port, Clock &clock);

// Up to 3 attempts: let the line fall quiet, purge the input, write the frame, let the echo arrive
// within 200 ms and compare 8 bytes with the frame. True when the meter echoed it; bytes after the
// echo stay waiting. replyEndsWait: 0 waits the full 200 ms (a frame that only the echo answers);
// n ends the wait as soon as n bytes are waiting (the echo and the reply the caller reads next: a
// read byte, a block). The quiet line keeps a live frame that was on its way, or the late echo of
// a failed attempt, from being compared with the next echo; an echo that follows a whole live
// frame the meter started just as the frame went out counts.
bool sendLoggerFrame(SerialPort &port, Clock &clock, const QByteArray &frame, int replyEndsWait = 0);
