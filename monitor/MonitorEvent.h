#pragma once
// An entry of the events file: time,event,detail.
#include "monitor/Sample.h"

#include <QByteArray>
#include <optional>

struct MonitorEvent {
    Stamp time;
    QByteArray name;    // start, stop, lost, resumed, warning, warning-end, alarm, alarm-end, weighting
    QByteArray detail;  // never holds a comma or a line end
    std::optional<int> tenths; // the level that goes with it, when there is one
};
