#include "cli/SetList.h"

#include "graph/AcousticStatistics.h"
#include "data/MemoryImageParser.h"

namespace {
QString level(double dB)
{
    return QString::number(dB, 'f', 1);
}
} // namespace

QString setListHeading()
{
    return QStringLiteral("set\tstart\tinterval\tcount\tweighting\tmin\tmax\tmean\tLeq");
}

QStringList setListLines(const DataSetStore &store)
{
    QStringList lines;
    for (int k = 0; k < store.setCount(); ++k) {
        const qsizetype offset = store.setOffset(k);
        const int count = store.SetCount.at(k);
        QStringList f;
        f << QString::number(k + 1)
          << fromTDateTime(store.SetStart.at(k)).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
          << intervalText(store.SetInterval.at(k)) << QString::number(count)
          << QString(store.isWeightingA(k) ? QLatin1Char('A') : QLatin1Char('C'));
        const std::optional<double> leq = count > 0 && offset + count <= store.Levels.size()
                                              ? equivalentLevel(store.Levels.constData() + offset, count)
                                              : std::nullopt;
        if (leq) {
            f << level(store.Levels.at(offset + store.SetMinIndex.at(k)))
              << level(store.Levels.at(offset + store.SetMaxIndex.at(k))) << level(store.SetMean.at(k))
              << level(*leq);
        } else {
            f << "-" << "-" << "-" << "-";
        }
        lines << f.join(QLatin1Char('\t'));
    }
    return lines;
}
