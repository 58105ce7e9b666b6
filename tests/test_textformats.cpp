#include "app/Catalogue.h"
#include "data/DateTimeText.h"
#include "data/TextFields.h"
#include "data/TextRange.h"
#include "support/ScriptedTextUi.h"

#include <QtTest>
#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);

TDateTime at(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return double(kEpoch.daysTo(QDate(y, mo, d))) + ((h * 3600.0 + mi * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

QByteArray line(TDateTime x, float level, char sep)
{
    QByteArray out;
    appendGraphLine(out, x, level, sep, RegionalFormat::current());
    return out;
}

// Restores the default locale after each test that changes it.
struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

RangeEntry selection(const char *from, const char *to)
{
    return RangeEntry{false, QString::fromLatin1(from), QString::fromLatin1(to)};
}

} // namespace

class TestTextFormats : public QObject {
    Q_OBJECT
private slots:
    void rangeRules_data();
    void rangeRules();
    void rangeFailures();
    void rangeDialog();
    void graphLine_data();
    void graphLine();
    void dateTimeRoundTrip_data();
    void dateTimeRoundTrip();
    void dateTimeForms();
    void pointTimeUnderCommaLocale();
    void numberTexts();
    void everyLocaleReadsItsOwnLines();
};

void TestTextFormats::rangeRules_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("end");
    QTest::newRow("all") << true << "7" << "9" << qint64(40) << qint64(1) << qint64(40);
    QTest::newRow("20 and 5") << false << "20" << "5" << qint64(40) << qint64(5) << qint64(20);
    QTest::newRow("-3 and 7") << false << "-3" << "7" << qint64(40) << qint64(3) << qint64(7);
    QTest::newRow("0 and 7") << false << "0" << "7" << qint64(40) << qint64(1) << qint64(7);
    QTest::newRow("1 and 1000 on 40") << false << "1" << "1000" << qint64(40) << qint64(1) << qint64(40);
    QTest::newRow("blanks and plus") << false << " +2 " << "3" << qint64(40) << qint64(2) << qint64(3);
    QTest::newRow("start one below end clamps") << false << "40" << "99" << qint64(40) << qint64(40) << qint64(40);
}

void TestTextFormats::rangeRules()
{
    QFETCH(bool, all);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(qint64, count);
    const RangeChoice c = chooseRange(RangeEntry{all, from, to}, count);
    QCOMPARE(c.status, RangeChoice::Ok);
    QTEST(c.start, "start");
    QTEST(c.end, "end");
}

void TestTextFormats::rangeFailures()
{
    // Not integers: the catalogue's message, nothing chosen.
    for (const RangeEntry &e : {selection("x", "7"), selection("1", ""), selection("1.5", "7"),
                                selection("1", "99999999999")}) {
        const RangeChoice c = chooseRange(e, 40);
        QCOMPARE(c.status, RangeChoice::NotInteger);
        QCOMPARE(c.message, LoadStr(41));
    }
    // A start beyond the end after clamping writes nothing and says so.
    RangeChoice c = chooseRange(selection("50", "60"), 40);
    QCOMPARE(c.status, RangeChoice::Empty);
    QVERIFY(!c.message.isEmpty());
    c = chooseRange(selection("41", "41"), 40);
    QCOMPARE(c.status, RangeChoice::Empty);
    // No data at all.
    c = chooseRange(RangeEntry{}, 0);
    QCOMPARE(c.status, RangeChoice::Empty);
    QVERIFY(!c.message.isEmpty());
}

void TestTextFormats::rangeDialog()
{
    ScriptedTextUi ui;
    ui.rangeAnswer = std::nullopt;
    RangeChoice c = askRange(ui, QStringLiteral("Daten speichern"), 12);
    QCOMPARE(c.status, RangeChoice::Cancelled);
    QCOMPARE(ui.rangeCaption, QStringLiteral("Daten speichern"));
    QCOMPARE(ui.rangeCount, qint64(12));
    QVERIFY(ui.messages.isEmpty());

    ui.rangeAnswer = selection("a", "3");
    c = askRange(ui, QStringLiteral("x"), 12);
    QCOMPARE(c.status, RangeChoice::NotInteger);
    QCOMPARE(ui.messages, QStringList{LoadStr(41)});

    ui.messages.clear();
    ui.rangeAnswer = selection("3", "5");
    c = askRange(ui, QStringLiteral("x"), 12);
    QCOMPARE(c.status, RangeChoice::Ok);
    QCOMPARE(c.start, qint64(3));
    QCOMPARE(c.end, qint64(5));
    QVERIFY(ui.messages.isEmpty());
}

void TestTextFormats::graphLine_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("x");
    QTest::addColumn<float>("level");
    QTest::addColumn<char>("sep");
    QTest::addColumn<QByteArray>("expected");
    const TDateTime t5 = at(2010, 12, 31, 14, 5, 30, 5);
    const TDateTime t250 = at(2010, 12, 31, 14, 5, 30, 250);
    QTest::newRow("de 5 ms tab") << "de_DE" << t5 << 56.7f << '\t' << QByteArray("31.12.2010\t14:05:30.5\t56,7");
    // A level that holds the comma is quoted, so that it stays one field.
    QTest::newRow("de 250 ms comma") << "de_DE" << t250 << 56.7f << ',' << QByteArray("31.12.2010,14:05:30.250,\"56,7\"");
    QTest::newRow("en 5 ms tab") << "en_US" << t5 << 56.7f << '\t' << QByteArray("12/31/2010\t14:05:30.5\t56.7");
    QTest::newRow("en 250 ms comma") << "en_US" << t250 << 56.7f << ',' << QByteArray("12/31/2010,14:05:30.250,56.7");
    QTest::newRow("de zero ms, early hour") << "de_DE" << at(2011, 1, 2, 3, 4, 5, 0) << 30.0f << '\t'
                                           << QByteArray("02.01.2011\t03:04:05.0\t30,0");
    // Rounded to the millisecond before the split, also across midnight.
    QTest::newRow("de rounds up") << "de_DE" << at(2010, 12, 31, 14, 5, 30, 999) + 0.6 / 86400000.0 << 99.95f
                                  << '\t' << QByteArray("31.12.2010\t14:05:31.0\t100,0");
    QTest::newRow("de midnight") << "de_DE" << at(2010, 12, 31, 23, 59, 59, 999) + 0.7 / 86400000.0 << 45.0f
                                 << '\t' << QByteArray("01.01.2011\t00:00:00.0\t45,0");
    QTest::newRow("en negative level") << "en_US" << at(2012, 2, 29, 12, 0, 0, 100) << -1.25f << '\t'
                                       << QByteArray("2/29/2012\t12:00:00.100\t-1.3");
}

