#include "common/FixedFormat.h"

#include <QLocale>
#include <QtTest>

using namespace pas_lib;

class TestFixedFormat : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The feeds' formats hold whatever the user's locale says.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void dateTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("date and time")
            << "8.6.2009 14:05:30" << QDateTime(QDate(2009, 6, 8), QTime(14, 5, 30));
        QTest::newRow("leading zeros")
            << "08.06.2009 07:05" << QDateTime(QDate(2009, 6, 8), QTime(7, 5));
        QTest::newRow("date only") << "31.12.2008" << QDateTime(QDate(2008, 12, 31), QTime(0, 0));
        QTest::newRow("blanks around")
            << "  1.1.2010 0:00:00 " << QDateTime(QDate(2010, 1, 1), QTime(0, 0));
        QTest::newRow("no such day") << "31.2.2009" << QDateTime();
        QTest::newRow("month first") << "2009-06-08" << QDateTime();
        QTest::newRow("hour 24") << "8.6.2009 24:00" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
    }
    void dateTimes()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const auto parsed = ParseFeedDateTime(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed)
            QCOMPARE(*parsed, expected);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("expected");
        QTest::newRow("decimal point") << "3.5" << true << 3.5;
        QTest::newRow("negative") << "-2.25" << true << -2.25;
        QTest::newRow("integer") << "11" << true << 11.0;
        QTest::newRow("blanks") << " 1020.4 " << true << 1020.4;
        QTest::newRow("decimal comma") << "3,5" << false << 0.0;
        QTest::newRow("text") << "abc" << false << 0.0;
        QTest::newRow("infinity") << "1e999" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, expected);
        const auto parsed = ParseFeedNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (parsed)
            QCOMPARE(*parsed, expected);
    }

    void dayNumbers_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<double>("days");
        QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
        QTest::newRow("noon of the next day")
            << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
        QTest::newRow("2009") << QDateTime(QDate(2009, 6, 8), QTime(6, 0)) << 39972.25;
        QTest::newRow("before day zero") << QDateTime(QDate(1899, 12, 29), QTime(0, 0)) << -1.0;
    }
    void dayNumbers()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(double, days);
        QCOMPARE(DateTimeToDays(dateTime), days);
        QCOMPARE(DaysToDateTime(days), dateTime);
    }
};

QTEST_GUILESS_MAIN(TestFixedFormat)
#include "tst_fixedformat.moc"
