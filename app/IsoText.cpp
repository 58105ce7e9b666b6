#include "app/IsoText.h"

namespace IsoText {

void appendDigits(QByteArray &out, qint64 v, int width)
{
    char buf[24];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v > 0 || n < width);
    while (n > 0)
        out.append(buf[--n]);
}

void appendDate(QByteArray &out, int year, int month, int day)
{
    appendDigits(out, year, 4);
    out.append('-');
    appendDigits(out, month, 2);
    out.append('-');
    appendDigits(out, day, 2);
}

void appendDateTime(QByteArray &out, int year, int month, int day, qint64 msOfDay, bool withMs)
{
    appendDate(out, year, month, day);
    out.append('T');
    appendDigits(out, msOfDay / 3600000, 2);
    out.append(':');
    appendDigits(out, msOfDay / 60000 % 60, 2);
    out.append(':');
    appendDigits(out, msOfDay / 1000 % 60, 2);
    if (withMs) {
        out.append('.');
        appendDigits(out, msOfDay % 1000, 3);
    }
}

} // namespace IsoText
