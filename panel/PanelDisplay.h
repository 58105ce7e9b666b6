#pragma once
// The display elements of the control panel as the reading decoder drives them. The control
// panel window implements it; tests record it.
#include <QString>

class PanelDisplay {
public:
    virtual ~PanelDisplay() = default;
    virtual void setClockVisible(bool visible) = 0;          // lblTime, lblDate
    virtual void setRecallShown(bool shown) = 0;             // lblReadNo, imgREAD
    virtual void setReadNo(const QString &text) = 0;         // lblReadNo caption
    virtual void setTimeText(const QString &text) = 0;       // lblTime
    virtual void setDateText(const QString &text) = 0;       // lblDate
    virtual void setDigit(int place, int imageIndex) = 0;    // MainD1..MainD4 (place 0..3)
    virtual void setMaxShown(bool shown) = 0;                // lblMAX
    virtual void setMinShown(bool shown) = 0;                // lblMIN
    virtual void setRecText(const QString &text) = 0;        // lblREC
    virtual void setAutoOffShown(bool shown) = 0;            // imgAutoOff
    virtual void setFastText(const QString &text) = 0;       // lblFAST
    virtual void setWeightingText(const QString &text) = 0;  // lbldBA
    virtual void setUnderShown(bool shown) = 0;              // imgUNDER
    virtual void setOverShown(bool shown) = 0;               // imgOVER
    virtual void setBatteryBar(int level) = 0;               // imgBatBar0..3: only bar `level` shown
    virtual void setBarWidth(int pixels) = 0;                // imgColorBar; <= 0 draws nothing
};
