// The temperature graph's core: the requests as the chart server reads them,
// the reply reader and the bars a graph kind draws from the graph table.

#include "weather/GraphReply.h"
#include "weather/TWeatherTable.h"
#include "weather/TemperatureGraph.h"

#include <QtTest>

namespace {

const QDateTime March1{QDate(2026, 3, 1), GraphPickerTime};

QString Row(const TWeatherTable& table, const TWeatherRow& row)
{
    const QVariant at = table.Value(row, QStringLiteral("KDAJ"));
    const QVariant temperature = table.Value(row, QStringLiteral("TEMPERATURA"));
    const QVariant hour = table.Value(row, QStringLiteral("URA"));
    return (at.isValid() ? at.toDateTime().toString(QStringLiteral("d.M.yyyy H:mm")) : QString()) +
           QLatin1Char('|') + (temperature.isValid() ? temperature.toString() : QString()) +
           QLatin1Char('|') + (hour.isValid() ? hour.toString() : QString());
}

QStringList Rows(const TWeatherTable& table)
{
    QStringList rows;
    for (const TWeatherRow& row : table.Rows())
        rows.append(Row(table, row));
    return rows;
}

QByteArray Definition()
{
    return "@@TABLEDEF START@@\r\nKDAJ,DATETIME\r\nTEMPERATURA,INTEGER\r\nURA,INTEGER\r\n"
           "@@TABLEDEF END@@\r\n";
}

} // namespace

