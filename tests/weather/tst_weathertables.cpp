#include "TestHome.h"
#include "common/DataPaths.h"
#include "weather/CurrentConditions.h"
#include "weather/StationCatalogue.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTableModel.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString DataFile(const QString& name)
{
    return QStringLiteral(NIMBULON_TEST_DATA "/data/") + name;
}

QByteArray ReadDataFile(const QString& name)
{
    QFile file(DataFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TypeName(TFieldType type)
{
    switch (type) {
    case TFieldType::String:
        return QStringLiteral("string");
    case TFieldType::Integer:
        return QStringLiteral("integer");
    case TFieldType::Float:
        return QStringLiteral("float");
    case TFieldType::DateTime:
        return QStringLiteral("datetime");
    }
    return QString();
}

// "name type size 'caption' width" plus " hidden" for a hidden column.
QStringList DescribeFields(const TWeatherTable& table)
{
    QStringList described;
    for (const TFieldDef& field : table.Fields())
        described.append(QStringLiteral("%1 %2 %3 '%4' %5%6")
                             .arg(field.Name, TypeName(field.Type))
                             .arg(field.Size)
                             .arg(field.DisplayLabel())
                             .arg(field.EffectiveDisplayWidth())
                             .arg(field.Visible ? QString() : QStringLiteral(" hidden")));
    return described;
}

// "place=code" of every row, in the table's order.
QStringList Stations(const TWeatherTable& table)
{
    QStringList stations;
    for (const TWeatherRow& row : table.Rows())
        stations.append(table.Value(row, QStringLiteral("KRAJ")).toString() + QLatin1Char('=') +
                        table.Value(row, QStringLiteral("SIFRA")).toString());
    return stations;
}

QStringList Entries(const TNameValueList& list)
{
    QStringList entries;
    for (const auto& [name, value] : list.Entries())
        entries.append(name + QLatin1Char('=') + value);
    return entries;
}

QStringList StationColumns(const QStringList& hidden)
{
    const QStringList columns{
        QStringLiteral("KRAJ string 30 'Kraj' 20"),
        QStringLiteral("SIFRA integer 0 'SIFRA' 10"),
        QStringLiteral("VREME string 30 'Vreme' 20"),
        QStringLiteral("TEMPERATURA float 0 'T[°C]' 5"),
        QStringLiteral("VLAZNOST integer 0 'Vlažnost [%]' 10"),
        QStringLiteral("OBCUTEKT float 0 'Idx[°C]' 8"),
        QStringLiteral("VETERSMER string 5 'Smer v' 7"),
        QStringLiteral("VETERHITROST float 0 'HV[m/s]' 7"),
        QStringLiteral("VETERSUNKI float 0 'SV[m/s]' 7"),
        QStringLiteral("ZRACNITLAK float 0 'ZT[hPa]' 8"),
        QStringLiteral("ZRACNITLAKSTANJE string 15 'ZT-stanje' 10"),
        QStringLiteral("ZADNJASPREMEMBA datetime 0 'Sprememba' 19"),
    };
    QStringList described;
    for (const QString& column : columns) {
        const QString name = column.section(QLatin1Char(' '), 0, 0);
        const bool isHidden = name == QLatin1String("SIFRA") || hidden.contains(name);
        described.append(isHidden ? column + QStringLiteral(" hidden") : column);
    }
    return described;
}

} // namespace

class TestWeatherTables : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;

    // Weather data created with the given catalogue file, or none.
    std::unique_ptr<TWeatherData> CreateData(const QString& catalogue = QString())
    {
        if (!catalogue.isEmpty())
            home->WriteFile(QStringLiteral("Postaje.xml"), ReadDataFile(catalogue));
        return CreateDataNow();
    }

    std::unique_ptr<TWeatherData> CreateDataWithCatalogue(const QByteArray& catalogue)
    {
        home->WriteFile(QStringLiteral("Postaje.xml"), catalogue);
        return CreateDataNow();
    }

    static std::unique_ptr<TWeatherData> CreateDataNow()
    {
        auto data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
        return data;
    }

    static TWeatherTable* TableNamed(TWeatherData& data, const QString& name)
    {
        for (TWeatherTable* table :
             {data.tbl_opazovalne, data.tbl_avtomatske, data.tblAmaterske, data.tbl_eu,
              data.tbl_snezna_odeja, data.tbl_primorje, data.tblVodostaji})
            if (table->Name() == name)
                return table;
        return nullptr;
    }

private slots:
    void init()
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Config.ini"), DeploymentUrlSection);
    }
    void cleanup() { home.reset(); }

    void tableColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("observation") << "tbl_opazovalne" << StationColumns({});
        QTest::newRow("automatic")
            << "tbl_avtomatske"
            << StationColumns({"VREME", "VLAZNOST", "ZRACNITLAK", "ZRACNITLAKSTANJE"});
        QTest::newRow("amateur") << "tblAmaterske" << StationColumns({"VREME", "ZRACNITLAKSTANJE"});
        QTest::newRow("europe") << "tbl_eu" << StationColumns({});
        QTest::newRow("snow") << "tbl_snezna_odeja"
                              << QStringList{"KRAJ string 30 'Postaja' 30",
                                             "VISINA integer 0 'Višina snega[cm]' 10"};
        // The coast table's first caption is one blank.
        QTest::newRow("coast") << "tbl_primorje"
                               << QStringList{"KAJ string 30 ' ' 30",
                                              "DOPOLDNE string 30 'Dopoldne' 30",
                                              "POPOLDNE string 30 'Popoldne' 30"};
        QTest::newRow("water") << "tblVodostaji"
                               << QStringList{"POSTAJA string 20 'Opazovalna postaja' 20",
                                              "VODOSTAJ integer 0 'Vodostaj[cm]' 10",
                                              "PRETOK float 0 'Pretok[m3/s]' 10",
                                              "STANJE string 10 'Stanje' 10",
                                              "TEMPERATURA float 0 'Temp[°C]' 10",
                                              "DECILPRETOKA string 13 'Decil pretoka' 13"};
    }
    void tableColumns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        const auto data = CreateData();
        TWeatherTable* found = TableNamed(*data, table);
        QVERIFY(found);
        QCOMPARE(DescribeFields(*found), columns);
    }

    void otherTablesStartEmpty()
    {
        const auto data = CreateData();
        for (TWeatherTable* table :
             {data->tbl_eu, data->tbl_snezna_odeja, data->tbl_primorje, data->tblVodostaji})
            QCOMPARE(table->RowCount(), 0);
    }

    void defaultCatalogue_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("defaults");
        QTest::addColumn<QStringList>("firstPlaces");
        QTest::addColumn<QString>("lastPlace");
        QTest::newRow("automatic")
            << pas_lib::AutomaticStations << pas_lib::DefaultAutomaticStations
            << QStringList{"Boršt/Gorenja vas", "Bovec", "Celje", "Dobliče Črnomelj"} << "Velenje";
        QTest::newRow("observation")
            << pas_lib::ObservationStations << pas_lib::DefaultObservationStations
            << QStringList{"Celje", "Črnomelj", "Katarina nad Lj.", "Kočevje"} << "Vojsko";
        QTest::newRow("amateur") << pas_lib::AmateurStations << pas_lib::DefaultAmateurStations
                                 << QStringList{"Bohinjska Češnjica", "Črni Vrh", "Dravograd"}
                                 << "Žirje";
    }
    void defaultCatalogue()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, defaults);
        QFETCH(QStringList, firstPlaces);
        QFETCH(QString, lastPlace);
        const auto data = CreateData();
        const TWeatherTable& table = *data->StationTable(kind);

        QCOMPARE(table.RowCount(), defaults.size());
        for (qsizetype index = 0; index < defaults.size(); ++index) {
            const auto row = table.FindRow(table.FieldIndex("KRAJ"), defaults.at(index));
            QVERIFY2(row, qPrintable(defaults.at(index)));
            QCOMPARE(table.Value(*row, "SIFRA"), QVariant(int(index + 1)));
        }

        QStringList places{QStringLiteral("stale entry")};
        pas_lib::FillPlaceList(places, table);
        QCOMPARE(places.size(), defaults.size());
        QCOMPARE(places.mid(0, firstPlaces.size()), firstPlaces);
        QCOMPARE(places.last(), lastPlace);
        QVERIFY(data->StationGraphList(kind)->IsEmpty());
    }

    // Without a deployment, before the direct source has written ARSO's
    // catalogue, no default names: ARSO's stations come with the feeds.
    void noDefaultsForTheDirectSource()
    {
        home->WriteFile(QStringLiteral("Config.ini"), "[PARAMETRI]\r\n");
        const auto data = CreateData();
        for (int kind :
             {pas_lib::AutomaticStations, pas_lib::ObservationStations, pas_lib::AmateurStations})
            QCOMPARE(data->StationTable(kind)->RowCount(), 0);
    }

    void catalogueFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("automatic");
        QTest::addColumn<QStringList>("observation");
        QTest::addColumn<QStringList>("amateur");
        QTest::addColumn<QStringList>("automaticGraph");
        QTest::addColumn<QStringList>("amateurGraph");

        QTest::newRow("sections in any order")
            << "catalogue_valid.xml"
            << QStringList{"Boršt/Gorenja vas=28", "Ljubljana=11", "Park Škocj. jame=33"}
            << QStringList{"Celje=1", "Črnomelj=2", "Postojna=14"}
            << QStringList{"Krtina=1", "Žirje=5"}
            << QStringList{"Park Škocj. jame=33", "Boršt/Gorenja vas=28", "Ljubljana=11"}
            << QStringList{"Žirje=5", "Krtina=1"};
        QTest::newRow("codes that are not positive")
            << "catalogue_bad_codes.xml" << QStringList{"Bovec=7", "Celje=3"}
            << QStringList{"Vojsko=19"} << QStringList{"Dravograd=2"}
            << QStringList{"Bovec=7", "Celje=3"} << QStringList{"Dravograd=2"};
        QTest::newRow("section missing")
            << "catalogue_no_amateur.xml" << QStringList{"Bovec=1"} << QStringList{"Vogel=18"}
            << QStringList{} << QStringList{"Bovec=1"} << QStringList{};
        QTest::newRow("truncated file")
            << "catalogue_truncated.xml" << QStringList{} << QStringList{} << QStringList{}
            << QStringList{} << QStringList{};
        // An entry with a code and no name ends the loading; what came before stays.
        QTest::newRow("entry without a name")
            << "catalogue_missing_name.xml" << QStringList{"Bovec=1"} << QStringList{}
            << QStringList{} << QStringList{"Bovec=1"} << QStringList{};
        QTest::newRow("Windows-1250 with stray UTF-8")
            << "catalogue_windows1250.xml" << QStringList{} << QStringList{}
            << QStringList{"Bohinjska Češnjica=3", "Male Lašče=10"} << QStringList{}
            << QStringList{"Bohinjska Češnjica=3", "Male Lašče=10"};
    }
    void catalogueFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, automatic);
        QFETCH(QStringList, observation);
        QFETCH(QStringList, amateur);
        QFETCH(QStringList, automaticGraph);
        QFETCH(QStringList, amateurGraph);
        const auto data = CreateData(file);
        QCOMPARE(Stations(*data->tbl_avtomatske), automatic);
        QCOMPARE(Stations(*data->tbl_opazovalne), observation);
        QCOMPARE(Stations(*data->tblAmaterske), amateur);
        QCOMPARE(Entries(data->dbPostajaAvt), automaticGraph);
        QCOMPARE(Entries(data->dbPostajaAmat), amateurGraph);
        QCOMPARE(data->dbPostajaOpa.Count(), observation.size());
    }

    void emptyCatalogueFileAddsNoDefaults()
    {
        const auto data = CreateDataWithCatalogue(QByteArray());
        QCOMPARE(data->tbl_avtomatske->RowCount(), 0);
        QCOMPARE(data->tbl_opazovalne->RowCount(), 0);
        QCOMPARE(data->tblAmaterske->RowCount(), 0);
    }

    void graphListKeepsOneEntryPerName()
    {
        const auto data =
            CreateDataWithCatalogue("<X><AVTOMATSKE><P><SIFRA>4</SIFRA><NAZIV>Bovec</NAZIV></P>"
                                    "<P><SIFRA>9</SIFRA><NAZIV>Celje</NAZIV></P>"
                                    "<P><SIFRA>5</SIFRA><NAZIV>BOVEC</NAZIV></P></AVTOMATSKE></X>");
        QCOMPARE(Entries(data->dbPostajaAvt), QStringList({"Bovec=5", "Celje=9"}));
        QCOMPARE(data->tbl_avtomatske->RowCount(), 3);

        // Read again, a newer catalogue refreshes codes and adds only new places.
        home->WriteFile(QStringLiteral("Postaje.xml"),
                        "<X><AVTOMATSKE><P><SIFRA>7</SIFRA><NAZIV>Celje</NAZIV></P>"
                        "<P><SIFRA>8</SIFRA><NAZIV>Kranj</NAZIV></P></AVTOMATSKE></X>");
        pas_lib::LoadStationCatalogue(*data, pas_lib::PostajeXmlPath);
        QCOMPARE(data->tbl_avtomatske->RowCount(), 4);
        const int place = data->tbl_avtomatske->FieldIndex(QStringLiteral("KRAJ"));
        const auto celje = data->tbl_avtomatske->FindRow(place, QStringLiteral("Celje"));
        QVERIFY(celje);
        QCOMPARE(data->tbl_avtomatske->Value(*celje, QStringLiteral("SIFRA")).toInt(), 7);
    }

    void placesSortInSlovenianOrder()
    {
        const auto data = CreateDataWithCatalogue("<POSTAJE/>");
        TWeatherTable& table = *data->tbl_opazovalne;
        const QStringList added{"Žalec", "Zreče",   "Šentjur",   "Sevnica", "Tolmin",
                                "Čatež", "Celje",   "Dob",       "bled",    "Bohinj",
                                "BLED",  "Ćuprija", "Ajdovščina"};
        int code = 0;
        for (const QString& place : added)
            pas_lib::AddStation(table, place, ++code);
        QStringList places;
        pas_lib::FillPlaceList(places, table);
        // Names differing only in case sort together, in the order they were added.
        QCOMPARE(places,
                 QStringList({"Ajdovščina", "bled", "BLED", "Bohinj", "Celje", "Čatež", "Ćuprija",
                              "Dob", "Sevnica", "Šentjur", "Tolmin", "Zreče", "Žalec"}));
    }

    void placeFoundIgnoringCase_data()
    {
        QTest::addColumn<QString>("sought");
        QTest::addColumn<QString>("found");
        QTest::newRow("upper case") << "LJUBLJANA"
                                    << "Ljubljana";
        QTest::newRow("lower case") << "murska sobota"
                                    << "Murska Sobota";
        QTest::newRow("carons") << "ČRNOMELJ"
                                << "Črnomelj";
        QTest::newRow("caron is a letter of its own") << "Crnomelj" << QString();
        QTest::newRow("absent") << "Piran" << QString();
    }
    void placeFoundIgnoringCase()
    {
        QFETCH(QString, sought);
        QFETCH(QString, found);
        const auto data = CreateData();
        const TWeatherTable& table = *data->tbl_opazovalne;
        const auto row = table.FindRow(table.FieldIndex("kraj"), sought);
        QCOMPARE(bool(row), !found.isEmpty());
        if (row)
            QCOMPARE(table.Value(*row, "KRAJ").toString(), found);
    }

    void textLongerThanItsColumnIsCut()
    {
        const auto data = CreateData();
        TWeatherTable& table = *data->tbl_opazovalne;
        const QString longName = QStringLiteral("Letališče Jožeta Pučnika Ljubljana - Brnik");
        pas_lib::AddStation(table, longName, 99);
        const auto row = table.FindRow(table.FieldIndex("KRAJ"), longName);
        QVERIFY(row);
        QCOMPARE(table.Value(*row, "KRAJ").toString(), longName.left(30));
        QCOMPARE(table.RowCount(), 21);
    }

    void modelShowsTheTable()
    {
        const auto data = CreateData();
        TWeatherTableModel model(data->tbl_avtomatske);
        QCOMPARE(model.rowCount(), 33);
        QCOMPARE(model.columnCount(), 12);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kraj"));
        QCOMPARE(model.headerData(0, Qt::Horizontal, TWeatherTableModel::DisplayWidthRole),
                 QVariant(20));
        QCOMPARE(model.headerData(2, Qt::Horizontal, TWeatherTableModel::FieldNameRole),
                 QVariant(QStringLiteral("VREME")));
        QCOMPARE(model.headerData(2, Qt::Horizontal, TWeatherTableModel::FieldVisibleRole),
                 QVariant(false));
        QCOMPARE(model.headerData(3, Qt::Horizontal, TWeatherTableModel::FieldVisibleRole),
                 QVariant(true));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Boršt/Gorenja vas"));
        QCOMPARE(model.data(model.index(0, 1)), QVariant(28));

        // A batch of changes reaches the model once, at its end.
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        TWeatherTable& table = *data->tbl_avtomatske;
        table.DisableControls();
        TWeatherRow row = table.NewRow();
        table.SetValue(row, table.FieldIndex("KRAJ"), QStringLiteral("Ajdovščina"));
        table.SetValue(row, table.FieldIndex("ZADNJASPREMEMBA"),
                       QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
        table.Post(row);
        pas_lib::AddStation(table, QStringLiteral("Zagorje"), 40);
        QCOMPARE(resets.count(), 0);
        table.EnableControls();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 35);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Ajdovščina"));
        QCOMPARE(model.data(model.index(0, 11)),
                 QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30))));
        QVERIFY(model.data(model.index(0, 3)).isNull());

        table.SetOrder(QStringLiteral("SIFRA"), true);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Zagorje"));
    }

    void currentConditionsStartEmpty()
    {
        for (const CurrentConditions& record : pas_lib::currentConditions)
            for (const QString* text :
                 {&record.place, &record.weather, &record.temperature, &record.humidity,
                  &record.wind, &record.pressure, &record.lastChange, &record.feelsLike})
                QVERIFY(text->isEmpty());
    }
};

QTEST_MAIN(TestWeatherTables)
#include "tst_weathertables.moc"
