// The picture of the meter's front: a dark body with a foam windscreen over the microphone, the
// rubber keys at the places of the key table, the display window and a ribbed grip.
#include "panel/ui/PanelArtwork.h"
#include "panel/ui/PanelLayout.h"

#include <QLinearGradient>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstring>

namespace PanelArtwork {

namespace {

const QColor kBackground(203, 207, 211);
const QColor kKeyText(32, 35, 38);

QColor alpha(QColor c, int a)
{
    c.setAlpha(a);
    return c;
}

QPainterPath bodyPath()
{
    QPainterPath box;
    box.addRoundedRect(QRectF(8, 120, 198, 479), 22, 22);
    // The neck rises from the shoulders to the microphone.
    QPainterPath neck;
    neck.moveTo(34, 150);
    neck.cubicTo(46, 118, 78, 104, 88, 96);
    neck.lineTo(126, 96);
    neck.cubicTo(136, 104, 168, 118, 180, 150);
    neck.closeSubpath();
    return box.united(neck).simplified();
}

void drawBackground(QPainter &p)
{
    QLinearGradient g(0, 0, 0, 603);
    g.setColorAt(0, surroundColour());
    g.setColorAt(1, kBackground.darker(106));
    p.fillRect(QRectF(0, 0, 214, 603), g);
}

void drawShadow(QPainter &p, const QPainterPath &body)
{
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawPath(body.translated(1.5 + i * 0.5, 2.0 + i * 0.7));
    }
}

void drawBody(QPainter &p, const QPainterPath &body)
{
    QLinearGradient g(8, 0, 206, 0);
    g.setColorAt(0.00, QColor(30, 32, 35));
    g.setColorAt(0.07, QColor(70, 74, 79));
    g.setColorAt(0.30, QColor(60, 64, 68));
    g.setColorAt(0.75, QColor(52, 55, 59));
    g.setColorAt(0.94, QColor(40, 42, 46));
    g.setColorAt(1.00, QColor(22, 24, 26));
    p.fillPath(body, g);
    p.strokePath(body, QPen(QColor(15, 16, 18), 1.0));
    // A thin light rim along the upper left edges.
    QLinearGradient rim(0, 96, 0, 600);
    rim.setColorAt(0, QColor(150, 156, 162, 140));
    rim.setColorAt(1, QColor(150, 156, 162, 0));
    p.strokePath(body.translated(0.8, 0.8), QPen(QBrush(rim), 0.8));

    // The face plate, slightly recessed.
    QPainterPath face;
    face.addRoundedRect(QRectF(18.5, 166.5, 177, 424), 14, 14);
    QLinearGradient fg(0, 166, 0, 590);
    fg.setColorAt(0, QColor(47, 50, 54));
    fg.setColorAt(1, QColor(39, 42, 45));
    p.fillPath(face, fg);
    p.strokePath(face, QPen(QColor(18, 19, 21), 1.0));
    p.strokePath(face.translated(0, 1), QPen(QColor(95, 100, 106, 90), 0.8));
}

void drawMicrophone(QPainter &p)
{
    // Collar that holds the windscreen.
    const QRectF collar(89, 84, 36, 16);
    QLinearGradient cg(collar.left(), 0, collar.right(), 0);
    cg.setColorAt(0.0, QColor(80, 84, 88));
    cg.setColorAt(0.35, QColor(214, 218, 222));
    cg.setColorAt(0.55, QColor(160, 165, 170));
    cg.setColorAt(1.0, QColor(70, 74, 78));
    p.setPen(QPen(QColor(30, 32, 34), 0.8));
    p.setBrush(cg);
    p.drawRoundedRect(collar, 2, 2);
    p.setPen(QPen(QColor(40, 42, 45, 160), 0.8));
    for (qreal y : {90.5, 95.5})
        p.drawLine(QPointF(collar.left() + 1, y), QPointF(collar.right() - 1, y));

    // Foam ball.
    const QPointF centre(107, 50);
    const qreal radius = 43;
    QPainterPath ball;
    ball.addEllipse(centre, radius, radius);
    QRadialGradient bg(centre, radius, QPointF(92, 33));
    bg.setColorAt(0.0, QColor(118, 122, 126));
    bg.setColorAt(0.45, QColor(70, 73, 76));
    bg.setColorAt(0.85, QColor(36, 38, 40));
    bg.setColorAt(1.0, QColor(20, 21, 23));
    p.setPen(Qt::NoPen);
    p.fillPath(ball, bg);

    // The open-cell texture of the foam: fixed seed, so the picture is the same on every run.
    p.save();
    p.setClipPath(ball);
    QRandomGenerator rng(3524);
    for (int i = 0; i < 2600; ++i) {
        const qreal x = centre.x() - radius + rng.bounded(2 * radius);
        const qreal y = centre.y() - radius + rng.bounded(2 * radius);
        const qreal r = 0.45 + rng.bounded(0.75);
        const bool dark = rng.bounded(3) != 0;
        // Only the cells inside the ball: vector output (the SVG icon) does not keep the clip.
        if (std::hypot(x - centre.x(), y - centre.y()) + r > radius)
            continue;
        p.setBrush(dark ? QColor(8, 9, 10, 70) : QColor(200, 204, 208, 34));
        p.drawEllipse(QPointF(x, y), r, r);
    }
    // Darker rim, as the sphere turns away from the light.
    QRadialGradient edge(centre, radius);
    edge.setColorAt(0.75, QColor(0, 0, 0, 0));
    edge.setColorAt(1.0, QColor(0, 0, 0, 120));
    p.setBrush(edge);
    p.drawEllipse(centre, radius, radius);
    QRadialGradient shine(QPointF(91, 31), 20);
    shine.setColorAt(0, QColor(255, 255, 255, 46));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(QPointF(91, 31), 20, 15);
    p.restore();
}

void drawBranding(QPainter &p)
{
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont brand = legendFont(17, true);
    brand.setItalic(true);
    QFont model = legendFont(14, true);
    const QString name = QStringLiteral("kavor");
    const QString number = QStringLiteral(" 352-4");
    const int wName = QFontMetrics(brand).horizontalAdvance(name);
    const int wNumber = QFontMetrics(model).horizontalAdvance(number);
    const int x = 107 - (wName + wNumber) / 2;
    p.setFont(brand);
    p.setPen(QColor(236, 238, 240));
    p.drawText(QPointF(x, 150), name);
    p.setFont(model);
    p.setPen(QColor(240, 160, 48));
    p.drawText(QPointF(x + wName, 150), number);

    QFont small = legendFont(7, true);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(QColor(170, 176, 182));
    p.drawText(QRectF(8, 153, 198, 10), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("SOUND LEVEL METER"));

    // Left of the power key.
    QFont feature = legendFont(7, true);
    feature.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(feature);
    p.setPen(QColor(150, 156, 162));
    p.drawText(QPointF(30, 188), QStringLiteral("DATA LOGGER"));
    p.drawText(QPointF(30, 199), QStringLiteral("30 - 130 dB"));
    p.setPen(QPen(QColor(240, 160, 48), 1.2));
    p.drawLine(QPointF(30, 205), QPointF(118, 205));
}

// The well the key sits in and the rubber cap itself.
void drawCap(QPainter &p, const QRectF &area, const QColor &top, const QColor &bottom)
{
    const QRectF well = area.adjusted(1.0, 1.0, -1.0, -1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 17, 19));
    p.drawRoundedRect(well, 6, 6);
    const QRectF cap = area.adjusted(2.5, 2.0, -2.5, -3.0);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawRoundedRect(cap.translated(0, 1.5), 5, 5);
    QLinearGradient g(cap.topLeft(), cap.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(QColor(20, 21, 23), 0.8));
    p.setBrush(g);
    p.drawRoundedRect(cap, 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.9));
    p.drawLine(QPointF(cap.left() + 4, cap.top() + 1.3), QPointF(cap.right() - 4, cap.top() + 1.3));
}

