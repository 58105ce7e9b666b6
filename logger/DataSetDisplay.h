#pragma once
// What the data-set graph window shows for one data set of the store: the chart's set-up, the two
// data slices (pointers into the store's flat lists, valid until the store changes), the texts of
// the statistics fields and the slider. The window applies it; nothing here draws.
#include "app/SystemFormats.h"
#include "data/DataSetStore.h"

#include <QLocale>
#include <QString>

// The set-up of the data-set chart (one call of the chart preparation).
struct DataSetChartSetup {
    int subsets = 1;
    double maxY = 130.0;
    double minY = 30.0;
    double maxX = 0.0;
    double minX = 0.0; // 0: the time axis is left to scale itself
    int points = 0;
    static constexpr double NullDataValueY = 9999.0;
};

struct DataSetDisplay {
    int set = -1;
    DataSetChartSetup chart;
    // Subset 0: count times and levels from the set's offset in the flat lists.
    qsizetype offset = 0;
    int count = 0;
    const double *x = nullptr;
    const float *y = nullptr;

    QString txtStartTime;
    QString txtSamplingRate;
    QString txtDataNo;
    QString txtMax, txtMaxTime; // empty for a set without readings
    QString txtMin, txtMinTime;
    QString txtAvgAll;

    int sliderMin = 0, sliderMax = 0, sliderThumb1 = 0, sliderThumb2 = 0;
};


// The display of set n (0-based); set = -1 and nothing else filled when n is not a set of the store.
DataSetDisplay ShowDataSet(const DataSetStore &store, int n, const QLocale &locale = QLocale());
