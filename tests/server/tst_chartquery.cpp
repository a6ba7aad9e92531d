#include "ChartQuery.h"

#include <QtTest>

using chartd::ParseChartQuery;
using chartd::TGraphKind;

class TstChartQuery : public QObject
{
    Q_OBJECT

private slots:
    void Parses_data();
    void Parses();
    void Refuses_data();
    void Refuses();
};

void TstChartQuery::Parses_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("code");
    QTest::addColumn<int>("graph");
    QTest::addColumn<qint64>("fromDay");
    QTest::addColumn<qint64>("toDay");

    QTest::newRow("day graph, decimal point")
        << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=46001.767523217589769&TIP_GRAFA=1") << 1
        << qint64(14) << 1 << qint64(46001) << qint64(0);
    QTest::newRow("range, decimal comma")
        << QByteArray("&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=46082,767523217589769"
                      "&DO_DAT=46114,767523217589769")
        << 2 << qint64(3) << 0 << qint64(46082) << qint64(46114);
    QTest::newRow("any order, empty segments, no fraction")
        << QByteArray("&&TIP_GRAFA=4&&OD_DAT=46000&POSTAJA_IME=7&POSTAJA_TIP=3&") << 3 << qint64(7)
        << 4 << qint64(46000) << qint64(0);
    QTest::newRow("percent escapes, leading zeros")
        << QByteArray("POSTAJA_TIP=%32&POSTAJA_IME=0%30%39&OD_DAT=46000%2C5&TIP_GRAFA=2") << 2
        << qint64(9) << 2 << qint64(46000) << qint64(0);
    QTest::newRow("first day") << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=1&OD_DAT=1.25&TIP_GRAFA=2")
                               << 1 << qint64(1) << 2 << qint64(1) << qint64(0);
    QTest::newRow("last day") << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=1&OD_DAT=2958433.5"
                                            "&DO_DAT=2958465.99")
                              << 1 << qint64(1) << 0 << qint64(2958433) << qint64(2958465);
    // 1 March to 1 April: the program sends 2 April.
    QTest::newRow("31 days") << QByteArray(
                                    "&POSTAJA_TIP=1&POSTAJA_IME=1&OD_DAT=46082.7&DO_DAT=46114.7")
                             << 1 << qint64(1) << 0 << qint64(46082) << qint64(46114);
    QTest::newRow("one day") << QByteArray(
                                    "&POSTAJA_TIP=1&POSTAJA_IME=1&OD_DAT=46082.9&DO_DAT=46083.1")
                             << 1 << qint64(1) << 0 << qint64(46082) << qint64(46083);
}

void TstChartQuery::Parses()
{
    QFETCH(QByteArray, query);
    const chartd::TParsedQuery parsed = ParseChartQuery(query.toStdString());
    QCOMPARE(QString::fromStdString(parsed.refusal), QString());
    QTEST(parsed.request.stationKind, "kind");
    QTEST(qint64(parsed.request.stationCode), "code");
    QTEST(int(parsed.request.graph), "graph");
    QTEST(qint64(parsed.request.fromDay), "fromDay");
    QTEST(qint64(parsed.request.toDay), "toDay");
}

