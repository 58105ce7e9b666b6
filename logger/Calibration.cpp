#include "logger/Calibration.h"

#include "logger/SetupFrames.h"

#include <charconv>

std::optional<int> parseWholeNumber(const QString &text)
{
    QByteArray b = text.trimmed().toLatin1();
    if (b.startsWith('+'))
        b.remove(0, 1);
    if (b.isEmpty() || (text.trimmed().startsWith('+') && (b.startsWith('+') || b.startsWith('-'))))
        return std::nullopt;
    int value = 0;
    const auto [p, ec] = std::from_chars(b.data(), b.data() + b.size(), value);
    if (ec != std::errc() || p != b.data() + b.size())
        return std::nullopt;
    return value;
}

QString notAnIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString sendCalibration(SerialPort &comm1, const QString &hiText, const QString &loText)
{
    const auto lo = parseWholeNumber(loText);
    if (!lo)
        return notAnIntegerMessage(loText);
    const auto hi = parseWholeNumber(hiText);
    if (!hi)
        return notAnIntegerMessage(hiText);
    comm1.write(calibrationFrame(*hi, *lo));
    return {};
}
