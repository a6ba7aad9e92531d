#include "arso/ArsoTime.h"
#include "arso/WaterLevels.h"

#include <QFile>
#include <QtTest>

// ARSO's hydrological files become the water table's rows; a file that is not
// one gives nothing, so the table keeps what it had.
class TestWaterLevels : public QObject
{
    Q_OBJECT

    static QByteArray Sample(const QString& name)
    {
        QFile file(QStringLiteral(NIMBULON_TEST_DATA "/../../samples/arso/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The row as "POSTAJA|VODOSTAJ|PRETOK|STANJE|TEMPERATURA|DECILPRETOKA".
    static QString Row(const arso::TWaterLevel& row)
    {
        return QStringList{row.station, row.level,       row.discharge,
                           row.state,   row.temperature, row.decile}
            .join(QLatin1Char('|'));
    }

    static QByteArray Station(const QByteArray& name, const QByteArray& values,
                              const QByteArray& time = "2024-01-05 09:00")
    {
        return "<postaja sifra=\"1\"><reka>R</reka><ime_kratko>" + name + "</ime_kratko><datum>" +
               time + "</datum>" + values + "</postaja>\n";
    }

    static QByteArray Document(const QByteArray& stations)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<arsopodatki verzija=\"1.3\">"
               "<datum_priprave>2024-01-05 09:31</datum_priprave>\n" +
               stations + "</arsopodatki>\n";
    }

private slots:
    void recorded_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("row");
        const QString latest10 = QStringLiteral("papnkukn-arso-podatki/hidro_podatki_zadnji.xml");
        const QString latest13 = QStringLiteral("environet/hidro_podatki_zadnji.xml");
        const QString daily =
            QStringLiteral("papnkukn-arso-podatki/hidro_podatki_dnevno_porocilo.xml");
        QTest::newRow("1.0, river") << latest10 << 177 << "23.7.2017 11:00" << 0
                                    << "Mura - Gor. Radgona|90|100|srednje|21.7|";
        QTest::newRow("1.0, no temperature")
            << latest10 << 177 << "23.7.2017 11:00" << 2 << "Kučnica - Cankova|68|0.00|nizko||";
        QTest::newRow("1.0, empty values")
            << latest10 << 177 << "23.7.2017 11:00" << 3 << "Ščavnica - Pristava|||||";
        QTest::newRow("1.0, sea level")
            << latest10 << 177 << "23.7.2017 11:00" << 173 << "Koper|266||visoko|26.4|";
        QTest::newRow("1.3, doubled blank")
            << latest13 << 177 << "27.10.2020 10:00" << 15 << "Meža - Črna|91|10.4|visoko|9.2|";
        QTest::newRow("1.3, lake")
            << latest13 << 177 << "27.10.2020 10:00" << 40 << "Sv. Duh|57||srednje|8.9|";
        QTest::newRow("1.3, buoy with waves")
            << latest13 << 177 << "27.10.2020 10:00" << 175 << "boja Piran (NIB)||||18.4|";
        QTest::newRow("daily, long name")
            << daily << 169 << "23.7.2017 8:00" << 7 << "Središče|19|0.00|nizko|17.8|";
    }
    void recorded()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, time);
        QFETCH(int, index);
        QFETCH(QString, row);
        const std::optional<arso::TWaterLevels> levels = arso::ReadWaterLevels(Sample(file));
        QVERIFY(levels);
        QCOMPARE(levels->stations.size(), count);
        QCOMPARE(arso::FeedSectionTime(levels->time), time);
        QCOMPARE(Row(levels->stations.at(index)), row);
        for (const arso::TWaterLevel& station : levels->stations) {
            QVERIFY2(!station.station.isEmpty() && station.station.size() <= 20,
                     qPrintable(station.station));
            QVERIFY2(station.state.size() <= 10, qPrintable(station.state));
        }
    }

    void unusual_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("last"); // the last row

        const QByteArray recorded = Sample(QStringLiteral("environet/hidro_podatki_zadnji.xml"));
        QTest::newRow("not XML") << QByteArray("Service Unavailable") << false << "" << 0 << "";
        QTest::newRow("HTML error page")
            << QByteArray("<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>"
                          "<body><h1>Not Found</h1></body></html>\n")
            << false << "" << 0 << "";
        QTest::newRow("cut mid-way")
            << recorded.left(recorded.size() / 2) << false << "" << 0 << "";
        QTest::newRow("another root")
            << QByteArray("<data>" + Station("A", "<vodostaj>1</vodostaj>") + "</data>") << false
            << "" << 0 << "";
        QTest::newRow("no stations") << Document("") << true << "5.1.2024 9:31" << 0 << "";
        QTest::newRow("not numbers")
            << Document(Station(
                   "A", "<vodostaj>abc</vodostaj><pretok>1e3</pretok><temp_vode>-0.5</temp_vode>"))
            << true << "5.1.2024 9:00" << 1 << "A||||-0.5|";
        QTest::newRow("decimal level and comma")
            << Document(Station("A", "<vodostaj>12.6</vodostaj><pretok>3,25</pretok>")) << true
            << "5.1.2024 9:00" << 1 << "A|13|3.25|||";
        QTest::newRow("empty values, no time")
            << Document(Station(
                   "A", "<vodostaj/><pretok></pretok><pretok_znacilni/><temp_vode> </temp_vode>",
                   ""))
            << true << "5.1.2024 9:31" << 1 << "A|||||";
        QTest::newRow("the newest time, duplicates kept")
            << Document(Station("A", "<vodostaj>5</vodostaj>", "2024-01-05 10:00") +
                        Station("A", "<vodostaj>6</vodostaj>", "2024-01-05 08:00") +
                        Station("A", "<vodostaj>6</vodostaj>", "2024-01-05 08:00"))
            << true << "5.1.2024 10:00" << 3 << "A|6||||";
        QTest::newRow("nameless station left out")
            << Document(Station("A", "") + "<postaja><vodostaj>7</vodostaj></postaja>") << true
            << "5.1.2024 9:00" << 1 << "A|||||";
        QByteArray many;
        for (int i = 1; i <= 1001; ++i)
            many += Station("S" + QByteArray::number(i),
                            "<vodostaj>" + QByteArray::number(i) + "</vodostaj>");
        QTest::newRow("1001 stations")
            << Document(many) << true << "5.1.2024 9:00" << 1000 << "S1000|1000||||";
    }
    void unusual()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, valid);
        QFETCH(QString, time);
        QFETCH(int, count);
        QFETCH(QString, last);
        const std::optional<arso::TWaterLevels> levels = arso::ReadWaterLevels(file);
        QCOMPARE(levels.has_value(), valid);
        if (!levels)
            return;
        QCOMPARE(arso::FeedSectionTime(levels->time), time);
        QCOMPARE(levels->stations.size(), count);
        QCOMPARE(levels->stations.isEmpty() ? QString() : Row(levels->stations.last()), last);
    }

    // ARSO's characteristic classes on one scale of the river's state.
    void state_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QString>("state");
        QTest::newRow("low discharge")
            << QByteArray("<pretok_znacilni>mali pretok</pretok_znacilni>") << "nizko";
        QTest::newRow("high level")
            << QByteArray("<vodostaj_znacilni>visok vodostaj</vodostaj_znacilni>") << "visoko";
        QTest::newRow("discharge before level")
            << QByteArray("<pretok_znacilni>srednji pretok</pretok_znacilni>"
                          "<vodostaj_znacilni>visok vodostaj</vodostaj_znacilni>")
            << "srednje";
        QTest::newRow("first high water")
            << QByteArray("<pretok_znacilni>prvi visokovodni pretok</pretok_znacilni>")
            << "razlivanje";
        QTest::newRow("second high water")
            << QByteArray("<pretok_znacilni>drugi visokovodni pretok</pretok_znacilni>")
            << "poplave";
        QTest::newRow("third high water")
            << QByteArray("<vodostaj_znacilni>Tretji visokovodni vodostaj</vodostaj_znacilni>")
            << "obs. popl.";
        QTest::newRow("unknown, cut at a word")
            << QByteArray("<pretok_znacilni>zelo mali pretok</pretok_znacilni>") << "zelo mali";
    }
    void state()
    {
        QFETCH(QByteArray, values);
        QFETCH(QString, state);
        const std::optional<arso::TWaterLevels> levels =
            arso::ReadWaterLevels(Document(Station("A", values)));
        QVERIFY(levels && levels->stations.size() == 1);
        QCOMPARE(levels->stations.first().state, state);
    }
};

QTEST_GUILESS_MAIN(TestWaterLevels)
#include "tst_waterlevels.moc"
