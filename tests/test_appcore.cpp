// Shell facts computed without a window: date format facts, the user data folder, TDateTime.
#include "app/DateFormatFacts.h"
#include "app/SystemFormats.h"
#include "app/TDateTime.h"
#include "app/UserDataFolder.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

class TestAppCore : public QObject {
    Q_OBJECT
private slots:
    void dateFormatFacts_data();
    void dateFormatFacts();
    void timeSeparator();
    void userDataFolder();
    void tdatetimeRoundTrip();
};

void TestAppCore::dateFormatFacts_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("order");
    QTest::newRow("german") << "dd.MM.yyyy" << "." << 1;
    QTest::newRow("us: upper-case M does not count") << "M/d/yyyy" << "/" << 2;
    QTest::newRow("iso") << "yyyy-MM-dd" << "-" << 4;
    QTest::newRow("year month day") << "yy/mm/dd" << "/" << 3;
    QTest::newRow("no separator") << "yyyyMMdd" << "-" << 2;
}

void TestAppCore::dateFormatFacts()
{
    QFETCH(QString, format);
    QFETCH(QString, separator);
    QFETCH(int, order);
    const DateFormatFacts f = ::dateFormatFacts(format);
    QCOMPARE(f.separator, separator);
    QCOMPARE(f.order, order);
}

void TestAppCore::timeSeparator()
{
    QCOMPARE(timeSeparatorOf("HH:mm:ss"), QString(":"));
    QCOMPARE(timeSeparatorOf("h.mm AP"), QString("."));
    QCOMPARE(timeSeparatorOf("'kl'. HH.mm"), QString(".")); // the quoted text before the hours does not count
    QCOMPARE(timeSeparatorOf("HHmm"), QString(":"));
}

void TestAppCore::userDataFolder()
{
    QTemporaryDir docs;
    const QString folder = prepareUserDataFolder(docs.path());
    QCOMPARE(folder, docs.path() + "/k352_4/");
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(prepareUserDataFolder(docs.path()), folder); // existing folder used again
    QCOMPARE(prepareUserDataFolder(QString()), QString());
    // A documents folder where the folder cannot be created: the documents folder itself.
    const QString missing = docs.path() + "/no/such";
    QCOMPARE(prepareUserDataFolder(missing), missing + "/");
}

void TestAppCore::tdatetimeRoundTrip()
{
    const QDateTime t(QDate(2026, 12, 9), QTime(13, 45, 30, 250));
    const TDateTime v = toTDateTime(t);
    QCOMPARE(int(v), int(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 9))));
    QCOMPARE(fromTDateTime(v), t);
    QCOMPARE(fromTDateTime(0.5), QDateTime(QDate(1899, 12, 30), QTime(12, 0)));
    // Times from a damaged graph file: no date, and no text but an empty one.
    for (double bad : {-3.31513e34, 1e300, std::nan(""), double(INFINITY)}) {
        QVERIFY(!fromTDateTime(bad).isValid());
        QVERIFY(dateTimeText(bad, QLocale::c()).trimmed().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestAppCore)
#include "test_appcore.moc"
