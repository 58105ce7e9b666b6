#include "graph/ui/TfrmGraph.h"
#include "app/Catalogue.h"

#include "app/SystemFormats.h"
#include "app/UserDataFolder.h"
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "chart/ui/PESGraph.h"
#include "graph/AcousticStatistics.h"
#include "graph/ChartStatistics.h"
#include "graph/GraphFile.h"
#include "graph/SamplingRateChoice.h"
#include "graph/ui/CustomizeTemplate.h"
#include "graph/ui/DataSetListPanel.h"
#include "graph/ui/FieldFit.h"
#include "graph/ui/GraphMarkActions.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/StatisticsClipboard.h"
#include "graph/ui/TwoThumbSlider.h"
#include "link/Clock.h"
#include "logger/DataSetDisplay.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString roleCaption(GraphRole role)
{
    switch (role) {
    case GraphRole::RealTime: return windowText(QStringLiteral("TfrmGraph"), "RealTimeCaption");
    case GraphRole::DataSet: return LoadStr(30);
    case GraphRole::File: return QString();
    }
    return QString();
}

// During a recording the acoustic figures are brought up to date at most this often.
constexpr int AcousticUpdateMs = 250;

} // namespace

TfrmGraph::TfrmGraph(GraphRole role, LinkState &state, GraphWindowsState &shared, QWidget *parent)
    : QWidget(parent), m_role(role), m_state(state), m_shared(shared)
{
    setObjectName(QStringLiteral("frmGraph"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(roleCaption(role));
    resize(760, 603);

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *split = new QSplitter(Qt::Horizontal, this);
    outer->addWidget(split);

    // The data-set list, shown only in the data-set graph window.
    pnlDataSets = new DataSetListPanel(split);
    Grid2 = pnlDataSets->grid();
    pnlDataSets->setVisible(role == GraphRole::DataSet);

    // Beside it, from the top: the tool bar, the figures of the whole chart, the chart, and the
    // cursor panel, which gives way to the chart when the window is made small.
    auto *right = new QWidget(split);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ToolBar1 = buildGraphToolBar(right, *this, m_role == GraphRole::RealTime);
    column->addWidget(ToolBar1);
    pnlGraphStatistic = new GraphStatisticPanel(*this, this, right);
    m_graphStatisticArea = new SidewaysScrollPanel(pnlGraphStatistic, right);
    column->addWidget(m_graphStatisticArea);

    auto *vsplit = new QSplitter(Qt::Vertical, right);
    PESGraph1 = new PESGraph(vsplit);
    PESGraph1->setObjectName(QStringLiteral("PESGraph1"));
    Panel12 = new QLabel(PESGraph1);
    Panel12->setObjectName(QStringLiteral("Panel12"));
    Panel12->setAutoFillBackground(true);
    Panel12->setFrameShape(QFrame::Panel);
    Panel12->setMinimumWidth(140);
    // Shown from the first read-out on; an empty strip would only cover the chart's corner.
    Panel12->hide();
    pnlStatistic = new CursorPanel(*this, *PESGraph1, m_shared, this, vsplit);
    vsplit->addWidget(PESGraph1);
    vsplit->addWidget(pnlStatistic);
    vsplit->setStretchFactor(0, 1);
    vsplit->setStretchFactor(1, 0);
    vsplit->setChildrenCollapsible(false);
    // The chart keeps room to be read when the window is made small; the cursor panel gives way.
    PESGraph1->setMinimumHeight(160);
    column->addWidget(vsplit, 1);
    split->setStretchFactor(1, 1);

    connectControls();
    applyWindowTexts(this, QStringLiteral("TfrmGraph"));
    FormShow();
}

TfrmGraph::~TfrmGraph() = default;

void TfrmGraph::connectControls()
{
    connect(Grid2, &QTableWidget::cellClicked, this, [this] { Grid2Click(); });
    connect(ToolButton1, &QToolButton::clicked, this, &TfrmGraph::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmGraph::ToolButton2Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TfrmGraph::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TfrmGraph::ToolButton5Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TfrmGraph::ToolButton9Click);
    connect(ToolButton13, &QToolButton::clicked, this, &TfrmGraph::ToolButton13Click);
    connect(tbntClr, &QToolButton::clicked, this, &TfrmGraph::tbntClrClick);
    connect(UndoZoom, &QPushButton::clicked, this, &TfrmGraph::UndoZoomClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmGraph::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmGraph::Button2Click);

    PESGraph1->OnVertLineAnnotHotSpot = [this](int line) { PESGraph1VertLineAnnotHotSpot(line); };
    PESGraph1->OnMouseUp = [this](QPoint) { PESGraph1MouseUp(); };
    PESGraph1->OnMouseMove = [this](QPoint pos) { PESGraph1MouseMove(pos); };
    PESGraph1->OnDataHotSpot = [this](int subset, int point) { PESGraph1DataHotSpot(subset, point); };
    PESGraph1->OnClick = [this](QPoint) { PESGraph1Click(); };
    PESGraph1->OnGraphAnnotHotSpot = [this](int slot, bool doubleClick) { PESGraph1GraphAnnotHotSpot(slot, doubleClick); };
    PESGraph1->OnZoomIn = [this] { PESGraph1ZoomIn(); };
    PESGraph1->OnCustomizeDlg = [this] { PESGraph1CustomizeDlg(); };
    connect(txtSamplingRate, &QComboBox::activated, this, [this] { txtSamplingRateChange(); });
    m_acousticTimer.setSingleShot(true);
    m_acousticTimer.setInterval(AcousticUpdateMs);
    connect(&m_acousticTimer, &QTimer::timeout, this, &TfrmGraph::updateAcousticStatistics);
    connect(Slider1, &TwoThumbSlider::value1Changed, this, &TfrmGraph::Slider1ValueChange1);
    connect(Slider1, &TwoThumbSlider::value2Changed, this, &TfrmGraph::Slider1ValueChange1);
    // Every change of the plot's layout or scales (a resize of any kind, a zoom, new data, a
    // scroll bar) moves the plot area, so the slider follows each drawing of the chart.
    connect(PESGraph1->plot(), &QCustomPlot::afterReplot, this, &TfrmGraph::FormResize);
}

// ---------------------------------------------------------------------------------------------
// Window events.

void TfrmGraph::FormShow()
{
    pnlGraphStatistic->fillRateList();
    ToolButton4->setChecked(true);
    setClickMode(ClickMode::Normal);
}

bool TfrmGraph::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::FocusIn) {
        if (onActivated)
            onActivated();
    }
    return QWidget::event(e);
}

