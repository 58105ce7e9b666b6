#pragma once
// The wire log: every read and write of a serial port as hexadecimal bytes, in the logging
// category "k352.wire". Off by default; on with QT_LOGGING_RULES="k352.wire.debug=true" (to the
// usual message output) or with startWireLogFile (to a file, with timestamps).
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcWire)

enum class WireDirection { In, Out };

// One line: the direction, the device and the bytes, e.g. "out /dev/ttyUSB0: 02 4B 00 00 00 00 00 03".
QString wireLogLine(WireDirection direction, const QString &device, const QByteArray &bytes);
// Logs the bytes when the category is on.
void logWire(WireDirection direction, const QString &device, const QByteArray &bytes);

// Switches the category on and writes its messages to path (appended), each line led by the local
// date and time in ISO 8601 with milliseconds; other messages go where they went before. False
// when the file cannot be opened (nothing changed then).
bool startWireLogFile(const QString &path);
