#pragma once
// The data-set list as k352-cli prints it: a heading line, then one tab-separated line per set
// with its number (from 1), start date and time (ISO 8601), interval mm:ss, count, weighting, and
// the lowest, highest, arithmetic mean and equivalent continuous level (Leq) of its readings with
// one decimal and a point. A set without readings shows "-" for the four levels.
#include "data/DataSetStore.h"

#include <QStringList>

QString setListHeading();
QStringList setListLines(const DataSetStore &store);
