#include "TestHome.h"
#include "common/FixedFormat.h"
#include "settings/Tparameter.h"
#include "weather/CurrentViewKind.h"
#include "weather/StationCatalogue.h"
#include "weather/TWeatherData.h"

#include <QFile>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

namespace {

QByteArray ReadDataFile(const QString& name)
{
    QFile file(QStringLiteral(NIMBULON_TEST_DATA "/data/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every line (block) of a text pane.
QStringList Lines(const QTextDocument& pane)
{
    QStringList lines;
    for (QTextBlock block = pane.begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

QTextCharFormat LineFormat(const QTextDocument& pane, int line)
{
    const QTextBlock block = pane.findBlockByNumber(line);
    return block.begin().fragment().charFormat();
}

// "place | field=value ..." of every row in the table's order; NULL shows as "-".
QStringList Rows(const TWeatherTable& table, const QStringList& fields)
{
    QStringList rows;
    for (const TWeatherRow& row : table.Rows()) {
        QStringList values;
        for (const QString& field : fields) {
            const QVariant value = table.Value(row, field);
            QString text = value.isValid() ? value.toString() : QStringLiteral("-");
            if (value.typeId() == QMetaType::QDateTime)
                text = value.toDateTime().toString(QStringLiteral("d.M.yyyy H:mm"));
            values.append(text);
        }
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

QVariant RowValue(const TWeatherTable& table, const QString& place, const QString& field)
{
    const auto row = table.FindRow(0, place);
    return row ? table.Value(*row, field) : QVariant();
}

QByteArray Feed(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><PODATKI>" + body + "</PODATKI>";
}

QByteArray AviationFeed(const QByteArray& sunText)
{
    return Feed("<Napovedi><NapovedZaLetalstvo><Kdaj>5.3.2024 5:30</Kdaj><N>"
                "<Naziv>Letalska napoved</Naziv><Vidnost>Vidnost bo dobra.</Vidnost>"
                "<Sonce>" +
                sunText +
                "</Sonce><Veter>Veter bo šibak.</Veter></N>"
                "</NapovedZaLetalstvo></Napovedi>");
}

double DayTime(int hours, int minutes, int seconds = 0)
{
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

// A fraction of a day as a time of day, to the nearest second.
QTime ToSecond(double dayTime)
{
    return QTime(0, 0).addSecs(qRound(dayTime * 86400.0));
}

const QString stationsPath = QStringLiteral("OpazovalnePostaje/P");
const QString forecastPath = QStringLiteral("Napovedi/VremenskaNapoved/N");
const QString aviationPath = QStringLiteral("Napovedi/NapovedZaLetalstvo/N");
const QString coastPath = QStringLiteral("Napovedi/Primorje/N");

} // namespace

class TestWeatherFeedSection : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TWeatherData> data;

private slots:
    void init()
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Config.ini"), DeploymentUrlSection);
        CreateParameters();
        data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
        pas_lib::CurrentViewKind = TViewKind::None;
        pas_lib::SunriseTime = 0.0;
        pas_lib::SunsetTime = 0.0;
    }
    void cleanup()
    {
        data.reset();
        delete parametri;
        parametri = nullptr;
        home.reset();
        QLocale::setDefault(QLocale::c());
    }

    void updateModeRewritesValuesButKeepsCodePlaceAndDates()
    {
        TWeatherTable& table = *data->tbl_opazovalne;
        data->LoadFeedSection(stationsPath, "Kraj", ReadDataFile("feed_stations_first.xml"), true,
                              &table);

        QCOMPARE(RowValue(table, "Ljubljana", "SIFRA"), QVariant(8));
        QCOMPARE(RowValue(table, "Ljubljana", "VREME").toString(),
                 QStringLiteral("pretežno jasno"));
        QCOMPARE(RowValue(table, "Ljubljana", "VLAZNOST"), QVariant(56));

        // The second feed has Ljubljana (in capitals) without weather, humidity,
        // pressure or report time.
        data->LoadFeedSection(stationsPath, "Kraj", ReadDataFile("feed_stations_second.xml"), true,
                              &table);
        QCOMPARE(RowValue(table, "Ljubljana", "KRAJ").toString(), QStringLiteral("Ljubljana"));
        QCOMPARE(RowValue(table, "Ljubljana", "SIFRA"), QVariant(8));
        QCOMPARE(RowValue(table, "Ljubljana", "TEMPERATURA"), QVariant(13.0));
        QCOMPARE(RowValue(table, "Ljubljana", "VETERSMER").toString(), QStringLiteral("S"));
        QCOMPARE(RowValue(table, "Ljubljana", "VREME"), QVariant(QString()));
        QCOMPARE(RowValue(table, "Ljubljana", "ZRACNITLAKSTANJE"), QVariant(QString()));
        QVERIFY(!RowValue(table, "Ljubljana", "VLAZNOST").isValid());
        QVERIFY(!RowValue(table, "Ljubljana", "OBCUTEKT").isValid());
        QVERIFY(!RowValue(table, "Ljubljana", "ZRACNITLAK").isValid());
        QCOMPARE(RowValue(table, "Ljubljana", "ZADNJASPREMEMBA"),
                 QVariant(QDateTime(QDate(2024, 3, 5), QTime(13, 30))));
        // A place missing from the feed keeps what it had.
        QCOMPARE(RowValue(table, "Celje", "TEMPERATURA"), QVariant(9.0));
        QCOMPARE(RowValue(table, "Celje", "VREME").toString(), QStringLiteral("oblačno"));
    }

    void placeNotInTheCatalogueIsAppendedOnce()
    {
        TWeatherTable& table = *data->tbl_opazovalne;
        QCOMPARE(table.RowCount(), 20);
        data->LoadFeedSection(stationsPath, "Kraj", ReadDataFile("feed_stations_first.xml"), true,
                              &table);
        QCOMPARE(table.RowCount(), 21);
        QVERIFY(!RowValue(table, "Vrhnika", "SIFRA").isValid());
        QCOMPARE(RowValue(table, "Vrhnika", "TEMPERATURA"), QVariant(4.5));

        data->LoadFeedSection(stationsPath, "Kraj", ReadDataFile("feed_stations_second.xml"), true,
                              &table);
        QCOMPARE(table.RowCount(), 21);
        QCOMPARE(RowValue(table, "Vrhnika", "TEMPERATURA"), QVariant(6.0));
        QCOMPARE(RowValue(table, "Vrhnika", "ZADNJASPREMEMBA"),
                 QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30))));
        // Still in place order.
        QStringList places;
        pas_lib::FillPlaceList(places, table);
        QCOMPARE(places.indexOf("Vrhnika"), places.indexOf("Vojsko") + 1);
    }

    void replaceModeHoldsTheSectionInDocumentOrder()
    {
        TWeatherTable& table = *data->tbl_primorje;
        const QStringList fields{"KAJ", "DOPOLDNE", "POPOLDNE"};
        data->LoadFeedSection(coastPath, "Kaj", ReadDataFile("feed_coast.xml"), false, &table);
        QCOMPARE(Rows(table, fields),
                 QStringList({"Vreme|sončno|delno oblačno", "Temperatura zraka|12 °C|15 °C",
                              "Burja|zmerna|šibka"}));

        data->LoadFeedSection(coastPath, "Kaj",
                              Feed("<Napovedi><Primorje><N><Kaj>Valovi</Kaj><Dopoldne>0,5 m"
                                   "</Dopoldne></N><N><Kaj>Burja</Kaj></N></Primorje></Napovedi>"),
                              false, &table);
        QCOMPARE(Rows(table, fields), QStringList({"Valovi|0,5 m|-", "Burja|-|-"}));
    }

    void replaceModeReadsNumbers()
    {
        TWeatherTable& table = *data->tblVodostaji;
        data->LoadFeedSection("Vode/AvtomatskePostaje/P", "Postaja", ReadDataFile("feed_coast.xml"),
                              false, &table);
        QCOMPARE(
            Rows(table, {"POSTAJA", "VODOSTAJ", "PRETOK", "STANJE", "TEMPERATURA", "DECILPRETOKA"}),
            QStringList({"Sava Litija|210|95.5|srednji|6.1|normalen", "Krka Podbočje|-|40|-|-|-"}));
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("   5.3.2024 7:30"));
    }

    void valuesUseTheFixedFeedFormats_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("decimal point") << "TEMPERATURA" << QByteArray("-2.25") << QVariant(-2.25);
        QTest::newRow("whole number") << "TEMPERATURA" << QByteArray("11") << QVariant(11.0);
        QTest::newRow("decimal comma is no number")
            << "TEMPERATURA" << QByteArray("2,5") << QVariant();
        QTest::newRow("text is no number") << "VETERHITROST" << QByteArray("n/a") << QVariant();
        QTest::newRow("empty number") << "TEMPERATURA" << QByteArray("") << QVariant();
        QTest::newRow("dash is no number") << "TEMPERATURA" << QByteArray("-") << QVariant();
        QTest::newRow("infinity") << "TEMPERATURA" << QByteArray("inf") << QVariant();
        QTest::newRow("not a number") << "OBCUTEKT" << QByteArray("NaN") << QVariant();
        QTest::newRow("beyond a double") << "ZRACNITLAK" << QByteArray("1e999") << QVariant();
        QTest::newRow("temperature 1e19") << "TEMPERATURA" << QByteArray("1e19") << QVariant();
        QTest::newRow("temperature 1e300") << "TEMPERATURA" << QByteArray("1e300") << QVariant();
        QTest::newRow("temperature below -1000")
            << "TEMPERATURA" << QByteArray("-1000.5") << QVariant();
        QTest::newRow("temperature -1000")
            << "TEMPERATURA" << QByteArray("-1000") << QVariant(-1000.0);
        QTest::newRow("felt temperature beyond 1000")
            << "OBCUTEKT" << QByteArray("1001") << QVariant();
        QTest::newRow("wind beyond any wind") << "VETERHITROST" << QByteArray("2e9") << QVariant();
        QTest::newRow("exponent") << "ZRACNITLAK" << QByteArray("1.0132e3") << QVariant(1013.2);
        QTest::newRow("integer beyond 32 bits")
            << "VLAZNOST" << QByteArray("4294967353") << QVariant();
        QTest::newRow("integer with a fraction") << "VLAZNOST" << QByteArray("87.5") << QVariant();
        QTest::newRow("date and time") << "ZADNJASPREMEMBA" << QByteArray("5.3.2024 14:30")
                                       << QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
        QTest::newRow("date, time with seconds")
            << "ZADNJASPREMEMBA" << QByteArray("15.12.2023 7:05:09")
            << QVariant(QDateTime(QDate(2023, 12, 15), QTime(7, 5, 9)));
        QTest::newRow("date the other way round")
            << "ZADNJASPREMEMBA" << QByteArray("2024-03-05 14:30") << QVariant();
        QTest::newRow("empty date") << "ZADNJASPREMEMBA" << QByteArray(" ") << QVariant();
        QTest::newRow("no such day")
            << "ZADNJASPREMEMBA" << QByteArray("31.2.2024 8:00") << QVariant();
        QTest::newRow("time without a date")
            << "ZADNJASPREMEMBA" << QByteArray("14:30") << QVariant();
        QTest::newRow("integer") << "VLAZNOST" << QByteArray("87") << QVariant(87);
        QTest::newRow("integer from text") << "VLAZNOST" << QByteArray("visoka") << QVariant();
        QTest::newRow("text") << "VETERSMER" << QByteArray("SV") << QVariant(QStringLiteral("SV"));
        QTest::newRow("text cut to size")
            << "VETERSMER" << QByteArray("severovzhodnik") << QVariant(QStringLiteral("sever"));
    }
    void valuesUseTheFixedFeedFormats()
    {
        QFETCH(QString, field);
        QFETCH(QByteArray, text);
        QFETCH(QVariant, expected);
        // A locale that writes numbers and dates otherwise changes nothing.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QByteArray element = field.toLatin1();
        data->LoadFeedSection(stationsPath, "Kraj",
                              Feed("<OpazovalnePostaje><P><Kraj>Celje</Kraj><" + element + ">" +
                                   text + "</" + element + "></P></OpazovalnePostaje>"),
                              true, data->tbl_opazovalne);
        QCOMPARE(RowValue(*data->tbl_opazovalne, "Celje", field), expected);
    }

    void valueBeforeTheKeyIsIgnored()
    {
        TWeatherTable& table = *data->tbl_opazovalne;
        data->LoadFeedSection(stationsPath, "Kraj",
                              Feed("<OpazovalnePostaje>"
                                   "<P><Kraj>Celje</Kraj><Temperatura>3</Temperatura></P>"
                                   "<P><Temperatura>99</Temperatura><Kraj>Vogel</Kraj></P>"
                                   "<P><Temperatura>42</Temperatura></P>"
                                   "</OpazovalnePostaje>"),
                              true, &table);
        QCOMPARE(RowValue(table, "Celje", "TEMPERATURA"), QVariant(3.0));
        QVERIFY(!RowValue(table, "Vogel", "TEMPERATURA").isValid());
        QCOMPARE(table.RowCount(), 20);
    }

    void windows1250FeedWithStrayUtf8()
    {
        TWeatherTable& table = *data->tbl_opazovalne;
        const QByteArray feed = ReadDataFile("feed_windows1250.xml");
        data->LoadFeedSection(stationsPath, "Kraj", feed, true, &table);
        // "Kočevje" in stray UTF-8 finds the catalogue's row.
        QCOMPARE(table.RowCount(), 20);
        QCOMPARE(RowValue(table, "Kočevje", "SIFRA"), QVariant(10));
        QCOMPARE(RowValue(table, "Kočevje", "VREME").toString(),
                 QStringLiteral("Snežne plohe\r<5 cm"));
        QCOMPARE(RowValue(table, "Kočevje", "TEMPERATURA"), QVariant(-1.5));
        QCOMPARE(RowValue(table, "Črnomelj", "VREME").toString(), QStringLiteral("rahlo deževno"));

        data->LoadFeedSection("Napovedi/BioNapoved/N", "Naziv", feed, false, nullptr);
        QCOMPARE(Lines(*data->MainTextPane),
                 QStringList({"", "Biovremenska napoved", "",
                              "Vremenski vpliv bo ugoden za večino ljudi.", ""}));
    }

    void textModeLayout()
    {
        data->LoadFeedSection(forecastPath, "Naziv", ReadDataFile("feed_forecast.xml"), false,
                              nullptr);
        const QTextDocument& pane = *data->MainTextPane;
        // One-character and empty texts are left out; "<br>" breaks the line
        // inside its paragraph.
        QCOMPARE(Lines(pane),
                 QStringList({"", "Napoved za Slovenijo", "",
                              QStringLiteral("Danes bo pretežno jasno.") + QChar::LineSeparator +
                                  QStringLiteral("Popoldne bo zapihal jugozahodnik."),
                              "", "Obeti", "", "Jutri bo oblačno, temperature > 10 °C.", ""}));

        const QTextCharFormat heading = LineFormat(pane, 1);
        QCOMPARE(heading.fontWeight(), int(QFont::Bold));
        QCOMPARE(heading.foreground().color(), QColor(234, 171, 55));
        QCOMPARE(heading.fontPointSize(), 10.0);
        const QTextCharFormat paragraph = LineFormat(pane, 3);
        QCOMPARE(paragraph.fontWeight(), int(QFont::Normal));
        QCOMPARE(paragraph.foreground().color(), QColor(52, 65, 86));
        QCOMPARE(paragraph.fontPointSize(), 8.0);
        QVERIFY(Lines(*data->CoastTextPane).join(QString()).isEmpty());
    }

    void textSizeFollowsTheParameter()
    {
        parametri->Set(QStringLiteral("PISAVA_VELIKOST"), QStringLiteral("10"));
        data->LoadFeedSection(forecastPath, "Naziv", ReadDataFile("feed_forecast.xml"), false,
                              nullptr);
        QCOMPARE(LineFormat(*data->MainTextPane, 1).fontPointSize(), 12.0);
        QCOMPARE(LineFormat(*data->MainTextPane, 3).fontPointSize(), 10.0);
    }

    void coastViewWritesTheCoastPane()
    {
        data->MainTextPane->setPlainText(QStringLiteral("Splošna napoved"));
        pas_lib::CurrentViewKind = TViewKind::Coast;
        data->LoadFeedSection("Napovedi/Primorje/OceanBoja/N", "Naziv",
                              ReadDataFile("feed_coast.xml"), false, nullptr);
        QCOMPARE(Lines(*data->CoastTextPane),
                 QStringList({"", "Oceanografska boja Piran", "", "Temperatura morja 11 °C.", ""}));
        QCOMPARE(data->MainTextPane->toPlainText(), QStringLiteral("Splošna napoved"));
    }

    void sunTimes_data()
    {
        QTest::addColumn<QByteArray>("sunText");
        QTest::addColumn<double>("sunrise");
        QTest::addColumn<double>("sunset");
        const double margin = 1.0 / 42.0;
        QTest::newRow("hours and minutes") << QByteArray("Sonce vzide ob 5.12 in zaide ob 20.54")
                                           << DayTime(5, 12) - margin << DayTime(20, 54) + margin;
        QTest::newRow("full stop after the sunset")
            << QByteArray("Sonce vzide ob 5.12 in zaide ob 20.54.") << DayTime(5, 12) - margin
            << DayTime(20, 54) + margin;
        QTest::newRow("whole hours") << QByteArray("Sonce vzide ob 5 in zaide ob 21")
                                     << DayTime(5, 0) - margin << DayTime(21, 0) + margin;
        QTest::newRow("with seconds") << QByteArray("Sonce vzide ob 6.01.30 in zaide ob 18.2.5")
                                      << DayTime(6, 1, 30) - margin << DayTime(18, 2, 5) + margin;
        QTest::newRow("no digits")
            << QByteArray("Sonce vzide ob zori in zaide ob mraku") << 0.25 << 0.84;
        QTest::newRow("sunrise only")
            << QByteArray("Sonce vzide ob 6.05") << DayTime(6, 5) - margin << 0.84;
        QTest::newRow("not times of day")
            << QByteArray("Sonce vzide ob 25.10 in zaide ob 20.61") << 0.25 << 0.84;
    }
    void sunTimes()
    {
        QFETCH(QByteArray, sunText);
        QFETCH(double, sunrise);
        QFETCH(double, sunset);
        data->LoadFeedSection(aviationPath, "Naziv", AviationFeed(sunText), true, nullptr);
        QVERIFY2(qAbs(pas_lib::SunriseTime - sunrise) < 1e-9,
                 qPrintable(QString::number(pas_lib::SunriseTime, 'g', 12)));
        QVERIFY2(qAbs(pas_lib::SunsetTime - sunset) < 1e-9,
                 qPrintable(QString::number(pas_lib::SunsetTime, 'g', 12)));
    }

    void sunTimeExtractionStopsAtTheSunText()
    {
        data->ViewTitle->SetText(QStringLiteral("Letalska napoved"));
        data->LoadFeedSection(aviationPath, "Naziv", ReadDataFile("feed_forecast.xml"), true,
                              nullptr);
        // About 4:37:43 and 21:28:17.
        QCOMPARE(ToSecond(pas_lib::SunriseTime), QTime(4, 37, 43));
        QCOMPARE(ToSecond(pas_lib::SunsetTime), QTime(21, 28, 17));
        QCOMPARE(Lines(*data->MainTextPane),
                 QStringList({"", "Letalska napoved", "", "Vidnost bo dobra.", ""}));
        QCOMPARE(LineFormat(*data->MainTextPane, 1).fontWeight(), int(QFont::Normal));
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("Letalska napoved"));
    }

