#include "RecordingPresenter.h"
#include "TestHome.h"
#include "weather/RunTableQuery.h"
#include "weather/StationCatalogue.h"
#include "weather/TWeatherData.h"

#include <QtTest>

namespace {

// Three places with temperatures and one without, as the station view shows them.
const QByteArray statisticsFeed = R"(<?xml version="1.0" encoding="UTF-8"?>
<PODATKI><OpazovalnePostaje><Kdaj>5.3.2024 14:00</Kdaj>
<P><Kraj>Celje</Kraj><Temperatura>3.5</Temperatura><ZadnjaSprememba>5.3.2024 13:30</ZadnjaSprememba></P>
<P><Kraj>Koper</Kraj><Temperatura>11</Temperatura><ZadnjaSprememba>5.3.2024 13:30</ZadnjaSprememba></P>
<P><Kraj>Rateče</Kraj><Temperatura>-2.25</Temperatura><ZadnjaSprememba>5.3.2024 13:30</ZadnjaSprememba></P>
<P><Kraj>Vogel</Kraj><Vreme>ni podatka</Vreme></P>
</OpazovalnePostaje></PODATKI>)";

} // namespace

class TestWeatherQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TWeatherData> data;

private slots:
    void init()
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Postaje.xml"), "<POSTAJE/>");
        data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
    }
    void cleanup()
    {
        data.reset();
        home.reset();
    }

    void statisticsOfTheStationView()
    {
        TRecordingPresenter presenter;
        data->LoadFeedSection("OpazovalnePostaje/P", "Kraj", statisticsFeed, true,
                              data->tbl_opazovalne);
        const QList<TWeatherTable*> tables{data->tbl_opazovalne};
        const QStringList aliases{QStringLiteral("XXX")};

        const TQueryResult minimum = RunTableQuery(
            "select KRAJ, min(TEMPERATURA) as MINT  from XXX  where (TEMPERATURA is not NULL) "
            "group by KRAJ  order by MINT asc",
            tables, aliases);
        QVERIFY(minimum.IsOpen());
        QCOMPARE(minimum.RowCount(), 3);
        QCOMPARE(minimum.Value(0, "KRAJ").toString(), QStringLiteral("Rateče"));
        QCOMPARE(minimum.Value(0, "mint").toDouble(), -2.25);

        const TQueryResult maximum = RunTableQuery(
            "select KRAJ, max(TEMPERATURA) as MAXT from XXX  where (TEMPERATURA is not NULL) "
            "group by KRAJ  order by MAXT desc",
            tables, aliases);
        QCOMPARE(maximum.Value(0, "KRAJ").toString(), QStringLiteral("Koper"));
        QCOMPARE(maximum.Value(0, "MAXT").toDouble(), 11.0);

        const TQueryResult average =
            RunTableQuery("select min(TEMPERATURA) as MIT, max(TEMPERATURA) as MAT, "
                          "avg(TEMPERATURA) as AVT from XXX where (TEMPERATURA is not NULL)",
                          tables, aliases);
        QCOMPARE(average.RowCount(), 1);
        QCOMPARE(average.Value(0, "MIT").toDouble(), -2.25);
        QCOMPARE(average.Value(0, "MAT").toDouble(), 11.0);
        QVERIFY(qAbs(average.Value(0, "AVT").toDouble() - 12.25 / 3.0) < 1e-12);
        QVERIFY(presenter.Messages.isEmpty());
    }

    void statisticsOfATableWithoutTemperatures()
    {
        TRecordingPresenter presenter;
        const TQueryResult minimum =
            RunTableQuery("select KRAJ, min(TEMPERATURA) as MINT from XXX where (TEMPERATURA "
                          "is not NULL) group by KRAJ order by MINT asc",
                          {data->tbl_eu}, {QStringLiteral("XXX")});
        QVERIFY(minimum.IsOpen());
        QVERIFY(minimum.IsEmpty());
        QVERIFY(!minimum.Value(0, "KRAJ").isValid());
        QVERIFY(presenter.Messages.isEmpty());
    }

    void placeNamesAreBoundValues_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QVariant>("code");
        QTest::newRow("double quote in the name") << "Kraj \"Pri Lipi\"" << QVariant(7);
        QTest::newRow("quote that tries to widen the query") << "x\" or \"1\"=\"1" << QVariant();
        QTest::newRow("apostrophe") << "Sv. Ana v Slov. gor'" << QVariant(8);
        QTest::newRow("letter case ignored") << "KRAJ \"PRI LIPI\"" << QVariant(7);
    }
    void placeNamesAreBoundValues()
    {
        QFETCH(QString, place);
        QFETCH(QVariant, code);
        TRecordingPresenter presenter;
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Kraj \"Pri Lipi\""), 7);
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Sv. Ana v Slov. gor'"), 8);
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Celje"), 1);

        const TQueryResult result =
            RunTableQuery("select SIFRA from OPAZOVALNE where KRAJ=?", {data->tbl_opazovalne},
                          {QStringLiteral("OPAZOVALNE")}, {place});
        QVERIFY(result.IsOpen());
        QCOMPARE(result.RowCount(), code.isValid() ? 1 : 0);
        QCOMPARE(result.Value(0, "SIFRA"), code);
        QVERIFY(presenter.Messages.isEmpty());
    }

    void tablesKnownByTheirOwnNamesWithoutAliases()
    {
        pas_lib::AddStation(*data->tbl_avtomatske, QStringLiteral("Bovec"), 1);
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Bovec"), 4);
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Celje"), 1);
        const TQueryResult result =
            RunTableQuery("select o.SIFRA as OPA, a.SIFRA as AVT from tbl_opazovalne o "
                          "join tbl_avtomatske a on a.KRAJ = o.KRAJ",
                          {data->tbl_opazovalne, data->tbl_avtomatske}, {});
        QVERIFY(result.IsOpen());
        QCOMPARE(result.RowCount(), 1);
        QCOMPARE(result.Value(0, "OPA"), QVariant(4));
        QCOMPARE(result.Value(0, "AVT"), QVariant(1));
    }

    void aliasesLastOnlyForTheirQuery()
    {
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Celje"), 1);
        pas_lib::AddStation(*data->tbl_avtomatske, QStringLiteral("Bovec"), 2);
        pas_lib::AddStation(*data->tbl_avtomatske, QStringLiteral("Koper"), 5);
        const QString sql = QStringLiteral("select count(*) as N from XXX");
        QCOMPARE(RunTableQuery(sql, {data->tbl_opazovalne}, {"XXX"}).Value(0, "N"), QVariant(1));
        QCOMPARE(RunTableQuery(sql, {data->tbl_avtomatske}, {"XXX"}).Value(0, "N"), QVariant(2));
    }

    void aliasCountMismatch()
    {
        TRecordingPresenter presenter;
        const TQueryResult result = RunTableQuery("select KRAJ from A", {data->tbl_opazovalne},
                                                  {QStringLiteral("A"), QStringLiteral("B")});
        QVERIFY(!result.IsOpen());
        QVERIFY(result.IsEmpty());
        QCOMPARE(presenter.Messages,
                 QStringList{QStringLiteral("Neujemanje števila dataset-ov in aliasov")});
    }

    void failingQuery_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown column") << "select NAPAKA from XXX"
                                        << "no such column: NAPAKA";
        QTest::newRow("syntax") << "select from where"
                                << "syntax error";
        QTest::newRow("two statements") << "select KRAJ from XXX; delete from XXX"
                                        << "multiple statements";
    }
    void failingQuery()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        TRecordingPresenter presenter;
        pas_lib::AddStation(*data->tbl_opazovalne, QStringLiteral("Celje"), 1);
        const TQueryResult result = RunTableQuery(sql, {data->tbl_opazovalne}, {"XXX"});
        QVERIFY(!result.IsOpen());
        QVERIFY(result.IsEmpty());
        QCOMPARE(presenter.Messages.size(), 1);
        QVERIFY2(presenter.Messages.first().startsWith(sql + QStringLiteral(": ")),
                 qPrintable(presenter.Messages.first()));
        QVERIFY2(presenter.Messages.first().contains(error),
                 qPrintable(presenter.Messages.first()));
        QCOMPARE(data->tbl_opazovalne->RowCount(), 1);
    }
};

QTEST_MAIN(TestWeatherQuery)
#include "tst_weatherquery.moc"
