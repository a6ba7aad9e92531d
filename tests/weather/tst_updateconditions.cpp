#include "TestHome.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTable.h"
#include "weather/UpdateConditions.h"

#include <QLocale>
#include <QtTest>

class TestUpdateConditions : public QObject
{
    Q_OBJECT

    static void AddRow(TWeatherTable& table, const QString& place, const QVariant& temperature,
                       const QVariant& changed, const QString& weather = QString())
    {
        TWeatherRow row = table.NewRow();
        table.SetValue(row, table.FieldIndex(QStringLiteral("KRAJ")), place);
        table.SetValue(row, table.FieldIndex(QStringLiteral("TEMPERATURA")), temperature);
        table.SetValue(row, table.FieldIndex(QStringLiteral("ZADNJASPREMEMBA")), changed);
        table.SetValue(row, table.FieldIndex(QStringLiteral("VREME")), weather);
        table.SetValue(row, table.FieldIndex(QStringLiteral("VETERSMER")), QStringLiteral("SV"));
        table.SetValue(row, table.FieldIndex(QStringLiteral("VETERHITROST")), 2.5);
        table.Post(row);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia)); }

    void temperatureAndFields_data()
    {
        QTest::addColumn<QVariant>("temperature");
        QTest::addColumn<QString>("expected");
        QTest::newRow("12.5") << QVariant(12.5) << "12°";
        QTest::newRow("13.5") << QVariant(13.5) << "14°";
        QTest::newRow("-0.4") << QVariant(-0.4) << "0°";
        QTest::newRow("-2.5") << QVariant(-2.5) << "-2°";
        QTest::newRow("no temperature") << QVariant() << "";
        // Beyond what a temperature can be: no reading, and no conversion of it.
        QTest::newRow("1e19") << QVariant(1e19) << "";
        QTest::newRow("-1e300") << QVariant(-1e300) << "";
        QTest::newRow("-999.6") << QVariant(-999.6) << "-1000°";
        QTest::newRow("1000.4") << QVariant(1000.4) << "";
    }
    void temperatureAndFields()
    {
        QFETCH(QVariant, temperature);
        QFETCH(QString, expected);
        TTestHome home;
        CreateParameters();
        TWeatherData data;
        data.CreateWeatherTables();
        TWeatherTable& table = *data.tbl_opazovalne;
        table.Empty();
        const QDateTime changed(QDate(2026, 12, 9), QTime(14, 30));
        AddRow(table, QStringLiteral("LJUBLJANA"), temperature, changed, QStringLiteral("jasno"));
        UpdateConditions(pas_lib::ObservationStations, table);
        const CurrentConditions& record = pas_lib::currentConditions[0];
        QCOMPARE(record.place, QStringLiteral("Ljubljana"));
        QCOMPARE(record.temperature, expected);
        QCOMPARE(record.weather, QStringLiteral("jasno"));
        QCOMPARE(record.wind, QStringLiteral("SV 2,5 m/s"));
        QCOMPARE(record.humidity, QStringLiteral("%"));
        QCOMPARE(record.lastChange, QStringLiteral("9. 12. 2026 14:30"));
        delete parametri;
        parametri = nullptr;
    }

    // Numbers and the report time as the user's locale writes them, but always
    // with "-" for negative numbers and a four-digit year.
    void textsInTheUsersLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("feelsLike");
        QTest::addColumn<QString>("wind");
        QTest::addColumn<QString>("lastChange");
        QTest::newRow("Slovenian") << QLocale(QLocale::Slovenian, QLocale::Slovenia) << "-4,5°"
                                   << "SV 2,5 m/s"
                                   << "9. 12. 2026 22:00";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "-4,5°"
                                << "SV 2,5 m/s"
                                << "09.12.2026 22:00";
        QTest::newRow("American") << QLocale(QLocale::English, QLocale::UnitedStates) << "-4.5°"
                                  << "SV 2.5 m/s"
                                  << "12/9/2026 10:00 PM";
        QTest::newRow("Hungarian, year first")
            << QLocale(QLocale::Hungarian, QLocale::Hungary) << "-4,5°"
            << "SV 2,5 m/s"
            << "2026. 12. 09. 22:00";
    }
    void textsInTheUsersLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, feelsLike);
        QFETCH(QString, wind);
        QFETCH(QString, lastChange);
        QLocale::setDefault(locale);
        TTestHome home;
        CreateParameters();
        TWeatherData data;
        data.CreateWeatherTables();
        TWeatherTable& table = *data.tbl_opazovalne;
        table.Empty();
        AddRow(table, QStringLiteral("Ljubljana"), -3.0,
               QDateTime(QDate(2026, 12, 9), QTime(22, 0)));
        TWeatherRow row = table.Rows().constFirst();
        table.SetValue(row, table.FieldIndex(QStringLiteral("OBCUTEKT")), -4.5);
        table.SetValue(row, table.FieldIndex(QStringLiteral("ZRACNITLAK")), -1.25);
        table.Post(row);
        UpdateConditions(pas_lib::ObservationStations, table);
        const CurrentConditions& record = pas_lib::currentConditions[0];
        QCOMPARE(record.temperature, QStringLiteral("-3°"));
        QCOMPARE(record.feelsLike, feelsLike);
        QCOMPARE(record.wind, wind);
        QCOMPARE(record.pressure,
                 QStringLiteral("-1") + QLocale().decimalPoint() + QStringLiteral("25 hPa"));
        QCOMPARE(record.lastChange, lastChange);
        QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
        delete parametri;
        parametri = nullptr;
    }

    // Only rows with a report count, and of several the last one wins.
    void reportTimeAndLastRow()
    {
        TTestHome home;
        CreateParameters();
        TWeatherData data;
        data.CreateWeatherTables();
        TWeatherTable& table = *data.tblAmaterske;
        table.Empty();
        AddRow(table, QStringLiteral("Krtina"), 4.0, QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
        AddRow(table, QStringLiteral("krtina"), 6.0, QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        AddRow(table, QStringLiteral("Krtina"), 9.0, QVariant());
        UpdateConditions(pas_lib::AmateurStations, table);
        QCOMPARE(pas_lib::currentConditions[2].temperature, QStringLiteral("6°"));

        table.Empty();
        AddRow(table, QStringLiteral("Krtina"), 9.0, QVariant());
        UpdateConditions(pas_lib::AmateurStations, table);
        QCOMPARE(pas_lib::currentConditions[2].place, QStringLiteral("Krtina"));
        QCOMPARE(pas_lib::currentConditions[2].temperature, QString());
        QCOMPARE(pas_lib::currentConditions[2].wind, QString());
        delete parametri;
        parametri = nullptr;
    }
};

QTEST_GUILESS_MAIN(TestUpdateConditions)
#include "tst_updateconditions.moc"
