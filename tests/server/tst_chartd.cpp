#include "ChartFixture.h"
#include "DemoDeployment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TCgiOutput
{
    QByteArray head; // up to the blank line, without it
    QByteArray body;
    int exitCode = -1;
};

TCgiOutput RunChartd(const QString& method, const QString& pathInfo, const QString& query,
                     const QString& database)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("REQUEST_METHOD"), method);
    environment.insert(QStringLiteral("PATH_INFO"), pathInfo);
    environment.insert(QStringLiteral("QUERY_STRING"), query);
    environment.insert(QStringLiteral("NIMBULON_CHART_DB"), database);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NIMBULON_CHARTD), {});
    TCgiOutput output;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return output;
    const QByteArray all = process.readAllStandardOutput();
    const qsizetype blank = all.indexOf("\r\n\r\n");
    output.head = all.left(blank + 2);
    output.body = blank < 0 ? QByteArray() : all.mid(blank + 4);
    output.exitCode = process.exitCode();
    return output;
}

QByteArray FileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TstChartd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void AnswersAsCgi_data();
    void AnswersAsCgi();
    void HostileQueriesChangeNothing();
    void AnswersBehindTheDemoDeployment();

private:
    QTemporaryDir FDir;
    QString FDatabase;
};

void TstChartd::initTestCase()
{
    FDatabase = FDir.filePath(QStringLiteral("chart.sqlite"));
    QVERIFY(WriteChartFixture(FDatabase));
    QFile garbage(FDir.filePath(QStringLiteral("garbage.sqlite")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
}

void TstChartd::AnswersAsCgi_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("pathInfo");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("database"); // a file of the test's folder
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("moreHeaders");
    QTest::addColumn<QByteArray>("body"); // the body of a GET

    const QString day =
        "&POSTAJA_TIP=2&POSTAJA_IME=3&OD_DAT=" + ChartDay("2026-03-02") + "&TIP_GRAFA=1";
    const QByteArray rows = "@@TABLEDEF START@@\r\nKDAJ,DATETIME\r\nTEMPERATURA,INTEGER\r\n"
                            "URA,INTEGER\r\n@@TABLEDEF END@@\r\nKDAJ,TEMPERATURA,URA\r\n"
                            "\"02/03/2026 05:00:00\",,5\r\n\"02/03/2026 08:00:00\",3,8\r\n";
    const QByteArray cacheable = "Cache-Control: public, max-age=300\r\n";
    QTest::newRow("GET") << "GET"
                         << "/Load" << day << "chart.sqlite" << QByteArray("200 OK") << cacheable
                         << rows;
    QTest::newRow("HEAD") << "HEAD"
                          << "/Load" << day << "chart.sqlite" << QByteArray("200 OK") << cacheable
                          << rows;
    QTest::newRow("refused") << "GET"
                             << "/Load"
                             << "&POSTAJA_TIP=1&POSTAJA_IME=1%27%20OR%201&OD_DAT=46083&TIP_GRAFA=1"
                             << "chart.sqlite" << QByteArray("400 Bad Request") << QByteArray()
                             << QByteArray("POSTAJA_IME is not a plain decimal number\n");
    QTest::newRow("unknown station") << "GET"
                                     << "/Load"
                                     << "&POSTAJA_TIP=1&POSTAJA_IME=3&OD_DAT=46083&TIP_GRAFA=1"
                                     << "chart.sqlite" << QByteArray("400 Bad Request")
                                     << QByteArray() << QByteArray("unknown station\n");
    QTest::newRow("POST") << "POST"
                          << "/Load" << day << "chart.sqlite"
                          << QByteArray("405 Method Not Allowed")
                          << QByteArray("Allow: GET, HEAD\r\n")
                          << QByteArray("only GET and HEAD\n");
    QTest::newRow("other path") << "GET"
                                << "/Save" << day << "chart.sqlite" << QByteArray("404 Not Found")
                                << QByteArray() << QByteArray("not found\n");
    QTest::newRow("no path") << "GET"
                             << "" << day << "chart.sqlite" << QByteArray("404 Not Found")
                             << QByteArray() << QByteArray("not found\n");
    QTest::newRow("missing database")
        << "GET"
        << "/Load" << day << "none.sqlite" << QByteArray("500 Internal Server Error")
        << QByteArray() << QByteArray("chart database unavailable\n");
    QTest::newRow("not a database")
        << "GET"
        << "/Load" << day << "garbage.sqlite" << QByteArray("500 Internal Server Error")
        << QByteArray() << QByteArray("chart database unavailable\n");
}

void TstChartd::AnswersAsCgi()
{
    QFETCH(QString, method);
    QFETCH(QString, pathInfo);
    QFETCH(QString, query);
    QFETCH(QString, database);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, moreHeaders);
    QFETCH(QByteArray, body);

    const TCgiOutput output = RunChartd(method, pathInfo, query, FDir.filePath(database));
    QCOMPARE(output.exitCode, 0);
    QCOMPARE(output.head, "Status: " + status + "\r\nContent-Type: text/plain; charset=utf-8\r\n" +
                              moreHeaders + "Content-Length: " + QByteArray::number(body.size()) +
                              "\r\n");
    QCOMPARE(output.body, method == QLatin1String("HEAD") ? QByteArray() : body);
}

