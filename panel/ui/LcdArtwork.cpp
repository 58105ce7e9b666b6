// The liquid-crystal display's pictures: seven-segment digits with faintly visible unlit
// segments, as on a real display, and the small symbols around them.
#include "panel/ui/PanelArtwork.h"
#include "panel/ui/PanelLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace PanelArtwork {

namespace {

enum Segment { SegA = 1, SegB = 2, SegC = 4, SegD = 8, SegE = 16, SegF = 32, SegG = 64, SegAll = 127 };

int segmentsOf(int index)
{
    static constexpr int map[16] = {
        SegA | SegB | SegC | SegD | SegE | SegF,         // 0
        SegB | SegC,                                     // 1
        SegA | SegB | SegG | SegE | SegD,                // 2
        SegA | SegB | SegG | SegC | SegD,                // 3
        SegF | SegG | SegB | SegC,                       // 4
        SegA | SegF | SegG | SegC | SegD,                // 5
        SegA | SegF | SegG | SegE | SegD | SegC,         // 6
        SegA | SegB | SegC,                              // 7
        SegAll,                                          // 8
        SegA | SegB | SegC | SegD | SegF | SegG,         // 9
        0,                                               // blank
        SegG,                                            // minus
        SegG,                                            // minus
        SegF | SegE | SegD,                              // L
        SegA | SegF | SegG | SegE | SegD,                // E
        SegE | SegG,                                     // r
    };
    return index >= 0 && index < 16 ? map[index] : 0;
}

// A segment as a hexagon with pointed ends, so neighbouring segments meet in mitred corners.
QPolygonF horizontalSegment(qreal x0, qreal x1, qreal y, qreal t, qreal gap)
{
    const qreal h = t / 2;
    return QPolygonF({{x0 + gap, y}, {x0 + gap + h, y - h}, {x1 - gap - h, y - h},
                      {x1 - gap, y}, {x1 - gap - h, y + h}, {x0 + gap + h, y + h}});
}

QPolygonF verticalSegment(qreal x, qreal y0, qreal y1, qreal t, qreal gap)
{
    const qreal h = t / 2;
    return QPolygonF({{x, y0 + gap}, {x + h, y0 + gap + h}, {x + h, y1 - gap - h},
                      {x, y1 - gap}, {x - h, y1 - gap - h}, {x - h, y0 + gap + h}});
}

QPolygonF segmentShape(int segment)
{
    constexpr qreal t = 2.6, gap = 0.55;
    constexpr qreal left = 2.9 + t / 2, right = 14.1 - t / 2;
    constexpr qreal top = 1.4 + t / 2, middle = 14.0, bottom = 26.6 - t / 2;
    switch (segment) {
    case SegA: return horizontalSegment(left, right, top, t, gap);
    case SegG: return horizontalSegment(left, right, middle, t, gap);
    case SegD: return horizontalSegment(left, right, bottom, t, gap);
    case SegF: return verticalSegment(left, top, middle, t, gap);
    case SegB: return verticalSegment(right, top, middle, t, gap);
    case SegE: return verticalSegment(left, middle, bottom, t, gap);
    case SegC: return verticalSegment(right, middle, bottom, t, gap);
    default: return {};
    }
}

QImage transparentImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

} // namespace

QColor lcdInk()
{
    return QColor(24, 31, 26);
}

QColor lcdGlassAtBar()
{
    return QColor(178, 190, 161);
}

QFont legendFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Nimbus Sans Narrow"),
                      QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage lcdDigit(int index)
{
    const QSize size = PanelLayout::DigitSize;
    QImage image = transparentImage(size.width(), size.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The usual forward slant of display digits, pivoting on the middle line.
    p.setTransform(QTransform(1, 0, -0.09, 1, 0.09 * 14, 0));
    p.setPen(Qt::NoPen);
    const int lit = segmentsOf(index);
    for (int segment = SegA; segment <= SegG; segment <<= 1) {
        p.setBrush(withAlpha(lcdInk(), (lit & segment) ? 235 : 11));
        p.drawPolygon(segmentShape(segment));
    }
    return image;
}

QImage decimalPoint()
{
    QImage image = transparentImage(5, 5);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(lcdInk(), 235));
    p.drawRoundedRect(QRectF(0.6, 0.6, 3.8, 3.8), 1.0, 1.0);
    return image;
}

QImage batteryBars(int bars)
{
    QImage image = transparentImage(22, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = withAlpha(lcdInk(), 235);
    p.setPen(QPen(ink, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.9, 1.4, 17.4, 9.2), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(18.6, 3.8, 2.6, 4.4));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(withAlpha(lcdInk(), i < bars ? 235 : 18));
        p.drawRect(QRectF(3.0 + i * 5.0, 3.6, 3.8, 4.8));
    }
    return image;
}

QImage legendSymbol(const QString &text, int width, int height)
{
    QImage image = transparentImage(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(withAlpha(lcdInk(), 235));
    // The largest size up to the symbol's height at which the text fits its width.
    QFont font = legendFont(height, true);
    for (int px = height; px > 5; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    p.setFont(font);
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, text);
    return image;
}

QImage autoOffSymbol()
{
    // A small clock face: the meter switches itself off after a while.
    QImage image = transparentImage(8, 9);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(withAlpha(lcdInk(), 235), 1.1));
    p.drawEllipse(QPointF(4, 4.8), 3.2, 3.2);
    p.drawLine(QPointF(4, 4.8), QPointF(4, 2.6));
    p.drawLine(QPointF(4, 4.8), QPointF(5.6, 5.6));
    return image;
}

QImage levelBar()
{
    // Solid segments of ink, one every 2 dB, on the glass colour: drawn opaque, so a shrinking
    // bar needs no repaint of the picture beneath.
    const QRect r = PanelLayout::ColorBar;
    QImage image(PanelLayout::ColorBarMaxWidth, r.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(lcdGlassAtBar());
    QPainter p(&image);
    for (int x = 0; x < image.width(); x += 4)
        p.fillRect(QRect(x, 0, 3, image.height()), lcdInk());
    return image;
}

} // namespace PanelArtwork
