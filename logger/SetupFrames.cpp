#include "logger/SetupFrames.h"

#include <charconv>

quint8 toBcd(int value)
{
    return quint8(((value / 10 % 10) << 4) | (value % 10));
}

QString hex2(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QByteArray clockFrame(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime c = t.time();
    QByteArray f(8, '\0');
    f[0] = 0x02;
    f[1] = char(toBcd(d.year() % 100));
    f[2] = char(toBcd(d.month()));
    f[3] = char(toBcd(d.day()));
    f[4] = char(toBcd(c.hour()));
    f[5] = char(toBcd(c.minute()));
    f[6] = char(toBcd(c.second()));
    f[7] = 0x03;
    return f;
}

QString clockSetMessage(const QByteArray &f)
{
    auto h = [&](int i) { return hex2(quint8(f.at(i))); };
    return QStringLiteral("Meter time updated successfully \n") + QStringLiteral("Today is Day ") + h(3)
           + QStringLiteral(" of Month ") + h(2) + QStringLiteral(" of Year 20") + h(1) + QStringLiteral("\n")
           + QStringLiteral("The time is Second") + h(6) + QStringLiteral(" of Minute ") + h(5)
           + QStringLiteral(" of Hour ") + h(4);
}

namespace {
// One or two decimal digits; the BCD byte built from the characters and the value.
std::optional<std::pair<quint8, int>> digits(const QString &text)
{
    if (text.isEmpty() || text.size() > 2)
        return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const QByteArray b = text.toLatin1();
    int value = 0;
    std::from_chars(b.data(), b.data() + b.size(), value);
    const int tens = b.size() == 2 ? b[0] - '0' : 0;
    const int units = b[b.size() - 1] - '0';
    return std::make_pair(quint8((tens << 4) | units), value);
}
} // namespace

std::optional<IntervalBytes> parseInterval(const QString &minutes, const QString &seconds)
{
    const auto m = digits(minutes);
    const auto s = digits(seconds);
    if (!m || !s || m->second > 1 || s->second > 60 || (m->second == 0 && s->second == 0))
        return std::nullopt;
    return IntervalBytes{m->first, s->first};
}

QByteArray intervalFrame(IntervalBytes interval)
{
    QByteArray f("\x02int\0\0\0\x03", 8);
    f[4] = char(interval.minutes);
    f[5] = char(interval.seconds);
    return f;
}

QByteArray memoryWriteFrame(quint8 addressByte, quint8 value)
{
    QByteArray f("\x02wE\0\0\0\0\x03", 8);
    f[4] = char(addressByte);
    f[6] = char(value);
    return f;
}

QByteArray memoryReadFrame(quint8 addressByte)
{
    QByteArray f("\x02rE\0\0\0\0\x03", 8);
    f[4] = char(addressByte);
    return f;
}

QByteArray calibrationFrame(int hi, int lo)
{
    QByteArray f("\x02J\0\0\0\0\0\x03", 8);
    f[2] = char(quint8(lo & 0xFF));
    f[3] = char(quint8(hi & 0xFF));
    return f;
}
