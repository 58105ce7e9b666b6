#include "monitor/ui/DayChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Seconds of the local day of a row's time ("2026-12-11T14:15:00+01:00"); the end of a period
// that ends at midnight is 86400.
double secondsOfDay(const QByteArray &text, bool end)
{
    if (text.size() < 19)
        return kNaN;
    const double s = text.mid(11, 2).toInt() * 3600 + text.mid(14, 2).toInt() * 60 + text.mid(17, 2).toInt();
    return end && s == 0 ? 86400 : s;
}

QCPItemStraightLine *levelLine(QCustomPlot *plot, const QColor &color)
{
    auto *line = new QCPItemStraightLine(plot);
    line->setPen(QPen(color, 1.5, Qt::DashLine));
    line->setVisible(false);
    return line;
}

} // namespace

DayChart::DayChart(QWidget *parent) : QCustomPlot(parent)
{
    setObjectName(QStringLiteral("DayChart"));
    m_max = addGraph();
    m_min = addGraph();
    const QColor band(40, 110, 200);
    m_max->setPen(QPen(band, 1));
    m_min->setPen(QPen(band, 1));
    m_max->setBrush(QColor(band.red(), band.green(), band.blue(), 90));
    m_max->setChannelFillGraph(m_min);
    m_steps = addGraph();
    m_steps->setPen(QPen(QColor(20, 20, 20), 2));
    m_warning = levelLine(this, QColor(230, 140, 0));
    m_alarm = levelLine(this, QColor(210, 0, 0));

    auto ticker = QSharedPointer<QCPAxisTickerTime>::create();
    ticker->setTimeFormat(QStringLiteral("%h:%m"));
    ticker->setTickCount(12);
    xAxis->setTicker(ticker);
    xAxis->setRange(0, 86400);
    yAxis->setLabel(QStringLiteral("dB"));
    yAxis->setRange(30, 100);
    setMinimumHeight(200);
    // The wheel zooms into the hours and a drag moves along them, within the day; a double-click
    // shows the whole day again.
    setInteractions(QCP::iRangeZoom | QCP::iRangeDrag);
    axisRect()->setRangeZoom(Qt::Horizontal);
    axisRect()->setRangeDrag(Qt::Horizontal);
    connect(xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [this](const QCPRange &r) {
        const double width = std::clamp(r.size(), 600.0, 86400.0);
        const double lower = std::clamp(r.lower, 0.0, 86400.0 - width);
        if (lower != r.lower || width != r.size())
            xAxis->setRange(lower, lower + width);
    });
    connect(this, &QCustomPlot::mouseDoubleClick, this, [this] {
        xAxis->setRange(0, 86400);
        replot(QCustomPlot::rpQueuedReplot);
    });
}

void DayChart::setEnvelope(const DayEnvelope &envelope)
{
    const std::vector<float> &lo = envelope.minima();
    const std::vector<float> &hi = envelope.maxima();
    const double bin = envelope.binSeconds();
    QVector<double> keys(qsizetype(lo.size())), low(keys.size()), high(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        keys[i] = (double(i) + 0.5) * bin;
        low[i] = std::isnan(lo[size_t(i)]) ? kNaN : double(lo[size_t(i)]);
        high[i] = std::isnan(hi[size_t(i)]) ? kNaN : double(hi[size_t(i)]);
    }
    m_min->setData(keys, low, true);
    m_max->setData(keys, high, true);
}

void DayChart::setPeriods(const CsvRows &periods)
{
    // Each row a level from its start to its end; a break where the next row does not begin
    // where this one ended.
    QVector<double> keys, values;
    double lastEnd = kNaN;
    for (const QList<QByteArray> &row : periods) {
        const double start = secondsOfDay(row[0], false), end = secondsOfDay(row[1], true);
        bool ok = false;
        const double leq = row[4].toDouble(&ok);
        if (!ok || std::isnan(start) || !(end > start))
            continue;
        if (!std::isnan(lastEnd) && start != lastEnd) {
            keys << lastEnd;
            values << kNaN;
        }
        keys << start << end;
        values << leq << leq;
        lastEnd = end;
    }
    m_steps->setData(keys, values, true); // the rows come in time order; equal keys keep theirs
}

void DayChart::setLevels(std::optional<double> warning, std::optional<double> alarm)
{
    for (auto [line, level] : {std::pair{m_warning, warning}, std::pair{m_alarm, alarm}}) {
        line->setVisible(level.has_value());
        if (level) {
            line->point1->setCoords(0, *level);
            line->point2->setCoords(86400, *level);
        }
    }
}

void DayChart::redraw()
{
    bool found = false;
    QCPRange range = m_min->getValueRange(found);
    bool foundHigh = false;
    const QCPRange high = m_max->getValueRange(foundHigh);
    if (!found) {
        range = QCPRange(40, 90);
    } else if (foundHigh) {
        range.expand(high);
    }
    for (QCPItemStraightLine *line : {m_warning, m_alarm}) {
        if (line->visible())
            range.expand(line->point1->coords().y());
    }
    yAxis->setRange(std::floor(range.lower / 10.0) * 10.0 - 5, std::ceil(range.upper / 10.0) * 10.0 + 5);
    replot(QCustomPlot::rpQueuedReplot);
}
