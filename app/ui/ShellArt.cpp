#include "app/ui/ShellArt.h"
#include "app/Catalogue.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <iterator>

namespace {

constexpr int Canvas = 64; // glyphs are drawn on a 64 x 64 grid and scaled by QIcon

void drawOpen(QPainter &p)
{
    // A folder with its front flap opened forward.
    QPainterPath back;
    back.moveTo(6, 14);
    back.lineTo(24, 14);
    back.lineTo(29, 19);
    back.lineTo(54, 19);
    back.lineTo(54, 50);
    back.lineTo(6, 50);
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 105, 20), 2));
    p.setBrush(QColor(232, 184, 70));
    p.drawPath(back);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(160, 160, 160), 1.5));
    p.drawRect(QRectF(13, 22, 34, 20));
    QPainterPath flap;
    flap.moveTo(6, 50);
    flap.lineTo(14, 28);
    flap.lineTo(62, 28);
    flap.lineTo(54, 50);
    flap.closeSubpath();
    QLinearGradient g(0, 28, 0, 50);
    g.setColorAt(0, QColor(255, 214, 110));
    g.setColorAt(1, QColor(236, 170, 40));
    p.setPen(QPen(QColor(150, 105, 20), 2));
    p.setBrush(g);
    p.drawPath(flap);
}

void drawSave(QPainter &p)
{
    // A floppy disk: body, metal shutter, paper label.
    QPainterPath body;
    body.moveTo(8, 8);
    body.lineTo(50, 8);
    body.lineTo(56, 14);
    body.lineTo(56, 56);
    body.lineTo(8, 56);
    body.closeSubpath();
    QLinearGradient g(0, 8, 0, 56);
    g.setColorAt(0, QColor(70, 120, 205));
    g.setColorAt(1, QColor(35, 75, 155));
    p.setPen(QPen(QColor(20, 45, 100), 2));
    p.setBrush(g);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 220, 228));
    p.drawRect(QRectF(18, 9, 26, 16));
    p.setBrush(QColor(35, 75, 155));
    p.drawRect(QRectF(34, 12, 6, 10));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14, 33, 36, 20), 2, 2);
    p.setPen(QPen(QColor(170, 180, 200), 1.5));
    p.drawLine(QPointF(18, 40), QPointF(46, 40));
    p.drawLine(QPointF(18, 46), QPointF(46, 46));
}

void drawPrint(QPainter &p)
{
    // A printer with a sheet going in and a printed sheet coming out.
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 6, 28, 20));
    QLinearGradient g(0, 22, 0, 46);
    g.setColorAt(0, QColor(200, 204, 210));
    g.setColorAt(1, QColor(130, 136, 146));
    p.setPen(QPen(QColor(70, 74, 82), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(6, 22, 52, 24), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 200, 90));
    p.drawEllipse(QRectF(48, 27, 5, 5));
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 38, 32, 20));
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawLine(QPointF(20, 45), QPointF(44, 45));
    p.drawLine(QPointF(20, 51), QPointF(38, 51));
}

void drawMeter(QPainter &p, const QRectF &r)
{
    // A handheld meter: dark body, microphone ball on top, green display.
    p.setPen(Qt::NoPen);
    QRadialGradient ball(r.center().x() - 2, r.top() + 5, 8);
    ball.setColorAt(0, QColor(120, 120, 120));
    ball.setColorAt(1, QColor(30, 30, 30));
    p.setBrush(ball);
    p.drawEllipse(QPointF(r.center().x(), r.top() + 6), 6.5, 6.5);
    QLinearGradient g(r.left(), 0, r.right(), 0);
    g.setColorAt(0, QColor(60, 64, 72));
    g.setColorAt(1, QColor(30, 32, 38));
    p.setBrush(g);
    p.setPen(QPen(QColor(15, 15, 18), 1.5));
    p.drawRoundedRect(QRectF(r.left(), r.top() + 11, r.width(), r.height() - 11), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 215, 120));
    p.drawRect(QRectF(r.left() + 3, r.top() + 16, r.width() - 6, 10));
    p.setBrush(QColor(40, 60, 20));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(r.left() + 5 + i * (r.width() - 10) / 3.0, r.top() + 18, (r.width() - 10) / 3.0 - 2, 6));
    p.setBrush(QColor(200, 200, 205));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            p.drawEllipse(QRectF(r.left() + 4 + j * (r.width() - 12) / 1.5, r.top() + 31 + i * 7, 4, 4));
}

void drawDataLogger(QPainter &p)
{
    // The meter, with its memory flowing down into a stack of records.
    drawMeter(p, QRectF(4, 4, 24, 52));
    p.setPen(QPen(QColor(30, 110, 210), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(34, 20), QPointF(48, 20));
    p.drawLine(QPointF(48, 20), QPointF(48, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 210));
    QPolygonF head;
    head << QPointF(41, 32) << QPointF(55, 32) << QPointF(48, 41);
    p.drawPolygon(head);
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 2 ? QColor(250, 250, 250) : QColor(225, 225, 225));
        p.drawRect(QRectF(34 + i * 2, 44 + i * 4, 24, 8));
    }
}

