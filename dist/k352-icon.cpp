// Draws the program's icon from the control panel's meter artwork: the upper part of the meter
// (windscreen, branding, display) standing in a square. Writes k352-48.png, k352-128.png,
// k352-256.png and k352.svg into the folder given as the only argument.
#include "panel/ui/PanelArtwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

// The part of the meter the icon shows, in the panel's client coordinates.
const QRectF kShown(0, 6, 214, 300);

void paintIcon(QPainter &p, qreal side)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal scale = side / kShown.height();
    p.translate((side - kShown.width() * scale) / 2, 0);
    p.scale(scale, scale);
    p.translate(-kShown.x(), -kShown.y());
    p.setClipRect(kShown);
    PanelArtwork::paintMeter(p);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: k352-icon FOLDER\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "k352-icon: cannot create %s\n", argv[1]);
        return 1;
    }
    for (int side : {48, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        paintIcon(p, side);
        p.end();
        const QString name = out.filePath(QStringLiteral("k352-%1.png").arg(side));
        if (!image.save(name)) {
            std::fprintf(stderr, "k352-icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    QSvgGenerator svg;
    svg.setFileName(out.filePath(QStringLiteral("k352.svg")));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("k352_4"));
    svg.setDescription(QStringLiteral("The kavor 352-4 sound level meter"));
    QPainter p(&svg);
    paintIcon(p, 256);
    return p.end() ? 0 : 1;
}
