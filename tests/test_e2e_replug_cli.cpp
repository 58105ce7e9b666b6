// End to end: `k352-cli live` through a symbolic link (as /dev/serial/by-id/... names a USB
// adapter) while the adapter is pulled and plugged back. The terminal behind the link goes away
// and a new one, with another number, takes its place; the program carries on by itself and
// delivers every sample asked for, none of them from the time the meter was away.
#include "sim/PtyMeter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestE2EReplugCli : public QObject {
    Q_OBJECT
private slots:
    void liveCarriesOnAcrossAReplug();
};

void TestE2EReplugCli::liveCarriesOnAcrossAReplug()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("usb-kavor_352-4-if00-port0");
    PtyMeter meter;
    meter.setLinkPath(link);
    QVERIFY2(meter.start(), qPrintable(meter.errorString()));
    const QString firstTerminal = meter.slavePath();
    QCOMPARE(QFileInfo(link).symLinkTarget(), firstTerminal);

    const int count = 8;
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/k352-cli",
              {"--port", link, "live", "--count", QString::number(count), "--interval", "0.5"});
    QVERIFY(cli.waitForStarted(5000));
    QByteArray out;
    const auto waitForLines = [&](int lines, int ms) {
        QElapsedTimer t;
        t.start();
        while (out.count('\n') < lines && t.elapsed() < ms && cli.state() == QProcess::Running) {
            cli.waitForReadyRead(100);
            out += cli.readAllStandardOutput();
        }
        return out.count('\n') >= lines;
    };
    QVERIFY2(waitForLines(3, 15000), out.constData());

    // Pulled for 1.5 s.
    const double unpluggedAt = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    meter.replug(1500);
    QTRY_VERIFY_WITH_TIMEOUT(meter.slavePath() != firstTerminal, 5000);
    const double pluggedAt = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    QCOMPARE(QFileInfo(link).symLinkTarget(), meter.slavePath());

    QVERIFY2(cli.waitForFinished(30000), out.constData());
    out += cli.readAllStandardOutput();
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QVERIFY2(cli.exitCode() == 0, qPrintable(err));

    const QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), count);
    const QRegularExpression shape(R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})\t\d+\.\d$)");
    QList<double> times;
    for (const QString &l : lines) {
        const QRegularExpressionMatch m = shape.match(l);
        QVERIFY2(m.hasMatch(), qPrintable(l));
        times << QDateTime::fromString(m.captured(1), "yyyy-MM-dd HH:mm:ss.zzz").toMSecsSinceEpoch() / 1000.0;
    }
    // The samples resume after the replug; none is dated while the adapter was out (the margin
    // covers a frame already on its way when it was pulled).
    int before = 0, after = 0;
    for (double t : times) {
        QVERIFY2(t < unpluggedAt + 0.1 || t > pluggedAt, qPrintable(QString::number(t - unpluggedAt)));
        (t < unpluggedAt + 0.1 ? before : after) += 1;
    }
    QVERIFY(before >= 3);
    QVERIFY(after >= 1);
    for (int i = 1; i < times.size(); ++i)
        QVERIFY(times[i] - times[i - 1] >= 0.5 - 0.0005);
    meter.stop();
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestE2EReplugCli)
#include "test_e2e_replug_cli.moc"