void TestTextFormats::graphLine()
{
    QFETCH(QString, locale);
    QFETCH(double, x);
    QFETCH(float, level);
    QFETCH(char, sep);
    LocaleGuard guard{QLocale(locale)};
    QTEST(line(x, level, sep), "expected");
}

void TestTextFormats::dateTimeRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("German") << "de_DE";
    QTest::newRow("English US") << "en_US";
    QTest::newRow("English GB") << "en_GB";
}

void TestTextFormats::dateTimeRoundTrip()
{
    QFETCH(QString, locale);
    LocaleGuard guard{QLocale(locale)};
    const RegionalFormat f = RegionalFormat::current();
    // The date and time of a graph line, with the time written the way the locale writes a decimal
    // fraction, read back as one "date time" text.
    const TDateTime xs[] = {at(2010, 12, 31, 14, 5, 30, 5), at(1999, 1, 9, 0, 0, 0, 0),
                            at(2024, 2, 29, 23, 59, 59, 999), at(2026, 7, 4, 9, 8, 7, 60)};
    for (const TDateTime x : xs) {
        QByteArray l;
        appendGraphLine(l, x, 50.0f, '\t', f);
        const QList<QByteArray> fields = l.split('\t');
        QCOMPARE(fields.size(), 3);
        QByteArray time = fields[1];
        time.replace('.', f.decimal.toLatin1());
        const QByteArray text = fields[0] + ' ' + time;
        const std::optional<TDateTime> back = textToDateTime(text.toStdString(), f);
        QVERIFY2(back.has_value(), text.constData());
        QVERIFY2(std::fabs(*back - x) * 86400000.0 < 0.01, text.constData());
        // The level as written reads back as the number.
        const std::optional<double> v = textToNumber(fields[2].toStdString(), f);
        QVERIFY(v.has_value());
        QCOMPARE(*v, 50.0);
    }
    const std::optional<double> v = textToNumber(levelText(-56.7f, f).toStdString(), f);
    QVERIFY(v.has_value());
    QVERIFY(std::fabs(*v + 56.7) < 1e-9);
}

