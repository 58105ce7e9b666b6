#include "graph/ui/CursorPanel.h"

#include "graph/GraphWindowsState.h"
#include "app/SystemFormats.h"
#include "chart/ui/PESGraph.h"
#include "graph/AcousticStatistics.h"
#include "graph/ChartStatistics.h"
#include "graph/ui/FieldFit.h"
#include "graph/ui/PanelFields.h"
#include "graph/ui/TwoThumbSlider.h"

#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <limits>

CursorPanel::CursorPanel(CursorFields &fields, PESGraph &chart, GraphWindowsState &state, QWidget *window, QWidget *parent)
    : QWidget(parent), f(fields), m_chart(chart), m_state(state), m_window(window)
{
    setObjectName(QStringLiteral("pnlStatistic"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 2);
    // The slider lies in a row of its own, placed under the plot area by placeSlider.
    m_sliderRow = new QWidget(this);
    m_sliderRow->setObjectName(QStringLiteral("sliderRow"));
    f.Slider1 = new TwoThumbSlider(m_sliderRow);
    m_sliderRow->setFixedHeight(f.Slider1->sizeHint().height());
    column->addWidget(m_sliderRow);
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    f.txtCursorA = readOnlyField(window, "txtCursorA");
    f.txtCursorATime = readOnlyField(window, "txtCursorATime");
    f.txtCursorB = readOnlyField(window, "txtCursorB");
    f.txtCursorBTime = readOnlyField(window, "txtCursorBTime");
    f.txtMaxAB = readOnlyField(window, "txtMaxAB");
    f.txtMaxABTime = readOnlyField(window, "txtMaxABTime");
    f.txtMinAB = readOnlyField(window, "txtMinAB");
    f.txtMinABTime = readOnlyField(window, "txtMinABTime");
    f.txtAvgAB = readOnlyField(window, "txtAvgAB");
    f.txtLeqAB = readOnlyField(window, "txtLeqAB");
    QPalette blue = f.txtCursorA->palette(), red = f.txtCursorB->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    red.setColor(QPalette::Text, Qt::red);
    f.txtCursorA->setPalette(blue);
    f.txtCursorB->setPalette(red);
    auto row = [&](int r, const QString &text, const QColor &color, QLineEdit *level, QLineEdit *time,
                   const char *name = nullptr) {
        grid->addWidget(panelCaption(this, text, color, name), r, 0);
        grid->addWidget(level, r, 1);
        if (time) {
            grid->addWidget(panelCaption(this, QStringLiteral("@")), r, 2, Qt::AlignCenter);
            grid->addWidget(time, r, 3);
        }
    };
    row(0, QStringLiteral("Punkt A"), Qt::blue, f.txtCursorA, f.txtCursorATime, "lblCursorA");
    row(1, QStringLiteral("Punkt B"), Qt::red, f.txtCursorB, f.txtCursorBTime, "lblCursorB");
    row(2, QStringLiteral("Max. zwischen A und B"), QColor(), f.txtMaxAB, f.txtMaxABTime, "lblMaxAB");
    row(3, QStringLiteral("Min. zwischen A und B"), QColor(), f.txtMinAB, f.txtMinABTime, "lblMinAB");
    row(4, QStringLiteral("Mittel zwischen A und B"), QColor(), f.txtAvgAB, nullptr, "lblAvgAB");
    row(5, QStringLiteral("Leq zwischen A und B"), QColor(), f.txtLeqAB, nullptr, "lblLeqAB");
    for (QLineEdit *e : {f.txtCursorA, f.txtCursorB, f.txtMaxAB, f.txtMinAB, f.txtAvgAB, f.txtLeqAB})
        fitFieldTo(e, {widestLevelText()});
    for (QLineEdit *e : {f.txtCursorATime, f.txtCursorBTime, f.txtMaxABTime, f.txtMinABTime})
        fitFieldTo(e, widestDateTimeTexts());
    placeThumbsByTime();
}

void CursorPanel::placeSlider()
{
    // The slider's track spans the plot area from its left to its right edge; the thumbs may
    // stand out by half their height at either end.
    const QRect plot = m_chart.GraphRect();
    const int left = m_chart.mapTo(m_window, plot.topLeft()).x() - m_sliderRow->mapTo(m_window, QPoint(0, 0)).x();
    const int half = TwoThumbSlider::ThumbHeight / 2;
    const QRect place(left - half, 0, plot.width() + 2 * half, m_sliderRow->height());
    if (f.Slider1->geometry() != place)
        f.Slider1->setGeometry(place);
    // The thumbs stand at their points' times, which move with the plot's scales.
    f.Slider1->update();
}

// Each thumb stands under its cursor line: at the pixel of its point's time on the plot, not at
// an even share of the point count, so gaps in a recording do not pull thumbs and lines apart.
void CursorPanel::placeThumbsByTime()
{
    // From the chart's pixels to the slider's.
    const auto offset = [this] {
        return m_chart.mapTo(m_window, QPoint(0, 0)).x() - f.Slider1->mapTo(m_window, QPoint(0, 0)).x();
    };
    TwoThumbSlider::Placement placement;
    placement.pixelOf = [this, offset](int i) {
        if (i < 0 || i >= m_chart.Points())
            return std::numeric_limits<double>::quiet_NaN();
        return m_chart.GraphToPixel(m_chart.XDataII(0, i), 0).x() + offset();
    };
    placement.valueAt = [this, offset](double pixel) {
        const double x = m_chart.PixelToGraph(pixel - offset(), 0).x();
        const int last = std::min(f.Slider1->Maximum(), m_chart.Points() - 1);
        return nearestPoint(m_chart.state().data.xArray(0), f.Slider1->Minimum(), last, x);
    };
    f.Slider1->setPlacement(std::move(placement));
}

void CursorPanel::followSlider()
{
    m_state.CursorA = f.Slider1->Value1();
    m_state.CursorB = f.Slider1->Value2();
    if (f.Slider1->Maximum() == 0)
        return;
    showCursor(0, m_state.CursorA);
    showCursor(1, m_state.CursorB);
    updateCursorStatistics();
    update();
    m_chart.Redraw();
}

void CursorPanel::setSpan(const SliderSpan &span)
{
    f.Slider1->setRange(span.min, std::max(span.min, span.max));
    f.Slider1->setValue1(span.a);
    f.Slider1->setValue2(span.b);
    followSlider();
}

// The fields, the line and its label of cursor A (line 0) or B (line 1) on point i.
void CursorPanel::showCursor(int line, int i)
{
    if (i < 0 || i >= m_chart.Points())
        return;
    const double x = m_chart.XDataII(0, i);
    const float y = m_chart.YData(0, i);
    (line == 0 ? f.txtCursorA : f.txtCursorB)->setText(levelText(y));
    (line == 0 ? f.txtCursorATime : f.txtCursorBTime)->setText(dateTimeText(x));
    m_chart.setVertLineAnnotation(line, x);
    m_chart.setVertLineAnnotationText(line, cursorLineLabel(x, y));
}

// Moves a cursor to point i through its slider thumb, and pulls the pointer onto the line at
// its own height.
void CursorPanel::moveCursor(int line, int i, double pointerLevel)
{
    if (line == 0)
        f.Slider1->setValue1(i);
    else
        f.Slider1->setValue2(i);
    f.Slider1->update();
    const QPointF p = m_chart.GraphToPixel(m_chart.XDataII(0, i), pointerLevel);
    QCursor::setPos(m_chart.mapToGlobal(p.toPoint()));
    showCursor(line, i);
    m_chart.Redraw();
}

void CursorPanel::dragLine(QPoint pos, QPointF value)
{
    if (m_chart.HotSpotAt(pos.x(), pos.y()).kind == sgHotSpotVertLineAnnotation)
        return;
    const int line = m_state.DragA ? 0 : m_state.DragB ? 1 : -1;
    if (line < 0)
        return;
    const int n = m_chart.Points();
    int i = line == 0 ? m_state.CursorA : m_state.CursorB;
    if (n <= 0)
        return;
    const double xm = value.x();
    i = std::clamp(i, 0, n - 1);
    const double l = m_chart.VertLineAnnotation(line);
    if (l < xm && i < n - 1) {
        while (m_chart.XDataII(0, i) < xm && i < n - 1)
            ++i;
    } else if (l > xm && i > 0) {
        while (m_chart.XDataII(0, i) > xm && i > 0)
            --i;
    } else {
        return;
    }
    updateCursorStatistics();
    moveCursor(line, i, value.y());
}

void CursorPanel::updateCursorStatistics()
{
    updateCursorLeq();
    const ChartData &data = m_chart.state().data;
    if (data.Subsets() <= 0)
        return;
    const CursorStatistics s =
        cursorStatistics(data.xArray(0), data.yArray(0), data.Points(), m_state.CursorA, m_state.CursorB);
    if (!s.valid)
        return;
    f.txtMaxAB->setText(levelText(s.maximum));
    f.txtMaxABTime->setText(dateTimeText(s.maxTime));
    f.txtMinAB->setText(levelText(s.minimum));
    f.txtMinABTime->setText(dateTimeText(s.minTime));
    f.txtAvgAB->setText(levelText(s.average));
}

void CursorPanel::updateCursorLeq()
{
    const std::vector<float> levels = chartReadings(m_chart.state().data, m_chart.NullDataValueY());
    const std::optional<double> leq =
        equivalentLevel(levels.data(), qsizetype(levels.size()), m_state.CursorA, m_state.CursorB);
    f.txtLeqAB->setText(leq ? levelText(*leq) : QString());
}

void CursorPanel::clearFigures()
{
    for (QLineEdit *e : {f.txtCursorA, f.txtCursorATime, f.txtCursorB, f.txtCursorBTime, f.txtMaxAB, f.txtMaxABTime,
                         f.txtMinAB, f.txtMinABTime, f.txtAvgAB, f.txtLeqAB})
        e->clear();
}