void TstChartQuery::Refuses_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("reason");

    const QByteArray station = "&POSTAJA_TIP=1&POSTAJA_IME=14";
    const QByteArray day = "&OD_DAT=46001.5&TIP_GRAFA=1";
    QTest::newRow("empty") << QByteArray() << "missing POSTAJA_TIP";
    QTest::newRow("SQL in a value")
        << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=1;DROP TABLE readings") + day
        << "POSTAJA_IME is not a plain decimal number";
    QTest::newRow("SQL, escaped") << QByteArray(
                                         "&POSTAJA_TIP=1&POSTAJA_IME=1%3BDROP%20TABLE%20readings") +
                                         day
                                  << "POSTAJA_IME is not a plain decimal number";
    QTest::newRow("SQL with quotes") << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=1' OR '1'='1") + day
                                     << "POSTAJA_IME is not a plain decimal number";
    QTest::newRow("10000 characters")
        << station + "&OD_DAT=" + QByteArray(10000, '4') + "&TIP_GRAFA=1"
        << "query too long";
    QTest::newRow("long value") << station + "&OD_DAT=" + QByteArray(100, '4') + "&TIP_GRAFA=1"
                                << "OD_DAT too long";
    QTest::newRow("NUL") << QByteArray("&POSTAJA_TIP=1%00&POSTAJA_IME=14") + day
                         << "POSTAJA_TIP is not a plain decimal number";
    QTest::newRow("broken escape") << station + "&OD_DAT=46001%2&TIP_GRAFA=1"
                                   << "OD_DAT has a broken percent escape";
    QTest::newRow("escape not hex") << station + "&OD_DAT=%zz46001&TIP_GRAFA=1"
                                    << "OD_DAT has a broken percent escape";
    QTest::newRow("repeated key") << station + "&POSTAJA_IME=15" + day << "POSTAJA_IME given twice";
    QTest::newRow("unknown key") << station + day + "&FOO=1"
                                 << "unknown parameter";
    QTest::newRow("key in lower case")
        << QByteArray("&postaja_tip=1&POSTAJA_IME=14") + day << "unknown parameter";
    QTest::newRow("escaped key") << QByteArray("&POSTAJA%5FTIP=1&POSTAJA_IME=14") + day
                                 << "unknown parameter";
    QTest::newRow("no value") << station + day + "&DO_DAT"
                              << "parameter without a value";
    QTest::newRow("missing station") << QByteArray("&POSTAJA_TIP=1") + day << "missing POSTAJA_IME";
    QTest::newRow("missing date") << station + "&TIP_GRAFA=1"
                                  << "missing OD_DAT";
    QTest::newRow("neither form") << station + "&OD_DAT=46001"
                                  << "missing TIP_GRAFA or DO_DAT";
    QTest::newRow("both forms") << station + day + "&DO_DAT=46002"
                                << "TIP_GRAFA and DO_DAT exclude each other";
    QTest::newRow("empty value") << QByteArray("&POSTAJA_TIP=&POSTAJA_IME=14") + day
                                 << "POSTAJA_TIP is not a plain decimal number";
    QTest::newRow("kind 0") << QByteArray("&POSTAJA_TIP=0&POSTAJA_IME=14") + day
                            << "POSTAJA_TIP out of range";
    QTest::newRow("kind 4") << QByteArray("&POSTAJA_TIP=4&POSTAJA_IME=14") + day
                            << "POSTAJA_TIP out of range";
    QTest::newRow("negative kind") << QByteArray("&POSTAJA_TIP=-1&POSTAJA_IME=14") + day
                                   << "POSTAJA_TIP is not a plain decimal number";
    QTest::newRow("no station chosen")
        << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=0") + day << "unknown station";
    QTest::newRow("huge station code")
        << QByteArray("&POSTAJA_TIP=1&POSTAJA_IME=99999999999999999999") + day
        << "POSTAJA_IME out of range";
    QTest::newRow("graph kind 5") << station + "&OD_DAT=46001&TIP_GRAFA=5"
                                  << "TIP_GRAFA out of range";
    QTest::newRow("graph kind 1.0") << station + "&OD_DAT=46001&TIP_GRAFA=1.0"
                                    << "TIP_GRAFA is not a plain decimal number";
    QTest::newRow("day 0") << station + "&OD_DAT=0.99&TIP_GRAFA=1"
                           << "OD_DAT out of range";
    QTest::newRow("after 9999") << station + "&OD_DAT=2958466&TIP_GRAFA=1"
                                << "OD_DAT out of range";
    QTest::newRow("exponent") << station + "&OD_DAT=4.6E4&TIP_GRAFA=1"
                              << "OD_DAT is not a plain decimal number";
    QTest::newRow("sign") << station + "&OD_DAT=%2B46001&TIP_GRAFA=1"
                          << "OD_DAT is not a plain decimal number";
    QTest::newRow("space") << station + "&OD_DAT=%2046001&TIP_GRAFA=1"
                           << "OD_DAT is not a plain decimal number";
    QTest::newRow("two separators") << station + "&OD_DAT=46001,5.5&TIP_GRAFA=1"
                                    << "OD_DAT is not a plain decimal number";
    QTest::newRow("no fraction digits") << station + "&OD_DAT=46001.&TIP_GRAFA=1"
                                        << "OD_DAT is not a plain decimal number";
    QTest::newRow("no whole digits") << station + "&OD_DAT=.5&TIP_GRAFA=1"
                                     << "OD_DAT is not a plain decimal number";
    QTest::newRow("range backwards") << station + "&OD_DAT=46083.5&DO_DAT=46082.5"
                                     << "DO_DAT must be a later day than OD_DAT";
    QTest::newRow("range within a day") << station + "&OD_DAT=46083.2&DO_DAT=46083.9"
                                        << "DO_DAT must be a later day than OD_DAT";
    // 1 March to 2 April: the program sends 3 April.
    QTest::newRow("32 days") << station + "&OD_DAT=46082.7&DO_DAT=46115.7"
                             << "range longer than 31 days";
}

void TstChartQuery::Refuses()
{
    QFETCH(QByteArray, query);
    QFETCH(QString, reason);
    QCOMPARE(QString::fromStdString(ParseChartQuery(query.toStdString()).refusal), reason);
}

QTEST_GUILESS_MAIN(TstChartQuery)
#include "tst_chartquery.moc"
