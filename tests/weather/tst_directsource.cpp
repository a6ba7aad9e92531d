#include "LoopbackServers.h"
#include "QuietRefreshHost.h"
#include "RecordingPresenter.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "common/DataPaths.h"
#include "common/XmlDocument.h"
#include "net/LastModifiedStamps.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/DirectSource.h"
#include "weather/PictureSources.h"
#include "weather/ProcessState.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QFile>
#include <QtTest>
#include <memory>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Without a deployment the program reads ARSO's files itself: the recorded
// files through nginx, converted, and on through the usual refresh.
class TestDirectSource : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    std::unique_ptr<TWeatherData> data;
    TQuietRefreshHost host;
    std::unique_ptr<TRefreshCycle> cycle;

    void Refresh()
    {
        cycle->RefreshData(true);
        QTRY_VERIFY_WITH_TIMEOUT(!cycle->Refreshing(), 30000);
    }

    QStringList NewRequests(qsizetype since) const { return nginx.Requests().mid(since); }

private slots:
    void initTestCase()
    {
        QVERIFY2(nginx.Start(), qPrintable(nginx.Error()));
        const auto paths = RecordedArsoFiles();
        QCOMPARE(paths.size(), 4);
        for (const auto& [file, path] : paths)
            nginx.WriteFile(path, ReadAll(file), QDateTime::currentDateTime().addSecs(-600));
    }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
        const QByteArray base = nginx.Url(QString()).toUtf8();
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[URL]\r\nARSO=" + base + "\r\nARSOVODE=" + base +
                            "\r\n[PARAMETRI]\r\nTIP_POSTAJE=1\r\nKRAJ_AVTOMATSKE=Ljubljana\r\n");
        CreateParameters();
        pas_lib::ResetProcessState();
        LastModifiedStamps.ResetAll();
        data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
        cycle = std::make_unique<TRefreshCycle>(*data, host);
    }

    void cleanup()
    {
        cycle.reset();
        data.reset();
        presenter.reset();
        home.reset();
    }

    void direct()
    {
        QVERIFY(DirectSourceChosen());
        const qsizetype before = nginx.Requests().size();
        Refresh();
        const QStringList requests = NewRequests(before);
        // ARSO's files only: no settings document, no mirrors, no advertising.
        QVERIFY2(requests.filter(QStringLiteral("cliententer")).isEmpty(),
                 qPrintable(requests.join('\n')));
        QCOMPARE(requests.filter(QRegularExpression(QStringLiteral("^GET .* 200"))).size(), 4);
        // The main stations, the European cities and the written forecast
        // were never recorded.
        QCOMPARE(requests.filter(QRegularExpression(QStringLiteral("^GET .* 404"))).size(), 3);
        QCOMPARE(pas_lib::currentConditions[1].temperature, QStringLiteral("10°"));
        QVERIFY(data->tbl_avtomatske->RowCount() >= 104);
        cycle->LoadView(TViewKind::WaterLevels);
        QCOMPARE(data->tblVodostaji->RowCount(), 177);
        // The catalogue for the next start, from ARSO's stations.
        const pas_lib::TXmlDocument catalogue(ReadAll(pas_lib::PostajeXmlPath));
        QCOMPARE(catalogue.Select(QStringLiteral("AVTOMATSKE/P")).size(), 104);
        QCOMPARE(presenter->Messages, QStringList());

        // Unchanged files cost a HEAD request each, and the data counts as
        // received now: it is what ARSO has.
        const qsizetype second = nginx.Requests().size();
        const QDateTime secondStart = QDateTime::currentDateTime();
        const quint64 generation = cycle->Feeds().Generation;
        Refresh();
        QVERIFY(cycle->Feeds().MainReceived >= secondStart.addMSecs(-1));
        QCOMPARE(cycle->Feeds().Generation, generation);
        const QStringList again = NewRequests(second);
        QCOMPARE(again.filter(QRegularExpression(QStringLiteral("^HEAD .* 200"))).size(), 4);
        QCOMPARE(again.filter(QRegularExpression(QStringLiteral("^GET .* 200"))).size(), 0);
        QCOMPARE(pas_lib::currentConditions[1].temperature, QStringLiteral("10°"));
    }

    // A file that arrives broken keeps the last good one, and is fetched whole
    // again next time.
    void brokenFileKeepsTheLastGood()
    {
        Refresh();
        const QString path = QStringLiteral(
            "uploads/probase/www/observ/surface/text/sl/observationAms_si_latest.xml");
        const QByteArray good = ReadAll(nginx.Root() + '/' + path);
        nginx.WriteFile(path, "<html><body>503</body></html>", QDateTime::currentDateTime());
        Refresh();
        QCOMPARE(pas_lib::currentConditions[1].temperature, QStringLiteral("10°"));
        nginx.WriteFile(path, good, QDateTime::currentDateTime().addSecs(-600));
        const qsizetype before = nginx.Requests().size();
        Refresh();
        QCOMPARE(NewRequests(before)
                     .filter(QStringLiteral("GET /") + path + QStringLiteral(" 200"))
                     .size(),
                 1);
    }

    // Of the pictures, ARSO's radar ones come from ARSO, fetched whenever
    // its Last-Modified time says they changed; the others are not there.
    void pictures()
    {
        const QString radar = nginx.Url(QStringLiteral("uploads/probase/www/observ/radar/"));
        QCOMPARE(PictureAddress(Pictures::RadarStill), radar + QStringLiteral("si0-rm.gif"));
        QCOMPARE(PictureAddress(Pictures::RadarAnimated),
                 radar + QStringLiteral("si0-rm-anim.gif"));
        QCOMPARE(PictureAddress(Pictures::ForecastTomorrow), QString());
        QCOMPARE(PictureAddress(Pictures::FourDay), QString());
        QCOMPARE(SatelliteAddress(0, 0), QString());
        QVERIFY(!PictureFresh(Pictures::RadarStill, pas_lib::TXmlDocument()));
    }

    // A configured deployment keeps the program on its own servers.
    void deploymentChosen()
    {
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[URL]\r\nNASTAVITVE=http://127.0.0.1:9/cliententer.asp\r\n");
        QVERIFY(!DirectSourceChosen());
    }
};

QTEST_MAIN(TestDirectSource)
#include "tst_directsource.moc"
