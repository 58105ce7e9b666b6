#pragma once
// The graph window: one chart of levels over time with its statistics, the line-cursor panel and
// a tool bar. One class serves the real-time graph window, the data-set graph window and the file
// graph windows. The panels and the tool bar are built in files of their own; this class puts them
// together, holds what depends on the window's role and wires the controls to their handlers.
#include "graph/GraphWindowsState.h"
#include "link/LinkState.h"
#include "graph/ui/CursorPanel.h"
#include "graph/ui/DataSetListPanel.h"
#include "graph/ui/GraphStatisticPanel.h"
#include "graph/ui/GraphToolBar.h"
#include "realtime/RealTimeRecorder.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>

class PESGraph;
class SidewaysScrollPanel;
class QLabel;
class QTableWidget;
struct StatisticsFieldTexts;

enum class GraphRole { RealTime, DataSet, File };

// The fields and buttons, named as on screen, are the panels' and the tool bar's.
class TfrmGraph : public QWidget,
                  public RealTimeTarget,
                  public GraphToolBarButtons,
                  public GraphStatisticFields,
                  public CursorFields {
    Q_OBJECT
public:
    TfrmGraph(GraphRole role, LinkState &state, GraphWindowsState &shared, QWidget *parent = nullptr);
    ~TfrmGraph() override;

    GraphRole role() const { return m_role; }
    PESGraph *PESGraph1 = nullptr;

    // Closing: the main window forgets the window and updates its commands.
    std::function<void(TfrmGraph *)> onClosed;
    // The window became the active child: the main window disables btnOutputToGraph.
    std::function<void()> onActivated;
    // A Yes/No/Cancel question; a message box when unset.
    std::function<QMessageBox::StandardButton(const QString &)> ask;
    // A row of the data-set list was picked: show data set n (0-based).
    std::function<void(int set)> onDataSetChosen;
    // The main window's Save command for this window; unset while saving is not possible. False
    // when the file could not be written (the user has been told).
    std::function<bool()> save;
    // The real-time chart was cleared: the main window sets the recording's sample count to 0.
    std::function<void()> onCleared;

    void FormShow();
    void FormResize();
    void ToolButton1Click();
    void ToolButton2Click();
    void Slider1ValueChange1();
    void ShowChartStatistics();
    // Selects the rate list entry for a rate (30.5 s or more: the selection stays).
    void selectRate(double rate);
    // Makes the rate list the real-time window's pick-only list, enabled.
    void setRateListPickOnly();
    bool FormCloseQuery();

    // The data-set list: one row per data set (number, date, time, interval, count, weighting),
    // the first selected.
    void fillDataSetList(const QList<QStringList> &rows);
    void Grid2Click();
    // Shows one data set of the store on the chart with its statistics and cursors.
    void showDataSet(const struct DataSetDisplay &display);

    // The chart's mouse events: the read-out, dragging the cursor lines, marking a data point.
    void PESGraph1VertLineAnnotHotSpot(int line);
    void PESGraph1MouseUp();
    void PESGraph1MouseMove(QPoint pos);
    void PESGraph1DataHotSpot(int subset, int point);

    // Click modes and marks.
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton9Click();
    void PESGraph1Click();
    void PESGraph1GraphAnnotHotSpot(int slot, bool doubleClick);
    void ToolButton13Click();
    void tbntClrClick();

    // View controls, the template, the rate list and the statistics export.
    void PESGraph1ZoomIn();
    void UndoZoomClick();
    void Button1Click();
    void PESGraph1CustomizeDlg();
    void txtSamplingRateChange();
    void Button2Click();
    // The statistics fields' texts as displayed.
    StatisticsFieldTexts statisticsFields() const;

    // Leq, L10, L50 and L90 over all readings, and Leq between the cursors: empty without readings.
    void updateAcousticStatistics();
    void updateCursorLeq();

    QLabel *Panel12 = nullptr;
    DataSetListPanel *pnlDataSets = nullptr;
    QTableWidget *Grid2 = nullptr;
    GraphStatisticPanel *pnlGraphStatistic = nullptr;
    CursorPanel *pnlStatistic = nullptr;

    // RealTimeTarget.
    int points() const override;
    void setPoints(int n) override;
    void resetData() override;
    void setPoint(int k, TDateTime x, float y) override;
    TDateTime pointX(int k) const override;
    float pointY(int k) const override;
    void setManualMinX(double x) override;
    double manualMaxX() const override;
    void setManualMaxX(double x) override;
    void redraw() override;
    bool fastestRateShown() const override;
    void restoreNormal() override;
    void setClearEnabled(bool enabled) override;
    void clearStatistics() override;
    void setStartTime(const QString &text) override;
    void setMaximum(const QString &level, const QString &time) override;
    void setMinimum(const QString &level, const QString &time) override;
    void setDataNo(int count) override;
    void setAverage(const QString &text) override;
    void setSlider(const SliderSpan &span) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    QMessageBox::StandardButton question(const QString &text);
    void connectControls();
    void placePanel12();
    void setClickMode(ClickMode mode);
    void syncClickMode();

    GraphRole m_role;
    LinkState &m_state;
    GraphWindowsState &m_shared;
    QToolBar *ToolBar1 = nullptr;
    SidewaysScrollPanel *m_graphStatisticArea = nullptr;
    bool m_closing = false;
    // During a recording the acoustic figures follow the samples a few times a second.
    QTimer m_acousticTimer;
};
