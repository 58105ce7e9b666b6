#pragma once
// The chart widget: draws a ChartState with QCustomPlot and gives the program the chart members it
// uses (data, scales, look, annotations, actions, geometry, events, state block, printing).
//
// The readings live in the ChartState's arrays; Redraw() turns them into the plot's data. After
// points were only appended since the last redraw, just those points are added to the plot.
#include "chart/ChartState.h"
#include "chart/ui/ChartCustomizeDialog.h"
#include "chart/ui/PlotSeries.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <qcustomplot.h>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QScrollBar;
class QMouseEvent;
class QResizeEvent;

class PESGraph : public QWidget {
    Q_OBJECT
public:
    explicit PESGraph(QWidget *parent = nullptr);
    ~PESGraph() override;

    // The whole state; after changing it directly call PEactions(sgResetImage) or Redraw().
    ChartState &state() { return m_state; }
    const ChartState &state() const { return m_state; }
    ChartLook &look() { return m_state.look; }
    QCustomPlot *plot() const { return m_plot; }

    // Data.
    int Subsets() const { return m_state.data.Subsets(); }
    void setSubsets(int count) { m_state.data.setSubsets(count); }
    int Points() const { return m_state.data.Points(); }
    void setPoints(int count) { m_state.data.setPoints(count); }
    double XDataII(int subset, int point) const { return m_state.data.XDataII(subset, point); }
    void setXDataII(int subset, int point, double value) { m_state.data.setXDataII(subset, point, value); }
    void setXDataII(int subset, const double *values, qsizetype count) { m_state.data.setXDataII(subset, values, count); }
    float YData(int subset, int point) const { return m_state.data.YData(subset, point); }
    void setYData(int subset, int point, float value) { m_state.data.setYData(subset, point, value); }
    void setYData(int subset, const float *values, qsizetype count) { m_state.data.setYData(subset, values, count); }
    double YDataII(int subset, int point) const { return m_state.data.YDataII(subset, point); }
    void setYDataII(int subset, int point, double value) { m_state.data.setYDataII(subset, point, value); }
    float NullDataValueY() const { return m_state.look.nullDataValueY; }
    void setNullDataValueY(float value) { m_state.look.nullDataValueY = value; }

    // Scales and titles.
    int ManualScaleControlX() const { return m_state.look.manualScaleControlX; }
    void setManualScaleControlX(int v) { m_state.look.manualScaleControlX = v; }
    int ManualScaleControlY() const { return m_state.look.manualScaleControlY; }
    void setManualScaleControlY(int v) { m_state.look.manualScaleControlY = v; }
    double ManualMinX() const { return m_state.look.manualMinX; }
    void setManualMinX(double v) { m_state.look.manualMinX = v; }
    double ManualMaxX() const { return m_state.look.manualMaxX; }
    void setManualMaxX(double v) { m_state.look.manualMaxX = v; }
    double ManualMinY() const { return m_state.look.manualMinY; }
    void setManualMinY(double v) { m_state.look.manualMinY = v; }
    double ManualMaxY() const { return m_state.look.manualMaxY; }
    void setManualMaxY(double v) { m_state.look.manualMaxY = v; }
    int DateTimeMode() const { return m_state.look.dateTimeMode; }
    void setDateTimeMode(int v) { m_state.look.dateTimeMode = v; }
    QString MainTitle() const { return m_state.look.mainTitle; }
    void setMainTitle(const QString &v) { m_state.look.mainTitle = v; }
    QString SubTitle() const { return m_state.look.subTitle; }
    void setSubTitle(const QString &v) { m_state.look.subTitle = v; }
    QString XAxisLabel() const { return m_state.look.xAxisLabel; }
    void setXAxisLabel(const QString &v) { m_state.look.xAxisLabel = v; }
    QString YAxisLabel() const { return m_state.look.yAxisLabel; }
    void setYAxisLabel(const QString &v) { m_state.look.yAxisLabel = v; }

    // Annotations.
    const GraphAnnotation &graphAnnotation(int n) const { return m_state.annotation(n); }
    // Slot n for writing; nullptr outside the slots a chart holds.
    GraphAnnotation *graphAnnotationForWrite(int n) { return m_state.annotationForWrite(n); }
    double VertLineAnnotation(int line) const;
    void setVertLineAnnotation(int line, double x);
    QString VertLineAnnotationText(int line) const;
    void setVertLineAnnotationText(int line, const QString &text);

    // Rebuilds the plot from the state and repaints.
    void Redraw();
    // sgResetImage rebuilds and draws once, at the following sgInvalidateImage or when the event
    // loop runs; sgInvalidateImage draws; sgReinitAndReset rebuilds everything, undoes the zoom
    // and draws; sgUndoZoom returns to the chart's scales; sgPrintDialog prints after the print
    // dialog, on a printer of the chart's own (the program prints through PrintDialog).
    // sgCustomize shows the customisation dialog with the pages allowed below; OK takes its
    // settings into the chart and redraws; DialogResult is then 1 (0 after Cancel), and
    // OnCustomizeDlg runs either way.
    void PEactions(int action);

