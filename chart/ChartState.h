#pragma once
// The whole state of a chart apart from its widget: readings, scales, look, titles and
// annotations. The chart widget draws it; SaveState/LoadState store and restore it.
#include "chart/ChartData.h"
#include "chart/ChartTypes.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

struct ChartLook {
    // Titles and axis labels.
    QString mainTitle = QStringLiteral("Main Title");
    QString subTitle = QStringLiteral("Sub Title");
    QString xAxisLabel = QStringLiteral("X Axis");
    QString yAxisLabel = QStringLiteral("Y Axis #1");

    // Scales. X values are TDateTime days in date-time mode.
    int manualScaleControlX = sgNoManualScale;
    int manualScaleControlY = sgNoManualScale;
    double manualMinX = 0, manualMaxX = 1;
    double manualMinY = 0, manualMaxY = 1;
    int dateTimeMode = sgNoDateTime;
    bool usingXDataII = true;
    bool subsetByPoint = false;
    int workingAxis = 0;
    float nullDataValueY = kDefaultNullDataValueY;

    // Colours: around the plot, plot area, grid and frame, texts, Y axis.
    PEColor deskColor = PEargb(255, 240, 240, 240);
    PEColor graphBackColor = PEargb(255, 255, 255, 255);
    PEColor graphForeColor = PEargb(255, 0, 0, 0);
    PEColor textColor = PEargb(255, 0, 0, 0);
    PEColor yAxisColor = PEargb(255, 0, 0, 0);
    std::vector<PEColor> subsetColors{PEargb(255, 0, 0, 198), PEargb(255, 198, 0, 0)};
    std::vector<int> subsetLineTypes{PELT_THINSOLID, PELT_THINSOLID};

    int gridStyle = sgThin;
    int gridLines = sgGridBoth;

    ChartFont mainTitleFont{QString(), 12, true, false};
    ChartFont subTitleFont{QString(), 10, false, false};
    ChartFont labelFont{QString(), 9, false, false};
    ChartFont tickFont{QString(), 8, false, false};

    // Behaviour flags.
    int arrowCursor = sgArrowNormal;
    int allowZooming = sgHorzPlusVertZooming;
    bool scrollingHorzZoom = true;
    bool scrollingVertZoom = true;
    bool allowDataHotSpots = false;
    int allowDataLabels = sgNoDataLabels;
    bool prepareImages = false;
    bool allowPopup = true;
    bool noHelp = false;
    bool noRandomPointsToExport = false;
    bool focalRect = true;
    bool allowBar = true;

    // Annotation display.
    bool showGraphAnnotations = true;
    int graphAnnotationTextSize = 100; // percent of the normal text size
    bool allowGraphAnnotHotSpots = false;
    bool showVertLineAnnotations = true;
    bool allowVertLineAnnotHotSpots = false;
    int lineAnnotationTextSize = 100;

    bool operator==(const ChartLook &) const = default;

    PEColor subsetColor(int subset) const;
    int subsetLineType(int subset) const;
};

struct ChartState {
    static constexpr int kMaxGraphAnnotations = 65536;
    static constexpr int kVertLines = 2;

    ChartData data;
    ChartLook look;
    // Graph annotations by slot; slots that were never written are not stored.
    std::vector<GraphAnnotation> annotations;
    std::array<VertLineAnnotation, kVertLines> vertLines;

    // Slot n for writing, created when needed; nullptr for a slot outside 0 .. kMaxGraphAnnotations-1.
    GraphAnnotation *annotationForWrite(int n);
    // Slot n for reading; a default (invisible) annotation for a slot never written.
    const GraphAnnotation &annotation(int n) const;

    bool operator==(const ChartState &) const = default;
};

// What a template carries from a chart to new charts: the look (titles, axes, scales, colours,
// grid, fonts, line styles and behaviour), never readings, marks, notes or cursor lines.
ChartState chartTemplateOf(const ChartState &state);

// The state as a byte block (its own magic number and version, a checksum at the end).
QByteArray SaveChartState(const ChartState &state);

enum class ChartStateError {
    None,
    TooShort,      // shorter than the frame of a block
    NotAChartState, // another magic number
    Version,       // a newer block layout
    Length,        // the length in the block differs from the block's size
    Checksum,      // the contents were changed
    Malformed,     // a count or value that the block cannot hold or the chart cannot take
};

// Restores a state from a block that SaveChartState wrote; a state without subsets is refused.
// On any error `state` is unchanged.
// Never reads outside [bytes, bytes + size) and allocates only what the block's bytes can fill.
ChartStateError LoadChartState(const char *bytes, qsizetype size, ChartState &state);
inline ChartStateError LoadChartState(const QByteArray &block, ChartState &state)
{
    return LoadChartState(block.constData(), block.size(), state);
}

// CRC-32 (IEEE 802.3) as used by the block's checksum.
quint32 ChartStateCrc32(const char *bytes, qsizetype size);