void TfrmGraph::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    FormResize();
}

void TfrmGraph::FormResize()
{
    pnlStatistic->placeSlider();
    placePanel12();
}

void TfrmGraph::placePanel12()
{
    // In the plot area's top-left corner, clear of the axis labels left of it and above it,
    // whose widths change with the zoom.
    const QRect plot = PESGraph1->GraphRect();
    Panel12->move(plot.left() + 1, plot.top() + 1);
    Panel12->raise();
}

void TfrmGraph::ToolButton1Click()
{
    placePanel12();
    m_graphStatisticArea->setVisible(ToolButton1->isChecked());
}

void TfrmGraph::ToolButton2Click()
{
    const bool down = ToolButton2->isChecked();
    pnlStatistic->setVisible(down);
    PESGraph1->look().showVertLineAnnotations = down;
    PESGraph1->Redraw();
}

void TfrmGraph::selectRate(double rate) { pnlGraphStatistic->selectRate(rate); }
void TfrmGraph::setRateListPickOnly() { pnlGraphStatistic->setRateListPickOnly(); }
void TfrmGraph::Slider1ValueChange1() { pnlStatistic->followSlider(); }

void TfrmGraph::PESGraph1VertLineAnnotHotSpot(int line)
{
    if (line == 0)
        m_shared.DragA = true;
    else if (line == 1)
        m_shared.DragB = true;
}

void TfrmGraph::PESGraph1MouseUp()
{
    m_shared.DragA = false;
    m_shared.DragB = false;
}

void TfrmGraph::PESGraph1MouseMove(QPoint pos)
{
    syncClickMode();
    // Over a mark the pointer tells how to delete it.
    PESGraph1->setToolTip(markHintAt(*PESGraph1, pos));
    const QRect r = PESGraph1->GraphRect();
    // Edges count as inside.
    if (pos.x() < r.left() || pos.x() > r.right() + 1 || pos.y() < r.top() || pos.y() > r.bottom() + 1)
        return;
    const QPointF g = PESGraph1->PixelToGraph(pos.x(), pos.y());
    Panel12->setText(pointerReadout(g.y(), g.x()));
    Panel12->adjustSize();
    placePanel12();
    Panel12->show();
    pnlStatistic->dragLine(pos, g);
}