    // Pages of the customisation dialog (its colour page is always shown).
    bool AllowPage1() const { return m_pages.page1; }
    void setAllowPage1(bool v) { m_pages.page1 = v; }
    bool AllowPage2() const { return m_pages.page2; }
    void setAllowPage2(bool v) { m_pages.page2 = v; }
    bool AllowSubsetsPage() const { return m_pages.subsets; }
    void setAllowSubsetsPage(bool v) { m_pages.subsets = v; }
    bool AllowFontPage() const { return m_pages.fonts; }
    void setAllowFontPage(bool v) { m_pages.fonts = v; }
    // How the last customisation dialog ended: 1 after OK, 0 otherwise.
    int DialogResult() const { return m_dialogResult; }

    // Printing a graph window: the customisation dialog without its first four pages (colours
    // only, for example a white background for paper), the pages allowed again, then the print
    // dialog on the given printer, which prints the chart. The customisation is for this
    // printout: OnCustomizeDlg does not run.
    void CustomizeAndPrint(QPrinter &printer);
    // The print dialog on printer; prints the chart unless it is cancelled. True when printed.
    bool PrintDialog(QPrinter &printer);

    // Geometry, in this widget's pixels and the chart's values (X as TDateTime in date-time mode).
    QRect GraphRect() const;
    QPoint LastMousePos() const { return m_lastMousePos; }
    QPointF PixelToGraph(double x, double y) const;
    QPointF GraphToPixel(double X, double Y) const;
    HotSpot HotSpotAt(int x, int y) const;

    // Rubber-band zoom: the zoomed view survives redraws until sgUndoZoom; scroll bars move it
    // through the whole scale when ScrollingHorzZoom / ScrollingVertZoom are set. While suspended
    // (a line being dragged) a drag draws no rectangle.
    bool isZoomed() const;
    void setZoomSuspended(bool suspended);

    // The state as a block, and its restoration: a block that is refused leaves the chart as it was.
    QByteArray SaveState() const { return SaveChartState(m_state); }
    bool LoadState(const QByteArray &block);

    // Draws the chart across the printable area of the printer's page, its text in the sizes it
    // has on screen (in points); false when the printer cannot be painted on.
    bool PrintTo(QPrinter &printer);

    // Events (pixel positions in this widget).
    std::function<void(QPoint)> OnClick;
    std::function<void(QPoint)> OnMouseMove;
    std::function<void(QPoint)> OnMouseUp;
    std::function<void(int annotation, bool doubleClick)> OnGraphAnnotHotSpot;
    std::function<void(int line)> OnVertLineAnnotHotSpot;
    // A press on a drawn data point, when the look allows data hot spots.
    std::function<void(int subset, int point)> OnDataHotSpot;
    std::function<void()> OnZoomIn;
    std::function<void()> OnCustomizeDlg;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitPlot();
    void rebuild();
    double toKey(double x) const;
    double fromKey(double key) const;
    void applyLook();
    void updateScrollBars();
    void scrollTo(Qt::Orientation orientation, int value);
    void applyScales();
    void rebuildData();
    void rebuildItems();
    void onPress(QMouseEvent *event);
    void onMove(QMouseEvent *event);
    void onRelease(QMouseEvent *event);
    void onDoubleClick(QMouseEvent *event);
    void hotSpotEvent(QPoint pos, bool doubleClick);
    // notify: OnCustomizeDlg runs when the dialog has ended.
    void customize(bool notify);
    QPrinter &ownPrinter();

    ChartState m_state;
    QCustomPlot *m_plot = nullptr;
    QCPTextElement *m_mainTitle = nullptr;
    QCPTextElement *m_subTitle = nullptr;
    // The subsets' lines on the plot.
    PlotSeries m_series;
    QTimer m_pendingReplot;
    int m_builtDateTimeMode = -1;
    float m_builtNullValue = 0;
    QPoint m_lastMousePos;
    QPoint m_pressPos;
    bool m_pressed = false;
    // Zoom: the view stays until undone; the full ranges are what the scroll bars move through.
    bool m_zoomed = false;
    bool m_zoomSuspended = false;
    bool m_dragSuspendsZoom = false;
    QCPRange m_zoomX, m_zoomY, m_fullX, m_fullY;
    QScrollBar *m_hScroll = nullptr;
    QScrollBar *m_vScroll = nullptr;
    CustomizePages m_pages;
    std::unique_ptr<QPrinter> m_ownPrinter;
    int m_dialogResult = 0;
};
