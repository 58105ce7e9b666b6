#pragma once
// The panel above a graph window's chart: the figures of the whole chart (start, rate list, count,
// mean, highest and lowest level with their times) and its acoustic figures (Leq, L10, L50, L90).
#include "graph/AcousticStatistics.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLineEdit;
struct ChartStatistics;
struct DataSetDisplay;

// The panel's fields, named as on screen.
struct GraphStatisticFields {
    QLineEdit *txtStartTime = nullptr, *txtDataNo = nullptr, *txtAvgAll = nullptr;
    QLineEdit *txtMax = nullptr, *txtMaxTime = nullptr, *txtMin = nullptr, *txtMinTime = nullptr;
    QLineEdit *txtLeq = nullptr, *txtL10 = nullptr, *txtL50 = nullptr, *txtL90 = nullptr;
    QComboBox *txtSamplingRate = nullptr;
};

class GraphStatisticPanel : public QWidget {
public:
    // Builds the panel and fills in `fields`; the read-only fields are created on fieldOwner.
    GraphStatisticPanel(GraphStatisticFields &fields, QWidget *fieldOwner, QWidget *parent);

    // The rate list with the nine sampling rates.
    void fillRateList();
    // Selects the rate list entry for a rate (30.5 s or more: the selection stays).
    void selectRate(double rate);
    // Makes the rate list a pick-only list, enabled.
    void setRateListPickOnly();
    // The chart's figures (the count is shown by the caller, also for an empty chart).
    void showFigures(const ChartStatistics &s);
    // The figures of a data set as the store gives them.
    void showDataSetFigures(const DataSetDisplay &d);
    // Leq, L10, L50 and L90; empty fields without figures.
    void showAcousticFigures(const std::optional<AcousticFigures> &f);
    // Empties the figures; start time, rate and count stay.
    void clearFigures();

private:
    // The rate as the chart's (or the set's) rate: the edit text, and the only entry of a list
    // that cannot be edited.
    void showRateText(const QString &text);

    GraphStatisticFields &f;
};