class TestTemperatureGraph : public QObject
{
    Q_OBJECT

private slots:
    void queries_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected");
        const QLocale c = QLocale::c();
        const QLocale slovenian(QLocale::Slovenian, QLocale::Slovenia);
        QTest::newRow("day") << GraphQuery(1, 14, March1, 1, c)
                             << "&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=46082.7675115741&TIP_GRAFA=1";
        QTest::newRow("week") << GraphQuery(2, 3, March1, 2, c)
                              << "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=46082.7675115741&TIP_GRAFA=2";
        QTest::newRow("month, comma decimals")
            << GraphQuery(3, 1, March1, 3, slovenian)
            << "&POSTAJA_TIP=3&POSTAJA_IME=1&OD_DAT=46082,7675115741&TIP_GRAFA=3";
        QTest::newRow("year, no station")
            << GraphQuery(1, 0, March1, 4, c)
            << "&POSTAJA_TIP=1&POSTAJA_IME=0&OD_DAT=46082.7675115741&TIP_GRAFA=4";
        QTest::newRow("midnight") << GraphQuery(1, 14, QDateTime(QDate(2026, 3, 1), QTime(0, 0)), 1,
                                                c)
                                  << "&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=46082&TIP_GRAFA=1";
        QTest::newRow("date not positive")
            << GraphQuery(1, 14, QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 1, c)
            << "&POSTAJA_TIP=1&POSTAJA_IME=14&TIP_GRAFA=1";
        QTest::newRow("range: to-date plus a day")
            << RangeQuery(2, 3, March1, QDateTime(QDate(2026, 4, 1), GraphPickerTime), c)
            << "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=46082.7675115741&DO_DAT=46114.7675115741";
        QTest::newRow("range, comma decimals")
            << RangeQuery(1, 7, March1, March1, slovenian)
            << "&POSTAJA_TIP=1&POSTAJA_IME=7&OD_DAT=46082,7675115741&DO_DAT=46083,7675115741";
        QTest::newRow("address") << GraphAddress(QStringLiteral("http://grafi.example/"),
                                                 QStringLiteral("&POSTAJA_TIP=1"))
                                 << "http://grafi.example/cgi-bin/sendgraf.exe/Load?&POSTAJA_TIP=1";
    }
    void queries()
    {
        QFETCH(QString, query);
        QFETCH(QString, expected);
        QCOMPARE(query, expected);
    }

    void rangeLimit_data()
    {
        QTest::addColumn<QDate>("to");
        QTest::addColumn<bool>("tooLong");
        QTest::newRow("1 March to 1 April (31 days)") << QDate(2026, 4, 1) << false;
        QTest::newRow("1 March to 2 April (32 days)") << QDate(2026, 4, 2) << true;
        QTest::newRow("one day") << QDate(2026, 3, 1) << false;
    }
    void rangeLimit()
    {
        QFETCH(QDate, to);
        QFETCH(bool, tooLong);
        QCOMPARE(RangeTooLong(March1, QDateTime(to, GraphPickerTime)), tooLong);
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<QStringList>("rows"); // the table afterwards
        QTest::addColumn<bool>("complete");
        const QString earlier = QStringLiteral("1.1.2026 0:00|1|0");
        QTest::newRow("definition: only the reply's rows")
            << Definition() + "KDAJ,TEMPERATURA,URA\r\n\"01/03/2026 00:00:00\",3,0\r\n"
                              "\"01/03/2026 01:00:00\",-1,1\r\n"
            << 100 << QStringList{"1.3.2026 0:00|3|0", "1.3.2026 1:00|-1|1"} << true;
        QTest::newRow("no definition: added")
            << QByteArray("KDAJ,TEMPERATURA,URA\n\"1/3/2026 5:00\",2,5\n") << 100
            << QStringList{earlier, "1.3.2026 5:00|2|5"} << true;
        QTest::newRow("quotes, unknown and reordered columns")
            << QByteArray("URA,\"KDAJ\",X,temperatura\n2,\"1/3/2026 2:00\",\",\"\"q\"\"\",4.6\n")
            << 100 << QStringList{earlier, "1.3.2026 2:00|5|2"} << true;
        QTest::newRow("empty unquoted value is empty")
            << QByteArray("KDAJ,TEMPERATURA,URA\n\"1/3/2026 5:00\",,5\n") << 100
            << QStringList{earlier, "1.3.2026 5:00||5"} << true;
        QTest::newRow("empty reply") << QByteArray() << 100 << QStringList{earlier} << true;
        QTest::newRow("HTML error page")
            << QByteArray("<html><body>500 Internal Server Error</body></html>\n") << 100
            << QStringList{earlier} << false;
        QTest::newRow("cut mid-line")
            << QByteArray("KDAJ,TEMPERATURA\n\"1/3/2026 1:00\",3\n\"1/3/20") << 100
            << QStringList{earlier, "1.3.2026 1:00|3|"} << false;
        QTest::newRow("a bad date ends it")
            << QByteArray("KDAJ,TEMPERATURA\n\"1/3/2026 1:00\",3\n\"2026-03-01\",4\n\"1/3/2026 "
                          "3:00\",5\n")
            << 100 << QStringList{earlier, "1.3.2026 1:00|3|"} << false;
        QTest::newRow("a definition without its end")
            << QByteArray("@@TABLEDEF START@@\nKDAJ,DATETIME\nKDAJ,TEMPERATURA\n") << 100
            << QStringList{earlier} << false;
        QByteArray wide;
        for (int column = 0; column < 10000; ++column)
            wide += "C" + QByteArray::number(column) + ",";
        QTest::newRow("10,000 columns")
            << wide + "KDAJ,TEMPERATURA\n" + QByteArray(10000, ',') + "\"1/3/2026 7:00\",8\n"
            << 100 << QStringList{earlier, "1.3.2026 7:00|8|"} << true;
        QTest::newRow("a 2 MiB line") << QByteArray("KDAJ,TEMPERATURA\n\"1/3/2026 1:00\",3\n") +
                                             QByteArray(2 << 20, 'x') + "\n\"1/3/2026 2:00\",4\n"
                                      << 100 << QStringList{earlier, "1.3.2026 1:00|3|"} << false;
        QByteArray many = "KDAJ,TEMPERATURA\n";
        for (int hour = 0; hour < 5; ++hour)
            many += "\"1/3/2026 " + QByteArray::number(hour) + ":00\"," + QByteArray::number(hour) +
                    "\n";
        QTest::newRow("more rows than the bound")
            << many << 3
            << QStringList{earlier, "1.3.2026 0:00|0|", "1.3.2026 1:00|1|", "1.3.2026 2:00|2|"}
            << false;
    }
    void replies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, maxRows);
        QFETCH(QStringList, rows);
        QFETCH(bool, complete);
        TGraphTable graph;
        TWeatherTable& table = graph.Table();
        TWeatherRow row = table.NewRow();
        table.SetValue(row, 0, 1);
        table.SetValue(row, 1, 0);
        table.SetValue(row, 2, QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
        table.Post(row);
        const TGraphReplyResult result =
            ReadGraphReply(reply, table, TGraphReplyLimits{.maxRows = maxRows});
        QCOMPARE(Rows(table), rows);
        QCOMPARE(result.complete, complete);
        QCOMPARE(result.rowsAdded,
                 reply.contains("@@TABLEDEF END@@") ? rows.size() : rows.size() - 1);
    }

    // Bars come from the rows the last reply added, placed by the kind's part
    // of their time: a week across two months shares one axis of days.
    void bars()
    {
        TGraphTable graph;
        graph.LoadReply("KDAJ,TEMPERATURA\n\"1/1/2026 12:00\",9\n");
        QCOMPARE(graph.Bars(1).size(), 1);
        QByteArray week = "KDAJ,TEMPERATURA\n";
        for (const QDate day = QDate(2026, 1, 29); const int offset : {0, 1, 2, 3, 4, 5, 6})
            week += day.addDays(offset)
                        .toString(QStringLiteral("\"dd/MM/yyyy 00:00:00\","))
                        .toLatin1() +
                    QByteArray::number(offset - 2) + "\n";
        graph.LoadReply(week);
        QList<int> days;
        QList<int> temperatures;
        for (const TGraphPoint& bar : graph.Bars(2)) {
            days.append(bar.x);
            temperatures.append(bar.temperature);
        }
        QCOMPARE(days, (QList<int>{29, 30, 31, 1, 2, 3, 4}));
        QCOMPARE(temperatures, (QList<int>{-2, -1, 0, 1, 2, 3, 4}));
        QCOMPARE(graph.Bars(4).first().x, 1);
        QCOMPARE(graph.Bars(4).last().x, 2);
        QCOMPARE(graph.Bars(1).first().x, 0);
        QVERIFY(graph.Bars(5).isEmpty());
        // Every row of the table, by time, for the line chart.
        QCOMPARE(graph.Readings().size(), 8);
        QCOMPARE(graph.Readings().first().temperature, 9);
        // At the end of the table no row is current; a reply without rows
        // leaves it there.
        graph.MoveToEnd();
        QVERIFY(graph.Bars(2).isEmpty());
        graph.LoadReply("KDAJ,TEMPERATURA\n");
        QVERIFY(graph.Bars(2).isEmpty());
    }

    void kinds()
    {
        QCOMPARE(QString::fromUtf8(GraphKindInfo(1)->title), QStringLiteral("Dnevni graf"));
        QCOMPARE(QString::fromUtf8(GraphKindInfo(3)->title), QStringLiteral("Mesečni graf"));
        QCOMPARE(QString::fromUtf8(GraphKindInfo(4)->axisTitle), QStringLiteral("Mesec"));
        QVERIFY(!GraphKindInfo(0));
    }
};

QTEST_GUILESS_MAIN(TestTemperatureGraph)
#include "tst_temperaturegraph.moc"
