#include "logger/StoredValues.h"

#include "app/Catalogue.h"
#include "app/SystemFormats.h"

#include <QLocale>

int bcdValue(quint8 byte)
{
    return (byte >> 4) * 10 + (byte & 0x0F);
}

int storedReadingCount(const QByteArray &memory)
{
    if (memory.size() <= StoredValues::CountOffset)
        return 0;
    const int n = quint8(memory.at(StoredValues::CountOffset));
    return n > StoredValues::MaxReadings ? 0 : n;
}

QList<StoredReading> decodeStoredReadings(const QByteArray &memory)
{
    QList<StoredReading> out;
    if (memory.size() < StoredValues::MemorySize)
        return out;
    const int n = storedReadingCount(memory);
    TDateTime previous = 0;
    for (int i = 0; i < n; ++i) {
        const int q = StoredValues::FirstRecord + StoredValues::RecordSize * i;
        auto at = [&](int k) { return quint8(memory.at(q + k)); };
        StoredReading r;
        r.weightingA = (at(0) & 0x08) != 0;
        r.fast = (at(0) & 0x10) != 0;
        const QDate date(2000 + bcdValue(at(1)), bcdValue(at(2)), bcdValue(at(3)));
        const QTime time(bcdValue(at(4)), bcdValue(at(5)), bcdValue(at(6)));
        r.dateValid = date.isValid() && time.isValid();
        r.when = r.dateValid ? toTDateTime(QDateTime(date, time)) : previous;
        previous = r.when;
        const int w = (at(7) >> 4) * 1000 + (at(7) & 0x0F) * 100 + (at(8) >> 4) * 10 + (at(8) & 0x0F);
        r.level = float(w) * 0.1f;
        out.append(r);
    }
    return out;
}

QStringList storedReadingCells(const StoredReading &r)
{
    const QDateTime t = fromTDateTime(r.when);
    return {r.level > StoredValues::ShownLimit ? QStringLiteral("----") : levelText(double(r.level)),
            QLocale().toString(t.date(), QLocale::ShortFormat), timeText(r.when), LoadStr(r.weightingA ? 19 : 18),
            LoadStr(r.fast ? 15 : 14)};
}
