#include "data/DateTimeText.h"

#include "app/SystemFormats.h"
#include "data/TextFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {
const QDate kEpoch(1899, 12, 30);

void appendTwo(QByteArray &out, int v)
{
    out.append(char('0' + v / 10));
    out.append(char('0' + v % 10));
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool readInt(std::string_view s, size_t &i, int &v, int maxDigits = 9)
{
    size_t j = i;
    v = 0;
    while (j < s.size() && j - i < size_t(maxDigits) && s[j] >= '0' && s[j] <= '9')
        v = v * 10 + (s[j++] - '0');
    if (j == i)
        return false;
    i = j;
    return true;
}

// Field order of a numeric short date format: 'd', 'M', 'y' in the order they appear.
struct NumericDate {
    bool numeric = false;
    char order[3] = {0, 0, 0};
    char sep = 0;
};

NumericDate analyse(const QString &fmt)
{
    NumericDate d;
    int n = 0;
    for (qsizetype i = 0; i < fmt.size();) {
        const QChar c = fmt.at(i);
        qsizetype j = i;
        while (j < fmt.size() && fmt.at(j) == c)
            ++j;
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            if (n == 3 || ((c == QLatin1Char('M') || c == QLatin1Char('d')) && j - i > 2))
                return {};
            d.order[n++] = char(c.unicode());
        } else {
            if (j - i != 1 || c.unicode() > 0x7f || c.isLetterOrNumber() || (d.sep && d.sep != char(c.unicode())))
                return {};
            d.sep = char(c.unicode());
        }
        i = j;
    }
    d.numeric = n == 3 && d.sep;
    return d;
}
// The text with every decimal digit of another script replaced by its ASCII digit; nullopt when
// it holds none.
std::optional<std::string> withAsciiDigits(std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (unsigned char)(c) < 0x80; }))
        return std::nullopt;
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    QString out;
    bool changed = false;
    for (const char32_t c : text.toUcs4()) {
        const int digit = QChar::digitValue(c);
        if (c >= 0x80 && digit >= 0 && QChar::category(c) == QChar::Number_DecimalDigit) {
            out += QLatin1Char(char('0' + digit));
            changed = true;
        } else {
            out += QString::fromUcs4(&c, 1);
        }
    }
    if (!changed)
        return std::nullopt;
    return out.toStdString();
}
} // namespace

QString levelText(float level, const RegionalFormat &f)
{
    if (std::isnan(level))
        return QStringLiteral("NAN");
    if (std::isinf(level))
        return level > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    char buf[64];
    const double v = std::fabs(double(level));
    std::string text;
    if (v >= 1e7) {
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
        text.assign(buf, r.ptr);
    } else {
        // First to 7 significant digits, then that decimal text to one decimal, halves away from
        // zero: 99.95f (99.9499969...) gives 100.0, as the float's 7-digit text 99.95000 reads.
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 6);
        const std::string_view sci(buf, size_t(r.ptr - buf));
        const size_t e = sci.find('e');
        std::string digits;
        for (size_t i = 0; i < e; ++i)
            if (sci[i] != '.')
                digits += sci[i];
        int exponent = 0;
        std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exponent);
        const int keep = exponent + 2;  // digits up to and including the first decimal
        qint64 tenths = 0;
        if (keep >= int(digits.size())) {
            for (char c : digits)
                tenths = tenths * 10 + (c - '0');
            for (int i = int(digits.size()); i < keep; ++i)
                tenths *= 10;
        } else if (keep >= 0) {
            for (int i = 0; i < keep; ++i)
                tenths = tenths * 10 + (digits[size_t(i)] - '0');
            if (digits[size_t(keep)] >= '5')
                ++tenths;
        }
        auto ri = std::to_chars(buf, buf + sizeof buf, tenths / 10);
        text.assign(buf, ri.ptr);
        text += '.';
        text += char('0' + tenths % 10);
        if (tenths == 0)
            level = 0;  // no "-0.0"
    }
    QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    if (level < 0)
        s.prepend(QLatin1Char('-'));
    s.replace(QLatin1Char('.'), f.decimal);
    return s;
}

namespace {
// The point's time rounded to the millisecond, split into the day number and the time of day.
// A value that is not a date (not finite, or millions of years away) is written as day 0.
void splitTime(TDateTime x, qint64 &day, qint64 &ms)
{
    const double totalMs = std::round(x * 86400000.0);
    const double days = std::floor(totalMs / 86400000.0);
    if (!std::isfinite(days) || std::fabs(days) > 1e8) {
        day = 0;
        ms = 0;
        return;
    }
    day = qint64(days);
    ms = qint64(totalMs - days * 86400000.0);
    if (ms < 0 || ms >= 86400000)
        ms = 0;
}

// The date field as written, quoted when the date itself holds the separator.
QByteArray dateField(qint64 day, char sep, const RegionalFormat &f)
{
    const QByteArray text = f.locale.toString(kEpoch.addDays(day), f.shortDate).toUtf8();
    QByteArray out;
    appendField(out, std::string_view(text.constData(), size_t(text.size())), sep);
    return out;
}

void appendTimeAndLevel(QByteArray &out, qint64 ms, float level, char sep, const RegionalFormat &f)
{
    out.append(sep);
    appendTwo(out, int(ms / 3600000));
    out.append(':');
    appendTwo(out, int(ms / 60000 % 60));
    out.append(':');
    appendTwo(out, int(ms / 1000 % 60));
    out.append('.');
    char buf[8];
    auto r = std::to_chars(buf, buf + sizeof buf, int(ms % 1000));
    out.append(buf, r.ptr - buf);
    out.append(sep);
    const QByteArray text = levelText(level, f).toUtf8();
    appendField(out, std::string_view(text.constData(), size_t(text.size())), sep);
}
} // namespace

