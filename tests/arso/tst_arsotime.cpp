#include "arso/ArsoTime.h"

#include <QtTest>

// ARSO's zoned times become Slovenian local time, whatever the machine's zone.
class TestArsoTime : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("feed");
        QTest::newRow("winter") << "10.11.2023 16:00 CET"
                                << "10.11.2023 16:00:00";
        QTest::newRow("summer, one-digit hour") << "18.06.2023 9:50 CEST"
                                                << "18.6.2023 9:50:00";
        QTest::newRow("UTC in winter") << "07.03.2024 14:20 UTC"
                                       << "7.3.2024 15:20:00";
        QTest::newRow("UTC in summer") << "18.06.2023 7:50 UTC"
                                       << "18.6.2023 9:50:00";
        QTest::newRow("CET written in summer") << "18.06.2023 8:50 CET"
                                               << "18.6.2023 9:50:00";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("no zone") << "10.11.2023 16:00"
                                 << "";
        QTest::newRow("unknown zone") << "10.11.2023 16:00 EST"
                                      << "";
        QTest::newRow("no such day") << "31.02.2023 16:00 CET"
                                     << "";
        QTest::newRow("no such hour") << "10.11.2023 25:00 CET"
                                      << "";
        QTest::newRow("words") << "abc"
                               << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, feed);
        const std::optional<QDateTime> time = arso::ParseArsoTime(text);
        QCOMPARE(time.has_value(), !feed.isEmpty());
        if (time)
            QCOMPARE(arso::FeedDateTime(*time), feed);
    }

    // The feed's local time does not follow the machine's zone.
    void independentOfTheMachinesZone()
    {
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", "America/New_York");
        const std::optional<QDateTime> time = arso::ParseArsoTime(u"10.11.2023 16:00 CET");
        const QString feed = time ? arso::FeedSectionTime(*time) : QString();
        qputenv("TZ", previous);
        QCOMPARE(feed, QStringLiteral("10.11.2023 16:00"));
    }
};

QTEST_GUILESS_MAIN(TestArsoTime)
#include "tst_arsotime.moc"
