#include "DemoDeployment.h"
#include "DesktopSession.h"
#include "ProgramProcess.h"
#include "TestHome.h"
#include "tray/TrayRules.h"
#include "weather/LoadFeedSection.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <memory>

namespace {

// What the served feed says of the observation station of Ljubljana.
struct TServed
{
    QString Weather;
    QString Temperature;
};

} // namespace

// The real program on a real desktop (Xvfb, openbox, the trayer tray)
// against the demo deployment: what its notification-area icon shows.
class TestTrayDesktop : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    TDesktopSession desktop;

    std::unique_ptr<TProgramProcess> Start(const QByteArray& parameters)
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Config.ini"),
                        demo.ConfigUrlSection() + "[PARAMETRI]\r\n" + parameters);
        QStringList environment = desktop.Environment();
        environment << QStringLiteral(
            "QT_LOGGING_RULES=nimbulon.app.debug=true;nimbulon.tray.debug=true");
        return std::make_unique<TProgramProcess>(QStringList(), environment);
    }

    TServed Served()
    {
        TServed served;
        QDomDocument feed;
        if (!feed.setContent(demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml"))))
            return served;
        const QDomElement section =
            feed.documentElement().firstChildElement(QStringLiteral("OpazovalnePostaje"));
        for (QDomElement p = section.firstChildElement(QStringLiteral("P")); !p.isNull();
             p = p.nextSiblingElement(QStringLiteral("P"))) {
            if (p.firstChildElement(QStringLiteral("Kraj")).text() != QLatin1String("Ljubljana"))
                continue;
            served.Weather = p.firstChildElement(QStringLiteral("VREME")).text();
            served.Temperature =
                QString::number(qint64(std::nearbyint(
                    p.firstChildElement(QStringLiteral("TEMPERATURA")).text().toDouble()))) +
                QStringLiteral("°");
        }
        // The sun times, as the program reads them from the aviation forecast.
        const QRegularExpressionMatch sun =
            QRegularExpression(QStringLiteral("Sonce vzide ob [0-9.]+ in zaide ob [0-9.]+"))
                .match(QString::fromLatin1(demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml"))));
        pas_lib::ReadSunTimes(sun.captured());
        return served;
    }

    // The program's icon in the tray once it stands still.
    quint64 WaitForIcon(TProgramProcess& program)
    {
        QList<quint64> icons;
        QRect previous;
        [&] {
            QTRY_VERIFY2_WITH_TIMEOUT(
                program.Output().contains(QStringLiteral("Tray icon shown")) &&
                    !(icons = desktop.TrayIcons()).isEmpty() &&
                    std::exchange(previous, desktop.WindowGeometry(icons.last())) ==
                        desktop.WindowGeometry(icons.last()),
                qPrintable(program.Output()), 60000);
        }();
        return icons.isEmpty() ? 0 : icons.last();
    }

    static int Ended(TProgramProcess& program)
    {
        if (!program.Process().waitForFinished(30000) ||
            program.Process().exitStatus() != QProcess::NormalExit)
            return -1;
        return program.Process().exitCode();
    }

    std::unique_ptr<TTestHome> home;

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        QVERIFY2(desktop.Start(), qPrintable(desktop.Error()));
    }

    void cleanup() { home.reset(); }

    // After the first refresh the icon shows the served temperature and the
    // picture for the served description at this time of day; the two faces
    // alternate, and the tray's pixels show it.
    void iconShowsServedConditions()
    {
        const TServed served = Served();
        QVERIFY(!served.Weather.isEmpty() && !served.Temperature.isEmpty());
        auto program = Start("INTERVAL_IKONA=1\r\nTI_ZNAK_STOPINJE=1\r\nTIP_POSTAJE=0\r\n");
        const quint64 icon = WaitForIcon(*program);
        QVERIFY(icon);

        const QString text = QStringLiteral("Icon shows text \"%1\"").arg(served.Temperature);
        QTRY_VERIFY2_WITH_TIMEOUT(program->Output().contains(text), qPrintable(program->Output()),
                                  60000);
        // Night or day by the served sun times; a boundary passed meanwhile
        // allows either picture.
        const QString output = program->Output();
        const QRegularExpressionMatch shown =
            QRegularExpression(QStringLiteral("Icon shows picture (\\d+) of the transparent list"))
                .match(output, output.indexOf(QStringLiteral("Weather \"")));
        QVERIFY2(shown.hasMatch(), qPrintable(program->Output()));
        const int index = shown.captured(1).toInt();
        QList<int> expected;
        for (int minutes : {-2, 0, 2}) {
            const QTime time = QTime::currentTime().addSecs(minutes * 60);
            expected.append(pas_lib::MapWeatherToIcon(
                served.Weather, pas_lib::IsNight(pas_lib::TimeOfDay(time), pas_lib::SunriseTime,
                                                 pas_lib::SunsetTime)));
        }
        QVERIFY2(
            expected.contains(index),
            qPrintable(QStringLiteral("picture %1 for \"%2\"").arg(index).arg(served.Weather)));
        QVERIFY(output.indexOf(text) < shown.capturedStart());

        // The faces alternate every second: the tray's pixels change.
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().count(text) >= 2, 10000);
        const QRect place = desktop.WindowGeometry(icon);
        QList<QImage> faces;
        for (int shot = 0; shot < 12 && faces.size() < 2; ++shot) {
            const QImage face = desktop.Screenshot().copy(place);
            if (!face.isNull() && !faces.contains(face))
                faces.append(face);
            QTest::qWait(250);
        }
        QCOMPARE(faces.size(), 2);

        ::kill(pid_t(program->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*program), 0);
    }
};

QTEST_GUILESS_MAIN(TestTrayDesktop)
#include "tst_traydesktop.moc"