void capText(QPainter &p, const QRectF &r, const QString &text, int px, const QColor &colour = kKeyText)
{
    QFont font = legendFont(px, true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void triangle(QPainter &p, QPointF centre, qreal w, qreal h, bool up)
{
    const qreal dy = up ? -h / 2 : h / 2;
    QPolygonF t({{centre.x() - w / 2, centre.y() - dy}, {centre.x() + w / 2, centre.y() - dy}, {centre.x(), centre.y() + dy}});
    p.setPen(Qt::NoPen);
    p.setBrush(kKeyText);
    p.drawPolygon(t);
}

void powerGlyph(QPainter &p, QPointF c, qreal r, const QColor &colour)
{
    p.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 120 * 16, 300 * 16);
    p.drawLine(QPointF(c.x(), c.y() - r - 1), QPointF(c.x(), c.y() - 0.5));
}

void lampGlyph(QPainter &p, QPointF c)
{
    p.setPen(QPen(kKeyText, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(250, 214, 90));
    p.drawEllipse(c, 3.2, 3.2);
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4;
        p.drawLine(QPointF(c.x() + 5.0 * std::cos(a), c.y() + 5.0 * std::sin(a)),
                   QPointF(c.x() + 7.0 * std::cos(a), c.y() + 7.0 * std::sin(a)));
    }
}

void drawKey(QPainter &p, const PanelLayout::Place &key)
{
    const QRectF area(key.rect);
    const QRectF face = area.adjusted(2.5, 2.0, -2.5, -3.0);
    const QColor greyTop(222, 225, 228), greyBottom(160, 165, 170);
    const char *name = key.name;
    auto is = [name](const char *n) { return std::strcmp(name, n) == 0; };

    if (is("btnPower")) {
        drawCap(p, area, QColor(232, 92, 74), QColor(160, 36, 26));
        powerGlyph(p, QPointF(face.center().x(), face.top() + 12), 6, QColor(255, 246, 240));
        capText(p, QRectF(face.left(), face.bottom() - 10, face.width(), 9), QStringLiteral("POWER"), 7,
                QColor(255, 246, 240));
        return;
    }
    drawCap(p, area, greyTop, greyBottom);
    if (is("btnLevel")) {
        capText(p, QRectF(face.left(), face.top() + 1, face.width(), 10), QStringLiteral("LEVEL"), 7);
        triangle(p, QPointF(face.center().x(), face.top() + 15.5), 9, 6, true);
    } else if (is("btnDown")) {
        triangle(p, QPointF(face.center().x(), face.top() + 6.5), 9, 6, false);
        capText(p, QRectF(face.left(), face.bottom() - 11, face.width(), 10), QStringLiteral("DOWN"), 7);
    } else if (is("btnREC")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 40, 30));
        p.drawEllipse(QPointF(face.left() + 7, face.center().y()), 2.8, 2.8);
        capText(p, face.adjusted(8, 0, 0, 0), QStringLiteral("REC"), 8);
    } else if (is("btnMaxMin")) {
        capText(p, QRectF(face.left(), face.top() + 0.5, face.width(), 9), QStringLiteral("MAX"), 7);
        capText(p, QRectF(face.left(), face.top() + 9.5, face.width(), 9), QStringLiteral("MIN"), 7);
    } else if (is("btnBackLight")) {
        lampGlyph(p, face.center());
    } else if (is("Label1")) {
        capText(p, face, QStringLiteral("SETUP"), 8);
    } else if (is("btnRECALL")) {
        capText(p, face, QStringLiteral("RECALL"), 8);
    } else if (is("btnMEM")) {
        capText(p, face, QStringLiteral("MEM"), 8);
    } else if (is("btnINTV")) {
        capText(p, face, QStringLiteral("INTV"), 8);
    } else if (is("btnAC")) {
        capText(p, face, QStringLiteral("A/C"), 9);
    } else if (is("btnFast")) {
        capText(p, face, QStringLiteral("F/S"), 9);
    }
}

