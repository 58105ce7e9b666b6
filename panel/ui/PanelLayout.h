#pragma once
// Where everything sits on the control panel, in client pixels. The artwork draws its key caps
// from the same table the window places its click areas with, so the two cannot drift apart.
#include <QRect>
#include <QSize>

namespace PanelLayout {

inline constexpr QSize ClientSize{215, 603};
// The front picture `imgPanel`; its pixel (0, 0) is client (0, 4).
inline constexpr QRect PictureRect{0, 4, 214, 599};

struct Place {
    const char *name;
    QRect rect;
};

// Keys: transparent click areas over the picture of the meter's keys.
inline constexpr Place Keys[] = {
    {"btnPower", {149, 176, 41, 36}},  {"btnLevel", {153, 242, 30, 28}},  {"btnRECALL", {95, 239, 42, 27}},
    {"btnREC", {61, 281, 33, 28}},     {"btnMEM", {103, 287, 41, 25}},    {"btnDown", {155, 280, 30, 28}},
    {"Label1", {49, 334, 41, 25}},     {"btnINTV", {99, 334, 41, 25}},    {"btnMaxMin", {153, 329, 32, 25}},
    {"btnBackLight", {37, 378, 41, 25}}, {"btnAC", {84, 378, 41, 25}},    {"btnFast", {142, 376, 44, 25}},
};

// The two small window buttons at the top right corner.
inline constexpr Place TitleButtons[] = {
    {"SpeedButton1", {169, 0, 16, 14}},  // minimise
    {"SpeedButton2", {191, 0, 16, 14}},  // close
};

// The liquid-crystal display: bezel and glass of the picture.
inline constexpr QRect LcdBezel{35, 403, 160, 149};
inline constexpr QRect LcdGlass{41, 406, 148, 141};

// Display elements.
inline constexpr QSize DigitSize{17, 28};
inline constexpr int DigitX[4] = {66, 84, 101, 123};
inline constexpr int DigitY = 492;
inline constexpr QRect Point{118, 513, 5, 5};
inline constexpr QRect MAX{83, 433, 22, 10};
inline constexpr QRect MIN{105, 433, 20, 10};
inline constexpr QRect FAST{125, 433, 28, 10};
inline constexpr QRect dBA{145, 499, 34, 14};
inline constexpr QRect REC{108, 520, 32, 11};
inline constexpr QRect Time{80, 477, 56, 11};
inline constexpr QRect Date{80, 466, 56, 11};
inline constexpr QRect ReadNo{163, 472, 22, 12};
inline constexpr QRect READ{132, 479, 26, 9};
inline constexpr QRect UNDER{56, 526, 32, 9};
inline constexpr QRect OVER{149, 526, 26, 9};
inline constexpr QRect BatBar{49, 432, 22, 12};
inline constexpr QRect AutoOff{74, 434, 8, 9};
inline constexpr QRect ColorBar{57, 447, 2, 8};  // initial width; grows to the right
inline constexpr int ColorBarMaxWidth = 101;
inline constexpr QRect RangeLow{55, 456, 16, 9};
inline constexpr QRect RangeHigh{154, 456, 20, 9};
inline constexpr QRect NoConnection{49, 408, 137, 19};
inline constexpr QRect SegTIME{56, 477, 22, 11};

} // namespace PanelLayout
