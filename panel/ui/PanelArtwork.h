#pragma once
// Drawing of the control panel's pictures: the meter front, the seven-segment digits and the
// display symbols. Images, not pixmaps, so they can be drawn and kept without a display.
#include <QColor>
#include <QFont>
#include <QImage>

class QPainter;

namespace PanelArtwork {

// Ink of the liquid-crystal display's segments and legends.
QColor lcdInk();
// The glass at the height of the level bar (the lightest band of its gradient).
QColor lcdGlassAtBar();
// A pixel-sized font for legends: a narrow sans serif that exists on the machine.
QFont legendFont(int pixelSize, bool bold = true);

// The colour around the meter's body, at the top of the picture.
QColor surroundColour();

// The meter itself (body, microphone, keys, display, grip) without the surround, in the panel's
// client coordinates; it fits the client rectangle 0,0 214 x 603. Also the program's icon.
void paintMeter(QPainter &p);
// The meter front `imgPanel`, 214 x 599.
QImage meterFront();
// Seven-segment image 0..15: digits 0-9, blank (10), minus (11, 12), L, E, r; 17 x 28.
QImage lcdDigit(int index);
// Display symbols.
QImage decimalPoint();               // 5 x 5
QImage batteryBars(int bars);        // 22 x 12, 0..3 bars
QImage legendSymbol(const QString &text, int width, int height);  // UNDER, OVER, READ
QImage autoOffSymbol();              // 8 x 9
QImage levelBar();                   // 101 x 8, drawn opaque

} // namespace PanelArtwork