void TfrmGraph::PESGraph1DataHotSpot(int subset, int point)
{
    GraphAnnotation *mark = PESGraph1->graphAnnotationForWrite(2);
    if (!mark || subset < 0 || subset >= PESGraph1->Subsets() || point < 0 || point >= PESGraph1->Points())
        return;
    mark->type = sgAnnotCross;
    mark->color = PEargb(255, 255, 255, 0);
    mark->x = PESGraph1->XDataII(subset, point);
    mark->y = PESGraph1->YData(subset, point);
    mark->text = timeText(mark->x) + QLatin1Char('\r') + levelText(mark->y) + QStringLiteral(" dB");
    PESGraph1->Redraw();
}

void TfrmGraph::ShowChartStatistics()
{
    // A chart without subsets has no readings, whatever its point count says.
    const ChartData &data = PESGraph1->state().data;
    const int n = data.Subsets() > 0 ? data.Points() : 0;
    if (n > 0)
        pnlGraphStatistic->showFigures(chartStatistics(data.xArray(0), data.yArray(0), n));
    txtDataNo->setText(QString::number(n));
    updateAcousticStatistics();
    FormResize();
    setSlider(sliderSpan(n));
    // Also when the slider has no range to report a change: no figure of the previous chart stays.
    updateCursorLeq();
}

// ---------------------------------------------------------------------------------------------
// The data-set role.

void TfrmGraph::fillDataSetList(const QList<QStringList> &rows) { pnlDataSets->fill(rows); }

void TfrmGraph::Grid2Click()
{
    const int row = pnlDataSets->chosenRow();
    if (row >= 0 && onDataSetChosen)
        onDataSetChosen(row);
}

void TfrmGraph::showDataSet(const DataSetDisplay &d)
{
    if (d.set < 0)
        return;
    PrepareDataSetChart(PESGraph1, d.chart.subsets, d.chart.maxY, d.chart.minY, d.chart.maxX, d.chart.minX, d.count);
    PESGraph1->PEactions(sgResetImage);
    PESGraph1->PEactions(sgInvalidateImage);
    if (d.count > 0 && d.x && d.y) {
        PESGraph1->setXDataII(0, d.x, d.count);
        PESGraph1->setYData(0, d.y, d.count);
    }
    pnlGraphStatistic->showDataSetFigures(d);
    if (d.count <= 0) {
        // A set without readings has no figures and no cursor points: nothing of the set shown
        // before may stay beside it (the slider without range would leave the cursors as they were).
        clearStatistics();
        for (int line = 0; line < ChartState::kVertLines; ++line) {
            PESGraph1->setVertLineAnnotation(line, 0);
            PESGraph1->setVertLineAnnotationText(line, QString());
        }
    }
    updateAcousticStatistics();
    FormResize();
    SliderSpan span;
    span.min = d.sliderMin;
    span.max = d.sliderMax;
    span.a = d.sliderThumb1;
    span.b = d.sliderThumb2;
    setSlider(span);
    updateCursorLeq();
    PESGraph1->PEactions(sgResetImage);
    PESGraph1->PEactions(sgInvalidateImage);
}

// ---------------------------------------------------------------------------------------------
// Closing.

