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
#include "graph/ui/FieldFit.h"
#include "graph/ui/GraphMarkActions.h"
#include "graph/ui/PrepareChart.h"
#include "graph/ui/StatisticsClipboard.h"
#include "graph/ui/TwoThumbSlider.h"
#include "link/Clock.h"
#include "logger/DataSetDisplay.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

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

QLabel *caption(QWidget *parent, const QString &text, const QColor &color = QColor(), const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    if (color.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
    }
    return l;
}

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
    pnlDataSets = new QWidget(split);
    pnlDataSets->setObjectName(QStringLiteral("pnlDataSets"));
    auto *setsColumn = new QVBoxLayout(pnlDataSets);
    setsColumn->setContentsMargins(2, 2, 2, 2);
    setsColumn->addWidget(caption(pnlDataSets, QStringLiteral("Messreihen"), QColor(), "lblDataSets"));
    Grid2 = new QTableWidget(1, 6, pnlDataSets);
    Grid2->setObjectName(QStringLiteral("Grid2"));
    Grid2->setHorizontalHeaderLabels(windowText(QStringLiteral("TfrmGraph"), "Grid2").split(QLatin1Char(',')));
    const int widths[6] = {25, 60, 60, 65, 40, 40};
    for (int c = 0; c < 6; ++c)
        Grid2->setColumnWidth(c, widths[c]);
    Grid2->verticalHeader()->hide();
    Grid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid2->viewport()->setCursor(Qt::PointingHandCursor);
    connect(Grid2, &QTableWidget::cellClicked, this, [this] { Grid2Click(); });
    setsColumn->addWidget(Grid2);
    pnlDataSets->setVisible(role == GraphRole::DataSet);

    auto *right = new QWidget(split);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolBar(right);
    column->addWidget(ToolBar1);
    pnlGraphStatistic = buildGraphStatistic(right);
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
    pnlStatistic = buildStatistic(vsplit);
    vsplit->addWidget(PESGraph1);
    vsplit->addWidget(pnlStatistic);
    vsplit->setStretchFactor(0, 1);
    vsplit->setStretchFactor(1, 0);
    vsplit->setChildrenCollapsible(false);
    // The chart keeps room to be read when the window is made small; the cursor panel gives way.
    PESGraph1->setMinimumHeight(160);
    column->addWidget(vsplit, 1);
    split->setStretchFactor(1, 1);

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
    placeThumbsByTime();
    // Every change of the plot's layout or scales (a resize of any kind, a zoom, new data, a
    // scroll bar) moves the plot area, so the slider follows each drawing of the chart.
    connect(PESGraph1->plot(), &QCustomPlot::afterReplot, this, &TfrmGraph::FormResize);
    applyWindowTexts(this, QStringLiteral("TfrmGraph"));
    FormShow();
}

TfrmGraph::~TfrmGraph() = default;

