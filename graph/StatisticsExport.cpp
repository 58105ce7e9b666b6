#include "graph/StatisticsExport.h"

#include "app/WindowTexts.h"

#include "data/DateTimeText.h"

QString statisticsExportText(const StatisticsFieldTexts &f, const ChartData &data, const RegionalFormat &format)
{
    const QChar lf(0x0A);
    QString head;
    head += QStringLiteral("Start Zeit:") + f.startTime + lf;
    head += QStringLiteral("Messrate:") + f.samplingRate + lf;
    head += QStringLiteral("Datensatz:") + f.dataNo + lf;
    head += QStringLiteral("Mittel.:") + f.avgAll + lf;
    head += QStringLiteral("Maximum:") + f.max + QLatin1Char('@') + f.maxTime + lf;
    head += QStringLiteral("Minimum:") + f.min + QLatin1Char('@') + f.minTime + lf;
    head += QStringLiteral("Punkt A:") + f.cursorA + QLatin1Char('@') + f.cursorATime + lf;
    head += QStringLiteral("Punkt B:") + f.cursorB + QLatin1Char('@') + f.cursorBTime + lf;
    head += QStringLiteral("Max. zwischen A und B:") + f.maxAB + QLatin1Char('@') + f.maxABTime + lf;
    head += QStringLiteral("Min. zwischen A und B:") + f.minAB + QLatin1Char('@') + f.minABTime + lf;
    head += QStringLiteral("Mittel zwischen A und B:") + f.avgAB + lf;

    QByteArray lines;
    if (data.Subsets() > 0) {
        for (int i = 0; i < data.Points(); ++i) {
            const double x = data.XDataII(0, i);
            if (x == 0.0)
                break;
            appendGraphLine(lines, x, data.YData(0, i), '\t', format);
            lines.append('\n');
        }
    }
    return head + QString::fromUtf8(lines);
}

QString statisticsExportDoneMessage()
{
    return windowText(QStringLiteral("TfrmGraph"), "ExportDone");
}