    void sectionWithoutSunTextKeepsTheSunTimes()
    {
        pas_lib::SunriseTime = 0.2;
        pas_lib::SunsetTime = 0.9;
        data->LoadFeedSection(forecastPath, "Naziv", ReadDataFile("feed_forecast.xml"), true,
                              nullptr);
        QCOMPARE(pas_lib::SunriseTime, 0.2);
        QCOMPARE(pas_lib::SunsetTime, 0.9);
        QCOMPARE(Lines(*data->MainTextPane).size(), 9);
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("   5.3.2024 6:00"));
    }

    void titleTimeIsReplacedNotAccumulated()
    {
        TViewTitle& title = *data->ViewTitle;
        QSignalSpy changes(&title, &TViewTitle::textChanged);
        title.SetText(QStringLiteral("Splošna napoved (Vir:ARSO)"));
        const QByteArray feed = ReadDataFile("feed_forecast.xml");
        data->LoadFeedSection(forecastPath, "Naziv", feed, false, nullptr);
        QCOMPARE(title.Text(), QStringLiteral("Splošna napoved (Vir:ARSO)   5.3.2024 6:00"));
        data->LoadFeedSection(forecastPath, "Naziv", feed, false, nullptr);
        QCOMPARE(title.Text(), QStringLiteral("Splošna napoved (Vir:ARSO)   5.3.2024 6:00"));
        // A table section sets the time of its own section.
        data->LoadFeedSection(stationsPath, "Kraj", ReadDataFile("feed_stations_second.xml"), true,
                              data->tbl_opazovalne);
        QCOMPARE(title.Text(), QStringLiteral("Splošna napoved (Vir:ARSO)   5.3.2024 15:00"));
        QCOMPARE(changes.count(), 3);
        QCOMPARE(changes.last().first().toString(), title.Text());
    }

    void pathMatchingNothing()
    {
        data->LoadFeedSection(coastPath, "Kaj", ReadDataFile("feed_coast.xml"), false,
                              data->tbl_primorje);
        data->LoadFeedSection(forecastPath, "Naziv", ReadDataFile("feed_forecast.xml"), false,
                              nullptr);
        data->ViewTitle->SetText(QStringLiteral("Obala"));
        const QByteArray feed =
            Feed("<Napovedi><Primorje><Kdaj>6.3.2024 7:00</Kdaj></Primorje></Napovedi>");

        data->LoadFeedSection(coastPath, "Kaj", feed, false, data->tbl_primorje);
        QCOMPARE(data->tbl_primorje->RowCount(), 0);
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("Obala   6.3.2024 7:00"));

        data->LoadFeedSection(forecastPath, "Naziv", feed, false, nullptr);
        QCOMPARE(Lines(*data->MainTextPane), QStringList({""}));
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("Obala   6.3.2024 7:00"));

        // In update mode the rows stay.
        data->LoadFeedSection(stationsPath, "Kraj", feed, true, data->tbl_opazovalne);
        QCOMPARE(data->tbl_opazovalne->RowCount(), 20);
    }

    void unreadableFeedChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<QString>("path");
        const QByteArray good = ReadDataFile("feed_coast.xml");
        QTest::newRow("empty") << QByteArray() << coastPath;
        QTest::newRow("truncated") << good.left(good.size() / 2) << coastPath;
        QTest::newRow("not XML") << QByteArray("HTTP/1.1 502 Bad Gateway") << coastPath;
        QTest::newRow("unknown encoding")
            << QByteArray(good).replace("UTF-8", "x-unknown-1") << coastPath;
        QByteArray deep = "<PODATKI><Napovedi><Primorje>";
        for (int level = 0; level < 100000; ++level)
            deep += "<N>";
        QTest::newRow("nested without end") << deep << coastPath;
        QTest::newRow("path with an empty step") << good << "Napovedi//N";
        QTest::newRow("empty path") << good << QString();
    }
    void unreadableFeedChangesNothing()
    {
        QFETCH(QByteArray, feed);
        QFETCH(QString, path);
        const QByteArray good = ReadDataFile("feed_coast.xml");
        data->LoadFeedSection(coastPath, "Kaj", good, false, data->tbl_primorje);
        data->LoadFeedSection(forecastPath, "Naziv", ReadDataFile("feed_forecast.xml"), false,
                              nullptr);
        data->ViewTitle->SetText(QStringLiteral("Obala   5.3.2024 7:00"));
        const QString text = data->MainTextPane->toPlainText();
        QSignalSpy changes(data->tbl_primorje, &TWeatherTable::contentChanged);

        data->LoadFeedSection(path, "Kaj", feed, false, data->tbl_primorje);
        data->LoadFeedSection(path, "Naziv", feed, false, nullptr);
        data->LoadFeedSection(path, "Naziv", feed, true, nullptr);

        QCOMPARE(data->tbl_primorje->RowCount(), 3);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(data->MainTextPane->toPlainText(), text);
        QCOMPARE(data->ViewTitle->Text(), QStringLiteral("Obala   5.3.2024 7:00"));
    }

    void deeplyNestedDocumentIsRefused()
    {
        // Deep enough to overflow the stack if the document model were built.
        QByteArray deep;
        for (int level = 0; level < 200000; ++level)
            deep += "<a>";
        for (int level = 0; level < 200000; ++level)
            deep += "</a>";
        data->LoadFeedSection("a/a", "a", deep, false, data->tbl_primorje);
        QCOMPARE(data->tbl_primorje->RowCount(), 0);
    }
};

QTEST_MAIN(TestWeatherFeedSection)
#include "tst_weatherfeedsection.moc"