QLineEdit *TfrmGraph::field(const char *name, const QString &text)
{
    auto *e = new QLineEdit(text, this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    return e;
}

void TfrmGraph::buildToolBar(QWidget *parent)
{
    ToolBar1 = new QToolBar(parent);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [this](const char *name, const QString &text, const QString &hint, bool checkable) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setCheckable(checkable);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 = button("ToolButton1", QStringLiteral("Info"), QStringLiteral("Ein-/Ausblenden Info zur Messung"), true);
    ToolButton1->setChecked(true);
    ToolButton2 = button("ToolButton2", QStringLiteral("A-B"), QStringLiteral("Ein-/Ausblenden statistische Werte"), true);
    ToolButton2->setChecked(true);
    connect(ToolButton1, &QToolButton::clicked, this, &TfrmGraph::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmGraph::ToolButton2Click);
    ToolBar1->addSeparator();
    // The click modes: exactly one is down.
    ToolButton4 = button("ToolButton4", QStringLiteral("Standard"), QStringLiteral("Standard Cursor"), true);
    ToolButton5 = button("ToolButton5", QStringLiteral("+"), QStringLiteral("Markierung setzten"), true);
    ToolButton9 = button("ToolButton9", QStringLiteral(" Text "), QStringLiteral(" Text "), true);
    auto *modes = new QButtonGroup(this);
    modes->setExclusive(true);
    for (QToolButton *b : {ToolButton4, ToolButton5, ToolButton9})
        modes->addButton(b);
    ToolButton4->setChecked(true);
    connect(ToolButton4, &QToolButton::clicked, this, &TfrmGraph::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TfrmGraph::ToolButton5Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TfrmGraph::ToolButton9Click);
    ToolButton13 = button("ToolButton13", QStringLiteral("Liste"), QString(), false);
    connect(ToolButton13, &QToolButton::clicked, this, &TfrmGraph::ToolButton13Click);
    QAction *sep3 = ToolBar1->addSeparator();
    sep3->setObjectName(QStringLiteral("tbntSep3"));
    tbntClr = button("tbntClr", QStringLiteral("löschen"), QStringLiteral("löschen"), false);
    connect(tbntClr, &QToolButton::clicked, this, &TfrmGraph::tbntClrClick);
    sep3->setVisible(m_role == GraphRole::RealTime);
    for (QAction *a : ToolBar1->actions()) {
        if (ToolBar1->widgetForAction(a) == tbntClr)
            a->setVisible(m_role == GraphRole::RealTime);
    }
    auto push = [this](const char *name, const QString &text, const QString &hint) {
        auto *b = new QPushButton(text, ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        ToolBar1->addWidget(b);
        return b;
    };
    UndoZoom = push("UndoZoom", QStringLiteral("Zoom aufheben"), QStringLiteral("Zoom aufheben"));
    UndoZoom->setEnabled(false);
    connect(UndoZoom, &QPushButton::clicked, this, &TfrmGraph::UndoZoomClick);
    Button1 = push("Button1", QStringLiteral("Grafik Optionen"), QStringLiteral("Grafik Anpassungen"));
    connect(Button1, &QPushButton::clicked, this, &TfrmGraph::Button1Click);
    Button2 = push("Button2", QStringLiteral("Daten Export"), QString());
    connect(Button2, &QPushButton::clicked, this, &TfrmGraph::Button2Click);
}

QWidget *TfrmGraph::buildGraphStatistic(QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("pnlGraphStatistic"));
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 2, 4, 2);
    txtStartTime = field("txtStartTime");
    txtSamplingRate = new QComboBox(panel);
    txtSamplingRate->setObjectName(QStringLiteral("txtSamplingRate"));
    txtSamplingRate->setEnabled(false);
    txtDataNo = field("txtDataNo", QStringLiteral("0"));
    txtAvgAll = field("txtAvgAll", QStringLiteral("***.* dB "));
    txtMax = field("txtMax");
    txtMaxTime = field("txtMaxTime");
    txtMin = field("txtMin");
    txtMinTime = field("txtMinTime");
    txtLeq = field("txtLeq");
    txtL10 = field("txtL10");
    txtL50 = field("txtL50");
    txtL90 = field("txtL90");

    grid->addWidget(caption(panel, QStringLiteral("Start Zeit"), QColor(), "lblStartTime"), 0, 0);
    grid->addWidget(txtStartTime, 0, 1);
    auto *pnlSamplingRate = new QWidget(panel);
    pnlSamplingRate->setObjectName(QStringLiteral("pnlSamplingRate"));
    auto *rateRow = new QHBoxLayout(pnlSamplingRate);
    rateRow->setContentsMargins(0, 0, 0, 0);
    rateRow->addWidget(caption(pnlSamplingRate, QStringLiteral("Messrate"), QColor(), "lblSamplingRate"));
    rateRow->addWidget(txtSamplingRate);
    rateRow->addWidget(caption(pnlSamplingRate, QStringLiteral("Sek"), QColor(), "lblSeconds"));
    grid->addWidget(pnlSamplingRate, 0, 2);
    grid->addWidget(caption(panel, QStringLiteral("Datensatz"), QColor(), "lblDataNo"), 0, 3);
    grid->addWidget(txtDataNo, 0, 4);
    grid->addWidget(caption(panel, QStringLiteral("Mittel"), QColor(), "lblAvgAll"), 0, 5);
    grid->addWidget(txtAvgAll, 0, 6);
    grid->addWidget(caption(panel, QStringLiteral("Maximum"), QColor(), "lblMax"), 1, 0);
    grid->addWidget(txtMax, 1, 1);
    grid->addWidget(caption(panel, QStringLiteral("@")), 1, 2, Qt::AlignCenter);
    grid->addWidget(txtMaxTime, 1, 3, 1, 2);
    grid->addWidget(caption(panel, QStringLiteral("Minimum"), QColor(), "lblMin"), 2, 0);
    grid->addWidget(txtMin, 2, 1);
    grid->addWidget(caption(panel, QStringLiteral("@")), 2, 2, Qt::AlignCenter);
    grid->addWidget(txtMinTime, 2, 3, 1, 2);
    // The acoustic figures beside the arithmetic ones: Leq from the sound energy, and the levels
    // exceeded by 10, 50 and 90 % of the readings.
    grid->addWidget(caption(panel, QStringLiteral("Leq"), QColor(), "lblLeq"), 0, 7);
    grid->addWidget(txtLeq, 0, 8);
    grid->addWidget(caption(panel, QStringLiteral("L10"), QColor(), "lblL10"), 1, 5);
    grid->addWidget(txtL10, 1, 6);
    grid->addWidget(caption(panel, QStringLiteral("L50"), QColor(), "lblL50"), 1, 7);
    grid->addWidget(txtL50, 1, 8);
    grid->addWidget(caption(panel, QStringLiteral("L90"), QColor(), "lblL90"), 2, 5);
    grid->addWidget(txtL90, 2, 6);
    // Every field as wide as its widest text, so no digit is cut off; the panel scrolls instead.
    for (QLineEdit *e : {txtStartTime, txtMaxTime, txtMinTime})
        fitFieldTo(e, widestDateTimeTexts());
    for (QLineEdit *e : {txtMax, txtMin, txtLeq, txtL10, txtL50, txtL90})
        fitFieldTo(e, {widestLevelText()});
    fitFieldTo(txtAvgAll, {widestLevelText(), txtAvgAll->text()});
    fitFieldTo(txtDataNo, {QStringLiteral("999999")});
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return panel;
}

