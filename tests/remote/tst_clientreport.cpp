#include "RecordingPresenter.h"
#include "TestHome.h"
#include "common/Desktop.h"
#include "common/UserSettings.h"
#include "remote/ClientIdentity.h"
#include "settings/Tparameter.h"
#include "weather/StationCode.h"
#include "weather/TWeatherData.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

class TestClientReport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;

private slots:
    void init()
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Config.ini"), DeploymentUrlSection);
        CreateParameters();
        pas_lib::ResetProgramEndRequest();
    }
    void cleanup()
    {
        delete parametri;
        parametri = nullptr;
        home.reset();
    }

    void identifierIsMadeOnceAndKept()
    {
        const QString id = ClientId();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^[0-9A-F]{5}-[0-9A-F]{5}$")).match(id).hasMatch(),
            qPrintable(id));
        QCOMPARE(ClientId(), id);
        // Kept as the 11 bytes, without a terminator.
        QCOMPARE(OpenCompanySettings()->value(QStringLiteral("IDClient")).toByteArray(),
                 id.toLatin1());
    }

    void identifierStoredByHandIsUsed()
    {
        home->WriteFile(QStringLiteral("Korvalin.ini"), "[General]\nIDClient=ROCNO-12345\n");
        QCOMPARE(ClientId(), QStringLiteral("ROCNO-12345"));
        QVERIFY(ClientReport(TReportMode::Settings)
                    .startsWith(QStringLiteral("?ID=ROCNO-12345&V=02968&")));
    }

    void storeThatCannotKeepIt()
    {
        TRecordingPresenter presenter;
        QVERIFY(QDir(home->Path()).mkdir(QStringLiteral("Korvalin.ini"))); // not a file
        QCOMPARE(ClientId(), QString());
        QCOMPARE(presenter.Messages,
                 QStringList(QStringLiteral("Za delovanje programa omogoči zapis v register!")));
        QVERIFY(pas_lib::ProgramEndRequested());
    }

    void settingsReport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults")
            << QString() << QVariant()
            << "&V=02968&M1=False&M2=False&M3=True&M4=False&M5=True&M6=True&M7=False"
               "&M8=False&M9=True&II=3&X=True&NEWV=True&CW=False&AZ=False&IO=False"
               "&TITR=True&TIZS=False&VITR=True&PO=012&FSI=9&FST=B";
        QTest::newRow("plain font")
            << "FONT_STYLE" << QVariant(QStringLiteral("X"))
            << "&V=02968&M1=False&M2=False&M3=True&M4=False&M5=True&M6=True&M7=False"
               "&M8=False&M9=True&II=3&X=True&NEWV=True&CW=False&AZ=False&IO=False"
               "&TITR=True&TIZS=False&VITR=True&PO=012&FSI=9&FST=X";
        QTest::newRow("settings changed")
            << "INTERVAL_IKONA" << QVariant(0)
            << "&V=02968&M1=False&M2=False&M3=True&M4=False&M5=True&M6=True&M7=False"
               "&M8=False&M9=True&II=0&X=True&NEWV=True&CW=False&AZ=False&IO=False"
               "&TITR=True&TIZS=False&VITR=True&PO=012&FSI=9&FST=B";
    }
    void settingsReport()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        if (!name.isEmpty())
            parametri->Set(name, value);
        QCOMPARE(ClientReport(TReportMode::Settings),
                 QStringLiteral("?ID=") + ClientId() + expected);
    }

    // Codes come from the default catalogue; a place with no row gives an empty code.
    void advertisingReport_data()
    {
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QString>("automatic");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << "Ljubljana"
                                  << "Ljubljana"
                                  << "&KO=8&KA=11";
        QTest::newRow("letter case ignored") << "celje"
                                             << "KOPER"
                                             << "&KO=1&KA=5";
        QTest::newRow("place missing") << "Atlantida"
                                       << "Bovec"
                                       << "&KO=&KA=1";
        QTest::newRow("double quote in name") << "Celje\" or 1=1 --"
                                              << "Bovec"
                                              << "&KO=&KA=1";
    }
    void advertisingReport()
    {
        QFETCH(QString, observation);
        QFETCH(QString, automatic);
        QFETCH(QString, expected);
        TWeatherData data;
        data.CreateWeatherTables();
        parametri->Set(QStringLiteral("KRAJ_OPAZOVALNE"), observation);
        parametri->Set(QStringLiteral("KRAJ_AVTOMATSKE"), automatic);
        QCOMPARE(ClientReport(TReportMode::Advertising, ReportStations(data)),
                 QStringLiteral("?ID=") + ClientId() + expected);
    }

    void programVersion()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(ProgramVersion())
                    .hasMatch());
        QCOMPARE(VersionCode(), QStringLiteral("02968"));
    }
};

QTEST_GUILESS_MAIN(TestClientReport)
#include "tst_clientreport.moc"