void TstChartd::HostileQueriesChangeNothing()
{
    const QByteArray before = FileDigest(FDatabase);
    const QStringList files = QDir(FDir.path()).entryList(QDir::Files);
    const QString tail = "&OD_DAT=" + ChartDay("2026-03-02") + "&TIP_GRAFA=1";
    const QStringList queries{
        "&POSTAJA_TIP=1&POSTAJA_IME=1;DROP TABLE readings" + tail,
        "&POSTAJA_TIP=1&POSTAJA_IME=1%3BDELETE%20FROM%20readings" + tail,
        "&POSTAJA_TIP=1' OR '1'='1&POSTAJA_IME=14" + tail,
        "&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=46083');DROP TABLE stations;--&TIP_GRAFA=1",
        "&POSTAJA_TIP=1%00;VACUUM&POSTAJA_IME=14" + tail,
        "&POSTAJA_TIP=1&POSTAJA_IME=14" + tail + "&ATTACH=x",
        "&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=" + QString(10000, QLatin1Char('9')) + "&TIP_GRAFA=1",
    };
    for (const QString& query : queries) {
        const TCgiOutput output =
            RunChartd(QStringLiteral("GET"), QStringLiteral("/Load"), query, FDatabase);
        QVERIFY2(output.head.startsWith("Status: 400 Bad Request\r\n"), qPrintable(query.left(80)));
    }
    // A valid request between them still finds everything there.
    const TCgiOutput valid = RunChartd(QStringLiteral("GET"), QStringLiteral("/Load"),
                                       "&POSTAJA_TIP=1&POSTAJA_IME=14" + tail, FDatabase);
    QCOMPARE(valid.body.count("\r\n\"02/03/2026 "), 7);
    QCOMPARE(FileDigest(FDatabase), before);
    // No journal or other file was made beside it.
    QCOMPARE(QDir(FDir.path()).entryList(QDir::Files), files);
}

void TstChartd::AnswersBehindTheDemoDeployment()
{
    TDemoDeployment demo;
    QVERIFY2(demo.Start(), qPrintable(demo.Error()));
    // Two days back is a whole day of readings in any time zone.
    const QDate date = QDate::currentDate().addDays(-2);
    QNetworkAccessManager manager;
    const auto fetch = [&](const QString& station) {
        const QUrl url(demo.BaseUrl() +
                       "/cgi-bin/sendgraf.exe/Load?&POSTAJA_TIP=1&POSTAJA_IME=" + station +
                       "&OD_DAT=" + ChartDay(date.toString(Qt::ISODate)) + "&TIP_GRAFA=1");
        return manager.get(QNetworkRequest(url));
    };

    QNetworkReply* const reply = fetch(QStringLiteral("1"));
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 30000);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toString(),
             QStringLiteral("text/plain; charset=utf-8"));
    QCOMPARE(reply->rawHeader("Cache-Control"), QByteArray("public, max-age=300"));
    const QList<QByteArray> lines = reply->readAll().split('\n');
    QVERIFY(lines.size() > 6);
    QCOMPARE(lines[5], QByteArray("KDAJ,TEMPERATURA,URA\r"));
    // A few hours may be missing, as at a real station.
    const QList<QByteArray> rows = lines.mid(6, lines.size() - 7);
    QVERIFY2(rows.size() >= 18 && rows.size() <= 24, QByteArray::number(rows.size()).constData());
    const QRegularExpression row(QStringLiteral("^\"%1 (\\d\\d):00:00\",-?\\d+,(\\d+)\\r$")
                                     .arg(date.toString(QStringLiteral("dd/MM/yyyy"))));
    int previousHour = -1;
    for (const QByteArray& line : rows) {
        const QRegularExpressionMatch match = row.match(QString::fromLatin1(line));
        QVERIFY2(match.hasMatch(), line.constData());
        QCOMPARE(match.captured(1).toInt(), match.captured(2).toInt());
        QVERIFY(match.captured(2).toInt() > previousHour);
        previousHour = match.captured(2).toInt();
    }

    // nginx passes the chart server's refusals on.
    QNetworkReply* const refused = fetch(QStringLiteral("0"));
    QTRY_VERIFY_WITH_TIMEOUT(refused->isFinished(), 30000);
    QCOMPARE(refused->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 400);
    QCOMPARE(refused->readAll(), QByteArray("unknown station\n"));
}

QTEST_GUILESS_MAIN(TstChartd)
#include "tst_chartd.moc"
