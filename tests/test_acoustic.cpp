// Acoustic figures: the energy average against the arithmetic one, the percentile levels and
// their order, the degenerate runs and sub-ranges.
#include "graph/AcousticStatistics.h"

#include <QtTest>
#include <cmath>
#include <random>
#include <vector>

namespace {
// Leq of 60 and 80 dB in equal parts: 10*log10((10^6 + 10^8) / 2) = 77.03 dB, shown as 77.0.
bool isLeqOf60And80(double leq)
{
    return std::abs(leq - 10.0 * std::log10((1e6 + 1e8) / 2.0)) < 1e-9 && QString::number(leq, 'f', 1) == "77.0";
}
} // namespace

class TestAcoustic : public QObject {
    Q_OBJECT
private slots:
    void leqIsTheEnergyAverage();
    void percentileLevelsOfAKnownRun();
    void percentilesKeepTheirOrderOnRandomRuns();
    void constantAndSingleReadings();
    void noReadingsGiveNoFigures();
    void subRangeEitherOrderBothEndsIncluded();
    void extremeLevelsStayFinite();
};

void TestAcoustic::leqIsTheEnergyAverage()
{
    // 60 and 80 dB in equal parts: the 80 dB half carries 100 times the energy.
    const std::vector<float> v{60, 80, 60, 80, 60, 80};
    const auto f = acousticStatistics(v.data(), qsizetype(v.size()));
    QVERIFY(f);
    QVERIFY2(isLeqOf60And80(f->leq), qPrintable(QString::number(f->leq)));
    QCOMPARE(f->count, qsizetype(6));
    const auto leq = equivalentLevel(v.data(), qsizetype(v.size()));
    QVERIFY(leq);
    QCOMPARE(*leq, f->leq);
    // Ten readings of 70 dB and one of 90 dB: 10*log10((10*10^7 + 10^9) / 11).
    std::vector<float> w(10, 70.0f);
    w.push_back(90.0f);
    const double expected = 10.0 * std::log10((10.0 * 1e7 + 1e9) / 11.0);
    QVERIFY(std::abs(*equivalentLevel(w.data(), qsizetype(w.size())) - expected) < 1e-9);
}

void TestAcoustic::percentileLevelsOfAKnownRun()
{
    // 11 readings 50..60 dB in any order: ranks are exact, L10 = 59, L50 = 55, L90 = 51.
    const std::vector<float> v{55, 50, 60, 52, 58, 51, 59, 53, 57, 54, 56};
    const auto f = acousticStatistics(v.data(), qsizetype(v.size()));
    QVERIFY(f);
    QCOMPARE(f->l10, 59.0);
    QCOMPARE(f->l50, 55.0);
    QCOMPARE(f->l90, 51.0);
    // Between ranks the level is interpolated: 40 and 80 give a median of 60 and L10 of 76.
    const std::vector<float> two{80, 40};
    const auto g = acousticStatistics(two.data(), 2);
    QCOMPARE(g->l50, 60.0);
    QVERIFY(std::abs(g->l10 - 76.0) < 1e-9);
    QVERIFY(std::abs(g->l90 - 44.0) < 1e-9);
    // Points that are not drawn are left out of every figure.
    const std::vector<float> gaps{60, NAN, 80, INFINITY};
    const auto h = acousticStatistics(gaps.data(), 4);
    QCOMPARE(h->count, qsizetype(2));
    QVERIFY(isLeqOf60And80(h->leq));
}

void TestAcoustic::percentilesKeepTheirOrderOnRandomRuns()
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> level(30.0f, 120.0f);
    std::uniform_int_distribution<int> size(1, 400);
    for (int run = 0; run < 200; ++run) {
        std::vector<float> v(size_t(size(rng)));
        for (float &x : v)
            x = std::round(level(rng) * 10.0f) / 10.0f;
        const auto f = acousticStatistics(v.data(), qsizetype(v.size()));
        QVERIFY(f);
        const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
        QVERIFY(f->l10 >= f->l50);
        QVERIFY(f->l50 >= f->l90);
        QVERIFY(f->l10 <= *hi && f->l90 >= *lo);
        // The energy average never lies below the arithmetic mean nor above the highest level.
        double mean = 0;
        for (float x : v)
            mean += x;
        mean /= double(v.size());
        QVERIFY(f->leq >= mean - 1e-9);
        QVERIFY(f->leq <= *hi + 1e-9);
    }
}

void TestAcoustic::constantAndSingleReadings()
{
    const std::vector<float> c(37, 63.4f);
    const auto f = acousticStatistics(c.data(), 37);
    QVERIFY(f);
    QVERIFY(std::abs(f->leq - 63.4) < 1e-5);
    QCOMPARE(f->l10, double(63.4f));
    QCOMPARE(f->l50, double(63.4f));
    QCOMPARE(f->l90, double(63.4f));
    const float one = 88.8f;
    const auto g = acousticStatistics(&one, 1);
    QVERIFY(g);
    QCOMPARE(g->count, qsizetype(1));
    QVERIFY(std::abs(g->leq - 88.8) < 1e-5);
    QCOMPARE(g->l10, double(one));
    QCOMPARE(g->l90, double(one));
}

void TestAcoustic::noReadingsGiveNoFigures()
{
    QVERIFY(!acousticStatistics(nullptr, 0));
    const float v[2] = {50, 60};
    QVERIFY(!acousticStatistics(v, 0));
    QVERIFY(!acousticStatistics(v, 0, 0, 1));
    QVERIFY(!equivalentLevel(v, 0));
    const float blank[3] = {NAN, NAN, NAN};
    QVERIFY(!acousticStatistics(blank, 3));
    QVERIFY(!equivalentLevel(blank, 3));
}

void TestAcoustic::subRangeEitherOrderBothEndsIncluded()
{
    const std::vector<float> v{40, 60, 80, 60, 80, 100};
    const auto ab = acousticStatistics(v.data(), 6, 1, 4);
    const auto ba = acousticStatistics(v.data(), 6, 4, 1);
    QVERIFY(ab && ba);
    QCOMPARE(ab->count, qsizetype(4));
    QCOMPARE(ba->count, qsizetype(4));
    QCOMPARE(ab->leq, ba->leq);
    QVERIFY(isLeqOf60And80(ab->leq));
    QCOMPARE(ab->l90, ba->l90);
    // Both cursors on one point: that reading alone.
    const auto same = acousticStatistics(v.data(), 6, 5, 5);
    QCOMPARE(same->count, qsizetype(1));
    QVERIFY(std::abs(same->leq - 100.0) < 1e-9);
    // Ends beyond the run are clamped to it.
    const auto wide = acousticStatistics(v.data(), 6, -3, 99);
    QCOMPARE(wide->count, qsizetype(6));
    QCOMPARE(wide->leq, acousticStatistics(v.data(), 6)->leq);
    QCOMPARE(*equivalentLevel(v.data(), 6, 4, 1), ab->leq);
}

void TestAcoustic::extremeLevelsStayFinite()
{
    // Levels far outside the meter's range (a chart's null value) neither overflow nor vanish.
    const std::vector<float> v{9999.0f, 9999.0f, -500.0f};
    const auto f = acousticStatistics(v.data(), 3);
    QVERIFY(f && std::isfinite(f->leq));
    QVERIFY(std::abs(f->leq - (9999.0 + 10.0 * std::log10(2.0 / 3.0))) < 1e-6);
}

QTEST_GUILESS_MAIN(TestAcoustic)
#include "test_acoustic.moc"
