#include "ChartDatabase.h"
#include "ChartFixture.h"
#include "ChartQuery.h"
#include "ChartReply.h"

#include <QTemporaryDir>
#include <QtTest>

class TstChartDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void Answers_data();
    void Answers();
    void KnowsStations();
    void FailsWithoutDatabase();

private:
    QTemporaryDir FDir;
    QString FPath;
};

void TstChartDatabase::initTestCase()
{
    FPath = FDir.filePath(QStringLiteral("chart.sqlite"));
    QVERIFY(WriteChartFixture(FPath));
}

void TstChartDatabase::Answers_data()
{
    QTest::addColumn<QString>("query");
    // The reply's lines after the header line.
    QTest::addColumn<QStringList>("rows");

    const QString ljubljana = QStringLiteral("&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=");
    // Missing hours are absent; halves round away from zero.
    QTest::newRow("day") << ljubljana + ChartDay("2026-03-02") + "&TIP_GRAFA=1"
                         << QStringList{
                                "\"02/03/2026 00:00:00\",-1,0", "\"02/03/2026 01:00:00\",-3,1",
                                "\"02/03/2026 02:00:00\",0,2",  "\"02/03/2026 03:00:00\",3,3",
                                "\"02/03/2026 04:00:00\",-2,4", "\"02/03/2026 06:00:00\",0,6",
                                "\"02/03/2026 23:00:00\",1,23"};
    // Day means: (-1.2 + 0.2) / 2 is -0.5 only up to binary rounding.
    QTest::newRow("week across two months")
        << ljubljana + ChartDay("2026-04-01", QLatin1Char(',')) + "&TIP_GRAFA=2"
        << QStringList{"\"30/03/2026 00:00:00\",-1,0", "\"01/04/2026 00:00:00\",1,0",
                       "\"05/04/2026 00:00:00\",11,0"};
    QTest::newRow("week from its Monday")
        << ljubljana + ChartDay("2026-03-02") + "&TIP_GRAFA=2"
        << QStringList{"\"02/03/2026 00:00:00\",0,0", "\"03/03/2026 00:00:00\",7,0"};
    QTest::newRow("month") << ljubljana + ChartDay("2026-03-15") + "&TIP_GRAFA=3"
                           << QStringList{
                                  "\"01/03/2026 00:00:00\",4,0", "\"02/03/2026 00:00:00\",0,0",
                                  "\"03/03/2026 00:00:00\",7,0", "\"30/03/2026 00:00:00\",-1,0"};
    // March: 8.9 over 11 readings; April: 33.0 over 4.
    QTest::newRow("year") << ljubljana + ChartDay("2026-07-01") + "&TIP_GRAFA=4"
                          << QStringList{"\"01/03/2026 00:00:00\",1,0",
                                         "\"01/04/2026 00:00:00\",8,0"};
    QTest::newRow("range") << ljubljana + ChartDay("2026-03-30") +
                                  "&DO_DAT=" + ChartDay("2026-04-02")
                           << QStringList{
                                  "\"30/03/2026 10:00:00\",-1,10", "\"30/03/2026 14:00:00\",0,14",
                                  "\"01/04/2026 08:00:00\",1,8", "\"01/04/2026 09:00:00\",1,9"};
    QTest::newRow("range ends before its last day")
        << ljubljana + ChartDay("2026-04-05") + "&DO_DAT=" + ChartDay("2026-04-06")
        << QStringList{"\"05/04/2026 23:00:00\",11,23"};
    QTest::newRow("no readings that day")
        << ljubljana + ChartDay("2026-03-04") + "&TIP_GRAFA=1" << QStringList();
    QTest::newRow("station without readings")
        << "&POSTAJA_TIP=3&POSTAJA_IME=5&OD_DAT=" + ChartDay("2026-03-02") + "&TIP_GRAFA=4"
        << QStringList();
    // A value that is no number is an empty field; a broken time key no row.
    QTest::newRow("unknown value")
        << "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=" + ChartDay("2026-03-02") + "&TIP_GRAFA=1"
        << QStringList{"\"02/03/2026 05:00:00\",,5", "\"02/03/2026 08:00:00\",3,8"};
    QTest::newRow("unknown value left out of a mean")
        << "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=" + ChartDay("2026-03-02") + "&TIP_GRAFA=3"
        << QStringList{"\"02/03/2026 00:00:00\",3,0"};
    // The week around the last day a request may name ends after it.
    QTest::newRow("last week there is") << "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=2958465&TIP_GRAFA=2"
                                        << QStringList{"\"31/12/9999 00:00:00\",1,0"};
}

void TstChartDatabase::Answers()
{
    QFETCH(QString, query);
    QFETCH(QStringList, rows);
    const chartd::TParsedQuery parsed = chartd::ParseChartQuery(query.toStdString());
    QCOMPARE(QString::fromStdString(parsed.refusal), QString());
    chartd::TChartDatabase database(FPath.toStdString());
    const auto answer = database.Rows(parsed.request);
    QVERIFY2(answer, database.Error().c_str());

    const QString expected = QStringLiteral("@@TABLEDEF START@@\r\nKDAJ,DATETIME\r\n"
                                            "TEMPERATURA,INTEGER\r\nURA,INTEGER\r\n"
                                            "@@TABLEDEF END@@\r\nKDAJ,TEMPERATURA,URA\r\n") +
                             (rows.isEmpty() ? QString() : rows.join("\r\n") + "\r\n");
    QCOMPARE(QString::fromStdString(chartd::ChartReplyBody(*answer)), expected);
}

void TstChartDatabase::KnowsStations()
{
    chartd::TChartDatabase database(FPath.toStdString());
    QCOMPARE(database.HasStation(1, 14), std::optional<bool>(true));
    QCOMPARE(database.HasStation(3, 5), std::optional<bool>(true));
    // Codes are per kind.
    QCOMPARE(database.HasStation(2, 14), std::optional<bool>(false));
    QCOMPARE(database.HasStation(1, 15), std::optional<bool>(false));
}

void TstChartDatabase::FailsWithoutDatabase()
{
    chartd::TChartDatabase missing(FDir.filePath(QStringLiteral("none.sqlite")).toStdString());
    QVERIFY(!missing.HasStation(1, 14));
    QVERIFY(!missing.Error().empty());
    // Opened read-only, so a missing database is not created either.
    QVERIFY(!QFile::exists(FDir.filePath(QStringLiteral("none.sqlite"))));

    const QString text = FDir.filePath(QStringLiteral("text.sqlite"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    chartd::TChartDatabase garbage(text.toStdString());
    QVERIFY(!garbage.HasStation(1, 14));
    QVERIFY(!garbage.Error().empty());
}

QTEST_GUILESS_MAIN(TstChartDatabase)
#include "tst_chartdatabase.moc"
