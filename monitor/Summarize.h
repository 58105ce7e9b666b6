#pragma once
// Rebuilds a monitoring folder's periods files and days.csv from its journals, with any period
// length. Events are not rebuilt: they stay as written. Files that the program did not write are
// left alone and never read as journals.
#include "monitor/MonitorError.h"

#include <QString>
#include <QStringList>

struct SummarizeReport {
    int days = 0;          // days with samples
    qint64 samples = 0;
    QStringList foreign;   // journal-named files that are not journals
    MonitorError error;
};

// The sampling interval of the folder: from the first start event that names it, else the
// smallest gap between the first samples of the first journal, else 1 s.
qint64 folderIntervalMs(const QString &dir);

SummarizeReport summarizeFolder(const QString &dir, int periodS);