void TestTextFormats::dateTimeForms()
{
    {
        LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
        const RegionalFormat f = RegionalFormat::current();
        auto conv = [&](const char *s) { return textToDateTime(s, f); };
        QCOMPARE(conv("31.12.2010 14"), std::optional<TDateTime>(at(2010, 12, 31, 14, 0, 0, 0)));
        QCOMPARE(conv("31.12.2010  14:05"), std::optional<TDateTime>(at(2010, 12, 31, 14, 5, 0, 0)));
        QCOMPARE(conv("31.12.10 14:05:30"), std::optional<TDateTime>(at(2010, 12, 31, 14, 5, 30, 0)));
        QCOMPARE(conv("1.2.2010 7:05:30,25"), std::optional<TDateTime>(at(2010, 2, 1, 7, 5, 30, 25)));
        // Not in full a date and a time.
        for (const char *bad : {"", "31.12.2010", "31.12.201014:00", "31.12.2010 ", "32.12.2010 14:00",
                                "31.13.2010 14:00", "31/12/2010 14:00", "31.12.2010 24:00", "31.12.2010 14:60",
                                "31.12.2010 14:05:30,25x", "31.12.2010 14:05:30,1234", "x31.12.2010 14:00",
                                "29.02.2011 10:00", "31.12.2010 13 PM"})
            QVERIFY2(!conv(bad).has_value(), bad);
    }
    {
        LocaleGuard guard{QLocale(QStringLiteral("en_US"))};
        const RegionalFormat f = RegionalFormat::current();
        auto conv = [&](const char *s) { return textToDateTime(s, f); };
        QCOMPARE(conv("12/31/2010 2:05:30 PM"), std::optional<TDateTime>(at(2010, 12, 31, 14, 5, 30, 0)));
        QCOMPARE(conv("12/31/2010 12:00 am"), std::optional<TDateTime>(at(2010, 12, 31, 0, 0, 0, 0)));
        QCOMPARE(conv("12/31/2010 12:30 PM"), std::optional<TDateTime>(at(2010, 12, 31, 12, 30, 0, 0)));
        QCOMPARE(conv("1/2/2010 14:05:30.250"), std::optional<TDateTime>(at(2010, 1, 2, 14, 5, 30, 250)));
        QVERIFY(!conv("31.12.2010 14:00").has_value());
        QVERIFY(!conv("13/1/2010 14:00").has_value());
        QVERIFY(!conv("1/2/2010 14:05:30,250").has_value());
    }
}

void TestTextFormats::pointTimeUnderCommaLocale()
{
    // The graph export writes a point before the milliseconds under every locale; the conversion
    // takes it where the decimal separator is a comma as well as where it is a point, so a file the
    // program wrote reads back. Other characters there are still refused.
    for (const char *name : {"de_DE", "en_US"}) {
        LocaleGuard guard{QLocale(QLatin1String(name))};
        const RegionalFormat f = RegionalFormat::current();
        for (const TDateTime x : {at(2010, 12, 31, 14, 5, 30, 5), at(2010, 12, 31, 14, 5, 30, 250),
                                  at(2010, 12, 31, 23, 59, 59, 999), at(2010, 12, 31, 0, 0, 0, 0)}) {
            const QByteArray l = line(x, 56.7f, '\t');
            const QList<QByteArray> fields = l.split('\t');
            const QByteArray text = fields[0] + ' ' + fields[1];
            QVERIFY2(fields[1].contains('.'), l.constData());
            QCOMPARE(textToDateTime(text.toStdString(), f), std::optional<TDateTime>(x));
        }
        QByteArray bad = line(at(2010, 12, 31, 14, 5, 30, 5), 56.7f, '\t').split('\t')[1];
        bad.replace('.', ';');
        QVERIFY(!textToDateTime((QLocale().toString(QDate(2010, 12, 31), f.shortDate).toUtf8() + ' ' + bad).toStdString(), f)
                     .has_value());
    }
    LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
    const RegionalFormat f = RegionalFormat::current();
    QCOMPARE(textToDateTime("31.12.2010 14:05:30.5", f), std::optional<TDateTime>(at(2010, 12, 31, 14, 5, 30, 5)));
    QCOMPARE(textToDateTime("31.12.2010 14:05:30,5", f), std::optional<TDateTime>(at(2010, 12, 31, 14, 5, 30, 5)));
    QVERIFY(!textToDateTime("31.12.2010 14:05.5", f).has_value());
    QVERIFY(!textToDateTime("31.12.2010 14:05:30.", f).has_value());
    QVERIFY(!textToDateTime("31.12.2010 14:05:30.1000", f).has_value());
}

