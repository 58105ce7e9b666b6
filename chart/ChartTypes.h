#pragma once
// Names, constants and small value types of the chart component, shared by the chart state (core)
// and the chart widget.
#include <QString>
#include <QtGlobal>

// A colour as alpha, red, green and blue in one 32-bit value (0xAARRGGBB).
using PEColor = quint32;

constexpr PEColor PEargb(int alpha, int red, int green, int blue)
{
    return (PEColor(alpha & 0xFF) << 24) | (PEColor(red & 0xFF) << 16) | (PEColor(green & 0xFF) << 8)
        | PEColor(blue & 0xFF);
}
constexpr int PEalpha(PEColor c) { return int((c >> 24) & 0xFF); }
constexpr int PEred(PEColor c) { return int((c >> 16) & 0xFF); }
constexpr int PEgreen(PEColor c) { return int((c >> 8) & 0xFF); }
constexpr int PEblue(PEColor c) { return int(c & 0xFF); }

// Scale control of an axis.
enum ManualScaleControl : int {
    sgNoManualScale = 0, // range from the data
    sgManualMin = 1,
    sgManualMax = 2,
    sgManualMinAndMax = 3,
};

// What the X values mean: plain numbers, or TDateTime values shown as dates and times.
enum DateTimeModeKind : int {
    sgNoDateTime = 0,
    sgVBDateTime = 1,
};

enum ZoomingKind : int {
    sgNoZooming = 0,
    sgHorzZooming = 1,
    sgVertZooming = 2,
    sgHorzPlusVertZooming = 3,
};

enum GridStyleKind : int {
    sgThin = 0,
    sgThick = 1,
    sgDot = 2,
    sgDash = 3,
    sgOnePixel = 4,
};

// Which grid lines are drawn.
enum GridLineKind : int {
    sgGridBoth = 0,
    sgGridY = 1,
    sgGridX = 2,
    sgGridNone = 3,
};

enum DataLabelsKind : int {
    sgNoDataLabels = 0,
    sgDataLabels = 1,
};

// Line types of a subset.
enum SubsetLineType : int {
    PELT_THINSOLID = 0,
    PELT_DASH = 1,
    PELT_DOT = 2,
    PELT_DASHDOT = 3,
    PELT_DASHDOTDOT = 4,
    PELT_MEDIUMSOLID = 5,
    PELT_THICKSOLID = 6,
    PELT_LASTLINETYPE = PELT_THICKSOLID,
};

// Chart actions.
enum PEAction : int {
    sgResetImage = 0,      // rebuild the picture from the chart's state
    sgInvalidateImage = 1, // repaint
    sgReinitAndReset = 2,  // after new data or a loaded state: full rebuild, zoom undone, repaint
    sgUndoZoom = 3,
    sgCustomize = 4,
    sgPrintDialog = 5,
};

// Graph annotation types.
enum GraphAnnotationKind : int {
    sgAnnotTextOnly = 0, // only its text (nothing when the text is empty)
    sgAnnotCross = 2,    // a cross with its text beside it
};

// Mouse pointer over the plot: the system arrow, the text pointer, or the program's cross-hair.
enum ArrowCursorKind : int {
    sgArrowNormal = 1,
    sgArrowText = 2,
    sgArrowCross = 3, // the "CROSS" pointer image
};

// What lies under a pixel of the chart.
enum HotSpotKind : int {
    sgHotSpotNone = 0,
    sgHotSpotData = 1,
    sgHotSpotGraphAnnotation = 2,
    sgHotSpotVertLineAnnotation = 3,
};

struct HotSpot {
    HotSpotKind kind = sgHotSpotNone;
    int index = -1; // subset, annotation slot or line
    int point = -1; // point of a data hot spot
};

// The level that marks a point as not drawn.
constexpr float kDefaultNullDataValueY = 9999.0f;

struct ChartFont {
    QString family;       // empty: the widget's default family
    double pointSize = 0; // 0: the default size of that element
    bool bold = false;
    bool italic = false;
    bool operator==(const ChartFont &) const = default;
};

struct GraphAnnotation {
    double x = 0;
    double y = 0;
    int type = sgAnnotTextOnly;
    QString text;
    PEColor color = PEargb(255, 0, 0, 0);
    bool operator==(const GraphAnnotation &) const = default;
    // Drawn at all: a cross, or a note with text.
    bool visible() const { return type == sgAnnotCross || !text.isEmpty(); }
};

struct VertLineAnnotation {
    double x = 0;
    QString text;
    bool operator==(const VertLineAnnotation &) const = default;
};
