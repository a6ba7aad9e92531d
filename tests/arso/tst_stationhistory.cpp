#include "arso/StationHistory.h"

#include <QFile>
#include <QtTest>

// An automatic station's two-day history becomes the hourly temperatures of
// its chart; a file that is not one gives nothing.
class TestStationHistory : public QObject
{
    Q_OBJECT

    static QByteArray Kranj()
    {
        QFile file(QStringLiteral(
            NIMBULON_TEST_DATA
            "/../../samples/arso/matejmatik-zajem/observationAms_KRANJ_history.xml"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray Record(const QByteArray& valid, const QByteArray& t,
                             const QByteArray& id = "KRANJ_")
    {
        return "<metData><domain_longTitle>Kranj</domain_longTitle><domain_meteosiId>" + id +
               "</domain_meteosiId><valid>" + valid + "</valid><t>" + t + "</t></metData>";
    }

    static QByteArray Document(const QByteArray& records)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><data "
               "id=\"MeteoSI_WebMet_observationAms_xml\">"
               "<language>sl</language>" +
               records + "</data>";
    }

    // Each reading as "2023-06-16T09:00:00+02:00=18.9".
    static QStringList Texts(const QList<arso::THourlyReading>& readings)
    {
        QStringList texts;
        for (const arso::THourlyReading& reading : readings)
            texts << reading.time.toString(Qt::ISODate) + QLatin1Char('=') +
                         QString::number(reading.temperature);
        return texts;
    }

private slots:
    void kranj()
    {
        const std::optional<arso::TStationHistory> history = arso::ReadStationHistory(Kranj());
        QVERIFY(history);
        QCOMPARE(history->stationId, QStringLiteral("KRANJ_"));
        QCOMPARE(history->stationName, QStringLiteral("Kranj"));
        // 301 records from 16.6. 8:40 to 18.6. 10:40, all with a temperature.
        const QStringList texts = Texts(history->readings);
        QCOMPARE(texts.size(), 50);
        QCOMPARE(texts.first(), QStringLiteral("2023-06-16T09:00:00+02:00=18.9"));
        QCOMPARE(texts.at(21), QStringLiteral("2023-06-17T06:00:00+02:00=9.8"));
        QCOMPARE(texts.last(), QStringLiteral("2023-06-18T10:00:00+02:00=22.8"));
        for (qsizetype i = 1; i < history->readings.size(); ++i)
            QCOMPARE(history->readings.at(i - 1).time.secsTo(history->readings.at(i).time), 3600);
    }

    void unusual_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QStringList>("readings");

        const QByteArray kranj = Kranj();
        QTest::newRow("not XML") << QByteArray("Service Unavailable") << false << QStringList();
        QTest::newRow("HTML error page")
            << QByteArray("<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>"
                          "<body><h1>Not Found</h1></body></html>\n")
            << false << QStringList();
        QTest::newRow("cut mid-way") << kranj.left(kranj.size() / 2) << false << QStringList();
        QTest::newRow("another root")
            << QByteArray("<arsopodatki>" + Record("18.06.2023 10:00 CEST", "20") +
                          "</arsopodatki>")
            << false << QStringList();
        QTest::newRow("no records") << Document("") << true << QStringList();
        QTest::newRow("empty and non-numeric temperatures")
            << Document(
                   Record("18.06.2023 10:00 CEST", "") + Record("18.06.2023 9:00 CEST", "abc") +
                   Record("18.06.2023 8:00 CEST", "-1.5") + Record("18.06.2023 7:00 CEST", "nan"))
            << true << QStringList{"2023-06-18T08:00:00+02:00=-1.5"};
        QTest::newRow("full hours only, valid times only")
            << Document(Record("18.06.2023 9:10 CEST", "5") + Record("18.06.2023 9:00 CEST", "4") +
                        Record("", "3") + Record("31.06.2023 8:00 CEST", "2"))
            << true << QStringList{"2023-06-18T09:00:00+02:00=4"};
        QTest::newRow("a duplicate hour keeps the first")
            << Document(Record("18.06.2023 10:00 CEST", "21") +
                        Record("18.06.2023 8:00 UTC", "20") + Record("18.06.2023 9:00 CEST", "19"))
            << true << QStringList{"2023-06-18T09:00:00+02:00=19", "2023-06-18T10:00:00+02:00=21"};
        QTest::newRow("the hour that repeats when summer time ends")
            << Document(Record("29.10.2023 2:00 CET", "8") + Record("29.10.2023 2:00 CEST", "9"))
            << true << QStringList{"2023-10-29T02:00:00+02:00=9", "2023-10-29T02:00:00+01:00=8"};
        QTest::newRow("another station's records left out")
            << Document(Record("18.06.2023 10:00 CEST", "21") +
                        Record("18.06.2023 9:00 CEST", "30", "BOVEC_"))
            << true << QStringList{"2023-06-18T10:00:00+02:00=21"};

        // 1001 hours, newest first: the oldest one is left out.
        QByteArray many;
        QStringList newest;
        const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());
        for (int hour = 1000; hour >= 0; --hour) {
            const QDateTime time = start.addSecs(hour * 3600);
            many += Record(time.toString(u"dd.MM.yyyy H:mm").toLatin1() + " UTC",
                           QByteArray::number(hour % 30));
            if (hour > 0)
                newest.prepend(time.toOffsetFromUtc(3600).toString(Qt::ISODate) + "=" +
                               QString::number(hour % 30));
        }
        QTest::newRow("1001 hours") << Document(many) << true << newest;
    }
    void unusual()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, valid);
        QFETCH(QStringList, readings);
        const std::optional<arso::TStationHistory> history = arso::ReadStationHistory(file);
        QCOMPARE(history.has_value(), valid);
        if (history)
            QCOMPARE(Texts(history->readings), readings);
    }
};

QTEST_GUILESS_MAIN(TestStationHistory)
#include "tst_stationhistory.moc"
