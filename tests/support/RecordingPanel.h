#pragma once
// A PanelDisplay that remembers the current state of every element and counts the calls.
#include "panel/PanelDisplay.h"

#include <QMap>

class RecordingPanel : public PanelDisplay {
public:
    bool clockVisible = true, recall = false, maxShown = false, minShown = false, autoOff = true;
    bool under = false, over = false;
    QString readNo, timeText, dateText, recText, fastText = "FAST", weighting = "dBA";
    int digits[4] = {-1, -1, -1, -1};
    int battery = -1, barWidth = 2;
    QMap<QString, int> calls;

    void setClockVisible(bool v) override { clockVisible = v; }
    void setRecallShown(bool v) override { recall = v; }
    void setReadNo(const QString &t) override { readNo = t; }
    void setTimeText(const QString &t) override { timeText = t; ++calls["time"]; }
    void setDateText(const QString &t) override { dateText = t; }
    void setDigit(int place, int image) override { digits[place] = image; ++calls["digit"]; }
    void setMaxShown(bool v) override { maxShown = v; }
    void setMinShown(bool v) override { minShown = v; }
    void setRecText(const QString &t) override { recText = t; ++calls["indicators"]; }
    void setAutoOffShown(bool v) override { autoOff = v; }
    void setFastText(const QString &t) override { fastText = t; }
    void setWeightingText(const QString &t) override { weighting = t; }
    void setUnderShown(bool v) override { under = v; }
    void setOverShown(bool v) override { over = v; }
    void setBatteryBar(int level) override { battery = level; ++calls["battery"]; }
    void setBarWidth(int w) override { barWidth = w; }

    QList<int> shownDigits() const { return {digits[0], digits[1], digits[2], digits[3]}; }
};
