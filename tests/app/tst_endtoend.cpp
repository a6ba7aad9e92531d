#include "DemoDeployment.h"
#include "LoopbackServers.h"
#include "MainFormFixture.h"
#include "ProgramProcess.h"
#include "QuietRefreshHost.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/TMainForm.h"
#include "common/DataPaths.h"
#include "common/DecodeFeedText.h"
#include "common/Desktop.h"
#include "remote/ClientIdentity.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/LoadFeedSection.h"
#include "weather/ProcessState.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QtTest>
#include <cmath>

namespace {

const QStringList refreshLogging{QStringLiteral("QT_LOGGING_RULES=nimbulon.refresh.debug=true")};
const QString refreshFinished = QStringLiteral("Refresh finished");

QDomElement FirstPath(const QDomElement& root, const QString& path)
{
    QDomElement element = root;
    for (const QString& name : path.split(QLatin1Char('/')))
        element = element.firstChildElement(name);
    return element;
}

QList<QDomElement> Records(const QDomElement& root, const QString& sectionPath)
{
    QList<QDomElement> records;
    for (QDomElement p = FirstPath(root, sectionPath).firstChildElement(QStringLiteral("P"));
         !p.isNull(); p = p.nextSiblingElement(QStringLiteral("P")))
        records.append(p);
    return records;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;

    QStringList RequestsSince(qsizetype since) { return demo.Server().Requests().mid(since); }

    // Runs the program until its first refresh has ended, then asks it to stop.
    void RunOnce(const QStringList& arguments = {})
    {
        TProgramProcess program(arguments, refreshLogging);
        QTRY_VERIFY2_WITH_TIMEOUT(program.Output().contains(refreshFinished),
                                  qPrintable(program.Output()), 90000);
        program.Process().terminate();
        QVERIFY(program.Process().waitForFinished(30000));
        QCOMPARE(program.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.Process().exitCode(), 0);
        QVERIFY2(program.Output().contains(QStringLiteral("Refresh every 20 minutes")),
                 qPrintable(program.Output()));
    }

private slots:
    void initTestCase() { QVERIFY2(demo.Start(), qPrintable(demo.Error())); }

    void firstAndSecondStart()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"),
                       demo.ConfigUrlSection() + "[PARAMETRI]\r\nINTERVAL_UPDATE=5\r\n");
        qsizetype before = demo.Server().Requests().size();
        RunOnce();
        if (QTest::currentTestFailed())
            return;
        QStringList requests = RequestsSince(before);

