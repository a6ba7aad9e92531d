#include "DesktopSession.h"
#include "LoopbackServers.h"
#include "ProgramProcess.h"
#include "TestHome.h"
#include "app/TMainForm.h"
#include "app/WindowPosition.h"

#include <QSettings>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

const QString MainWindowTitle = QStringLiteral("^Nimbulon$");
const QString StartedLine = QStringLiteral("Start-up finished");

} // namespace

// The real program on a real X desktop (Xvfb, openbox, trayer).
class TestDesktop : public QObject
{
    Q_OBJECT

    TDesktopSession desktop;

    static QByteArray OfflineConfig(const QByteArray& parameters = QByteArray())
    {
        const QByteArray closed =
            "http://127.0.0.1:" + QByteArray::number(FreeLoopbackPort()) + "/x";
        return "[URL]\r\nNASTAVITVE=" + closed + "\r\nSTATICNENASTAVITVE=" + closed +
               "\r\n[PARAMETRI]\r\n" + parameters;
    }

    std::unique_ptr<TProgramProcess> Start(const QStringList& arguments = {})
    {
        QStringList environment = desktop.Environment();
        environment << QStringLiteral(
            "QT_LOGGING_RULES=nimbulon.app.debug=true;nimbulon.tray.debug=true");
        return std::make_unique<TProgramProcess>(arguments, environment);
    }

    quint64 WaitForIcon(TProgramProcess& program)
    {
        return desktop.WaitForTrayIcon([&] { return program.Output(); });
    }

    void ClickIcon(TProgramProcess& program, quint64 icon, int button = 1, int repeat = 1)
    {
        desktop.ClickTrayIcon([&] { return program.Output(); }, icon, button, repeat);
    }

