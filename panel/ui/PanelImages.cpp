#include "panel/ui/PanelImages.h"

#include "panel/ui/PanelArtwork.h"
#include "panel/ui/PanelLayout.h"

#include <QHash>
#include <QImage>

namespace {

QImage drawImage(const QString &name)
{
    using namespace PanelArtwork;
    if (name == QLatin1String("imgPanel"))
        return meterFront();
    if (name.startsWith(QLatin1String("LCD"))) {
        bool ok = false;
        const int index = name.mid(3).toInt(&ok);
        return ok && index >= 0 && index < 16 && name == QStringLiteral("LCD%1").arg(index) ? lcdDigit(index)
                                                                                           : QImage();
    }
    if (name.startsWith(QLatin1String("imgBatBar"))) {
        bool ok = false;
        const int bars = name.mid(9).toInt(&ok);
        return ok && bars >= 0 && bars <= 3 && name.size() == 10 ? batteryBars(bars) : QImage();
    }
    if (name == QLatin1String("imgPoint"))
        return decimalPoint();
    if (name == QLatin1String("imgUNDER"))
        return legendSymbol(QStringLiteral("UNDER"), PanelLayout::UNDER.width(), PanelLayout::UNDER.height());
    if (name == QLatin1String("imgOVER"))
        return legendSymbol(QStringLiteral("OVER"), PanelLayout::OVER.width(), PanelLayout::OVER.height());
    if (name == QLatin1String("imgREAD"))
        return legendSymbol(QStringLiteral("READ"), PanelLayout::READ.width(), PanelLayout::READ.height());
    if (name == QLatin1String("imgAutoOff"))
        return autoOffSymbol();
    if (name == QLatin1String("imgColorBar"))
        return levelBar();
    return {};
}

} // namespace

QPixmap panelImage(const QString &name)
{
    // Images, not pixmaps, are cached: they may outlive the application object.
    static QHash<QString, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, drawImage(name));
    return QPixmap::fromImage(*it);
}

QStringList panelImageNames()
{
    QStringList names{QStringLiteral("imgPanel")};
    for (int i = 0; i < 16; ++i)
        names << QStringLiteral("LCD%1").arg(i);
    names << QStringLiteral("imgPoint");
    for (int i = 0; i < 4; ++i)
        names << QStringLiteral("imgBatBar%1").arg(i);
    names << QStringLiteral("imgUNDER") << QStringLiteral("imgOVER") << QStringLiteral("imgREAD")
          << QStringLiteral("imgAutoOff") << QStringLiteral("imgColorBar");
    return names;
}

QList<QPixmap> loadLcdImages()
{
    QList<QPixmap> images;
    for (int i = 0; i < 16; ++i)
        images << panelImage(QStringLiteral("LCD%1").arg(i));
    return images;
}
