// The chart template in the chart set-up: a saved customisation is applied to the next new chart
// and replaces the built-in look, while the axis label, the scales and the points are set anew; a
// template that cannot be read or that the chart refuses leaves the built-in look.
#include "chart/ui/PESGraph.h"
#include "graph/GraphFile.h"
#include "graph/ui/PrepareChart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr double kT = 46000.5;

void prepare(PESGraph &g, const QString &path, bool *used, QString *error)
{
    *used = PrepareChart(&g, 1, 130, 30, kT + 400 / 86400.0, kT, 2000, path, error);
}
} // namespace

class TestChartTemplate : public QObject {
    Q_OBJECT
private slots:
    void templateReplacesTheBuiltInLookOfTheNextChart()
    {
        QTemporaryDir dir;
        const QString appData = dir.path();
        bool used = true;
        QString error;

        PESGraph plain;
        prepare(plain, templatePath(appData), &used, &error);
        QVERIFY(!used);
        QVERIFY(error.isEmpty());
        QCOMPARE(plain.look().graphBackColor, PEargb(255, 0, 0, 0));
        QCOMPARE(plain.look().gridStyle, int(sgDot));

        // A customised chart with readings and a mark, kept as the template.
        PESGraph custom;
        prepare(custom, QString(), &used, &error);
        custom.setPoints(3);
        for (int i = 0; i < 3; ++i) {
            custom.setXDataII(0, i, kT - 1 + i / 86400.0);
            custom.setYData(0, i, 77.0f);
        }
        custom.setMainTitle(QStringLiteral("Werkhalle"));
        custom.setXAxisLabel(QStringLiteral("anders"));
        custom.look().graphBackColor = PEargb(255, 255, 255, 255);
        custom.look().gridStyle = sgDash;
        custom.setManualMinY(0);
        GraphAnnotation *mark = custom.graphAnnotationForWrite(5);
        mark->type = sgAnnotCross;
        mark->x = kT;
        custom.setVertLineAnnotation(0, kT);
        custom.setVertLineAnnotationText(0, QStringLiteral("|t12:00:00\n77.0dB"));
        // A template file that holds the whole chart, as earlier versions wrote it.
        QVERIFY(saveTemplate(custom.SaveState(), appData).ok());

        PESGraph next;
        prepare(next, templatePath(appData), &used, &error);
        QVERIFY(used);
        QVERIFY(error.isEmpty());
        QCOMPARE(next.MainTitle(), QStringLiteral("Werkhalle"));
        QCOMPARE(next.look().graphBackColor, PEargb(255, 255, 255, 255));
        QCOMPARE(next.look().gridStyle, int(sgDash));
        // The look only: marks and cursor lines of the customised chart stay out.
        QVERIFY(next.state().annotations.empty());
        QCOMPARE(next.VertLineAnnotation(0), 0.0);
        QVERIFY(next.VertLineAnnotationText(0).isEmpty());
        // Set anew whatever the template holds.
        QCOMPARE(next.XAxisLabel(), QStringLiteral("Zeit"));
        QCOMPARE(next.ManualMinY(), 30.0);
        QCOMPARE(next.ManualMaxY(), 130.0);
        QCOMPARE(next.ManualMinX(), kT);
        QCOMPARE(next.Points(), 2000);
        QCOMPARE(next.XDataII(0, 0), 0.0);
        QVERIFY(!next.state().data.isWritten(0, 0));
    }

    void unreadableOrRefusedTemplatesLeaveTheBuiltInLook()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("graph.ghf"));
        PESGraph good;
        good.look().gridStyle = sgDash;
        const QByteArray block = good.SaveState();
        bool used = true;
        QString error;

        // The length field says more than the file holds.
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray bytes(4, '\0');
            qToLittleEndian(quint32(block.size() + 10), bytes.data());
            f.write(bytes + block);
        }
        PESGraph a;
        prepare(a, path, &used, &error);
        QVERIFY(!used);
        QCOMPARE(error, QStringLiteral("Stream read error"));
        QCOMPARE(a.look().gridStyle, int(sgDot));

        // A whole file that is not a chart state: passed over without a message.
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("\x04\0\0\0abcd", 8));
        }
        error.clear();
        PESGraph b;
        prepare(b, path, &used, &error);
        QVERIFY(!used);
        QVERIFY(error.isEmpty());
        QCOMPARE(b.look().gridStyle, int(sgDot));
        QCOMPARE(b.XAxisLabel(), QStringLiteral("Zeit"));
    }
};

QTEST_MAIN(TestChartTemplate)
#include "gui_charttemplate.moc"
