#pragma once
// Writing dates and times as ISO 8601 text for the machine-readable files, in ASCII digits
// whatever the locale.
#include <QByteArray>
#include <QtGlobal>

namespace IsoText {

// v in decimal, zero-padded to at least width digits (v >= 0).
void appendDigits(QByteArray &out, qint64 v, int width);
// "YYYY-MM-DD".
void appendDate(QByteArray &out, int year, int month, int day);
// "YYYY-MM-DDThh:mm:ss" and, withMs, ".mmm", of a day and the milliseconds into it.
void appendDateTime(QByteArray &out, int year, int month, int day, qint64 msOfDay, bool withMs);

} // namespace IsoText