QWidget *TfrmGraph::buildStatistic(QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("pnlStatistic"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 2, 0, 2);
    // The slider lies in a row of its own, placed under the plot area by FormResize.
    m_sliderRow = new QWidget(panel);
    m_sliderRow->setObjectName(QStringLiteral("sliderRow"));
    Slider1 = new TwoThumbSlider(m_sliderRow);
    m_sliderRow->setFixedHeight(Slider1->sizeHint().height());
    column->addWidget(m_sliderRow);
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    txtCursorA = field("txtCursorA");
    txtCursorATime = field("txtCursorATime");
    txtCursorB = field("txtCursorB");
    txtCursorBTime = field("txtCursorBTime");
    txtMaxAB = field("txtMaxAB");
    txtMaxABTime = field("txtMaxABTime");
    txtMinAB = field("txtMinAB");
    txtMinABTime = field("txtMinABTime");
    txtAvgAB = field("txtAvgAB");
    txtLeqAB = field("txtLeqAB");
    QPalette blue = txtCursorA->palette(), red = txtCursorB->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    red.setColor(QPalette::Text, Qt::red);
    txtCursorA->setPalette(blue);
    txtCursorB->setPalette(red);
    auto row = [&](int r, const QString &text, const QColor &color, QLineEdit *level, QLineEdit *time,
                   const char *name = nullptr) {
        grid->addWidget(caption(panel, text, color, name), r, 0);
        grid->addWidget(level, r, 1);
        if (time) {
            grid->addWidget(caption(panel, QStringLiteral("@")), r, 2, Qt::AlignCenter);
            grid->addWidget(time, r, 3);
        }
    };
    row(0, QStringLiteral("Punkt A"), Qt::blue, txtCursorA, txtCursorATime, "lblCursorA");
    row(1, QStringLiteral("Punkt B"), Qt::red, txtCursorB, txtCursorBTime, "lblCursorB");
    row(2, QStringLiteral("Max. zwischen A und B"), QColor(), txtMaxAB, txtMaxABTime, "lblMaxAB");
    row(3, QStringLiteral("Min. zwischen A und B"), QColor(), txtMinAB, txtMinABTime, "lblMinAB");
    row(4, QStringLiteral("Mittel zwischen A und B"), QColor(), txtAvgAB, nullptr, "lblAvgAB");
    row(5, QStringLiteral("Leq zwischen A und B"), QColor(), txtLeqAB, nullptr, "lblLeqAB");
    for (QLineEdit *e : {txtCursorA, txtCursorB, txtMaxAB, txtMinAB, txtAvgAB, txtLeqAB})
        fitFieldTo(e, {widestLevelText()});
    for (QLineEdit *e : {txtCursorATime, txtCursorBTime, txtMaxABTime, txtMinABTime})
        fitFieldTo(e, widestDateTimeTexts());
    return panel;
}

