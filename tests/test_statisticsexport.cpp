// The clipboard text of a graph window's statistics export: labels, line feeds, tabs, times with
// milliseconds without leading zeros, the decimal separator, and where the readings stop. Also the
// rate choice of the real-time graph window.
#include "app/TDateTime.h"
#include "graph/SamplingRateChoice.h"
#include "graph/StatisticsExport.h"

#include <QtTest>

namespace {
const QDate kEpoch(1899, 12, 30);

TDateTime at(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return double(kEpoch.daysTo(QDate(y, mo, d))) + ((h * 3600.0 + mi * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

StatisticsFieldTexts sampleFields()
{
    StatisticsFieldTexts f;
    f.startTime = QStringLiteral("08.12.2025 14:03:07");
    f.samplingRate = QStringLiteral("0,2");
    f.dataNo = QStringLiteral("3");
    f.avgAll = QStringLiteral("65,4 dB");
    f.max = QStringLiteral("65,5");
    f.maxTime = QStringLiteral("14:03:07");
    f.min = QStringLiteral("65,3");
    f.minTime = QStringLiteral("14:03:07");
    f.cursorA = QStringLiteral("65,3");
    f.cursorATime = QStringLiteral("14:03:07");
    f.cursorB = QStringLiteral("65,4");
    f.cursorBTime = QStringLiteral("14:03:07");
    f.maxAB = QStringLiteral("65,4");
    f.maxABTime = QStringLiteral("14:03:07");
    f.minAB = QStringLiteral("65,3");
    f.minABTime = QStringLiteral("14:03:08");
    f.avgAB = QStringLiteral("65,35");
    return f;
}

ChartData readings(int points, int written)
{
    ChartData d;
    d.setPoints(points);
    for (int i = 0; i < written; ++i) {
        d.setXDataII(0, i, at(2025, 12, 8, 14, 3, 7, 250 + 200 * i));
        d.setYData(0, i, 65.3f + 0.1f * float(i));
    }
    return d;
}

const QRegularExpression kReadingLine(QStringLiteral("^[^\t]+\t\\d\\d:\\d\\d:\\d\\d\\.\\d{1,3}\t-?\\d+[.,]\\d$"));
} // namespace

class TestStatisticsExport : public QObject {
    Q_OBJECT
private slots:
    void wholeTextInAGermanLocale()
    {
        const RegionalFormat de = RegionalFormat::of(QLocale(QLocale::German, QLocale::Germany));
        const QString text = statisticsExportText(sampleFields(), readings(3, 3), de);
        const QString expected = QStringLiteral(
            "Start Zeit:08.12.2025 14:03:07\n"
            "Messrate:0,2\n"
            "Datensatz:3\n"
            "Mittel.:65,4 dB\n"
            "Maximum:65,5@14:03:07\n"
            "Minimum:65,3@14:03:07\n"
            "Punkt A:65,3@14:03:07\n"
            "Punkt B:65,4@14:03:07\n"
            "Max. zwischen A und B:65,4@14:03:07\n"
            "Min. zwischen A und B:65,3@14:03:08\n"
            "Mittel zwischen A und B:65,35\n"
            "08.12.2025\t14:03:07.250\t65,3\n"
            "08.12.2025\t14:03:07.450\t65,4\n"
            "08.12.2025\t14:03:07.650\t65,5\n");
        QCOMPARE(text, expected);
        QVERIFY(!text.contains(QLatin1Char('\r')));
    }

    void englishLocaleUsesItsDateAndAPoint()
    {
        const RegionalFormat en = RegionalFormat::of(QLocale(QLocale::English, QLocale::UnitedStates));
        const QStringList lines = statisticsExportText(StatisticsFieldTexts{}, readings(1, 1), en).split('\n');
        QCOMPARE(lines.size(), 13); // eleven, one reading, and the empty rest after the last line feed
        QCOMPARE(lines[11], QStringLiteral("12/8/2025\t14:03:07.250\t65.3"));
        QVERIFY(lines[12].isEmpty());
    }

    void recordingInProgressExportsTheTakenSamplesOnly()
    {
        const RegionalFormat de = RegionalFormat::of(QLocale(QLocale::German, QLocale::Germany));
        const QString text = statisticsExportText(sampleFields(), readings(2000, 7), de);
        QStringList lines = text.split('\n');
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 11 + 7);
        for (int i = 11; i < lines.size(); ++i)
            QVERIFY2(kReadingLine.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }

    void noReadingsGiveTheStatisticsLinesAlone()
    {
        const RegionalFormat de = RegionalFormat::of(QLocale(QLocale::German, QLocale::Germany));
        StatisticsFieldTexts never;
        never.avgAll = QStringLiteral("***.* dB ");
        never.dataNo = QStringLiteral("0");
        const QString empty = statisticsExportText(never, readings(0, 0), de);
        QCOMPARE(empty.count('\n'), 11);
        QVERIFY(empty.contains(QStringLiteral("\nMittel.:***.* dB \n")));
        QVERIFY(empty.contains(QStringLiteral("\nMittel zwischen A und B:\n")));
        QVERIFY(empty.contains(QStringLiteral("\nPunkt A:@\n")));

        // A first point at time 0 stops the export before it, even with readings after it.
        ChartData d = readings(5, 5);
        d.setXDataII(0, 0, 0.0);
        QCOMPARE(statisticsExportText(never, d, de), empty);
        ChartData noSubsets;
        noSubsets.setSubsets(0);
        QCOMPARE(statisticsExportText(never, noSubsets, de), empty);
    }

    void millisecondsWithoutLeadingZeros()
    {
        const RegionalFormat de = RegionalFormat::of(QLocale(QLocale::German, QLocale::Germany));
        ChartData d;
        d.setPoints(4);
        const int ms[4] = {5, 0, 50, 999};
        for (int i = 0; i < 4; ++i) {
            d.setXDataII(0, i, at(2025, 12, 8, 4, 3, 7, ms[i]));
            d.setYData(0, i, -2.25f);
        }
        const QStringList lines = statisticsExportText(StatisticsFieldTexts{}, d, de).split('\n');
        QCOMPARE(lines[11], QStringLiteral("08.12.2025\t04:03:07.5\t-2,3"));
        QCOMPARE(lines[12], QStringLiteral("08.12.2025\t04:03:07.0\t-2,3"));
        QCOMPARE(lines[13], QStringLiteral("08.12.2025\t04:03:07.50\t-2,3"));
        QCOMPARE(lines[14], QStringLiteral("08.12.2025\t04:03:07.999\t-2,3"));
    }

    void theDefaultLocaleDecidesTheSeparator()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString comma = statisticsExportText(StatisticsFieldTexts{}, readings(1, 1));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const QString point = statisticsExportText(StatisticsFieldTexts{}, readings(1, 1));
        QLocale::setDefault(saved);
        QVERIFY(comma.endsWith(QStringLiteral("\t65,3\n")));
        QVERIFY(point.endsWith(QStringLiteral("08/12/2025\t14:03:07.250\t65.3\n")));
    }

    void rateChoiceOnlyBetweenRecordings()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const SamplingRateChoice picked = chooseSamplingRate(QStringLiteral("5,0"), false, 0.2);
        const SamplingRateChoice garbage = chooseSamplingRate(QStringLiteral("5.0.1"), false, 0.2);
        const SamplingRateChoice locked = chooseSamplingRate(QStringLiteral("5,0"), true, 1.0);
        const SamplingRateChoice lockedSlow = chooseSamplingRate(QStringLiteral("0,1"), true, 45.0);
        QLocale::setDefault(saved);
        QCOMPARE(picked.rate, 5.0);
        QVERIFY(picked.message.isEmpty());
        QCOMPARE(picked.entry, -1);
        QCOMPARE(garbage.rate, 0.2);
        QVERIFY(garbage.message.isEmpty());
        QCOMPARE(locked.rate, 1.0);
        QCOMPARE(locked.entry, 3);
        QCOMPARE(locked.message, QStringLiteral("Die Messrate kann während der Onlinemessung nicht geändert werden."));
        QCOMPARE(lockedSlow.entry, -1);
        QCOMPARE(lockedSlow.rate, 45.0);
    }
};

QTEST_GUILESS_MAIN(TestStatisticsExport)
#include "test_statisticsexport.moc"
