#include "tray/TrayTexts.h"

#include <QtTest>

using pas_lib::ConditionsRecords;

namespace {

const QString LB = QStringLiteral("\n\r");

CurrentConditions Full()
{
    CurrentConditions record;
    record.place = QStringLiteral("Ljubljana");
    record.weather = QStringLiteral("pretežno oblačno");
    record.temperature = QStringLiteral("12°");
    record.humidity = QStringLiteral("80%");
    record.wind = QStringLiteral("SV 3 m/s");
    record.pressure = QStringLiteral("1015 hPa");
    record.lastChange = QStringLiteral("1.2.2024 14:00");
    record.feelsLike = QStringLiteral("10°");
    return record;
}

} // namespace

// The tooltip, the balloon's line and the limits of the icon's texts.
class TestTrayTexts : public QObject
{
    Q_OBJECT

private slots:
    void hint_data()
    {
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("feelsLike");
        QTest::addColumn<QString>("hint");
        const QString stamp = QStringLiteral("1.2.2024 14:00") + LB;
        const QString place = QStringLiteral("Kraj: Ljubljana") + LB;
        const QString weather = QStringLiteral("Vreme: pretežno oblačno") + LB;
        const QString temperature = QStringLiteral("Temperatura: 12°C") + LB;
        const QString felt = QStringLiteral("Občutek: 10°C") + LB;
        QTest::newRow("012") << "012"
                             << "10°" << stamp + place + weather + temperature + felt;
        QTest::newRow("210, the same") << "210"
                                       << "10°" << stamp + place + weather + temperature + felt;
        QTest::newRow("empty: the stamp only") << ""
                                               << "10°" << stamp;
        QTest::newRow("0") << "0"
                           << "10°" << stamp + place;
        QTest::newRow("1") << "1"
                           << "10°" << stamp + weather;
        QTest::newRow("2") << "2"
                           << "10°" << stamp + temperature + felt;
        QTest::newRow("2 without a felt temperature") << "2"
                                                      << "°" << stamp + temperature;
        QTest::newRow("3") << "3"
                           << "10°" << stamp + QStringLiteral("Vlažnost: 80%") + LB;
        QTest::newRow("4") << "4"
                           << "10°" << stamp + QStringLiteral("Veter: SV 3 m/s") + LB;
        QTest::newRow("5") << "5"
                           << "10°" << stamp + QStringLiteral("Zračni tlak: 1015 hPa") + LB;
        QTest::newRow("every group, any order")
            << "5x4 3,2;1 0"
            << "10°"
            << stamp + place + weather + temperature + felt + QStringLiteral("Vlažnost: 80%") + LB +
                   QStringLiteral("Veter: SV 3 m/s") + LB +
                   QStringLiteral("Zračni tlak: 1015 hPa") + LB;
        QTest::newRow("other characters only") << "6789ab"
                                               << "10°" << stamp;
    }
    void hint()
    {
        QFETCH(QString, items);
        QFETCH(QString, feelsLike);
        QFETCH(QString, hint);
        ConditionsRecords records;
        records[0] = Full();
        records[0].feelsLike = feelsLike;
        QCOMPARE(pas_lib::TrayHintText(records, 0, 0, items), hint);
    }

    void hintWithoutData()
    {
        ConditionsRecords records;
        records[1] = Full();
        records[0].place = QStringLiteral("Ljubljana");
        QCOMPARE(pas_lib::TrayHintText(records, 0, 0, QStringLiteral("012")),
                 QStringLiteral("Vremenski podatki niso dosegljivi"));
    }

    // The automatic station with the observation station's weather: the
    // tooltip names that weather; the line has none, for the automatic
    // record has no description of its own.
    void observationWeather()
    {
        ConditionsRecords records;
        records[0] = Full();
        records[0].weather = QStringLiteral("oblačno");
        records[1] = Full();
        records[1].place = QStringLiteral("Ljubljana - Bežigrad");
        records[1].weather.clear();
        records[1].temperature = QStringLiteral("13°");
        records[1].feelsLike = QStringLiteral("°");
        QCOMPARE(pas_lib::TrayHintText(records, 1, 0, QStringLiteral("012")),
                 QStringLiteral("1.2.2024 14:00") + LB +
                     QStringLiteral("Kraj: Ljubljana - Bežigrad") + LB +
                     QStringLiteral("Vreme: oblačno") + LB + QStringLiteral("Temperatura: 13°C") +
                     LB);
        QCOMPARE(pas_lib::SummaryLine(records, 1, 0), QStringLiteral("Ljubljana - Bežigrad: 13°"));
    }

    void summary_data()
    {
        QTest::addColumn<QString>("ownWeather");
        QTest::addColumn<QString>("sourceWeather");
        QTest::addColumn<QString>("feelsLike");
        QTest::addColumn<QString>("line");
        QTest::newRow("full") << "megla"
                              << "pretežno oblačno"
                              << "10°"
                              << "Ljubljana: pretežno oblačno, 12°" + LB + "Občutek: 10°";
        QTest::newRow("no felt temperature") << "megla"
                                             << "pretežno oblačno"
                                             << "°"
                                             << "Ljubljana: pretežno oblačno, 12°";
        QTest::newRow("own description empty") << ""
                                               << "pretežno oblačno"
                                               << "°"
                                               << "Ljubljana: 12°";
        QTest::newRow("source description empty") << "megla"
                                                  << ""
                                                  << "°"
                                                  << "Ljubljana: , 12°";
    }
    void summary()
    {
        QFETCH(QString, ownWeather);
        QFETCH(QString, sourceWeather);
        QFETCH(QString, feelsLike);
        QFETCH(QString, line);
        ConditionsRecords records;
        records[2] = Full();
        records[2].weather = ownWeather;
        records[2].feelsLike = feelsLike;
        records[0].weather = sourceWeather;
        QCOMPARE(pas_lib::SummaryLine(records, 2, 0), line);
    }

    // Markup characters from the servers never reach a notification server.
    void plainNotificationText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("plain") << "Ljubljana: jasno, 12°"
                               << "Ljubljana: jasno, 12°";
        QTest::newRow("tags") << "<a href=\"x\">klik</a>"
                              << "‹a href=\"x\"›klik‹/a›";
        QTest::newRow("entity") << "Brda &amp; Vipava"
                                << "Brda ＆amp; Vipava";
    }
    void plainNotificationText()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QCOMPARE(pas_lib::PlainNotificationText(text), plain);
    }

    void cut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("cut");
        QTest::newRow("short") << "abc" << 5 << "abc";
        QTest::newRow("exact") << "abcde" << 5 << "abcde";
        QTest::newRow("long") << QString(130, QLatin1Char('x')) << 127
                              << QString(127, QLatin1Char('x'));
        QTest::newRow("letters with carons") << "ččččč" << 3 << "ččč";
        // A character outside the basic plane takes two units.
        QTest::newRow("surrogate pair across the limit")
            << QStringLiteral("ab\U0001F327cd") << 3 << "ab";
        QTest::newRow("surrogate pair at the limit")
            << QStringLiteral("ab\U0001F327cd") << 4 << QStringLiteral("ab\U0001F327");
        QTest::newRow("accent across the limit") << QStringLiteral("abe\u0301z") << 3 << "ab";
        QTest::newRow("nothing") << "abc" << 0 << "";
    }
    void cut()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, cut);
        QCOMPARE(pas_lib::CutText(text, limit), cut);
    }
};

QTEST_GUILESS_MAIN(TestTrayTexts)
#include "tst_traytexts.moc"
