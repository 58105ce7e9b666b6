// Which manual file Help opens for the system language, and where it is looked for.
#include "app/ManualFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestManualFile : public QObject {
    Q_OBJECT
private slots:
    void namesByLanguage();
    void placesInOrder();
    void missingGivesNothing();
};

void TestManualFile::namesByLanguage()
{
    QCOMPARE(manualFileName(QLocale::German), QStringLiteral("0415 3524 de 03.pdf"));
    QCOMPARE(manualFileName(QLocale::English), QStringLiteral("0415 3524 en 03.pdf"));
    QCOMPARE(manualFileName(QLocale::Chinese), QStringLiteral("0415 3524 cn 03.pdf"));
    QCOMPARE(manualFileName(QLocale::Spanish), QStringLiteral("0415 3524 es 03.pdf"));
    QCOMPARE(manualFileName(QLocale::French), QStringLiteral("0415 3524 fr 03.pdf"));
    QCOMPARE(manualFileName(QLocale::Italian), QStringLiteral("0415 3524 it 03.pdf"));
    QCOMPARE(manualFileName(QLocale::Dutch), QStringLiteral("0415 3524 nl 03.pdf"));
    // Any other language gets the English manual.
    QCOMPARE(manualFileName(QLocale::Japanese), QStringLiteral("0415 3524 en 03.pdf"));
    QCOMPARE(manualFileName(QLocale::C), QStringLiteral("0415 3524 en 03.pdf"));
    // The language of a locale name, as the system reports it.
    QCOMPARE(manualFileName(QLocale(QStringLiteral("de_AT")).language()), QStringLiteral("0415 3524 de 03.pdf"));
    QCOMPARE(manualFileName(QLocale(QStringLiteral("zh_TW")).language()), QStringLiteral("0415 3524 cn 03.pdf"));
}

void TestManualFile::placesInOrder()
{
    const QStringList c = manualCandidates(QLocale::German, QStringLiteral("/opt/k352/bin"), QStringLiteral("/home/u/Documents/k352_4/"));
    QCOMPARE(c, (QStringList{QStringLiteral("/opt/k352/bin/Instruction Manual/0415 3524 de 03.pdf"),
                             QStringLiteral("/opt/k352/share/k352_4/Instruction Manual/0415 3524 de 03.pdf"),
                             QStringLiteral("/home/u/Documents/k352_4/Instruction Manual/0415 3524 de 03.pdf")}));
    // No user data folder: only the installation's places.
    QCOMPARE(manualCandidates(QLocale::English, QStringLiteral("/usr/bin/"), QString()).size(), 2);

    // The first place that holds the file wins.
    QStringList asked;
    const QString found = findManual(c, [&](const QString &p) {
        asked << p;
        return p.contains(QLatin1String("share"));
    });
    QCOMPARE(found, c[1]);
    QCOMPARE(asked, c.mid(0, 2));
}

void TestManualFile::missingGivesNothing()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(program + QStringLiteral("/Instruction Manual")));
    QVERIFY(findManual(QLocale::German, program, QString()).isEmpty());
    // The English manual does not stand in for a missing German one.
    QFile en(program + QStringLiteral("/Instruction Manual/0415 3524 en 03.pdf"));
    QVERIFY(en.open(QIODevice::WriteOnly));
    en.close();
    QVERIFY(findManual(QLocale::German, program, QString()).isEmpty());
    QCOMPARE(findManual(QLocale::Japanese, program, QString()), en.fileName());
    // A folder of the manual's name is not a manual.
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("user/Instruction Manual/0415 3524 de 03.pdf"))));
    QVERIFY(findManual(QLocale::German, program, dir.filePath(QStringLiteral("user"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestManualFile)
#include "test_manualfile.moc"