        // The settings request carries the report of the settings the program
        // left behind, with its client number.
        TRecordingPresenter presenter;
        CreateParameters();
        QCOMPARE(parametri->Get(QStringLiteral("INTERVAL_UPDATE")).toInt(), 20);
        const QUrl settings(demo.BaseUrl() + QStringLiteral("/cliententer.asp") +
                            ClientReport(TReportMode::Settings));
        const QString settingsRequest =
            QStringLiteral("GET ") +
            settings.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded) +
            QStringLiteral(" 200");
        QCOMPARE(requests.value(0), settingsRequest);
        QVERIFY(settingsRequest.contains(QStringLiteral("?ID=")));

        // The missing catalogue is downloaded and stored.
        QVERIFY(requests.contains(QStringLiteral("GET /Postaje.xml 200")));
        QCOMPARE(home.ReadFile(QStringLiteral("Postaje.xml")),
                 demo.ReadFile(QStringLiteral("Postaje.xml")));

        // Both feeds from one mirror, then the four-day picture into "Slike".
        const QStringList feeds = requests.filter(QStringLiteral("/podatki"));
        QCOMPARE(feeds.size(), 2);
        const QString mirror = feeds[0].section(QLatin1Char('/'), 1, 1);
        QCOMPARE(feeds, QStringList({"GET /" + mirror + "/podatki.xml 200",
                                     "GET /" + mirror + "/podatkiOstalo.xml 200"}));
        const QStringList picture = requests.filter(QStringLiteral("vreme.jpg"));
        QCOMPARE(picture.size(), 1);
        const QString pictureMirror = picture[0].section(QLatin1Char('/'), 1, 1);
        QCOMPARE(picture[0], "GET /" + pictureMirror + "/vreme.jpg 200");
        QCOMPARE(home.ReadFile(QStringLiteral("Slike/vreme.jpg")),
                 demo.ReadFile(pictureMirror + QStringLiteral("/vreme.jpg")));

        // A second start fetches the feeds again but neither the fresh catalogue
        // nor the picture, which is newer than its change stamp.
        before = demo.Server().Requests().size();
        RunOnce();
        requests = RequestsSince(before);
        QVERIFY(requests.value(0).startsWith(QStringLiteral("GET /cliententer.asp?ID=")));
        QCOMPARE(requests.filter(QStringLiteral("/podatki")).size(), 2);
        QCOMPARE(requests.filter(QStringLiteral("Postaje.xml")), QStringList());
        QCOMPARE(requests.filter(QStringLiteral("vreme.jpg")), QStringList());
    }

    // Started with the session, the program waits ten seconds before its first
    // request; the word must be exactly "/startup".
    void startupWait_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("waits");
        QTest::newRow("/startup") << "/startup" << true;
        QTest::newRow("/STARTUP") << "/STARTUP" << false;
    }
    void startupWait()
    {
        QFETCH(QString, argument);
        QFETCH(bool, waits);
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        const qsizetype before = demo.Server().Requests().size();
        QElapsedTimer clock;
        clock.start();
        TProgramProcess program({argument}, refreshLogging);
        QTRY_VERIFY_WITH_TIMEOUT(demo.Server().Requests().size() > before, 60000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(waits ? elapsed >= 10000 : elapsed < 10000, qPrintable(QString::number(elapsed)));
        QTRY_VERIFY_WITH_TIMEOUT(program.Output().contains(refreshFinished), 60000);
    }

    // Asked to end during that wait (a log-off soon after log-on), it ends at
    // once, cleanly and without having asked the servers for anything.
    void endDuringStartupWait()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        const qsizetype before = demo.Server().Requests().size();
        TProgramProcess program({QStringLiteral("/startup")});
        QTRY_VERIFY_WITH_TIMEOUT(program.Output().contains(QStringLiteral("waiting 10 s")), 30000);
        QElapsedTimer clock;
        clock.start();
        program.Process().terminate();
        QVERIFY(program.Process().waitForFinished(30000));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(program.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.Process().exitCode(), 0);
        QCOMPARE(demo.Server().Requests().size(), before);
    }

    // Asked to stop at any moment of its start-up (a log-out soon after log-on),
    // the program ends at once and cleanly, its window's position stored: while
    // a fetch waits for a slow server, or while a message box of the first
    // refresh is open.
    void endDuringStartup_data()
    {
        QTest::addColumn<bool>("slowServer");
        QTest::addColumn<QString>("waitFor");
        QTest::newRow("during a fetch") << true << "Step 4: remote settings";
        QTest::newRow("during a message box") << false << "Message: Nova verzija";
    }
    void endDuringStartup()
    {
        QFETCH(bool, slowServer);
        QFETCH(QString, waitFor);
        TDelayingProxy slow(demo.BaseUrl(), 2.0);
        QByteArray urls = demo.ConfigUrlSection();
        if (slowServer) {
            QVERIFY2(slow.Start(), qPrintable(slow.Error()));
            urls.replace(demo.BaseUrl().toLatin1(), slow.BaseUrl().toLatin1());
        }
        const QString settingsFile = QStringLiteral("cliententer.asp");
        const QByteArray settings = demo.ReadFile(settingsFile);
        QString newer = QString::fromLatin1(settings);
        newer.replace(QRegularExpression(QStringLiteral("<Verzija>.*</Verzija>"),
                                         QRegularExpression::DotMatchesEverythingOption),
                      QStringLiteral("<Verzija><Stevilka>9.9.9.9</Stevilka><Opomba>Nova verzija "
                                     "je tu.</Opomba></Verzija>"));
        if (!slowServer)
            demo.Server().WriteFile(settingsFile, newer.toLatin1());
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), urls);
        QStringList environment = refreshLogging;
        environment.last() += QStringLiteral(";nimbulon.app.messages.info=true");
        TProgramProcess program({}, environment);
        QTRY_VERIFY2_WITH_TIMEOUT(program.Output().contains(waitFor), qPrintable(program.Output()),
                                  30000);
        QElapsedTimer clock;
        clock.start();
        program.Process().terminate();
        const bool ended = program.Process().waitForFinished(10000);
        demo.Server().WriteFile(settingsFile, settings);
        QVERIFY2(ended, qPrintable(program.Output()));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(program.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.Process().exitCode(), 0);
        const QSettings stored(home.Path(QStringLiteral("Nimbulon.ini")), QSettings::IniFormat);
        QVERIFY(stored.contains(QStringLiteral("MainPozicija")));
    }

    // A second start is answered while the first still waits for its first
    // refresh, and ends.
    void secondStartDuringSlowFirstRefresh()
    {
        TDelayingProxy slow(demo.BaseUrl(), 2.0);
        QVERIFY2(slow.Start(), qPrintable(slow.Error()));
        QByteArray urls = demo.ConfigUrlSection();
        urls.replace(demo.BaseUrl().toLatin1(), slow.BaseUrl().toLatin1());
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), urls);
        TProgramProcess first({}, refreshLogging);
        QTRY_VERIFY2_WITH_TIMEOUT(first.Output().contains(QStringLiteral("Step 4")),
                                  qPrintable(first.Output()), 30000);
        TProgramProcess second;
        QVERIFY(second.Process().waitForFinished(10000));
        QCOMPARE(second.Process().exitCode(), 0);
        QTRY_VERIFY2(first.Output().contains(QStringLiteral("Another start of the program")),
                     qPrintable(first.Output()));
        QVERIFY2(!first.Output().contains(refreshFinished), qPrintable(first.Output()));
        first.Process().terminate();
        QVERIFY(first.Process().waitForFinished(10000));
        QCOMPARE(first.Process().exitCode(), 0);
    }

    // The main window refreshes while it is created and then on its timer, whose
    // period a stored 5 minutes raises to 20.
    void mainWindowKeepsRefreshing()
    {
        TRecordingPresenter presenter;
        TMainFormFixture window(demo);
        const qsizetype before = demo.Server().Requests().size();
        TMainForm& form = window.NewForm("INTERVAL_UPDATE=5\r\n");
        auto feedRequests = [&] {
            return RequestsSince(before).filter(QStringLiteral("/podatki.xml")).size();
        };
        QCOMPARE(feedRequests(), 1);
        QVERIFY(form.RefreshTimer()->isActive());
        QCOMPARE(form.RefreshTimer()->interval(), 20 * 60000);
        QVERIFY(!form.isVisible());
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());

        form.RefreshTimer()->start(50);
        QTRY_VERIFY_WITH_TIMEOUT(feedRequests() >= 3, 30000);
        QCOMPARE(presenter.Messages, QStringList());
    }

    // Through the core: after a refresh the tables and the current conditions
    // hold what the served feeds say.
    void coreHoldsWhatTheFeedsSay()
    {
        TTestHome home;
        TRecordingPresenter presenter;
        home.WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        CreateParameters();
        pas_lib::ResetProcessState();
        TWeatherData data;
        data.CreateWeatherTables();
        TQuietRefreshHost host;
        TRefreshCycle cycle(data, host);
        cycle.RefreshData(false);
        QTRY_VERIFY_WITH_TIMEOUT(!cycle.Refreshing(), 30000);
        QVERIFY(!cycle.FourDayPicture().Picture().isNull());
        // The other tables fill when their views are shown.
        for (TViewKind view :
             {TViewKind::SnowCover, TViewKind::EuropeanCities, TViewKind::WaterLevels})
            cycle.LoadView(view);
        QCOMPARE(presenter.Messages, QStringList());

        QDomDocument feed;
        QVERIFY(feed.setContent(demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml"))));
        const QDomElement root = feed.documentElement();
        const QList<QDomElement> observations = Records(root, QStringLiteral("OpazovalnePostaje"));
        QVERIFY(observations.size() > 10);
        for (const QDomElement& p : observations) {
            const QString place = p.firstChildElement(QStringLiteral("Kraj")).text();
            const auto row = data.tbl_opazovalne->FindRow(
                data.tbl_opazovalne->FieldIndex(QStringLiteral("KRAJ")), place);
            QVERIFY2(row, qPrintable(place));
            const QString temperature = p.firstChildElement(QStringLiteral("TEMPERATURA")).text();
            const QVariant stored = data.tbl_opazovalne->Value(*row, QStringLiteral("TEMPERATURA"));
            if (temperature.isEmpty())
                QVERIFY(!stored.isValid());
            else
                QCOMPARE(stored.toDouble(), temperature.toDouble());
            QCOMPARE(data.tbl_opazovalne->Value(*row, QStringLiteral("VREME")).toString(),
                     pas_lib::DecodeFeedText(p.firstChildElement(QStringLiteral("VREME")).text()));

            if (place != parametri->Get(QStringLiteral("KRAJ_OPAZOVALNE")).toString())
                continue;
            const CurrentConditions& chosen = pas_lib::currentConditions[0];
            QCOMPARE(chosen.place, place);
            QCOMPARE(chosen.temperature,
                     QString::number(std::nearbyint(temperature.toDouble())) + QStringLiteral("°"));
            QCOMPARE(chosen.weather, data.tbl_opazovalne->Value(*row, QStringLiteral("VREME")));
        }
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());
        QVERIFY(!pas_lib::currentConditions[1].temperature.isEmpty());
        QVERIFY(!pas_lib::currentConditions[2].temperature.isEmpty());
        QVERIFY(pas_lib::SunriseTime > 0.1 && pas_lib::SunriseTime < pas_lib::SunsetTime);

        QDomDocument second;
        QVERIFY(second.setContent(demo.ReadFile(QStringLiteral("ogledalo1/podatkiOstalo.xml"))));
        QCOMPARE(data.tbl_eu->RowCount(),
                 Records(second.documentElement(), QStringLiteral("VremeEU")).size());
        QCOMPARE(
            data.tblVodostaji->RowCount(),
            Records(second.documentElement(), QStringLiteral("Vode/AvtomatskePostaje")).size());
        QCOMPARE(data.tbl_snezna_odeja->RowCount(),
                 Records(root, QStringLiteral("VisinaSnezneOdeje")).size());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
