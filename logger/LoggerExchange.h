#pragma once
// The waits and the echo-checked exchange of the logger frame that the memory download and the
// stored-values transfer share.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QByteArray>

// Polls the port until at least n bytes are waiting or more than ms have passed; the bytes
// waiting then. With fixed set, waits the full ms first.
int waitForBytes(SerialPort &port, Clock &clock, int n, quint32 ms, bool fixed = false);
// Up to 3 attempts: purge the input, write the frame, wait up to 200 ms for 8 bytes and compare
// them with the frame. True when the meter echoed it.
bool sendLoggerFrame(SerialPort &port, Clock &clock, const QByteArray &frame, bool fixedWaits = false);
