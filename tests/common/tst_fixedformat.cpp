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
        QTest::newRow("two-digit year") << "8.6.09 14:05" << QDateTime();
        QTest::newRow("three-digit day") << "008.6.2009" << QDateTime();
        QTest::newRow("seconds 60") << "8.6.2009 14:05:60" << QDateTime();
        QTest::newRow("trailing text") << "8.6.2009 14:05 CET" << QDateTime();
        QTest::newRow("time only") << "14:05" << QDateTime();
        QTest::newRow("year 0") << "1.1.0000" << QDateTime();
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
        QTest::newRow("plus sign") << "+1" << true << 1.0;
        QTest::newRow("no integer part") << ".5" << true << 0.5;
        QTest::newRow("no fraction") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1.25e2" << true << 125.0;
        QTest::newRow("negative exponent") << "-5E-1" << true << -0.5;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("two signs") << "--1" << false << 0.0;
        QTest::newRow("inner blank") << "1 000" << false << 0.0;
        QTest::newRow("words for infinity") << "inf" << false << 0.0;
        QTest::newRow("words for no number") << "nan" << false << 0.0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
        QTest::newRow("digits of another script") << "١٢" << false << 0.0;
        QTest::newRow("100 characters") << "1." + QString(98, QLatin1Char('0')) << true << 1.0;
        QTest::newRow("101 characters") << "1." + QString(99, QLatin1Char('0')) << false << 0.0;
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

    // Every number is written so that it reads back as itself, in few digits.
    void numbersWrittenAndReadBack_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.5") << 12.5 << "12.5";
        QTest::newRow("negative") << -2.25 << "-2.25";
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("largest double") << 1.7976931348623157e308 << "1.7976931348623157e+308";
        QTest::newRow("smallest double") << 5e-324 << "5e-324";
    }
    void numbersWrittenAndReadBack()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatFeedNumber(value), text);
        const auto back = ParseFeedNumber(FormatFeedNumber(value));
        QVERIFY(back);
        QCOMPARE(*back, value);
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

    // Day numbers that name no day of the years 1 to 9999 give no date-time
    // (and reach no conversion to an integer).
    void dayNumbersOutOfRange_data()
    {
        QTest::addColumn<double>("days");
        QTest::addColumn<bool>("valid");
        QTest::newRow("31.12.9999") << 2958465.5 << true;
        QTest::newRow("1.1.10000") << 2958466.0 << false;
        QTest::newRow("1.1.1") << -693593.0 << true;
        QTest::newRow("before the year 1") << -693594.0 << false;
        QTest::newRow("1e19") << 1e19 << false;
        QTest::newRow("-1e300") << -1e300 << false;
        QTest::newRow("infinity") << qInf() << false;
        QTest::newRow("NaN") << qQNaN() << false;
    }
    void dayNumbersOutOfRange()
    {
        QFETCH(double, days);
        QFETCH(bool, valid);
        QCOMPARE(DaysToDateTime(days).isValid(), valid);
        QCOMPARE(DaysToDateTime(days, 3600).isValid(), valid);
    }

    void roundToInteger_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("half to even, down") << 12.5 << true << qint64(12);
        QTest::newRow("half to even, up") << 13.5 << true << qint64(14);
        QTest::newRow("-0.4") << -0.4 << true << qint64(0);
        QTest::newRow("largest int32") << 2147483647.0 << true << qint64(2147483647);
        QTest::newRow("beyond int32") << 2147483647.6 << false << qint64(0);
        QTest::newRow("smallest int32") << -2147483648.0 << true << qint64(-2147483648LL);
        QTest::newRow("below int32") << -2147483649.0 << false << qint64(0);
        QTest::newRow("1e19") << 1e19 << false << qint64(0);
        QTest::newRow("infinity") << -qInf() << false << qint64(0);
        QTest::newRow("NaN") << qQNaN() << false << qint64(0);
    }
    void roundToInteger()
    {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(qint64, expected);
        const auto rounded = RoundToInteger<qint32>(value);
        QCOMPARE(rounded.has_value(), fits);
        if (rounded)
            QCOMPARE(qint64(*rounded), expected);
        QCOMPARE(RoundToInteger<qint64>(value).has_value(), std::isfinite(value) && value < 1e18);
    }

    // The hour that summer time skips reads as the moment after the skip; a
    // date-time is never invalid.
    void skippedHour()
    {
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", "Europe/Ljubljana");
        const auto parsed = ParseFeedDateTime(u"30.3.2025 2:30");
        const auto after = ParseFeedDateTime(u"30.3.2025 12:00");
        const auto day = DaysToDateTime(45746.0 + 2.5 / 24.0); // 30.3.2025 2:30
        previous.isNull() ? qunsetenv("TZ") : qputenv("TZ", previous);
        QVERIFY(parsed && parsed->isValid());
        QCOMPARE(parsed->time(), QTime(3, 30));
        QCOMPARE(parsed->date(), QDate(2025, 3, 30));
        QVERIFY(after && after->isValid());
        QCOMPARE(after->time(), QTime(12, 0));
        QVERIFY(day.isValid());
        QCOMPARE(day.time(), QTime(3, 30));
    }

    // A clock at a fixed offset from UTC shows every time, whatever the local
    // zone skips.
    void fixedOffsetClock()
    {
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", "Europe/Ljubljana");
        const double days = 45746.0 + 2.5 / 24.0; // 30.3.2025 2:30
        const QDateTime clock = DaysToDateTime(days, 3600);
        const double back = DateTimeToDays(clock, 3600);
        const double fromUtc =
            DateTimeToDays(QDateTime(QDate(2025, 3, 30), QTime(1, 30), Qt::UTC), 3600);
        previous.isNull() ? qunsetenv("TZ") : qputenv("TZ", previous);
        QCOMPARE(clock.date(), QDate(2025, 3, 30));
        QCOMPARE(clock.time(), QTime(2, 30));
        QCOMPARE(clock.offsetFromUtc(), 3600);
        QCOMPARE(clock.toUTC().time(), QTime(1, 30));
        QCOMPARE(back, days);
        QCOMPARE(fromUtc, days);
    }
};

QTEST_GUILESS_MAIN(TestFixedFormat)
#include "tst_fixedformat.moc"