void TestTextFormats::numberTexts()
{
    {
        LocaleGuard guard{QLocale(QStringLiteral("de_DE"))};
        const RegionalFormat f = RegionalFormat::current();
        QCOMPARE(textToNumber("56,7", f), std::optional<double>(56.7));
        QCOMPARE(textToNumber(" -3,5 ", f), std::optional<double>(-3.5));
        QCOMPARE(textToNumber("+100", f), std::optional<double>(100.0));
        for (const char *bad : {"", " ", "56.7", "1.000,5", "56,7dB", "abc", ",", "inf", "nan", "1,2,3"})
            QVERIFY2(!textToNumber(bad, f).has_value(), bad);
        QCOMPARE(levelText(56.7f, f), QStringLiteral("56,7"));
        QCOMPARE(levelText(1234.56f, f), QStringLiteral("1234,6"));
        QCOMPARE(levelText(0.05f, f), QStringLiteral("0,1"));
        QCOMPARE(levelText(0.04f, f), QStringLiteral("0,0"));
        QCOMPARE(levelText(-0.04f, f), QStringLiteral("0,0"));
        QCOMPARE(levelText(0.0f, f), QStringLiteral("0,0"));
        QCOMPARE(levelText(9999.0f, f), QStringLiteral("9999,0"));
        QCOMPARE(levelText(130.0f, f), QStringLiteral("130,0"));
        QCOMPARE(levelText(0.00001f, f), QStringLiteral("0,0"));
    }
    {
        LocaleGuard guard{QLocale(QStringLiteral("en_US"))};
        const RegionalFormat f = RegionalFormat::current();
        QCOMPARE(textToNumber("56.7", f), std::optional<double>(56.7));
        for (const char *bad : {"56,7", "1,000.5", "1e", "--1"})
            QVERIFY2(!textToNumber(bad, f).has_value(), bad);
        QCOMPARE(levelText(1234.56f, f), QStringLiteral("1234.6"));
    }
}

void TestTextFormats::everyLocaleReadsItsOwnLines()
{
    // A graph line written under any locale Qt knows, tab- or comma-separated, gives back its date,
    // time and level when its fields are read under the same locale.
    const TDateTime xs[] = {at(2010, 12, 31, 14, 5, 30, 5), at(2024, 2, 29, 23, 59, 59, 999)};
    QStringList failures;
    qsizetype locales = 0;
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        ++locales;
        const RegionalFormat f = RegionalFormat::of(locale);
        for (const char sep : {'\t', ','}) {
            for (const TDateTime x : xs) {
                QByteArray l;
                appendGraphLine(l, x, -56.7f, sep, f);
                std::vector<std::string_view> fields;
                std::string scratch;
                splitFields(std::string_view(l.constData(), size_t(l.size())), sep, fields, scratch);
                const bool ok = fields.size() == 3
                                && textToDateTime(std::string(fields[0]) + ' ' + std::string(fields[1]), f) == std::optional<TDateTime>(x)
                                && textToNumber(fields[2], f) == std::optional<double>(-56.7);
                if (!ok)
                    failures << locale.name() + QLatin1Char(' ') + QString::fromUtf8(l);
            }
        }
    }
    QVERIFY(locales > 300);
    QVERIFY2(failures.isEmpty(), qPrintable(QStringLiteral("%1 lines: ").arg(failures.size()) + failures.join(QStringLiteral(" | "))));
}

QTEST_GUILESS_MAIN(TestTextFormats)
#include "test_textformats.moc"