// ---------------------------------------------------------------------------------------------
// Window events.

void TfrmGraph::FormShow()
{
    const QSignalBlocker block(txtSamplingRate);
    txtSamplingRate->clear();
    txtSamplingRate->addItems(samplingRateTexts());
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
    // The slider's track spans the plot area from its left to its right edge; the thumbs may
    // stand out by half their height at either end.
    const QRect plot = PESGraph1->GraphRect();
    const int left = PESGraph1->mapTo(this, plot.topLeft()).x() - m_sliderRow->mapTo(this, QPoint(0, 0)).x();
    const int half = TwoThumbSlider::ThumbHeight / 2;
    const QRect place(left - half, 0, plot.width() + 2 * half, m_sliderRow->height());
    if (Slider1->geometry() != place)
        Slider1->setGeometry(place);
    // The thumbs stand at their points' times, which move with the plot's scales.
    Slider1->update();
    placePanel12();
}

// Each thumb stands under its cursor line: at the pixel of its point's time on the plot, not at
// an even share of the point count, so gaps in a recording do not pull thumbs and lines apart.
void TfrmGraph::placeThumbsByTime()
{
    // From the chart's pixels to the slider's.
    const auto offset = [this] { return PESGraph1->mapTo(this, QPoint(0, 0)).x() - Slider1->mapTo(this, QPoint(0, 0)).x(); };
    TwoThumbSlider::Placement placement;
    placement.pixelOf = [this, offset](int i) {
        if (i < 0 || i >= PESGraph1->Points())
            return std::numeric_limits<double>::quiet_NaN();
        return PESGraph1->GraphToPixel(PESGraph1->XDataII(0, i), 0).x() + offset();
    };
    placement.valueAt = [this, offset](double pixel) {
        const double x = PESGraph1->PixelToGraph(pixel - offset(), 0).x();
        const int last = std::min(Slider1->Maximum(), PESGraph1->Points() - 1);
        return nearestPoint(PESGraph1->state().data.xArray(0), Slider1->Minimum(), last, x);
    };
    Slider1->setPlacement(std::move(placement));
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

void TfrmGraph::selectRate(double rate)
{
    const int entry = RateToEntry(rate);
    if (entry >= 0)
        txtSamplingRate->setCurrentIndex(entry);
}

void TfrmGraph::setRateListPickOnly()
{
    txtSamplingRate->setEditable(false);
    txtSamplingRate->setEnabled(true);
    txtSamplingRate->parentWidget()->setEnabled(true);
}

void TfrmGraph::Slider1ValueChange1()
{
    m_shared.CursorA = Slider1->Value1();
    m_shared.CursorB = Slider1->Value2();
    if (Slider1->Maximum() == 0)
        return;
    showCursor(0, m_shared.CursorA);
    showCursor(1, m_shared.CursorB);
    updateCursorStatistics();
    pnlStatistic->update();
    PESGraph1->Redraw();
}

// The fields, the line and its label of cursor A (line 0) or B (line 1) on point i.
void TfrmGraph::showCursor(int line, int i)
{
    if (i < 0 || i >= PESGraph1->Points())
        return;
    const double x = PESGraph1->XDataII(0, i);
    const float y = PESGraph1->YData(0, i);
    (line == 0 ? txtCursorA : txtCursorB)->setText(levelText(y));
    (line == 0 ? txtCursorATime : txtCursorBTime)->setText(dateTimeText(x));
    PESGraph1->setVertLineAnnotation(line, x);
    PESGraph1->setVertLineAnnotationText(line, cursorLineLabel(x, y));
}

// Moves a cursor to point i through its slider thumb, and pulls the pointer onto the line at
// its own height.
void TfrmGraph::moveCursor(int line, int i, double pointerLevel)
{
    if (line == 0)
        Slider1->setValue1(i);
    else
        Slider1->setValue2(i);
    Slider1->update();
    const QPointF p = PESGraph1->GraphToPixel(PESGraph1->XDataII(0, i), pointerLevel);
    QCursor::setPos(PESGraph1->mapToGlobal(p.toPoint()));
    showCursor(line, i);
    PESGraph1->Redraw();
}

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
    const double xm = g.x(), ym = g.y();
    Panel12->setText(pointerReadout(ym, xm));
    Panel12->adjustSize();
    placePanel12();
    Panel12->show();
    if (PESGraph1->HotSpotAt(pos.x(), pos.y()).kind == sgHotSpotVertLineAnnotation)
        return;
    const int line = m_shared.DragA ? 0 : m_shared.DragB ? 1 : -1;
    if (line < 0)
        return;
    const int n = PESGraph1->Points();
    int i = line == 0 ? m_shared.CursorA : m_shared.CursorB;
    if (n <= 0)
        return;
    i = std::clamp(i, 0, n - 1);
    const double l = PESGraph1->VertLineAnnotation(line);
    if (l < xm && i < n - 1) {
        while (PESGraph1->XDataII(0, i) < xm && i < n - 1)
            ++i;
    } else if (l > xm && i > 0) {
        while (PESGraph1->XDataII(0, i) > xm && i > 0)
            --i;
    } else {
        return;
    }
    updateCursorStatistics();
    moveCursor(line, i, ym);
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

void TfrmGraph::updateCursorStatistics()
{
    updateCursorLeq();
    const ChartData &data = PESGraph1->state().data;
    if (data.Subsets() <= 0)
        return;
    const CursorStatistics s =
        cursorStatistics(data.xArray(0), data.yArray(0), data.Points(), m_shared.CursorA, m_shared.CursorB);
    if (!s.valid)
        return;
    txtMaxAB->setText(levelText(s.maximum));
    txtMaxABTime->setText(dateTimeText(s.maxTime));
    txtMinAB->setText(levelText(s.minimum));
    txtMinABTime->setText(dateTimeText(s.minTime));
    txtAvgAB->setText(levelText(s.average));
}

void TfrmGraph::ShowChartStatistics()
{
    // A chart without subsets has no readings, whatever its point count says.
    const ChartData &data = PESGraph1->state().data;
    const int n = data.Subsets() > 0 ? data.Points() : 0;
    const ChartStatistics s = n > 0 ? chartStatistics(data.xArray(0), data.yArray(0), n) : ChartStatistics{};
    if (n > 0) {
        txtStartTime->setText(dateTimeText(s.startTime));
        txtSamplingRate->setEditText(levelText(s.rate));
        if (!txtSamplingRate->isEditable()) {
            txtSamplingRate->clear();
            txtSamplingRate->addItem(levelText(s.rate));
        }
        txtAvgAll->setText(levelText(s.average));
        txtMax->setText(levelText(s.maximum));
        txtMaxTime->setText(dateTimeText(s.maxTime));
        txtMin->setText(levelText(s.minimum));
        txtMinTime->setText(dateTimeText(s.minTime));
    }
    txtDataNo->setText(QString::number(n));
    updateAcousticStatistics();
    FormResize();
    setSlider(sliderSpan(n));
    // Also when the slider has no range to report a change: no figure of the previous chart stays.
    updateCursorLeq();
}

// ---------------------------------------------------------------------------------------------
// The data-set role.

void TfrmGraph::fillDataSetList(const QList<QStringList> &rows)
{
    const QSignalBlocker block(Grid2);
    Grid2->clearContents();
    Grid2->setRowCount(std::max<qsizetype>(1, rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 6 && c < rows[r].size(); ++c)
            Grid2->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
    // Columns as wide as their texts, so dates and times show whole.
    if (!rows.isEmpty()) {
        Grid2->resizeColumnsToContents();
        int width = 2 * Grid2->frameWidth() + 8;
        for (int c = 0; c < Grid2->columnCount(); ++c)
            width += Grid2->columnWidth(c);
        pnlDataSets->setMinimumWidth(std::min(width, 460));
    }
    Grid2->clearSelection();
    if (!rows.isEmpty())
        Grid2->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 4), true);
}