// Group legends printed on the face plate between the key rows.
void drawKeyLegends(QPainter &p)
{
    QFont font = legendFont(7, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    p.setFont(font);
    p.setPen(QColor(165, 171, 177));
    // The two range keys: LEVEL (153, 242) above, DOWN (155, 280) below.
    p.drawText(QRectF(146, 269, 46, 11), Qt::AlignCenter, QStringLiteral("RANGE"));
    // REC and MEM store into the meter's memory.
    const QRectF memory(58, 269, 88, 11);
    p.drawText(memory, Qt::AlignCenter, QStringLiteral("MEMORY"));
    const int text = QFontMetrics(font).horizontalAdvance(QStringLiteral("MEMORY"));
    p.setPen(QPen(QColor(120, 126, 132), 0.8));
    const qreal y = memory.center().y() + 0.5;
    p.drawLine(QPointF(memory.left() + 6, y), QPointF(memory.center().x() - text / 2 - 4, y));
    p.drawLine(QPointF(memory.center().x() + text / 2 + 4, y), QPointF(memory.right() - 6, y));
}

void drawDisplayWindow(QPainter &p)
{
    const QRectF bezel = QRectF(PanelLayout::LcdBezel).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient bz(0, bezel.top(), 0, bezel.bottom());
    bz.setColorAt(0, QColor(14, 15, 17));
    bz.setColorAt(1, QColor(28, 30, 33));
    p.setPen(QPen(QColor(98, 104, 110), 0.9));
    p.setBrush(bz);
    p.drawRoundedRect(bezel, 8, 8);

    const QRectF glass = QRectF(PanelLayout::LcdGlass);
    QLinearGradient gg(0, glass.top(), 0, glass.bottom());
    gg.setColorAt(0.0, QColor(166, 178, 150));
    gg.setColorAt(0.3, lcdGlassAtBar());
    gg.setColorAt(1.0, QColor(152, 166, 138));
    p.setPen(Qt::NoPen);
    p.setBrush(gg);
    p.drawRoundedRect(glass, 3, 3);
    // Inner shadow along the top and left edge of the glass.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 70), 1.2));
    p.drawLine(QPointF(glass.left() + 2, glass.top() + 0.7), QPointF(glass.right() - 2, glass.top() + 0.7));
    p.drawLine(QPointF(glass.left() + 0.7, glass.top() + 2), QPointF(glass.left() + 0.7, glass.bottom() - 2));

    // The level bar's track and scale: a tick every 10 dB from the "30" to the "130" mark.
    const QRect bar(PanelLayout::ColorBar.x(), PanelLayout::ColorBar.y(), PanelLayout::ColorBarMaxWidth,
                    PanelLayout::ColorBar.height());
    p.fillRect(bar, alpha(lcdInk(), 16));
    for (int db = 30; db <= 130; db += 10) {
        const int x = bar.x() + (db - 30);
        const int h = (db - 30) % 20 == 0 ? 3 : 2;
        p.fillRect(QRect(x, bar.y() - 1 - h, 1, h), alpha(lcdInk(), 210));
    }
}

void drawGrip(QPainter &p)
{
    for (int i = 0; i < 5; ++i) {
        const qreal y = 562 + i * 6;
        QPainterPath ridge;
        ridge.addRoundedRect(QRectF(46, y, 122, 3), 1.5, 1.5);
        p.fillPath(ridge, QColor(22, 23, 25));
        p.strokePath(ridge.translated(0, 1), QPen(QColor(90, 95, 100, 110), 0.6));
    }
    // Two screws in the lower corners of the face plate.
    for (qreal x : {30.0, 184.0}) {
        const QPointF c(x, 577);
        QRadialGradient sg(c, 4, c - QPointF(1.2, 1.2));
        sg.setColorAt(0, QColor(170, 175, 180));
        sg.setColorAt(1, QColor(60, 63, 67));
        p.setPen(QPen(QColor(15, 16, 18), 0.6));
        p.setBrush(sg);
        p.drawEllipse(c, 3.6, 3.6);
        p.setPen(QPen(QColor(30, 32, 34), 0.9));
        p.drawLine(c + QPointF(-2.2, 1.2), c + QPointF(2.2, -1.2));
    }
}

} // namespace

QColor surroundColour()
{
    return kBackground.lighter(104);
}

void paintMeter(QPainter &p)
{
    const QPainterPath body = bodyPath();
    drawShadow(p, body);
    drawBody(p, body);
    drawMicrophone(p);
    drawBranding(p);
    for (const PanelLayout::Place &key : PanelLayout::Keys)
        drawKey(p, key);
    drawKeyLegends(p);
    drawDisplayWindow(p);
    drawGrip(p);
}

QImage meterFront()
{
    const QRect picture = PanelLayout::PictureRect;
    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Everything below is drawn in client coordinates.
    p.translate(-picture.x(), -picture.y());
    drawBackground(p);
    paintMeter(p);
    return image;
}

} // namespace PanelArtwork