QMessageBox::StandardButton TfrmGraph::question(const QString &text)
{
    if (ask)
        return ask(text);
    return showMessage(this, QMessageBox::Question, QStringLiteral("Confirm"), text,
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

bool TfrmGraph::FormCloseQuery()
{
    if (m_role == GraphRole::DataSet && m_state.DownloadUnsaved) {
        const auto answer = question(windowText(QStringLiteral("TfrmGraph"), "SaveDataSetQuestion"));
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes) {
            m_state.DownloadUnsaved = false;
            // A save that could not write its file keeps the window and its mark: closing now
            // would lose what the user asked to keep.
            if (save && !save()) {
                m_state.DownloadUnsaved = true;
                return false;
            }
        }
    } else if (m_role == GraphRole::RealTime && m_state.RealTimeUnsaved) {
        const auto answer = question(windowText(QStringLiteral("TfrmGraph"), "SaveRealTimeQuestion"));
        if (answer == QMessageBox::Cancel)
            return false;
        m_state.RealTimeUnsaved = false;
        if (answer == QMessageBox::Yes && save && !save()) {
            m_state.RealTimeUnsaved = true;
            return false;
        }
    }
    return true;
}

void TfrmGraph::closeEvent(QCloseEvent *e)
{
    if (m_closing || FormCloseQuery()) {
        m_closing = true;
        // The unsaved download belongs to the data-set window: the other windows leave the mark,
        // so the data-set window (or the exit) still asks for it.
        if (m_role == GraphRole::DataSet)
            m_state.DownloadUnsaved = false;
        e->accept();
        if (onClosed) {
            auto closed = std::move(onClosed);
            closed(this);
        }
    } else {
        e->ignore();
    }
}


// ---------------------------------------------------------------------------------------------
// The recording's view of the window.

int TfrmGraph::points() const { return PESGraph1->Points(); }
void TfrmGraph::setPoints(int n) { PESGraph1->setPoints(n); }
void TfrmGraph::resetData()
{
    PESGraph1->state().data.reset(0);
}
void TfrmGraph::setPoint(int k, TDateTime x, float y)
{
    PESGraph1->setXDataII(0, k, x);
    PESGraph1->setYData(0, k, y);
}
TDateTime TfrmGraph::pointX(int k) const { return PESGraph1->XDataII(0, k); }
float TfrmGraph::pointY(int k) const { return PESGraph1->YData(0, k); }
void TfrmGraph::setManualMinX(double x) { PESGraph1->setManualMinX(x); }
double TfrmGraph::manualMaxX() const { return PESGraph1->ManualMaxX(); }
void TfrmGraph::setManualMaxX(double x) { PESGraph1->setManualMaxX(x); }
void TfrmGraph::redraw() { PESGraph1->Redraw(); }
bool TfrmGraph::fastestRateShown() const { return txtSamplingRate->currentIndex() == 0; }
void TfrmGraph::restoreNormal()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->showNormal();
}
void TfrmGraph::setClearEnabled(bool enabled) { tbntClr->setEnabled(enabled); }
void TfrmGraph::clearStatistics()
{
    m_acousticTimer.stop();
    pnlGraphStatistic->clearFigures();
    pnlStatistic->clearFigures();
}
void TfrmGraph::setStartTime(const QString &text) { txtStartTime->setText(text); }
void TfrmGraph::setMaximum(const QString &level, const QString &time)
{
    txtMax->setText(level);
    txtMaxTime->setText(time);
}
void TfrmGraph::setMinimum(const QString &level, const QString &time)
{
    txtMin->setText(level);
    txtMinTime->setText(time);
}
void TfrmGraph::setDataNo(int count)
{
    txtDataNo->setText(QString::number(count));
    // A sample was taken: the acoustic figures follow within a quarter second, not per sample.
    if (!m_acousticTimer.isActive())
        m_acousticTimer.start();
}
void TfrmGraph::setAverage(const QString &text)
{
    // The end of a recording: its figures at once.
    txtAvgAll->setText(text);
    m_acousticTimer.stop();
    updateAcousticStatistics();
}
void TfrmGraph::setSlider(const SliderSpan &span) { pnlStatistic->setSpan(span); }

// ---------------------------------------------------------------------------------------------
// Acoustic figures.

void TfrmGraph::updateAcousticStatistics()
{
    const std::vector<float> levels = chartReadings(PESGraph1->state().data, PESGraph1->NullDataValueY());
    const std::optional<AcousticFigures> f = acousticStatistics(levels.data(), qsizetype(levels.size()));
    pnlGraphStatistic->showAcousticFigures(f);
    // Without readings there is nothing between the cursors either (the slider may have no range
    // to report a change).
    if (!f)
        txtLeqAB->clear();
}

void TfrmGraph::updateCursorLeq() { pnlStatistic->updateCursorLeq(); }

// ---------------------------------------------------------------------------------------------
// Click modes and marks.

void TfrmGraph::setClickMode(ClickMode mode)
{
    m_shared.GraphClickMode = mode;
    PESGraph1->look().arrowCursor = arrowCursorFor(mode);
    PESGraph1->Redraw();
}

// The click mode is shared by all graph windows: another window may have changed it since this
// one set its pointer and mode button (a FormShow elsewhere, the chart preparation of a clear).
void TfrmGraph::syncClickMode()
{
    const ClickMode mode = m_shared.GraphClickMode;
    QToolButton *down = mode == ClickMode::Cross ? ToolButton5 : mode == ClickMode::Text ? ToolButton9 : ToolButton4;
    if (!down->isChecked())
        down->setChecked(true);
    if (PESGraph1->look().arrowCursor != arrowCursorFor(mode)) {
        PESGraph1->look().arrowCursor = arrowCursorFor(mode);
        PESGraph1->Redraw();
    }
}

