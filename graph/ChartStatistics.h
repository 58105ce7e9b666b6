#pragma once
// Facts every graph window shows about its chart: the sampling-rate list, the list entry for a
// rate, and the statistics over all points.
#include "app/TDateTime.h"

class ChartData;

#include <QStringList>
#include <cstddef>
#include <vector>

// The nine rates of the sampling-rate list, in seconds.
constexpr double SamplingRates[9] = {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0};
// Their texts with one decimal and the decimal separator.
QStringList samplingRateTexts();
// The list entry for a rate; -1 for 30.5 s or more, where the selection is left as it is.
int RateToEntry(double rate);

struct ChartStatistics {
    int count = 0;
    TDateTime startTime = 0;
    double rate = 0;        // span of the points divided by their number, seconds
    double average = 0;     // arithmetic mean of the dB values (0 without points)
    float maximum = -9999;  // the earliest of equal maxima wins
    float minimum = 9999;
    int maxIndex = -1;
    int minIndex = -1;
    TDateTime maxTime = 0;
    TDateTime minTime = 0;
};

// Statistics over points 0 .. n-1 of contiguous arrays. A level never written (NaN) counts as 0.
ChartStatistics chartStatistics(const double *x, const float *y, int n);

// Thumb positions of the cursor slider for n points: range 0..n-1, A at n/3, B at 2n/3.
struct SliderSpan {
    int min = 0;
    int max = 0;
    int a = 0;
    int b = 0;
};
SliderSpan sliderSpan(int n);

// Between two line cursors (either order, both ends included): highest and lowest level with the
// earlier of equal points, and the arithmetic mean of the dB values; a level never written is 0.
struct CursorStatistics {
    float maximum = -99999;
    float minimum = 99999;
    TDateTime maxTime = 0;
    TDateTime minTime = 0;
    double average = 0;
    bool valid = false;
};
CursorStatistics cursorStatistics(const double *x, const float *y, int n, int a, int b);

// The point among first .. last (X sorted ascending) whose X lies nearest to x; the earlier of two
// equally near; first when the span is empty or x is no number.
int nearestPoint(const double *x, int first, int last, double value);

// The label of a cursor line at point i: "|t", the time of day, a line feed, the level and "dB".
QString cursorLineLabel(TDateTime x, float y);
// The read-out under the pointer: level, "dB", "@", time of day.
QString pointerReadout(double level, TDateTime x);

// Subset 0's levels with every point that is no reading (not yet recorded, the null value, not
// written) as NaN, which the acoustic figures leave out; empty without subsets.
std::vector<float> chartReadings(const ChartData &data, float nullValue);