void appendGraphLine(QByteArray &out, TDateTime x, float level, char sep, const RegionalFormat &f)
{
    qint64 day = 0, ms = 0;
    splitTime(x, day, ms);
    out.append(dateField(day, sep, f));
    appendTimeAndLevel(out, ms, level, sep, f);
}

GraphLineFormatter::GraphLineFormatter(char separator, RegionalFormat format)
    : m_sep(separator), m_format(std::move(format))
{
}

void GraphLineFormatter::append(QByteArray &out, TDateTime x, float level)
{
    qint64 day = 0, ms = 0;
    splitTime(x, day, ms);
    if (!m_haveDay || day != m_day) {
        m_dayText = dateField(day, m_sep, m_format);
        m_day = day;
        m_haveDay = true;
    }
    out.append(m_dayText);
    appendTimeAndLevel(out, ms, level, m_sep, m_format);
    out.append("\r\n", 2);
}

bool GraphLineFormatter::write(QIODevice &device, TDateTime x, float level)
{
    m_line.clear();
    append(m_line, x, level);
    return device.write(m_line) == m_line.size();
}

std::optional<TDateTime> textToDateTime(std::string_view s, const RegionalFormat &f)
{
    static thread_local QString cachedFormat;
    static thread_local NumericDate nd;
    if (cachedFormat != f.shortDate) {
        cachedFormat = f.shortDate;
        nd = analyse(f.shortDate);
    }
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    // Digits, the format's separator and a blank after the date: the fast way for the usual short
    // date formats.
    const auto numericDate = [&](size_t &k, QDate &date) {
        int v[3] = {0, 0, 0};
        int d = 0, m = 0, y = 0;
        for (int n = 0; n < 3; ++n) {
            if (n > 0) {
                if (k >= s.size() || s[k] != nd.sep)
                    return false;
                ++k;
            }
            const size_t start = k;
            if (!readInt(s, k, v[n], nd.order[n] == 'y' ? 4 : 2))
                return false;
            if (nd.order[n] == 'd') d = v[n];
            else if (nd.order[n] == 'M') m = v[n];
            else y = (k - start <= 2) ? 2000 + v[n] : v[n];
        }
        date = QDate(y, m, d);
        return date.isValid() && k < s.size() && isBlank(s[k]);
    };
    QDate date;
    size_t k = i;
    if (nd.numeric && numericDate(k, date)) {
        i = k;
    } else if (const std::optional<std::string> ascii = withAsciiDigits(s); nd.numeric && ascii) {
        // The locale's own digits (the locale writes dates with them): read as ASCII digits.
        return textToDateTime(*ascii, f);
    } else {
        // Any other date, such as one with names, the locale's own digits or a separator after
        // the year: the locale parses the text up to the time.
        size_t j = s.size();
        while (j > i && s[j - 1] != ' ')
            --j;
        if (j <= i)
            return std::nullopt;
        const QString part = QString::fromUtf8(s.data() + i, qsizetype(j - 1 - i)).trimmed();
        date = f.locale.toDate(part, f.shortDate);
        i = j - 1;
    }
    if (!date.isValid())
        return std::nullopt;
    const size_t beforeBlanks = i;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i == beforeBlanks)
        return std::nullopt;
    const char ts = char(f.timeSep.unicode() < 0x80 ? f.timeSep.unicode() : ':');
    const char dec = char(f.decimal.unicode() < 0x80 ? f.decimal.unicode() : '.');
    // The graph text file writes ':' between hours, minutes and seconds whatever the regional
    // settings, so ':' is taken as well as the locale's own time separator.
    const auto timeSep = [&](size_t k) { return k < s.size() && (s[k] == ts || s[k] == ':'); };
    int h = 0, mi = 0, se = 0, ms = 0;
    if (!readInt(s, i, h, 2))
        return std::nullopt;
    if (timeSep(i)) {
        ++i;
        if (!readInt(s, i, mi, 2))
            return std::nullopt;
        if (timeSep(i)) {
            ++i;
            if (!readInt(s, i, se, 2))
                return std::nullopt;
            // The graph text file writes a point before the milliseconds whatever the regional
            // settings, so a point is taken as well as the decimal separator: a file the program
            // wrote reads back under every locale.
            if (i < s.size() && (s[i] == dec || s[i] == '.')) {
                ++i;
                if (!readInt(s, i, ms, 3))
                    return std::nullopt;
            }
        }
    }
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i < s.size()) {
        const QString rest = QString::fromUtf8(s.data() + i, qsizetype(s.size() - i)).trimmed();
        const bool am = rest.compare(f.amText, Qt::CaseInsensitive) == 0 || rest.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
        const bool pm = rest.compare(f.pmText, Qt::CaseInsensitive) == 0 || rest.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || h > 12 || h == 0)
            return std::nullopt;
        if (am && h == 12)
            h = 0;
        if (pm && h < 12)
            h += 12;
    }
    if (h > 23 || mi > 59 || se > 59 || ms > 999)
        return std::nullopt;
    return double(kEpoch.daysTo(date)) + ((h * 3600.0 + mi * 60.0 + se) * 1000.0 + ms) / 86400000.0;
}

std::optional<double> textToNumber(std::string_view s, const RegionalFormat &f)
{
    size_t a = 0, b = s.size();
    while (a < b && isBlank(s[a]))
        ++a;
    while (b > a && isBlank(s[b - 1]))
        --b;
    if (a == b || b - a > 60)
        return std::nullopt;
    double v = 0;
    if (!parseLocalNumber(QString::fromUtf8(s.data() + a, qsizetype(b - a)), &v, f.locale) || !std::isfinite(v))
        return std::nullopt;
    return v;
}