void TfrmGraph::Grid2Click()
{
    const QList<QTableWidgetSelectionRange> ranges = Grid2->selectedRanges();
    const int row = ranges.isEmpty() ? Grid2->currentRow() : ranges.first().topRow();
    if (row < 0)
        return;
    const QTableWidgetItem *date = Grid2->item(row, 1);
    if (!date || date->text().isEmpty())
        return;
    if (onDataSetChosen)
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
    txtStartTime->setText(d.txtStartTime);
    txtSamplingRate->setEditText(d.txtSamplingRate);
    if (!txtSamplingRate->isEditable()) {
        txtSamplingRate->clear();
        txtSamplingRate->addItem(d.txtSamplingRate);
    }
    txtDataNo->setText(d.txtDataNo);
    txtMax->setText(d.txtMax);
    txtMaxTime->setText(d.txtMaxTime);
    txtMin->setText(d.txtMin);
    txtMinTime->setText(d.txtMinTime);
    txtAvgAll->setText(d.txtAvgAll);
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
    for (QLineEdit *e : {txtAvgAll, txtMax, txtMin, txtMaxTime, txtMinTime, txtCursorA, txtCursorATime, txtCursorB,
                         txtCursorBTime, txtMaxAB, txtMaxABTime, txtMinAB, txtMinABTime, txtAvgAB, txtLeq, txtL10,
                         txtL50, txtL90, txtLeqAB})
        e->clear();
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
void TfrmGraph::setSlider(const SliderSpan &span)
{
    Slider1->setRange(span.min, std::max(span.min, span.max));
    Slider1->setValue1(span.a);
    Slider1->setValue2(span.b);
    Slider1ValueChange1();
}

// ---------------------------------------------------------------------------------------------
// Acoustic figures.

std::vector<float> TfrmGraph::readings() const
{
    const int n = PESGraph1->Subsets() > 0 ? PESGraph1->Points() : 0;
    std::vector<float> levels(size_t(std::max(0, n)));
    if (n <= 0)
        return levels;
    const double *x = PESGraph1->state().data.xArray(0);
    const float *y = PESGraph1->state().data.yArray(0);
    const float null = PESGraph1->NullDataValueY();
    for (int i = 0; i < n; ++i) {
        const bool reading = x[i] != 0 && std::isfinite(y[i]) && y[i] != null;
        levels[size_t(i)] = reading ? y[i] : std::numeric_limits<float>::quiet_NaN();
    }
    return levels;
}

void TfrmGraph::updateAcousticStatistics()
{
    const std::vector<float> levels = readings();
    const std::optional<AcousticFigures> f = acousticStatistics(levels.data(), qsizetype(levels.size()));
    txtLeq->setText(f ? levelText(f->leq) : QString());
    txtL10->setText(f ? levelText(f->l10) : QString());
    txtL50->setText(f ? levelText(f->l50) : QString());
    txtL90->setText(f ? levelText(f->l90) : QString());
    // Without readings there is nothing between the cursors either (the slider may have no range
    // to report a change).
    if (!f)
        txtLeqAB->clear();
}

void TfrmGraph::updateCursorLeq()
{
    const std::vector<float> levels = readings();
    const std::optional<double> leq =
        equivalentLevel(levels.data(), qsizetype(levels.size()), m_shared.CursorA, m_shared.CursorB);
    txtLeqAB->setText(leq ? levelText(*leq) : QString());
}

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