    // The window shows within a few seconds; else the program's whole log goes
    // to the test's output.
    bool WaitShown(TProgramProcess& program)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (WindowShown())
                return true;
            QTest::qWait(50);
        }
        std::fprintf(stderr, "%s\n", qPrintable(program.Output()));
        return false;
    }

    // openbox closes the active window on Alt+F4.
    void CloseWindowAsTheUserDoes() const
    {
        const quint64 window = desktop.VisibleWindows(MainWindowTitle).value(0);
        desktop.Tool(
            QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
        desktop.Key(QStringLiteral("alt+F4"));
    }

    bool WindowShown() const { return !desktop.VisibleWindows(MainWindowTitle).isEmpty(); }

    static QSettings ProgramSettings(const TTestHome& home)
    {
        return QSettings(home.Path(QStringLiteral("Nimbulon.ini")), QSettings::IniFormat);
    }

    static int Ended(TProgramProcess& program)
    {
        if (!program.Process().waitForFinished(30000) ||
            program.Process().exitStatus() != QProcess::NormalExit)
            return -1;
        return program.Process().exitCode();
    }

private slots:
    void initTestCase() { QVERIFY2(desktop.Start(), qPrintable(desktop.Error())); }

    // The icon comes without a window; a click shows the window; the window
    // manager's close hides it again; a double click brings it back; the tray
    // menu's "Izhod" ends the program and stores its state.
    void trayIconShowsHidesAndEnds()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig("MINIMIZE_ON_X=1\r\n"));
        auto program = Start();
        const quint64 icon = WaitForIcon(*program);
        QVERIFY(icon);
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(StartedLine), 60000);
        QVERIFY(!WindowShown());

        ClickIcon(*program, icon);
        QVERIFY(WaitShown(*program));

        CloseWindowAsTheUserDoes();
        QTRY_VERIFY_WITH_TIMEOUT(!WindowShown(), 10000);
        QCOMPARE(program->Process().state(), QProcess::Running);

        ClickIcon(*program, icon, 1, 2);
        QVERIFY(WaitShown(*program));

        // The menu opens at the pointer; Up from nothing selects its last item.
        ClickIcon(*program, icon, 3);
        QTest::qWait(500);
        desktop.Key(QStringLiteral("Up"));
        desktop.Key(QStringLiteral("Return"));
        QCOMPARE(Ended(*program), 0);
        QVERIFY2(program->Output().contains(QStringLiteral("nimbulon.app: Exit")),
                 qPrintable(program->Output()));
        QSettings settings = ProgramSettings(home);
        QCOMPARE(settings.value(QStringLiteral("MainPozicija")).toByteArray().size(), 17);
        QVERIFY(settings.contains(QStringLiteral("suiSideChannel")));
    }

    // With MINIMIZE_ON_X false the window manager's close ends the program
    // as the exit command does.
    void closeEndsWithoutMinimizeOnX()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig("MINIMIZE_ON_X=0\r\n"));
        auto program = Start();
        const quint64 icon = WaitForIcon(*program);
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(StartedLine), 60000);
        ClickIcon(*program, icon);
        QVERIFY(WaitShown(*program));
        CloseWindowAsTheUserDoes();
        QCOMPARE(Ended(*program), 0);
        QVERIFY(ProgramSettings(home).contains(QStringLiteral("suiSideChannel")));
    }

    // A second start says hello from the icon and shows no window; SIGTERM
    // ends the program cleanly with its position stored; the next start opens
    // the window where it was.
    void secondStartAndPositionAcrossStarts()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig());
        auto program = Start();
        const quint64 icon = WaitForIcon(*program);
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(StartedLine), 60000);

        auto second = Start();
        QCOMPARE(Ended(*second), 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            program->Output().contains(QStringLiteral("Balloon: Nimbulon / Tukaj sem ;-)")), 10000);
        QVERIFY(!WindowShown());

        ClickIcon(*program, icon);
        QVERIFY(WaitShown(*program));
        const quint64 window = desktop.VisibleWindows(MainWindowTitle).value(0);
        desktop.Tool(QStringLiteral("xdotool"),
                     {QStringLiteral("windowsize"), QString::number(window), QStringLiteral("640"),
                      QStringLiteral("480")});
        desktop.Tool(QStringLiteral("xdotool"),
                     {QStringLiteral("windowmove"), QString::number(window), QStringLiteral("150"),
                      QStringLiteral("90")});
        QTRY_COMPARE_WITH_TIMEOUT(desktop.WindowGeometry(window).size(), QSize(640, 480), 5000);
        QTest::qWait(300);
        const QRect before = desktop.WindowGeometry(window);

        ::kill(pid_t(program->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*program), 0);
        const auto stored = TWindowPosition::Decode(
            ProgramSettings(home).value(QStringLiteral("MainPozicija")).toByteArray());
        QVERIFY(stored);
        QCOMPARE(stored->Bounds.size(), QSize(640, 480));
        QCOMPARE(stored->State, quint8(TWindowPosition::Normal));

        auto again = Start();
        const quint64 newIcon = WaitForIcon(*again);
        QTRY_VERIFY_WITH_TIMEOUT(again->Output().contains(StartedLine), 60000);
        QVERIFY(!WindowShown());
        ClickIcon(*again, newIcon);
        QVERIFY(WaitShown(*again));
        const quint64 reopened = desktop.VisibleWindows(MainWindowTitle).value(0);
        QTRY_COMPARE_WITH_TIMEOUT(desktop.WindowGeometry(reopened), before, 5000);
        ::kill(pid_t(again->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*again), 0);
    }

    // A window that was maximised at the end comes back maximised.
    void maximisedAcrossStarts()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig());
        TWindowPosition position;
        position.Bounds = QRect(100, 100, 700, 500);
        position.State = TWindowPosition::Maximized;
        ProgramSettings(home).setValue(QStringLiteral("MainPozicija"), position.Encode());
        auto program = Start();
        const quint64 icon = WaitForIcon(*program);
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(StartedLine), 60000);
        ClickIcon(*program, icon);
        QVERIFY(WaitShown(*program));
        const quint64 window = desktop.VisibleWindows(MainWindowTitle).value(0);
        // The window's limits (at most 910 x 791) hold even when maximised.
        QTRY_VERIFY_WITH_TIMEOUT(
            desktop
                .Tool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                QStringLiteral("_NET_WM_STATE")})
                .contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")),
            5000);
        ::kill(pid_t(program->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*program), 0);
        const auto stored = TWindowPosition::Decode(
            ProgramSettings(home).value(QStringLiteral("MainPozicija")).toByteArray());
        QVERIFY(stored);
        QCOMPARE(stored->State, quint8(TWindowPosition::Maximized));
    }

    // Without a tray the program runs on. Started by the user, it shows the
    // window after a few seconds and says why; started at log-on, when the
    // panel may come late, it waits silently and a second start shows the
    // window. A tray that comes later gets the icon.
    void withoutTray_data()
    {
        QTest::addColumn<bool>("atLogon");
        QTest::newRow("started by the user") << false;
        QTest::newRow("started at log-on") << true;
    }
    void withoutTray()
    {
        QFETCH(bool, atLogon);
        desktop.StopTray();
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig());
        auto program = Start(atLogon ? QStringList{QStringLiteral("/startup")} : QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(StartedLine), 60000);
        QVERIFY(program->Output().contains(QStringLiteral("No notification area yet")));
        const QString noTray = QStringLiteral("No notification area; showing the window");
        if (atLogon) {
            QTest::qWait(TMainForm::NoTrayGraceMs + 1000);
            QVERIFY(!WindowShown());
            QVERIFY(!program->Output().contains(noTray));
            auto second = Start();
            QCOMPARE(Ended(*second), 0);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(program->Output().contains(noTray),
                                     TMainForm::NoTrayGraceMs + 10000);
        }
        QVERIFY(WaitShown(*program));

        QVERIFY2(desktop.StartTray(), qPrintable(desktop.Error()));
        QVERIFY(WaitForIcon(*program));
        ::kill(pid_t(program->Process().processId()), SIGTERM);
        QCOMPARE(Ended(*program), 0);
    }
};

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
