#pragma once
// The date axis: time of day over the date, with tick steps whose labels never repeat. Steps of
// whole seconds and more are labelled to the second (a 2.5 s step, which would label two ticks
// alike after truncation, becomes 2 s); below a second the labels carry as many decimals of the
// second as the step needs.
#include <qcustomplot.h>

class DateAxisTicker : public QCPAxisTickerDateTime {
public:
    DateAxisTicker();

protected:
    double getTickStep(const QCPRange &range) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;

private:
    int m_secondDecimals = 0;
};
