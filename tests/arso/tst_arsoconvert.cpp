#include "arso/Converter.h"
#include "arso/FeedWriter.h"
#include "arso/Observations.h"
#include "common/XmlDocument.h"

#include <QFile>
#include <QtTest>
#include <map>

namespace {

QByteArray Recorded(const QString& path)
{
    QFile file(QStringLiteral(NIMBULON_TEST_DATA "/../../samples/arso/") + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString automaticFile = QStringLiteral("arosman77-arso-weather/observationAms_si_latest.xml");

// The elements of the record of a section whose key element has the text key.
std::map<QString, QString> Record(const pas_lib::TXmlDocument& feed, const QString& records,
                                  const QString& key)
{
    std::map<QString, QString> values;
    for (const pas_lib::TXmlElement& record : feed.Select(records)) {
        if (record.FirstChild().Text() != key)
            continue;
        for (auto value = record.FirstChild(); !value.IsNull(); value = value.NextSibling())
            values[value.Name().toString()] = value.Text();
        break;
    }
    return values;
}

// The automatic-station file with one record changed by edit.
QByteArray WithStation(const QByteArray& file, const QByteArray& station)
{
    QByteArray changed = file;
    changed.insert(changed.lastIndexOf("</data>"), station);
    return changed;
}

QByteArray Station(const QByteArray& id, const QByteArray& name, const QByteArray& t = "5")
{
    return "<metData><domain_meteosiId>" + id + "</domain_meteosiId><domain_longTitle>" + name +
           "</domain_longTitle><valid>07.03.2024 15:30 CET</valid><t>" + t + "</t></metData>";
}

QStringList CatalogueNames(const QByteArray& catalogue, const QString& section)
{
    QStringList names;
    const pas_lib::TXmlDocument document(catalogue);
    for (const auto& name : document.Select(section + "/P/NAZIV"))
        names.append(name.Text());
    return names;
}

} // namespace

// ARSO's recorded files through the converter, read back as the program reads
// its feeds.
class TestArsoConvert : public QObject
{
    Q_OBJECT

    arso::TConversion ConvertAutomatic(const QByteArray& file)
    {
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.automaticStations = file;
        return arso::Convert(files, codes);
    }

private slots:
    void automaticStations_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("value");
        QTest::newRow("temperature") << "Ljubljana"
                                     << "TEMPERATURA"
                                     << "9.5";
        QTest::newRow("humidity") << "Ljubljana"
                                  << "VLAZNOST"
                                  << "60";
        QTest::newRow("wind direction, Slovenian letters") << "Ljubljana"
                                                           << "VETERSMER"
                                                           << "JV";
        QTest::newRow("wind") << "Ljubljana"
                              << "VETERHITROST"
                              << "1.65";
        QTest::newRow("gusts") << "Ljubljana"
                               << "VETERSUNKI"
                               << "3.16";
        QTest::newRow("pressure") << "Ljubljana"
                                  << "ZRACNITLAK"
                                  << "1017.4";
        QTest::newRow("time, local") << "Ljubljana"
                                     << "ZADNJASPREMEMBA"
                                     << "7.3.2024 15:20:00";
        QTest::newRow("felt temperature without wind") << "Babno Polje"
                                                       << "OBCUTEKT"
                                                       << "6.0";
        QTest::newRow("light wind chill") << "Ljubljana"
                                          << "OBCUTEKT"
                                          << "8.9";
        QTest::newRow("wind chill") << "Kredarica"
                                    << "OBCUTEKT"
                                    << "-10.7";
        QTest::newRow("below zero") << "Kredarica"
                                    << "TEMPERATURA"
                                    << "-6.5";
        QTest::newRow("no wind: empty, not 0") << "Babno Polje"
                                               << "VETERHITROST"
                                               << "";
        QTest::newRow("no pressure: empty") << "Babno Polje"
                                            << "ZRACNITLAK"
                                            << "";
        QTest::newRow("no direction: empty") << "Babno Polje"
                                             << "VETERSMER"
                                             << "";
        QTest::newRow("an earlier report") << "Koper Kapitanija"
                                           << "ZADNJASPREMEMBA"
                                           << "7.3.2024 15:00:00";
        QTest::newRow("Slovenian letters in the key") << "Letališče Jožeta Pučnika Ljubljana"
                                                      << "TEMPERATURA"
                                                      << "9.5";
    }
    void automaticStations()
    {
        QFETCH(QString, station);
        QFETCH(QString, element);
        QFETCH(QString, value);
        const arso::TConversion conversion = ConvertAutomatic(Recorded(automaticFile));
        QCOMPARE(conversion.converted, QStringList{"observationAms_si_latest.xml"});
        QVERIFY(
            conversion.mainFeed.startsWith("<?xml version=\"1.0\" encoding=\"windows-1250\"?>"));
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        QVERIFY(feed.IsValid());
        QCOMPARE(feed.Select(QStringLiteral("AvtomatskePostaje/P")).size(), 104);
        QCOMPARE(feed.Value(QStringLiteral("AvtomatskePostaje/Kdaj")),
                 QStringLiteral("7.3.2024 15:20"));
        const auto record = Record(feed, QStringLiteral("AvtomatskePostaje/P"), station);
        QVERIFY2(record.count(element), qPrintable(station + ' ' + element));
        QCOMPARE(record.at(element), value);
    }

    // Snow depth, the sun times and the catalogue come from the same file.
    void snowSunAndCatalogue()
    {
        const arso::TConversion conversion = ConvertAutomatic(Recorded(automaticFile));
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        QCOMPARE(feed.Select(QStringLiteral("VisinaSnezneOdeje/P")).size(), 9);
        QCOMPARE(Record(feed, QStringLiteral("VisinaSnezneOdeje/P"), QStringLiteral("Kanin"))
                     .at(QStringLiteral("VISINA")),
                 QStringLiteral("323"));
        QCOMPARE(feed.Value(QStringLiteral("Napovedi/NapovedZaLetalstvo/N/Besedilo")),
                 QStringLiteral("Sonce vzide ob 6.29 in zaide ob 17.57"));
        const pas_lib::TXmlDocument catalogue(conversion.catalogue);
        const auto codes = catalogue.Select(QStringLiteral("AVTOMATSKE/P/SIFRA"));
        QCOMPARE(codes.size(), 104);
        QCOMPARE(codes.first().Text(), QStringLiteral("1"));
        QCOMPARE(codes.last().Text(), QStringLiteral("104"));
        QCOMPARE(CatalogueNames(conversion.catalogue, QStringLiteral("AVTOMATSKE")).first(),
                 QStringLiteral("Babno Polje"));
    }

    // A code stays with its station from run to run, and a gone station's code
    // is never given to another.
    void stableCodes()
    {
        const QByteArray recorded = Recorded(automaticFile);
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.automaticStations = recorded;
        arso::Convert(files, codes);
        const QByteArray saved = codes.Save();

        arso::TStationCodes again;
        again.Load(saved);
        QByteArray changed = recorded;
        const qsizetype first = changed.indexOf("<metData>");
        changed.remove(first, changed.indexOf("</metData>") + 10 - first); // Babno Polje goes
        files.automaticStations = WithStation(changed, Station("NOVA_", "Nova postaja"));
        const arso::TConversion second = arso::Convert(files, again);
        const pas_lib::TXmlDocument catalogue(second.catalogue);
        QStringList pairs;
        for (const auto& station : catalogue.Select(QStringLiteral("AVTOMATSKE/P")))
            pairs.append(station.FirstChild(QStringLiteral("NAZIV")).Text() + '=' +
                         station.FirstChild(QStringLiteral("SIFRA")).Text());
        QCOMPARE(pairs.size(), 104);
        QCOMPARE(pairs.first(), QStringLiteral("Bilje Nova Gorica=2"));
        QVERIFY(pairs.contains(
            QStringLiteral("Ljubljana=%1")
                .arg(arso::TStationCodes(codes).Code(QStringLiteral("LJUBL-ANA_BEZIGRAD_")))));
        QCOMPARE(pairs.last(), QStringLiteral("Nova postaja=105"));
        QVERIFY(again.Changed());

        // The station that went comes back with its own code.
        arso::TStationCodes third;
        third.Load(again.Save());
        QCOMPARE(third.Code(QStringLiteral("BABNO-POL_")), 1);
        QCOMPARE(third.Code(QStringLiteral("NOVA_")), 105);
        QCOMPARE(third.Code(QStringLiteral("ZADNJA_")), 106);
        QCOMPARE(third.Code(QStringLiteral("A\tB")), 0);
    }

    void mappingFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<int>("code");
        QTest::newRow("known") << QByteArray("A_\t7\nB_\t3\n") << "B_" << 3;
        QTest::newRow("new after the highest") << QByteArray("A_\t7\nB_\t3\n") << "C_" << 8;
        QTest::newRow("broken lines left out")
            << QByteArray("A_\tx\nB_\t-2\n\t4\nC_ 9\nD_\t5\t6\n") << "E_" << 1;
        QTest::newRow("empty") << QByteArray() << "A_" << 1;
        QTest::newRow("the highest code") << QByteArray("A_\t2147483647\n") << "B_" << 0;
    }
    void mappingFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, identifier);
        QFETCH(int, code);
        arso::TStationCodes codes;
        codes.Load(file);
        QCOMPARE(codes.Code(identifier), code);
    }

    // What the feeds cannot carry never makes them unreadable.
    void writerKeepsTheFeedReadable()
    {
        arso::TFeedWriter writer;
        writer.AddSection(QStringLiteral("VremeEU"), QStringLiteral("1.1.2024 0:00"),
                          QStringLiteral("P"),
                          {{{QStringLiteral("Kraj"), QStringLiteral("Mü\x01n<c>h&en \u2603")},
                            {QStringLiteral("VREME"), QString()}}});
        const QByteArray document = writer.Document();
        const pas_lib::TXmlDocument feed(document);
        QVERIFY(feed.IsValid());
        QCOMPARE(feed.Value(QStringLiteral("VremeEU/P/Kraj")), QStringLiteral("Mün<c>h&en \u2603"));
        QVERIFY(document.contains("&#9731;"));
        QCOMPARE(feed.Select(QStringLiteral("VremeEU/P/VREME")).size(), 1);
    }

    void forecasts()
    {
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.nationalForecast =
            Recorded(QStringLiteral("papnkukn-arso-podatki/fcast_SLOVENIA_latest.xml"));
        files.regionalForecast =
            Recorded(QStringLiteral("arosman77-arso-weather/forecast_si_latest.xml"));
        const arso::TConversion conversion = arso::Convert(files, codes);
        QCOMPARE(conversion.failed, QStringList());
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        const auto parts = feed.Select(QStringLiteral("Napovedi/VremenskaNapoved/N"));
        QCOMPARE(parts.size(), 1 + 5 + 1); // the country, five days by region, the credit
        QCOMPARE(parts.first().FirstChild(QStringLiteral("Naziv")).Text(),
                 QStringLiteral("Napoved za Slovenijo"));
        QCOMPARE(parts.first().FirstChild(QStringLiteral("Besedilo")).Text(),
                 QStringLiteral("Četrtek, 27.7.: delno oblacno, dež; od 14 do 26 °C."));
        QCOMPARE(parts.at(1).FirstChild(QStringLiteral("Naziv")).Text(),
                 QStringLiteral("Po pokrajinah: Četrtek, 7.3."));
        QCOMPARE(parts.at(1).FirstChild(QStringLiteral("Besedilo")).Text(),
                 QStringLiteral("Bela krajina: oblačno; od 2 do 11 °C; veter SV 3.1 m/s."));
        QCOMPARE(parts.last().FirstChild(QStringLiteral("Naziv")).Text(),
                 QStringLiteral("Vir: ARSO"));
        QCOMPARE(feed.Value(QStringLiteral("Spremembe/Napoved")),
                 QStringLiteral("7.3.2024 1:00:00"));

        // The recording that was written double-encoded reads as the sound one.
        files.nationalForecast.clear();
        const QByteArray sound = arso::Convert(files, codes).mainFeed;
        files.regionalForecast = Recorded(
            QStringLiteral("arosman77-arso-weather/forecast_si_latest.as-recorded-mojibake.xml"));
        QCOMPARE(arso::Convert(files, codes).mainFeed, sound);
    }

    // The main stations and the European capitals come in the automatic
    // stations' layout, with the weather words of the observers.
    void mainStationsAndEuropeanCities()
    {
        const QByteArray mainStations =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><data><metData>"
            "<domain_meteosiId>LJUBL-ANA_BEZIGRAD_</domain_meteosiId>"
            "<domain_longTitle>Ljubljana Bežigrad</domain_longTitle>"
            "<valid>11.12.2026 14:00 CET</valid><t>3</t><rh>93</rh>"
            "<dd_shortText>SZ</dd_shortText><ff_val>2</ff_val><msl>1021</msl>"
            "<nn_shortText>oblačno</nn_shortText><wwsyn_shortText>rosenje</wwsyn_shortText>"
            "<pa_shortText>narašča</pa_shortText><snow>4</snow></metData>"
            "<metData><domain_meteosiId>KREDA-ICA_</domain_meteosiId>"
            "<domain_longTitle>Kredarica</domain_longTitle>"
            "<valid>11.12.2026 14:00 CET</valid><t>-9</t><nn_shortText></nn_shortText>"
            "<wwsyn_shortText></wwsyn_shortText><snow>180</snow></metData></data>";
        const QByteArray capitals =
            "<data><metData><domain_meteosiId>AT_WIEN_</domain_meteosiId>"
            "<domain_longTitle>Dunaj</domain_longTitle><valid>11.12.2026 13:00 CET</valid>"
            "<t>1</t><nn_shortText>jasno</nn_shortText></metData></data>";
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.mainStations = mainStations;
        files.europeanCities = capitals;
        files.automaticStations = Recorded(automaticFile);
        const arso::TConversion conversion = arso::Convert(files, codes);
        QCOMPARE(conversion.failed, QStringList());
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        const auto bezigrad = Record(feed, QStringLiteral("OpazovalnePostaje/P"),
                                     QStringLiteral("Ljubljana Bežigrad"));
        QCOMPARE(bezigrad.at(QStringLiteral("TEMPERATURA")), QStringLiteral("3"));
        QCOMPARE(bezigrad.at(QStringLiteral("VREME")), QStringLiteral("oblačno, rosenje"));
        QCOMPARE(bezigrad.at(QStringLiteral("ZRACNITLAKSTANJE")), QStringLiteral("narašča"));
        QCOMPARE(bezigrad.at(QStringLiteral("VETERSMER")), QStringLiteral("SZ"));
        QCOMPARE(bezigrad.at(QStringLiteral("ZADNJASPREMEMBA")),
                 QStringLiteral("11.12.2026 14:00:00"));
        // Without the observers' words the weather is empty, not a separator.
        QCOMPARE(Record(feed, QStringLiteral("OpazovalnePostaje/P"), QStringLiteral("Kredarica"))
                     .at(QStringLiteral("VREME")),
                 QString());
        // Snow from the main stations first, then the automatic ones.
        const auto snow = feed.Select(QStringLiteral("VisinaSnezneOdeje/P/Kraj"));
        QVERIFY(snow.size() > 2);
        QCOMPARE(snow.at(0).Text(), QStringLiteral("Ljubljana Bežigrad"));
        QCOMPARE(snow.at(1).Text(), QStringLiteral("Kredarica"));

        const pas_lib::TXmlDocument second(conversion.secondFeed);
        const auto vienna = Record(second, QStringLiteral("VremeEU/P"), QStringLiteral("Dunaj"));
        QCOMPARE(vienna.at(QStringLiteral("TEMPERATURA")), QStringLiteral("1"));
        QCOMPARE(vienna.at(QStringLiteral("VREME")), QStringLiteral("jasno"));

        // A code belongs to ARSO's station: the main station that is also an
        // automatic one has the same code in both lists, and no other code
        // is given twice.
        QCOMPARE(CatalogueNames(conversion.catalogue, QStringLiteral("OPAZOVALNE")),
                 (QStringList{"Ljubljana Bežigrad", "Kredarica"}));
        const pas_lib::TXmlDocument catalogue(conversion.catalogue);
        QMap<QString, QString> automaticCodes;
        for (const auto& station : catalogue.Select(QStringLiteral("AVTOMATSKE/P")))
            automaticCodes.insert(station.FirstChild(QStringLiteral("SIFRA")).Text(),
                                  station.FirstChild(QStringLiteral("NAZIV")).Text());
        QCOMPARE(automaticCodes.size(), 104);
        const auto mainCodes = catalogue.Select(QStringLiteral("OPAZOVALNE/P/SIFRA"));
        QCOMPARE(automaticCodes.value(mainCodes.at(0).Text()), QStringLiteral("Ljubljana"));
        QCOMPARE(automaticCodes.value(mainCodes.at(1).Text()), QStringLiteral("Kredarica"));
    }

    // The written forecast leads the forecast view with ARSO's own sections;
    // a document without sections is no forecast and keeps the last good one.
    void textForecast_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QString>("issued");
        const QByteArray article =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<article>"
            "<articleinfo><pubdate>sreda, 11.12.2026 ob 14:00</pubdate></articleinfo>"
            "<section id=\"warning_SLOVENIA\"><title>OPOZORILO</title>"
            "<para>Dodatnega opozorila ni.</para></section>"
            "<section id=\"fcast_SLOVENIA_d1\"><title>NAPOVED ZA SLOVENIJO</title>"
            "<para>Danes bo  oblačno.\n Na Primorskem bo burja.</para>"
            "<para>Najvišje dnevne temperature bodo od 2 do 7 °C.</para></section>"
            "<section id=\"fcast_SLOVENIA_d3-d5\"><title>OBETI</title><para> </para></section>"
            "<section id=\"fcast_EUROPE_d1\"><title>VREMENSKA SLIKA</title>"
            "<section id=\"nested\"><title>Č</title><para>Ciklon.</para></section>"
            "<para>Nad Evropo je območje visokega zračnega tlaka.</para></section>"
            "</article>";
        const QStringList sections{"OPOZORILO", "NAPOVED ZA SLOVENIJO", "VREMENSKA SLIKA", "Č",
                                   "Vir: ARSO"};
        const auto published = [&](const QByteArray& date) {
            return QByteArray(article).replace("sreda, 11.12.2026 ob 14:00", date);
        };
        QTest::newRow("sections in order") << article << sections << "11.12.2026 14:00:00";
        QTest::newRow("date without a time")
            << published("11. 12. 2026") << sections << "11.12.2026 0:00:00";
        QTest::newRow("impossible date") << published("31.2.2026") << sections << "";
        QTest::newRow("HTML error page")
            << QByteArray("<html><body><h1>404 Not Found</h1></body></html>") << QStringList()
            << "";
        QTest::newRow("no sections")
            << QByteArray("<article><articleinfo><pubdate>11.12.2026</pubdate></articleinfo>"
                          "</article>")
            << QStringList() << "";
        QTest::newRow("cut mid-way") << article.left(article.size() / 2) << QStringList() << "";
    }

    void textForecast()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, headings);
        QFETCH(QString, issued);
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.textForecast = file;
        const arso::TConversion conversion = arso::Convert(files, codes);
        QCOMPARE(conversion.converted.isEmpty(), headings.isEmpty());
        QCOMPARE(conversion.failed.isEmpty(), !headings.isEmpty());
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        QVERIFY(feed.IsValid());
        QStringList found;
        for (const auto& part : feed.Select(QStringLiteral("Napovedi/VremenskaNapoved/N")))
            found.append(part.FirstChild(QStringLiteral("Naziv")).Text());
        QCOMPARE(found, headings);
        QCOMPARE(feed.Value(QStringLiteral("Spremembe/Napoved")), issued);
        if (headings.isEmpty())
            return;
        const auto parts = feed.Select(QStringLiteral("Napovedi/VremenskaNapoved/N"));
        QStringList paragraphs;
        for (auto text = parts.at(1).FirstChild(QStringLiteral("Besedilo")); !text.IsNull();
             text = text.NextSibling(QStringLiteral("Besedilo")))
            paragraphs.append(text.Text());
        QCOMPARE(paragraphs, (QStringList{"Danes bo oblačno. Na Primorskem bo burja.",
                                          "Najvišje dnevne temperature bodo od 2 do 7 °C."}));
    }

    // With the figures of the national forecast, the written one comes first
    // and the newer issue time holds.
    void textForecastBeforeTheFigures()
    {
        arso::TStationCodes codes;
        arso::TArsoFiles files;
        files.textForecast = "<article><articleinfo><pubdate>1.1.2020 7:00</pubdate>"
                             "</articleinfo><section><title>OBETI</title><para>Sneg.</para>"
                             "</section></article>";
        files.nationalForecast =
            Recorded(QStringLiteral("papnkukn-arso-podatki/fcast_SLOVENIA_latest.xml"));
        const pas_lib::TXmlDocument feed(arso::Convert(files, codes).mainFeed);
        const auto parts = feed.Select(QStringLiteral("Napovedi/VremenskaNapoved/N"));
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts.at(0).FirstChild(QStringLiteral("Naziv")).Text(), QStringLiteral("OBETI"));
        QCOMPARE(parts.at(1).FirstChild(QStringLiteral("Naziv")).Text(),
                 QStringLiteral("Napoved za Slovenijo"));
        QCOMPARE(parts.at(2).FirstChild(QStringLiteral("Naziv")).Text(),
                 QStringLiteral("Vir: ARSO"));
        // The national forecast was issued on 27.7.2017.
        QCOMPARE(feed.Value(QStringLiteral("Spremembe/Napoved")),
                 QStringLiteral("1.1.2020 7:00:00"));
    }

    // Bad files give a defined result: the file fails and its sections stay
    // out, or the bad field is empty.
    void badInput_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("temperature");
        const QByteArray recorded = Recorded(automaticFile);
        QTest::newRow("cut mid-way") << recorded.left(recorded.size() / 2) << false << ""
                                     << "";
        QTest::newRow("HTML error page")
            << QByteArray("<!DOCTYPE html><html><body><h1>503</h1></body></html>") << false << ""
            << "";
        QTest::newRow("another root")
            << QByteArray("<arsopodatki verzija=\"1.3\"></arsopodatki>") << false << ""
            << "";
        QTest::newRow("50 MB of elements")
            << WithStation(recorded, QByteArray("<metData/>").repeated(5 * 1024 * 1024)) << false
            << ""
            << "";
        QTest::newRow("unknown element")
            << WithStation(recorded, "<metData><domain_meteosiId>X_</domain_meteosiId><novo>1</"
                                     "novo><domain_longTitle>Nova</domain_longTitle><t>4</t></"
                                     "metData>")
            << true << "Nova"
            << "4";
        QTest::newRow("abc") << WithStation(recorded, Station("X_", "Nova", "abc")) << true
                             << "Nova"
                             << "";
        QTest::newRow("no coordinates")
            << WithStation(recorded, Station("X_", "Nova", "-1.5")) << true << "Nova"
            << "-1.5";
        QTest::newRow("duplicate identifier: the first stays")
            << WithStation(recorded, Station("LJUBL-ANA_BEZIGRAD_", "Ljubljana 2", "30")) << true
            << "Ljubljana"
            << "9.5";
        QTest::newRow("duplicate name: the first stays")
            << WithStation(recorded, Station("X_", "LJUBLJANA", "30")) << true << "Ljubljana"
            << "9.5";
        QTest::newRow("not a number that parses as one")
            << WithStation(recorded, Station("X_", "Nova", "nan")) << true << "Nova"
            << "";
        // XML 1.0 has no place for them: the file is not XML.
        QTest::newRow("control characters")
            << WithStation(recorded, Station("X_", "No\x01va", "2")) << false << ""
            << "";
    }
    void badInput()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, converts);
        QFETCH(QString, station);
        QFETCH(QString, temperature);
        const arso::TConversion conversion = ConvertAutomatic(file);
        QCOMPARE(conversion.failed.isEmpty(), converts);
        const pas_lib::TXmlDocument feed(conversion.mainFeed);
        QVERIFY(feed.IsValid());
        QCOMPARE(feed.Select(QStringLiteral("AvtomatskePostaje/P")).isEmpty(), !converts);
        if (!converts)
            return;
        QCOMPARE(feed.Select(QStringLiteral("AvtomatskePostaje/P")).size(),
                 station == u"Nova" ? 105 : 104);
        const auto record = Record(feed, QStringLiteral("AvtomatskePostaje/P"), station);
        QCOMPARE(record.at(QStringLiteral("TEMPERATURA")), temperature);
    }
};

QTEST_GUILESS_MAIN(TestArsoConvert)
#include "tst_arsoconvert.moc"