void TfrmGraph::ToolButton4Click() { setClickMode(ClickMode::Normal); }
void TfrmGraph::ToolButton5Click() { setClickMode(ClickMode::Cross); }
void TfrmGraph::ToolButton9Click() { setClickMode(ClickMode::Text); }

void TfrmGraph::PESGraph1Click()
{
    syncClickMode();
    placeMarkAtClick(*PESGraph1, m_shared.LastAnnotation, m_shared.GraphClickMode, {}, this);
}

void TfrmGraph::PESGraph1GraphAnnotHotSpot(int slot, bool doubleClick)
{
    deleteMarkOnDoubleClick(*PESGraph1, slot, doubleClick);
}

void TfrmGraph::ToolButton13Click() { showMarkList(*PESGraph1, this); }

void TfrmGraph::tbntClrClick()
{
    // Only the real-time chart is cleared, and never under a running recording.
    if (m_role != GraphRole::RealTime || m_state.RealTimeRunning)
        return;
    setWindowTitle(roleCaption(m_role));
    const TDateTime t = SystemClock().now();
    QString error;
    PrepareChart(PESGraph1, 1, 130, 30, t + 30.0 / 86400.0, t, 200, templatePath(appDataFolder()), &error);
    redrawChart(*PESGraph1);
    PESGraph1->state().data.reset(0);
    if (onCleared)
        onCleared();
    clearMarks(PESGraph1->state(), m_shared.LastAnnotation);
    // The chart preparation set the normal pointer; the click mode stays as chosen.
    PESGraph1->look().arrowCursor = arrowCursorFor(m_shared.GraphClickMode);
    redrawChart(*PESGraph1);
    // The figures describe the chart's readings, which are gone.
    updateAcousticStatistics();
    updateCursorLeq();
    if (!error.isEmpty())
        showMessage(this, QMessageBox::Warning, QStringLiteral("Warning"), error);
}

// ---------------------------------------------------------------------------------------------
// View controls, template, rate list and export.

void TfrmGraph::PESGraph1ZoomIn() { UndoZoom->setEnabled(true); }

void TfrmGraph::UndoZoomClick()
{
    PESGraph1->PEactions(sgUndoZoom);
    PESGraph1->PEactions(sgResetImage);
    UndoZoom->setEnabled(PESGraph1->isZoomed());
}

void TfrmGraph::Button1Click() { PESGraph1->PEactions(sgCustomize); }

void TfrmGraph::PESGraph1CustomizeDlg()
{
    const QString error = keepCustomizationAsTemplate(*PESGraph1, appDataFolder());
    if (!error.isEmpty())
        showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), error);
}

void TfrmGraph::txtSamplingRateChange()
{
    // Only the real-time window's list is a choice; elsewhere it displays the chart's rate.
    if (m_role != GraphRole::RealTime)
        return;
    const SamplingRateChoice c =
        chooseSamplingRate(txtSamplingRate->currentText(), m_state.RealTimeRunning, m_state.SamplingInterval);
    m_state.SamplingInterval = float(c.rate);
    if (c.entry >= 0) {
        const QSignalBlocker block(txtSamplingRate);
        txtSamplingRate->setCurrentIndex(c.entry);
    }
    if (!c.message.isEmpty())
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"), c.message);
}

StatisticsFieldTexts TfrmGraph::statisticsFields() const
{
    StatisticsFieldTexts f;
    f.startTime = txtStartTime->text();
    f.samplingRate = txtSamplingRate->currentText();
    f.dataNo = txtDataNo->text();
    f.avgAll = txtAvgAll->text();
    f.max = txtMax->text();
    f.maxTime = txtMaxTime->text();
    f.min = txtMin->text();
    f.minTime = txtMinTime->text();
    f.cursorA = txtCursorA->text();
    f.cursorATime = txtCursorATime->text();
    f.cursorB = txtCursorB->text();
    f.cursorBTime = txtCursorBTime->text();
    f.maxAB = txtMaxAB->text();
    f.maxABTime = txtMaxABTime->text();
    f.minAB = txtMinAB->text();
    f.minABTime = txtMinABTime->text();
    f.avgAB = txtAvgAB->text();
    return f;
}

void TfrmGraph::Button2Click()
{
    const QString message = copyStatisticsToClipboard(statisticsFields(), *PESGraph1);
    showMessage(this, QMessageBox::Information, QStringLiteral("Information"), message);
}
