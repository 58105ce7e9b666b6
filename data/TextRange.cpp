#include "data/TextRange.h"
#include "app/WindowTexts.h"

#include "app/Catalogue.h"

#include <charconv>
#include <cstdlib>

namespace {
bool toInteger(const QString &text, qint64 &value)
{
    const QByteArray b = text.trimmed().toLatin1();
    const char *p = b.constData(), *e = p + b.size();
    if (p != e && *p == '+')
        ++p;
    qint32 v = 0;
    auto r = std::from_chars(p, e, v);
    if (r.ec != std::errc() || r.ptr != e || p == e)
        return false;
    value = v;
    return true;
}
} // namespace

RangeChoice chooseRange(const RangeEntry &entry, qint64 count)
{
    RangeChoice c;
    c.status = RangeChoice::Ok;
    if (entry.all) {
        c.start = 1;
        c.end = count;
    } else {
        qint64 a = 0, b = 0;
        if (!toInteger(entry.from, a) || !toInteger(entry.to, b)) {
            c.status = RangeChoice::NotInteger;
            c.message = LoadStr(41);
            return c;
        }
        a = std::llabs(a);
        b = std::llabs(b);
        if (b < a)
            std::swap(a, b);
        if (b > count)
            b = count;
        if (a == 0)
            a = 1;
        c.start = a;
        c.end = b;
    }
    // A start beyond the end (a range past the data, or no data at all) writes nothing.
    if (c.start > c.end) {
        c.status = RangeChoice::Empty;
        c.message = count <= 0 ? messageText("NothingToSave")
                               : messageText("RangeOutside")
                                     .arg(c.start).arg(c.end).arg(count);
    }
    return c;
}

RangeChoice askRange(TextUi &ui, const QString &caption, qint64 count)
{
    const std::optional<RangeEntry> entry = ui.askRange(caption, count);
    if (!entry)
        return {};
    RangeChoice c = chooseRange(*entry, count);
    if (c.status != RangeChoice::Ok)
        ui.message(c.message);
    return c;
}