void drawOutputToGraph(QPainter &p)
{
    // A small table turning into a line chart.
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 6, 24, 28));
    p.setBrush(QColor(200, 215, 240));
    p.drawRect(QRectF(4, 6, 24, 7));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(4, 6 + i * 7), QPointF(28, 6 + i * 7));
    p.drawLine(QPointF(16, 6), QPointF(16, 34));
    p.setPen(QPen(QColor(30, 110, 210), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 20), QPointF(38, 28));
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(28, 30, 32, 28));
    p.setPen(QPen(QColor(210, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF line;
    line << QPointF(31, 52) << QPointF(38, 42) << QPointF(44, 47) << QPointF(50, 36) << QPointF(57, 40);
    p.drawPolyline(line);
}

void drawRoundBadge(QPainter &p, const QColor &light, const QColor &dark)
{
    QRadialGradient g(26, 22, 34);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(140), 2));
    p.setBrush(g);
    p.drawEllipse(QRectF(6, 6, 52, 52));
}

void drawRun(QPainter &p)
{
    drawRoundBadge(p, QColor(120, 220, 110), QColor(30, 140, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPolygonF tri;
    tri << QPointF(25, 18) << QPointF(46, 32) << QPointF(25, 46);
    p.drawPolygon(tri);
}

void drawStop(QPainter &p)
{
    drawRoundBadge(p, QColor(245, 110, 100), QColor(180, 25, 25));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(21, 21, 22, 22), 2, 2);
}

// A level trace over a day, for long-term monitoring.
void drawMonitor(QPainter &p)
{
    drawRoundBadge(p, QColor(150, 215, 150), QColor(30, 120, 60));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF trace[] = {{14, 38}, {20, 34}, {25, 40}, {30, 24}, {35, 30}, {40, 20}, {45, 33}, {50, 28}};
    p.drawPolyline(trace, int(std::size(trace)));
    p.setPen(QPen(QColor(255, 230, 120), 2.5, Qt::DashLine));
    p.drawLine(QPointF(13, 22), QPointF(51, 22));
}

void drawHelp(QPainter &p)
{
    drawRoundBadge(p, QColor(110, 170, 245), QColor(25, 80, 175));
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    f.setPixelSize(38);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(6, 6, 52, 52), Qt::AlignCenter, QStringLiteral("?"));
}

QPixmap glyphPixmap(Glyph glyph, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / double(Canvas), size / double(Canvas));
    switch (glyph) {
    case Glyph::Open: drawOpen(p); break;
    case Glyph::Save: drawSave(p); break;
    case Glyph::Print: drawPrint(p); break;
    case Glyph::DataLogger: drawDataLogger(p); break;
    case Glyph::OutputToGraph: drawOutputToGraph(p); break;
    case Glyph::Run: drawRun(p); break;
    case Glyph::Stop: drawStop(p); break;
    case Glyph::Help: drawHelp(p); break;
    case Glyph::Monitor: drawMonitor(p); break;
    }
    return pm;
}

} // namespace

QIcon toolGlyph(Glyph glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(glyphPixmap(glyph, size));
    return icon;
}

QPixmap toolBarPicture(const QSize &size, qreal devicePixelRatio)
{
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient bg(r.topLeft(), r.bottomRight());
    bg.setColorAt(0, QColor(18, 42, 84));
    bg.setColorAt(1, QColor(8, 20, 44));
    p.fillRect(r, bg);

    // A level trace across the picture, fading in from the left.
    QPainterPath trace;
    const double base = r.height() - 6;
    trace.moveTo(0, base);
    const double pts[] = {0.0, -6, -3, -14, -9, -22, -12, -8, -18, -27, -15, -10, -20, -13, -5, -9, 0};
    const int n = int(std::size(pts));
    for (int i = 1; i < n; ++i)
        trace.lineTo(r.width() * i / (n - 1), base + pts[i] * 0.8 * r.height() / 81.0);
    QLinearGradient fade(0, 0, r.width(), 0);
    fade.setColorAt(0, QColor(70, 200, 255, 40));
    fade.setColorAt(0.55, QColor(70, 200, 255, 200));
    fade.setColorAt(1, QColor(120, 230, 255, 255));
    p.setPen(QPen(QBrush(fade), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);

    // Sound arcs beside the meter's microphone.
    const double mx = 22;
    const double my = r.height() * 0.24;
    p.setPen(QPen(QColor(120, 200, 255, 170), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 3; ++i) {
        const double rad = 5.0 * i + 4;
        p.drawArc(QRectF(mx - rad, my - rad, 2 * rad, 2 * rad), -40 * 16, 80 * 16);
    }
    drawMeter(p, QRectF(10, 6, 24, r.height() - 12));

    QFont name(QStringLiteral("Sans Serif"));
    name.setBold(true);
    name.setPixelSize(18);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(46, 8, r.width() - 48, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("kavor 352-4"));
    QFont sub(QStringLiteral("Sans Serif"));
    sub.setPixelSize(10);
    p.setFont(sub);
    p.setPen(QColor(160, 200, 240));
    p.drawText(QRectF(46, 31, r.width() - 48, 14), Qt::AlignLeft | Qt::AlignVCenter,
               activeLanguage() == Language::German ? QStringLiteral("Schallpegelmessgerät")
                                                    : QStringLiteral("Sound level meter"));
    return pm;
}
