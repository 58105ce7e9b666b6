#pragma once
// The chart of one monitored day: 24 hours on the X axis (seconds of the local day), the samples
// as a min/max envelope (a band per bin), each period's Leq as a step, the warning and alarm
// levels as lines. Bins without samples and periods without a row are left empty. The hours can be
// zoomed and moved with the mouse.
#include "monitor/FolderView.h"

#include <optional>
#include <qcustomplot.h>

class DayChart : public QCustomPlot {
public:
    explicit DayChart(QWidget *parent = nullptr);

    // The envelope as it stands (built once per day, extended by new samples).
    void setEnvelope(const DayEnvelope &envelope);
    // The periods rows of the day (periods file columns).
    void setPeriods(const CsvRows &periods);
    void setLevels(std::optional<double> warning, std::optional<double> alarm);
    // Fits the Y axis to what is drawn and replots.
    void redraw();

    QCPGraph *upper() const { return m_max; }
    QCPGraph *lower() const { return m_min; }
    QCPGraph *steps() const { return m_steps; }

private:
    QCPGraph *m_max;
    QCPGraph *m_min;
    QCPGraph *m_steps;
    QCPItemStraightLine *m_warning;
    QCPItemStraightLine *m_alarm;
};
