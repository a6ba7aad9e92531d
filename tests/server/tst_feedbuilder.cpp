#include "Await.h"
#include "ChartDatabase.h"
#include "ChartFixture.h"
#include "ChartReply.h"
#include "FeedBuilder.h"
#include "LoopbackServers.h"
#include "QuietRefreshHost.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "common/XmlDocument.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/ProcessState.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

QString Recorded(const QString& path)
{
    return QStringLiteral(NIMBULON_TEST_DATA "/../../samples/arso/") + path;
}

// The recorded files under the names ARSO serves them by.
void PutRecorded(const QString& folder)
{
    QDir().mkpath(folder);
    for (const auto& [file, path] : RecordedArsoFiles()) {
        const QString name = folder + '/' + QFileInfo(path).fileName();
        QFile::remove(name);
        QVERIFY(QFile::copy(file, name));
    }
}

} // namespace

// The feed builder on the recorded ARSO files: the deployment it writes, read
// by the program's own refresh; its chart database answering the chart server.
class TestFeedBuilder : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    QTemporaryDir work;

    TBuilderOptions Options() const
    {
        TBuilderOptions options;
        options.output = nginx.Root() + QStringLiteral("/site");
        options.state = work.filePath(QStringLiteral("state"));
        options.from = work.filePath(QStringLiteral("arso"));
        options.publicAddress = nginx.Url(QStringLiteral("site/"));
        options.chartDatabase = work.filePath(QStringLiteral("chart.sqlite"));
        return options;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(nginx.Start(), qPrintable(nginx.Error()));
        QVERIFY(work.isValid());
        PutRecorded(work.filePath(QStringLiteral("arso")));
    }

    // The deployment as the program reads it: the settings, the catalogue and
    // both feeds, through the refresh cycle, up to the chosen place's
    // conditions.
    void deploymentReadByTheProgram()
    {
        TBuilderOptions options = Options();
        options.histories = {Recorded("matejmatik-zajem/observationAms_KRANJ_history.xml")};
        const TBuildResult result = Await(BuildDeployment(options));
        // The main stations and the European cities were not recorded.
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.logLine.contains(QStringLiteral(
                     "failed observation_si_latest.xml, observation_eu-capital_latest.xml")),
                 qPrintable(result.logLine));
        QVERIFY(QFileInfo(options.output).isSymLink());

        TTestHome home;
        home.WriteFile(
            QStringLiteral("Config.ini"),
            "[URL]\r\nNASTAVITVE=" + nginx.Url(QStringLiteral("site/cliententer.asp")).toUtf8() +
                "\r\n[PARAMETRI]\r\nTIP_POSTAJE=1\r\nKRAJ_AVTOMATSKE=Ljubljana\r\n");
        CreateParameters();
        pas_lib::ResetProcessState();
        // The catalogue the settings name is fetched on the first refresh; the
        // tables are built from it at the next start.
        for (int start = 0; start < 2; ++start) {
            TWeatherData data;
            data.CreateWeatherTables();
            TQuietRefreshHost host;
            TRefreshCycle cycle(data, host);
            cycle.RefreshData(true);
            QTRY_VERIFY_WITH_TIMEOUT(!cycle.Refreshing(), 30000);
            if (start == 0)
                continue;
            QCOMPARE(data.tbl_avtomatske->RowCount(), 104);
            const CurrentConditions& ljubljana = pas_lib::currentConditions[1];
            QCOMPARE(ljubljana.place, QStringLiteral("Ljubljana"));
            QCOMPARE(ljubljana.temperature, QStringLiteral("10°"));
            QCOMPARE(ljubljana.humidity, QStringLiteral("60%"));
            QVERIFY2(ljubljana.wind.startsWith(QStringLiteral("JV ")), qPrintable(ljubljana.wind));
            cycle.LoadView(TViewKind::WaterLevels);
            QCOMPARE(data.tblVodostaji->RowCount(), 177);
        }

        // The Kranj history answers a day graph of the chart server.
        chartd::TChartDatabase chart(options.chartDatabase.toStdString());
        const QString kranj = QStringLiteral("&POSTAJA_TIP=2&POSTAJA_IME=%1&OD_DAT=%2&TIP_GRAFA=1");
        QFile mapping(options.state + QStringLiteral("/sifre-postaj.txt"));
        QVERIFY(mapping.open(QIODevice::ReadOnly));
        QString code;
        for (const QByteArray& line : mapping.readAll().split('\n'))
            if (line.startsWith("KRANJ_\t"))
                code = QString::fromLatin1(line.mid(7));
        QVERIFY(!code.isEmpty());
        const chartd::TParsedQuery parsed = chartd::ParseChartQuery(
            kranj.arg(code, ChartDay(QStringLiteral("2023-06-17"))).toStdString());
        QCOMPARE(QString::fromStdString(parsed.refusal), QString());
        const auto rows = chart.Rows(parsed.request);
        QVERIFY(rows);
        QCOMPARE(int(rows->size()), 24);
    }

    // A file that arrives broken leaves its part of the deployment as the last
    // good copy made it; the link always names a whole folder.
    void brokenFileKeepsThePreviousPart()
    {
        const TBuilderOptions options = Options();
        QCOMPARE(Await(BuildDeployment(options)).exitCode, 1);
        const QString automatic = options.from + QStringLiteral("/observationAms_si_latest.xml");
        QFile file(automatic);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("<html><body>503 Service Unavailable</body></html>");
        file.close();
        const TBuildResult result = Await(BuildDeployment(options));
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.logLine.contains(
                     QStringLiteral("observationAms_si_latest.xml (previous output kept)")),
                 qPrintable(result.logLine));
        QFile feed(options.output + QStringLiteral("/ogledalo1/podatki.xml"));
        QVERIFY(feed.open(QIODevice::ReadOnly));
        QCOMPARE(feed.readAll().count("<Kraj>"), 104 + 9);
        // Two folders stay: the newest and the one before it.
        Await(BuildDeployment(options));
        QCOMPARE(QDir(options.output + QStringLiteral(".d"))
                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                     .size(),
                 2);
        PutRecorded(options.from);
    }

    // ARSO's radar pictures go into the deployment with their change stamps; a
    // picture that is no picture stays out.
    void radarPictures()
    {
        const TBuilderOptions options = Options();
        QFile still(options.from + QStringLiteral("/si0-rm.gif"));
        QVERIFY(still.open(QIODevice::WriteOnly));
        still.write(QByteArray("GIF89a") + QByteArray(40, '\0'));
        still.close();
        QFile animated(options.from + QStringLiteral("/si0-rm-anim.gif"));
        QVERIFY(animated.open(QIODevice::WriteOnly));
        animated.write("<html>404</html>");
        animated.close();
        Await(BuildDeployment(options));
        QVERIFY(QFile::exists(options.output + QStringLiteral("/ogledalo1/radar.gif")));
        QVERIFY(!QFile::exists(options.output + QStringLiteral("/ogledalo1/radar_anim.gif")));
        QFile feed(options.output + QStringLiteral("/ogledalo1/podatki.xml"));
        QVERIFY(feed.open(QIODevice::ReadOnly));
        const pas_lib::TXmlDocument main(feed.readAll());
        QVERIFY(!main.Value(QStringLiteral("Spremembe/SlikaRadar")).isEmpty());
        QVERIFY(main.Value(QStringLiteral("Spremembe/SlikaRadarAnim")).isEmpty());
        QFile::remove(still.fileName());
        QFile::remove(animated.fileName());
    }

    // A deployment folder that nginx serves is never replaced by a link.
    void refusesARealFolder()
    {
        TBuilderOptions options = Options();
        options.output = work.filePath(QStringLiteral("plain"));
        QVERIFY(QDir().mkpath(options.output));
        const TBuildResult result = Await(BuildDeployment(options));
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.logLine.contains(QStringLiteral("not a link")));
    }
};

QTEST_MAIN(TestFeedBuilder)
#include "tst_feedbuilder.moc"
