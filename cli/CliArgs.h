#pragma once
// Numbers on the command line: whole text only, no locale.
#include <QString>
#include <charconv>

inline bool parseCliInt(const QString &text, int &value)
{
    const QByteArray b = text.toLatin1();
    const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), value);
    return !b.isEmpty() && ec == std::errc() && p == b.data() + b.size();
}
