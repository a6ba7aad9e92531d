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
        // One data folder at a time: the old one puts NIMBULON_HOME back when it goes.
        home.reset();
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

    quint64 WaitForIcon(TProgramProcess& program)
    {
        return desktop.WaitForTrayIcon([&] { return program.Output(); });
    }

    static int Ended(TProgramProcess& program)
    {
        if (!program.Process().waitForFinished(30000) ||
            program.Process().exitStatus() != QProcess::NormalExit)
            return -1;
        return program.Process().exitCode();
    }

    void ClickIcon(TProgramProcess& program, quint64 icon, int button)
    {
        desktop.ClickTrayIcon([&] { return program.Output(); }, icon, button);
    }

    // A window of another program (xmessage) with this title.
    quint64 OtherWindow(const QString& title)
    {
        auto process = std::make_shared<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), desktop.Display());
        process->setProcessEnvironment(env);
        process->start(QStringLiteral("xmessage"), {QStringLiteral("-title"), title, title});
        others.append(process);
        const QString pattern = QLatin1Char('^') + title + QLatin1Char('$');
        QList<quint64> found;
        QElapsedTimer clock;
        clock.start();
        while ((found = desktop.VisibleWindows(pattern)).isEmpty() && clock.elapsed() < 10000)
            QTest::qWait(100);
        return found.value(0);
    }

    void Activate(quint64 window)
    {
        desktop.Tool(
            QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
    }

    QString Title(quint64 window) { return desktop.WindowTitle(window); }

    // What the program appends to titles: the announced stamp and line.
    static QString Summary(const QString& output)
    {
        const QRegularExpressionMatch balloon =
            QRegularExpression(QStringLiteral("nimbulon.tray: Balloon: (.+) / (.+)$"),
                               QRegularExpression::MultilineOption)
                .match(output);
        if (!balloon.hasMatch())
            return QString();
        return balloon.captured(1) + QLatin1Char(' ') +
               balloon.captured(2).replace(QStringLiteral(" | "), QStringLiteral(" "));
    }

    std::unique_ptr<TTestHome> home;
    QList<std::shared_ptr<QProcess>> others;

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        QVERIFY2(desktop.Start(), qPrintable(desktop.Error()));
    }

    void cleanup()
    {
        for (const auto& process : std::as_const(others)) {
            process->kill();
            process->waitForFinished(5000);
        }
        others.clear();
        home.reset();
    }

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

    // With the caption writer on, the focused window of another program shows
    // its own title, the observation stamp and the summary; the focus moving
    // on gives it back its title and decorates the next window; a window
    // renamed meanwhile keeps its new name with the summary; after the end
    // (a termination signal, then the exit command) every window has its own
    // title.
    void captionWriter()
    {
        const quint64 first = OtherWindow(QStringLiteral("Prvo okno"));
        const quint64 second = OtherWindow(QStringLiteral("Drugo okno"));
        QVERIFY(first && second);
        Activate(first);

        auto program = Start("CAPTION_WRITER=1\r\nIZKLOPI_OBLACEK=0\r\n");
        QTRY_VERIFY2_WITH_TIMEOUT(!Summary(program->Output()).isEmpty(),
                                  qPrintable(program->Output()), 60000);
        const QString summary = QStringLiteral(" - ") + Summary(program->Output());
        QVERIFY2(summary.contains(QStringLiteral("Ljubljana: ")), qPrintable(summary));
        QTRY_COMPARE_WITH_TIMEOUT(Title(first), QStringLiteral("Prvo okno") + summary, 10000);

        Activate(second);
        QTRY_COMPARE(Title(second), QStringLiteral("Drugo okno") + summary);
        QCOMPARE(Title(first), QStringLiteral("Prvo okno"));

        desktop.Tool(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), QString::number(second), QStringLiteral("-set"),
                      QStringLiteral("WM_NAME"), QStringLiteral("Tretje okno")});
        QTRY_COMPARE(Title(second), QStringLiteral("Tretje okno") + summary);

        ::kill(pid_t(program->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*program), 0);
        QCOMPARE(Title(second), QStringLiteral("Tretje okno"));
        QCOMPARE(Title(first), QStringLiteral("Prvo okno"));

        // Again, ended by "Izhod" in the tray menu; no balloon over the icon
        // this time, and still a summary for the writer.
        Activate(first);
        auto again = Start("CAPTION_WRITER=1\r\nIZKLOPI_OBLACEK=1\r\n");
        const quint64 icon = WaitForIcon(*again);
        QTRY_VERIFY_WITH_TIMEOUT(again->Output().contains(QStringLiteral("Start-up finished")),
                                 60000);
        QTRY_COMPARE_WITH_TIMEOUT(Title(first), QStringLiteral("Prvo okno") + summary, 10000);
        QVERIFY(again->Output().contains(
            QStringLiteral("Balloon not shown: balloons are switched off")));
        // The program's own window comes to the front: it keeps its title,
        // and the other window gets its own back.
        ClickIcon(*again, icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!desktop.VisibleWindows(QStringLiteral("^Nimbulon$")).isEmpty(),
                                 10000);
        QTRY_COMPARE(Title(first), QStringLiteral("Prvo okno"));
        QTest::qWait(300);
        QVERIFY(!desktop.VisibleWindows(QStringLiteral("^Nimbulon$")).isEmpty());
        ClickIcon(*again, icon, 3);
        QTest::qWait(500);
        desktop.Key(QStringLiteral("Up"));
        desktop.Key(QStringLiteral("Return"));
        QCOMPARE(Ended(*again), 0);
        QVERIFY2(again->Output().contains(QStringLiteral("nimbulon.app: Exit")),
                 qPrintable(again->Output()));
        QCOMPARE(Title(first), QStringLiteral("Prvo okno"));
        QCOMPARE(Title(second), QStringLiteral("Tretje okno"));
    }
};

QTEST_GUILESS_MAIN(TestTrayDesktop)
#include "tst_traydesktop.moc"
