#include "Await.h"
#include "DemoDeployment.h"
#include "LoopbackServers.h"
#include "MainFormFixture.h"
#include "RecordingPresenter.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "app/TMainForm.h"
#include "app/WindowPosition.h"
#include "common/Desktop.h"
#include "controls/TAdvertisingStrip.h"
#include "controls/TBannerCap.h"
#include "controls/TImagePanel.h"
#include "controls/TKorvalinBanner.h"
#include "controls/TSideChannel.h"
#include "remote/AdvertisingPlayer.h"
#include "remote/RemoteSettings.h"
#include "remote/ServerAddresses.h"
#include "settings/Tparameter.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayPresenter.h"
#include "tray/TrayRules.h"
#include "views/TForecastView.h"
#include "views/TMoonPanel.h"
#include "views/TNavigationMenu.h"
#include "views/TRadarView.h"
#include "views/TStationGrid.h"
#include "views/TTitlePanel.h"
#include "views/TViewArea.h"
#include "views/ViewTable.h"
#include "views/frm_about.h"
#include "views/frm_graf.h"
#include "views/frm_primorje.h"
#include "views/frm_satelitske_slike.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/MoonPhases.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QByteArray AllSwitchesOn =
    "AMATERSKE_POSTAJE=1\r\nSLIKA_PADAVINE=1\r\nSATELITSKA_SLIKA=1\r\nVREMENSKA_NAPOVED=1\r\n"
    "NAPOVED_V_SLIKI=1\r\nNAPOVED_BIO=1\r\nNAPOVED_JULIJCI=1\r\nNAPOVED_LETALSTVO=1\r\n"
    "SNEZNA_ODEJA=1\r\nGRAF_TEMPERATURE=1\r\nANIMACIJE=1\r\nNAPOVED_EVROPA=1\r\n"
    "NAPOVED_PRIMORJE=1\r\nVODOSTAJI=1\r\n";
const QByteArray AllSwitchesOff =
    "AMATERSKE_POSTAJE=0\r\nSLIKA_PADAVINE=0\r\nSATELITSKA_SLIKA=0\r\nVREMENSKA_NAPOVED=0\r\n"
    "NAPOVED_V_SLIKI=0\r\nNAPOVED_BIO=0\r\nNAPOVED_JULIJCI=0\r\nNAPOVED_LETALSTVO=0\r\n"
    "SNEZNA_ODEJA=0\r\nGRAF_TEMPERATURE=0\r\nANIMACIJE=0\r\nNAPOVED_EVROPA=0\r\n"
    "NAPOVED_PRIMORJE=0\r\nVODOSTAJI=0\r\n";

// The content controls and their panel tags.
const QList<std::pair<QString, int>> TaggedControls{
    {"suiDBGrid1", 1},     {"suiStatusBar", 1},         {"RichEdit1", 2},
    {"suiImagePanel1", 3}, {"suiIPNapovedVSliki", 4},   {"FrameAnimations", 6},
    {"FramePrimorje1", 7}, {"FrameSateliskeSlike1", 8}, {"FrameGraf1", 11},
    {"FrameAbout", 99},    {"suiImageButtonClose", 99},
};

// The title without the time of the data that the feed reader appends.
QString TitleWithoutTime(const TMainForm& form)
{
    return form.TitlePanel()->Title().section(QStringLiteral("   "), 0, 0);
}

QStringList ShownControls(const TMainForm& form)
{
    QStringList shown;
    for (const auto& [name, tag] : TaggedControls) {
        auto* control = form.findChild<QWidget*>(name);
        if (control && !control->isHidden())
            shown.append(name);
    }
    return shown;
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    TMainFormFixture window{demo};
    std::unique_ptr<TRecordingPresenter> presenter;
    TMainForm* form = nullptr;

    void NewForm(const QByteArray& parameters = QByteArray())
    {
        form = &window.NewForm(parameters);
    }

    TNavigationMenu& Menu() { return *form->NavigationMenu(); }
    bool Refreshing() const { return form->findChild<TRefreshCycle*>()->Refreshing(); }

    QSettings ProgramSettings()
    {
        return QSettings(window.Home().Path(QStringLiteral("Nimbulon.ini")), QSettings::IniFormat);
    }

private slots:
    void initTestCase() { QVERIFY2(demo.Start(), qPrintable(demo.Error())); }

    void init()
    {
        pas_lib::ResetProgramEndRequest();
        presenter = std::make_unique<TRecordingPresenter>();
    }

    void cleanup()
    {
        window.Close();
        form = nullptr;
        QCOMPARE(presenter->Messages, QStringList());
        presenter.reset();
        pas_lib::ResetProgramEndRequest();
    }

    // After its start-up the window is hidden and minimised, the observation
    // table is the view, and the icon takes input.
    void startsHiddenOnTheObservationTable()
    {
        NewForm();
        QVERIFY(!form->isVisible());
        QVERIFY(form->WindowMinimized());
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind::ObservationStations);
        QCOMPARE(form->ViewArea()->CurrentPanelTag(), 1);
        QCOMPARE(TitleWithoutTime(*form), QStringLiteral("Opazovalne postaje (Vir:ARSO)"));
        QVERIFY2(form->TitlePanel()->Title().contains(QRegularExpression("   \\d+\\.\\d+\\.")),
                 qPrintable(form->TitlePanel()->Title()));
        QVERIFY(form->findChild<TStationGrid*>()->model()->rowCount() > 10);
        QVERIFY(form->RefreshTimer()->isActive());
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("lblVerzija"))->text(),
                 QStringLiteral("1.6.0.2 (08.06.2009)"));
        QVERIFY(!form->TitlePanel()->Refreshing());
    }

    // Each view: its title, the controls of its panel tag, its view kind.
    void viewSwitching_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("shown");
        const QStringList grid{"suiDBGrid1", "suiStatusBar"};
        const QStringList gridOnly{"suiDBGrid1"};
        const QStringList text{"RichEdit1"};
        QTest::newRow("1") << 1 << "Opazovalne postaje (Vir:ARSO)" << grid;
        QTest::newRow("2") << 2 << "Avtomatske postaje (Vir:ARSO)" << grid;
        QTest::newRow("16") << 16 << "Amaterske postaje (Vir:meteo-amaterji.si in vreme-doma.si)"
                            << grid;
        QTest::newRow("3") << 3 << "Radarska slika padavin (Vir:ARSO)"
                           << QStringList{"suiImagePanel1"};
        QTest::newRow("4") << 4 << "Satelitske slike (copyright EUMETSAT)"
                           << QStringList{"FrameSateliskeSlike1"};
        QTest::newRow("5") << 5 << "Napoved v besedi (Vir:ARSO)" << text;
        QTest::newRow("6") << 6 << "Napoved v sliki (Vir:ARSO)"
                           << QStringList{"suiIPNapovedVSliki"};
        QTest::newRow("7") << 7 << "Biometeorološka nap. (Vir:ARSO)" << text;
        QTest::newRow("8") << 8 << "Napoved za gore (Vir:ARSO)" << text;
        QTest::newRow("9") << 9 << "Napoved za letalstvo (Vir:ARSO)" << text;
        QTest::newRow("10") << 10 << "Snežna odeja (Vir:ARSO)" << gridOnly;
        QTest::newRow("11") << 11 << "" << QStringList{"FrameGraf1"};
        QTest::newRow("12") << 12 << "Animacije (Vir:FU-Berlin)" << QStringList{"FrameAnimations"};
        QTest::newRow("13") << 13 << "Vreme po Evropi (Vir:ARSO)" << grid;
        QTest::newRow("14") << 14 << "Slovensko Primorje" << QStringList{"FramePrimorje1"};
        QTest::newRow("15") << 15 << "Vodostaji (Vir:ARSO)" << gridOnly;
    }
    void viewSwitching()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QStringList, shown);
        NewForm(AllSwitchesOn);
        QAction* action = form->ViewAction(TViewKind(kind));
        QVERIFY(action && action->isVisible());
        action->trigger();
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind(kind));
        QCOMPARE(TitleWithoutTime(*form), title);
        QCOMPARE(ShownControls(*form), shown);
        QCOMPARE(form->ViewArea()->CurrentPanelTag(), ViewOfKind(TViewKind(kind))->tag);
        // The menu marks the view's button; only the picture views animate.
        auto* button = form->findChild<QPushButton*>(ViewOfKind(TViewKind(kind))->button);
        QVERIFY(button && button->property("current").toBool());
        QCOMPARE(form->findChild<QAction*>(QStringLiteral("actAnimiraj"))->isEnabled(),
                 kind == 3 || kind == 4);
    }

    // The switches place the buttons in one gap-free column.
    void viewSwitches()
    {
        NewForm(AllSwitchesOff);
        QCOMPARE(Menu().MenuButtonCount(), 2);
        QCOMPARE(Menu().MenuPanelHeight(), 40);
        auto row = [&](const char* name) {
            auto* button = form->findChild<QPushButton*>(QString::fromLatin1(name));
            return button->isHidden() ? -1 : button->y() / TNavigationMenu::MenuRowHeight;
        };
        QCOMPARE(row("suiImageButtonOpaz"), 0);
        QCOMPARE(row("suiImageButtonAvto"), 1);
        QCOMPARE(row("suiImageButtonSneg"), -1);
        QVERIFY(!form->ViewAction(TViewKind::SnowCover)->isVisible());

        parametri->Set(QStringLiteral("SNEZNA_ODEJA"), true);
        form->ApplyViewSwitches();
        QCOMPARE(row("suiImageButtonSneg"), 2);
        QCOMPARE(Menu().MenuPanelHeight(), 60);
        parametri->Set(QStringLiteral("AMATERSKE_POSTAJE"), true);
        parametri->Set(QStringLiteral("VODOSTAJI"), true);
        form->ApplyViewSwitches();
        QCOMPARE(row("suiImageButtonAmat"), 2);
        QCOMPARE(row("suiImageButtonSneg"), 3);
        QCOMPARE(row("suiImageButtonVodostaji"), 4);
        parametri->Set(QStringLiteral("AMATERSKE_POSTAJE"), false);
        form->ApplyViewSwitches();
        QCOMPARE(row("suiImageButtonAmat"), -1);
        QCOMPARE(row("suiImageButtonSneg"), 2);
        QCOMPARE(row("suiImageButtonVodostaji"), 3);
        QCOMPARE(Menu().MenuPanelHeight(), 80);
    }

    // Whole rows with five pixels to spare, arrows when they do not all fit.
    void fitMenuPanel_data()
    {
        QTest::addColumn<int>("channelHeight");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("arrows");
        QTest::addColumn<int>("rowsBelow");
        QTest::newRow("452") << 452 << 12 << true << 4;
        QTest::newRow("501") << 501 << 16 << false << 0;
        QTest::newRow("500") << 500 << 15 << true << 1;
    }
    void fitMenuPanel()
    {
        QFETCH(int, channelHeight);
        QFETCH(int, rows);
        QFETCH(bool, arrows);
        QFETCH(int, rowsBelow);
        NewForm(AllSwitchesOn);
        QCOMPARE(Menu().MenuButtonCount(), 16);
        QCOMPARE(Menu().MenuPanel()->y(), 176);
        Menu().FitMenuPanel(channelHeight);
        QCOMPARE(Menu().MenuPanelHeight(), rows * 20);
        QCOMPARE(Menu().ArrowsShown(), arrows);
        QCOMPARE(Menu().MenuRowsBelow(), rowsBelow);
        QCOMPARE(Menu().MenuRowsAbove(), 0);
    }

    // Down reaches the last button and no further; a taller channel scrolls
    // back so that no empty rows show.
    void menuScrolling()
    {
        NewForm(AllSwitchesOn);
        Menu().FitMenuPanel(452);
        auto* down = form->findChild<QToolButton*>(QStringLiteral("suiImageButtonDown"));
        auto* up = form->findChild<QToolButton*>(QStringLiteral("suiImageButtonUp"));
        for (int click = 1; click <= 5; ++click)
            down->click();
        QCOMPARE(Menu().MenuRowsAbove(), 4);
        QCOMPARE(Menu().MenuRowsBelow(), 0);
        auto* last = form->findChild<QPushButton*>(QStringLiteral("suiImageButtonVodostaji"));
        const QPoint inPanel = last->mapTo(Menu().MenuPanel(), QPoint(0, 0));
        QCOMPARE(inPanel.y(), Menu().MenuPanelHeight() - 20);

        up->click();
        QCOMPARE(Menu().MenuRowsAbove(), 3);
        QCOMPARE(Menu().MenuRowsBelow(), 1);
        down->click();

        // 14 rows fit now: two rows come back from above.
        Menu().FitMenuPanel(480);
        QCOMPARE(Menu().MenuPanelHeight(), 14 * 20);
        QCOMPARE(Menu().MenuRowsAbove(), 2);
        QCOMPARE(Menu().MenuRowsBelow(), 0);
        down->click();
        QCOMPARE(Menu().MenuRowsAbove(), 2);

        Menu().FitMenuPanel(501);
        QCOMPARE(Menu().MenuRowsAbove(), 0);
        QCOMPARE(Menu().MenuRowsBelow(), 0);
        QVERIFY(!Menu().ArrowsShown());
    }

    // About opens over any view and gives back exactly what was there.
    void aboutAndReturn_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("opens");
        QTest::newRow("grid") << 1 << 1;
        QTest::newRow("grid, twice") << 1 << 2;
        QTest::newRow("graph, empty title") << 11 << 1;
        QTest::newRow("snow cover, no statistics") << 10 << 1;
        QTest::newRow("text") << 8 << 1;
    }
    void aboutAndReturn()
    {
        QFETCH(int, kind);
        QFETCH(int, opens);
        NewForm(AllSwitchesOn);
        form->ViewAction(TViewKind(kind))->trigger();
        const QString title = form->TitlePanel()->Title();
        const QStringList shown = ShownControls(*form);
        for (int i = 0; i < opens; ++i)
            form->ViewArea()->OpenAbout();
        QCOMPARE(form->TitlePanel()->Title(), AboutCaption);
        QCOMPARE(ShownControls(*form), QStringList({"FrameAbout", "suiImageButtonClose"}));
        QCOMPARE(form->ViewArea()->CurrentPanelTag(), 99);
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind(kind));

        form->findChild<QToolButton*>(QStringLiteral("suiImageButtonClose"))->click();
        QCOMPARE(form->TitlePanel()->Title(), title);
        QCOMPARE(ShownControls(*form), shown);
        QCOMPARE(form->ViewArea()->CurrentPanelTag(), ViewOfKind(TViewKind(kind))->tag);
    }

    // A refresh while About is shown serves the view underneath; its new time
    // is in the title when About closes.
    void refreshUnderAbout()
    {
        NewForm();
        form->ViewArea()->OpenAbout();
        form->Weather()->ViewTitle->SetText(QStringLiteral("Opazovalne postaje (Vir:ARSO)"));
        form->RefreshData(true);
        QTRY_VERIFY(!Refreshing());
        QCOMPARE(form->TitlePanel()->Title(), AboutCaption);
        form->ViewArea()->CloseAbout();
        QVERIFY2(form->TitlePanel()->Title().startsWith(
                     QStringLiteral("Opazovalne postaje (Vir:ARSO)   ")),
                 qPrintable(form->TitlePanel()->Title()));
    }

    // A resize stops at 560 pixels; the advertising strip stays centred.
    void resizeRule_data()
    {
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("stripLeft");
        QTest::newRow("800") << 800 << 800 << 205;
        QTest::newRow("801, a half to the even neighbour") << 801 << 801 << 205;
        QTest::newRow("803") << 803 << 803 << 207;
        QTest::newRow("540") << 540 << 560 << 85;
        QTest::newRow("1200") << 1200 << 910 << 260;
    }
    void resizeRule()
    {
        QFETCH(int, proposed);
        QFETCH(int, width);
        QFETCH(int, stripLeft);
        QCOMPARE(TMainForm::FormCanResize(proposed), std::max(proposed, 560));
        NewForm();
        form->Prikaiokno1Click();
        form->resize(proposed, 545);
        QTRY_COMPARE(form->width(), width);
        QCOMPARE(form->findChild<QWidget*>(QStringLiteral("suiReklame"))->x(), stripLeft);
        QCOMPARE(form->minimumHeight(), 301);
        QCOMPARE(form->maximumSize(), QSize(910, 791));
    }

    // The X button hides (here, without a tray, minimises) or ends the program.
    void xButton_data()
    {
        QTest::addColumn<bool>("minimizeOnX");
        QTest::newRow("MINIMIZE_ON_X true") << true;
        QTest::newRow("MINIMIZE_ON_X false") << false;
    }
    void xButton()
    {
        QFETCH(bool, minimizeOnX);
        NewForm(minimizeOnX ? "MINIMIZE_ON_X=1\r\n" : "MINIMIZE_ON_X=0\r\n");
        form->Prikaiokno1Click();
        QVERIFY(form->isVisible());
        form->SideChannel()->SetPinned(true);
        form->close();
        QCOMPARE(pas_lib::ProgramEndRequested(), !minimizeOnX);
        if (minimizeOnX) {
            QTRY_VERIFY(form->windowState().testFlag(Qt::WindowMinimized) || !form->isVisible());
            QVERIFY(!ProgramSettings().contains(QStringLiteral("suiSideChannel")));
        } else {
            QCOMPARE(ProgramSettings().value(QStringLiteral("suiSideChannel")).toBool(), true);
        }
    }

    // The exit command deletes the cloudiness pictures, empties the feeds,
    // saves the side channel and ends the program.
    void exitCommand()
    {
        NewForm();
        QVERIFY(!form->TrayIcon()->Menu()->isEmpty());
        QDir().mkpath(window.Home().Path(QStringLiteral("Slike")));
        for (int i = 0; i <= 10; ++i)
            window.Home().WriteFile(QStringLiteral("Slike/sat%1.jpg").arg(i), "x");
        window.Home().WriteFile(QStringLiteral("Slike/dez0.jpg"), "x");
        window.Home().WriteFile(QStringLiteral("Slike/sat11.jpg"), "x");
        auto* refresh = form->findChild<TRefreshCycle*>();
        QVERIFY(!refresh->Feeds().MainFeed.isEmpty());

        form->findChild<QAction*>(QStringLiteral("actIzhod"))->trigger();
        for (int i = 0; i <= 10; ++i)
            QVERIFY(!QFile::exists(window.Home().Path(QStringLiteral("Slike/sat%1.jpg").arg(i))));
        QVERIFY(QFile::exists(window.Home().Path(QStringLiteral("Slike/dez0.jpg"))));
        QVERIFY(QFile::exists(window.Home().Path(QStringLiteral("Slike/sat11.jpg"))));
        QVERIFY(refresh->Feeds().MainFeed.isEmpty());
        QVERIFY(refresh->Feeds().SecondFeed.isEmpty());
        QCOMPARE(ProgramSettings().value(QStringLiteral("suiSideChannel")).toBool(), false);
        QVERIFY(pas_lib::ProgramEndRequested());
    }

    // The position is stored at the end and comes back at the next start.
    void positionRoundTrip()
    {
        NewForm();
        form->Prikaiokno1Click();
        form->setGeometry(100, 120, 600, 450);
        QTRY_COMPARE(form->geometry(), QRect(100, 120, 600, 450));
        window.CloseForm();
        const QByteArray stored =
            ProgramSettings().value(QStringLiteral("MainPozicija")).toByteArray();
        QCOMPARE(stored.size(), 17);
        const auto position = TWindowPosition::Decode(stored);
        QVERIFY(position);
        QCOMPARE(position->Bounds, QRect(100, 120, 600, 450));
        QCOMPARE(position->State, quint8(0));

        NewForm();
        QVERIFY(!form->isVisible());
        form->Prikaiokno1Click();
        QCOMPARE(form->geometry(), QRect(100, 120, 600, 450));
        QVERIFY(!form->isMaximized());
    }

    void maximisedComesBackMaximised()
    {
        TWindowPosition position;
        position.Bounds = QRect(50, 60, 600, 400);
        position.State = TWindowPosition::Maximized;
        ProgramSettings().setValue(QStringLiteral("MainPozicija"), position.Encode());
        NewForm();
        form->Prikaiokno1Click();
        QTRY_VERIFY(form->isMaximized());
    }

    // A broken stored position never puts the window off the screen.
    void brokenPosition_data()
    {
        QTest::addColumn<QByteArray>("stored");
        auto encoded = [](int left, int top, int right, int bottom, int state) {
            TWindowPosition position;
            position.Bounds = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
            position.State = quint8(state);
            return position.Encode();
        };
        QTest::newRow("short") << encoded(10, 10, 700, 500, 0).left(16);
        QTest::newRow("long") << encoded(10, 10, 700, 500, 0) + "x";
        QTest::newRow("negative size") << encoded(700, 500, 10, 10, 0);
        QTest::newRow("off every screen") << encoded(100000, 100000, 100700, 100500, 0);
        QTest::newRow("left of the screen") << encoded(-5000, 20, -4300, 520, 0);
        QTest::newRow("unknown state") << encoded(10, 10, 700, 500, 7);
        QTest::newRow("huge") << encoded(0, 0, 2000000000, 2000000000, 0);
    }
    void brokenPosition()
    {
        QFETCH(QByteArray, stored);
        ProgramSettings().setValue(QStringLiteral("MainPozicija"), stored);
        NewForm();
        form->Prikaiokno1Click();
        const QRect screen = form->screen()->availableGeometry();
        QVERIFY2(screen.contains(form->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                        .arg(form->x())
                                                                        .arg(form->y())
                                                                        .arg(form->width())
                                                                        .arg(form->height())));
    }

    // Without a tray a second start shows the window instead of a balloon.
    void secondStartWithoutTray()
    {
        NewForm();
        QSignalSpy balloons(form, &TMainForm::BalloonRequested);
        form->WMInstanceNotify(2, 0);
        QVERIFY(!form->isVisible());
        form->WMInstanceNotify(1, 0);
        QVERIFY(form->isVisible());
        QCOMPARE(balloons.size(), 0);
    }

    // Each notch of the wheel is one Up or Down for the focused grid.
    // The start-up's refresh gives the icon the chosen place's temperature
    // and weather picture; applying the settings again keeps the picture.
    void trayIconAfterStart()
    {
        NewForm("INTERVAL_IKONA=2\r\nTI_ZNAK_STOPINJE=0\r\n");
        const CurrentConditions& observation = pas_lib::currentConditions[0];
        QVERIFY(!observation.temperature.isEmpty() && !observation.weather.isEmpty());
        TTrayIcon* icon = form->TrayIcon();
        QCOMPARE(icon->Text(), observation.temperature.chopped(1));
        QCOMPARE(icon->Face().FaceKind, TTrayFace::Picture);
        QCOMPARE(icon->Face().List, TTrayList::Transparent);
        const QList<int> pictures{pas_lib::MapWeatherToIcon(observation.weather, false),
                                  pas_lib::MapWeatherToIcon(observation.weather, true)};
        QVERIFY(pictures.contains(icon->Face().Index));
        QVERIFY(form->TrayPresenter()->IconTimer()->isActive());
        QCOMPARE(form->TrayPresenter()->IconTimer()->interval(), 2000);
        QVERIFY(!icon->CycleIcons());

        const int index = icon->Face().Index;
        parametri->Set(QStringLiteral("VI_TRANSPARENT"), false);
        form->ApplySettings();
        QTRY_VERIFY(!Refreshing());
        QCOMPARE(icon->Face().List, TTrayList::Opaque);
        QCOMPARE(icon->Face().Index, index);
    }

    // A start without the servers shows the feeds of the last good refresh,
    // with their age in the tooltip and the titles of the views that show a
    // feed; the first refresh that succeeds replaces them and the age goes.
    void startWithStoredFeeds()
    {
        NewForm(AllSwitchesOn);
        const CurrentConditions observation = pas_lib::currentConditions[0];
        QVERIFY(!observation.temperature.isEmpty());
        window.CloseForm();
        const QDateTime received = QDateTime::currentDateTime().addSecs(-3 * 3600);
        for (const char* name : {"Podatki/podatki.xml", "Podatki/podatkiOstalo.xml"})
            QVERIFY(SetModified(window.Home().Path(QString::fromLatin1(name)), received));
        window.SetServerBase(QStringLiteral("http://127.0.0.1:%1").arg(FreeLoopbackPort()));
        NewForm(AllSwitchesOn);
        window.SetServerBase(QString());

        const QString age = QStringLiteral("podatki od %1.%2. %3")
                                .arg(received.date().day())
                                .arg(received.date().month())
                                .arg(received.time().toString(QStringLiteral("HH:mm")));
        QCOMPARE(pas_lib::currentConditions[0].temperature, observation.temperature);
        QVERIFY(form->TrayIcon()->Text().startsWith(observation.temperature.chopped(1)));
        const QString toolTip = form->TrayIcon()->ToolTip();
        QVERIFY2(toolTip.startsWith(observation.lastChange + QStringLiteral(" (") + age +
                                    QStringLiteral(")\n\r")),
                 qPrintable(toolTip));
        QVERIFY(form->findChild<TStationGrid*>()->model()->rowCount() > 10);
        QCOMPARE(form->TitlePanel()->DataAge(), age);
        QCOMPARE(TitleWithoutTime(*form), QStringLiteral("Opazovalne postaje (Vir:ARSO)"));
        form->ViewAction(TViewKind::EuropeanCities)->trigger();
        QVERIFY(form->findChild<TStationGrid*>()->model()->rowCount() > 10);
        QCOMPARE(form->TitlePanel()->DataAge(), age);
        form->ViewAction(TViewKind::Radar)->trigger();
        QCOMPARE(form->TitlePanel()->DataAge(), QString());
        form->ViewAction(TViewKind::GeneralForecast)->trigger();
        QCOMPARE(form->TitlePanel()->DataAge(), age);
        form->Vizitka1Click();
        QCOMPARE(form->TitlePanel()->DataAge(), QString());

        window.Home().WriteFile(QStringLiteral("Config.ini"),
                                demo.ConfigUrlSection() + "[PARAMETRI]\r\n" + AllSwitchesOn);
        form->ViewAction(TViewKind::ObservationStations)->trigger();
        form->RefreshData(true);
        QTRY_VERIFY_WITH_TIMEOUT(!Refreshing(), 30000);
        QVERIFY2(!form->TrayIcon()->ToolTip().contains(QStringLiteral("podatki od")),
                 qPrintable(form->TrayIcon()->ToolTip()));
        QCOMPARE(form->TitlePanel()->DataAge(), QString());
    }

    void wheelToArrowKeys()
    {
        NewForm();
        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        auto* grid = form->findChild<TStationGrid*>();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTRY_VERIFY(grid->hasFocus());
        auto wheel = [&](int delta) {
            const QPointF at = grid->viewport()->rect().center();
            QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid->viewport(), &event);
        };
        wheel(-120);
        QCOMPARE(grid->currentIndex().row(), 1);
        wheel(-240);
        QCOMPARE(grid->currentIndex().row(), 3);
        wheel(120);
        QCOMPARE(grid->currentIndex().row(), 2);
        wheel(60);
        QCOMPARE(grid->currentIndex().row(), 2);
        wheel(60);
        QCOMPARE(grid->currentIndex().row(), 1);
    }

    // The refresh command reloads the data in the data views and only the
    // picture in the picture views.
    void refreshCommand()
    {
        NewForm(AllSwitchesOn);
        QSignalSpy pictures(form, &TMainForm::PictureRefreshRequested);
        auto feeds = [&] {
            return demo.Server().Requests().filter(QStringLiteral("/podatki.xml")).size();
        };
        auto pictureRequests = [&] {
            return demo.Server().Requests().filter(QStringLiteral("vreme.jpg")).size();
        };
        const qsizetype before = feeds();
        const qsizetype picturesBefore = pictureRequests();
        // Removing the picture would make a timed refresh fetch it again.
        QFile::remove(window.Home().Path(QStringLiteral("Slike/vreme.jpg")));
        form->findChild<QAction*>(QStringLiteral("actOsvezitev"))->trigger();
        QTRY_VERIFY(!Refreshing());
        QCOMPARE(feeds(), before + 1);
        QCOMPARE(pictureRequests(), picturesBefore);

        form->Prikaiokno1Click();
        form->ViewAction(TViewKind::Radar)->trigger();
        QTRY_VERIFY(!form->TitlePanel()->Refreshing());
        auto animations = [&] {
            return demo.Server().Requests().filter(QStringLiteral("radar_anim.gif")).size();
        };
        const qsizetype animationsBefore = animations();
        form->findChild<QAction*>(QStringLiteral("actOsvezitev"))->trigger();
        // The animated radar picture, downloaded anew with the indicator on.
        QVERIFY(form->TitlePanel()->Refreshing());
        QTRY_VERIFY(!form->TitlePanel()->Refreshing());
        QCOMPARE(animations(), animationsBefore + 1);
        QCOMPARE(feeds(), before + 1);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().first().value<TViewKind>(), TViewKind::Radar);

        form->ViewAction(TViewKind::GeneralForecast)->trigger();
        form->findChild<QAction*>(QStringLiteral("actOsvezitev"))->trigger();
        QVERIFY(form->TitlePanel()->Refreshing());
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        QTRY_VERIFY(!Refreshing());
        QCOMPARE(feeds(), before + 2);
        QVERIFY(!form->TitlePanel()->Refreshing());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // The picture views from the window: each shows its picture when opened,
    // The demo switches advertising on: the strip rotates while the window is
    // shown, a click opens the advertisement, the tray stops it; with
    // advertising off the window takes the look without the strip.
    void advertising()
    {
        NewForm();
        QVERIFY(AdsActive);
        auto* strip = form->findChild<TAdvertisingStrip*>(QStringLiteral("suiReklame"));
        TAdvertisingPlayer* player = form->Advertising();
        QVERIFY(!player->Enabled());
        QVERIFY(!strip->isHidden());
        const int withStrip = form->findChild<QWidget*>(QStringLiteral("suiTitleArea"))->height();
        form->Prikaiokno1Click();
        QVERIFY(player->Enabled());
        Await(player->tmPredvajanjeTimer());
        QCOMPARE(player->Items().size(), 3);
        Await(player->tmPredvajanjeTimer());
        QTRY_VERIFY(strip->HasPicture());
        QStringList opened;
        pas_lib::SetWebAddressOpener([&opened](const QString& address) {
            opened.append(address);
            return true;
        });
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->PictureRect().center());
        // The demo's pictures fill the strip: nothing lies beside them to click.
        form->suiReklameClick();
        pas_lib::SetWebAddressOpener({});
        QCOMPARE(opened.size(), 2);
        QVERIFY2(opened.at(0).endsWith(QStringLiteral("/index.html#kolesa")),
                 qPrintable(opened.at(0)));
        QCOMPARE(opened.at(1), HomePageUrl);

        form->Skrijokno1Click();
        QVERIFY(!player->Enabled());
        QVERIFY(!player->TimerActive());
        AdsActive = false;
        form->SetAdvertising(false);
        QVERIFY(strip->isHidden());
        QVERIFY(form->findChild<QWidget*>(QStringLiteral("suiTitleArea"))->height() < withStrip);
    }

    // The coast view: the forecast table in front at first, the buoy's text
    // and the table by the two source buttons, the title kept.
    void coastView()
    {
        NewForm("NAPOVED_PRIMORJE=1\r\n");
        form->ViewAction(TViewKind::Coast)->trigger();
        TFramePrimorje* coast = form->ViewArea()->Coast();
        const QString title = form->TitlePanel()->Title();
        QVERIFY2(title.startsWith(QStringLiteral("Slovensko Primorje   ")), qPrintable(title));
        QVERIFY(!coast->Grid()->isHidden());
        QVERIFY(coast->TextPane()->isHidden());
        QVERIFY(coast->Grid()->model()->rowCount() > 0);
        QCOMPARE(coast->Grid()->DataSourceName(), QStringLiteral("ds_primorje"));

        coast->findChild<QToolButton*>(QStringLiteral("btnMorska"))->click();
        QVERIFY(coast->Grid()->isHidden());
        QVERIFY(!coast->TextPane()->isHidden());
        QVERIFY(!coast->TextPane()->document()->isEmpty());
        QCOMPARE(form->TitlePanel()->Title(), title);
        coast->findChild<QToolButton*>(QStringLiteral("btnARSO"))->click();
        QVERIFY(!coast->Grid()->isHidden());
        QVERIFY(coast->TextPane()->isHidden());
        QCOMPARE(form->TitlePanel()->Title(), title);
    }

    // What the About page and the window's web buttons hand to the desktop:
    // web addresses and mail with the product as the subject, nothing else.
    void webAddressesOpened()
    {
        NewForm();
        QStringList opened;
        pas_lib::SetWebAddressOpener([&opened](const QString& address) {
            opened.append(address);
            return true;
        });
        form->Prikaiokno1Click();
        form->Vizitka1Click();
        auto* home = form->findChild<QLabel*>(QStringLiteral("suiURLnimbulon"));
        QCOMPARE(home->text(), HomePageUrl);
        QTest::mouseClick(home, Qt::LeftButton);
        QTest::mouseClick(form->findChild<QLabel*>(QStringLiteral("AboutCredit1")), Qt::LeftButton);
        form->findChild<QAbstractButton*>(QStringLiteral("suiImageButtonNimbulon"))->click();
        // A home page from the servers that is not a web address opens nothing.
        const QString served = HomePageUrl;
        HomePageUrl = QStringLiteral("file:///etc/passwd");
        form->findChild<QAbstractButton*>(QStringLiteral("suiImageButtonNimbulon"))->click();
        HomePageUrl = served;
        pas_lib::SetWebAddressOpener({});
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened.at(0), ServerAddress(TServer::Forum));
        QCOMPARE(opened.at(1), QStringLiteral("mailto:ikone@korvalin.si?subject=Nimbulon"));
        QCOMPARE(opened.at(2), served);
        for (const QString& address : std::as_const(opened))
            QVERIFY(address.startsWith(QStringLiteral("http://")) ||
                    address.startsWith(QStringLiteral("https://")) ||
                    address.startsWith(QStringLiteral("mailto:")));
    }

    // The graph view against the demo's chart server (nginx, fcgiwrap,
    // chartd): built when it first opens, set up from the settings, and its
    // "Dnevni" button routed through the window.
    void graphView()
    {
        NewForm("GRAF_TEMPERATURE=1\r\nTIP_POSTAJE=1\r\nKRAJ_AVTOMATSKE=Ljubljana\r\n");
        TFrameGraf* frame = form->ViewArea()->Graph();
        QVERIFY(!frame->Opened());
        form->ViewAction(TViewKind::TemperatureGraph)->trigger();
        QVERIFY(frame->Opened());
        QCOMPARE(frame->findChild<QComboBox*>(QStringLiteral("dbPostajaAvt"))->currentText(),
                 QStringLiteral("Ljubljana"));
        // Yesterday has all its hours in the demo's readings.
        frame->findChild<QDateTimeEdit*>(QStringLiteral("dtZaDatum"))
            ->setDate(QDate::currentDate().addDays(-1));
        frame->DailyButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(frame->SeriesBars().size(), 1, 20000);
        const QMap<int, int> hours = frame->SeriesBars().first();
        QVERIFY2(hours.size() >= 18 && hours.size() <= 24,
                 qPrintable(QString::number(hours.size())));
        QVERIFY(hours.firstKey() >= 0 && hours.lastKey() <= 23);
        for (const int temperature : hours)
            QVERIFY(temperature > -40 && temperature < 45);
        QCOMPARE(frame->Chart()->title(), QStringLiteral("Dnevni graf"));
        QTRY_VERIFY(!frame->Requesting());

        Await(frame->btnLetniGrafClick());
        QCOMPARE(frame->SeriesBars().size(), 1);
        const QMap<int, int> months = frame->SeriesBars().first();
        QVERIFY(!months.isEmpty());
        QVERIFY(months.firstKey() >= 1 && months.lastKey() <= 12);
        QCOMPARE(frame->Chart()->title(), QStringLiteral("Letni graf"));
    }

    // F3 animates the radar and the satellite pictures, a view switch stops
    // the animation, and the exit command during one is safe.
    void pictureViews()
    {
        NewForm(AllSwitchesOn);
        form->Prikaiokno1Click();
        TViewArea& area = *form->ViewArea();
        QAction* animate = form->findChild<QAction*>(QStringLiteral("actAnimiraj"));
        form->ViewAction(TViewKind::Radar)->trigger();
        QTRY_VERIFY(!area.Radar()->Picture().isNull());
        QVERIFY(!area.Radar()->Movie());
        animate->trigger();
        QTRY_VERIFY(area.Radar()->Movie());

        form->ViewAction(TViewKind::ForecastMaps)->trigger();
        QTRY_VERIFY(!area.Forecast()->Map()->Picture().isNull());
        QVERIFY(!animate->isEnabled());

        form->ViewAction(TViewKind::Satellite)->trigger();
        QTRY_VERIFY(!area.Satellite()->Picture()->Picture().isNull());
        animate->trigger();
        QVERIFY(area.Satellite()->Animating());
        QTRY_VERIFY(form->TitlePanel()->Refreshing());
        form->ViewAction(TViewKind::ObservationStations)->trigger();
        QVERIFY(!area.Satellite()->Animating());
        QTRY_VERIFY(!form->TitlePanel()->Refreshing());

        form->ViewAction(TViewKind::Satellite)->trigger();
        animate->trigger();
        QVERIFY(area.Satellite()->Animating());
        form->findChild<QAction*>(QStringLiteral("actIzhod"))->trigger();
        for (int i = 0; i <= 10; ++i)
            QVERIFY(!QFile::exists(window.Home().Path(QStringLiteral("Slike/sat%1.jpg").arg(i))));
    }

    // Pinned, the channel stays open beside the content; unpinned, a view
    // action folds it to its bar.
    void sideChannel()
    {
        NewForm();
        TSideChannel* channel = form->SideChannel();
        QVERIFY(!channel->Expanded());
        channel->Expand();
        QVERIFY(channel->Expanded());
        form->ViewAction(TViewKind::AutomaticStations)->trigger();
        QVERIFY(!channel->Expanded());
        channel->SetPinned(true);
        QVERIFY(channel->Expanded());
        form->ViewAction(TViewKind::ObservationStations)->trigger();
        QVERIFY(channel->Expanded());
        QCOMPARE(channel->ReservedWidth(), 180);
    }

    // Every showing puts the proverb into the banner; one that fits in the
    // window's font with more than 5 pixels to spare stands still at the left
    // edge (364 pixels in a 370-pixel banner), one with 5 or fewer scrolls.
    void proverbOnShow_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<bool>("running");
        QTest::newRow("6 pixels to spare: stands") << 6 << false;
        QTest::newRow("5 pixels to spare: scrolls") << 5 << true;
        QTest::newRow("wider than the banner: scrolls") << -40 << true;
    }
    void proverbOnShow()
    {
        QFETCH(int, room);
        QFETCH(bool, running);
        NewForm();
        Proverb = QStringLiteral("Kdor drugemu jamo koplje, sam vanjo pade.");
        const int width = form->fontMetrics().horizontalAdvance(Proverb);
        form->resize(width + room + TMainForm::BannerWidthMargin, form->height());
        form->Prikaiokno1Click();
        auto* banner = form->findChild<TKorvalinBanner*>(QStringLiteral("KorvalinBanner"));
        QVERIFY(banner->isVisible());
        QVERIFY(form->findChild<TBannerCap*>(QStringLiteral("suiImageBannerL"))->isVisible());
        QVERIFY(form->findChild<TBannerCap*>(QStringLiteral("suiImageBannerR"))->isVisible());
        QCOMPARE(banner->width(), width + room);
        QCOMPARE(banner->Text(), Proverb);
        QCOMPARE(banner->Running(), running);
        QCOMPARE(banner->Ticking(), running);
        QCOMPARE(banner->Pos(), running ? banner->width() : 0);
    }

    // Hidden in the tray the banner does not tick; shown, the demo's proverb
    // scrolls; the first minimise to the tray stops it for good.
    void proverbStopsAtMinimiseToTray()
    {
        NewForm();
        auto* banner = form->findChild<TKorvalinBanner*>(QStringLiteral("KorvalinBanner"));
        QVERIFY(!Proverb.isEmpty());
        QVERIFY(!banner->Ticking());
        form->Prikaiokno1Click();
        QCOMPARE(banner->Text(), Proverb);
        QVERIFY(banner->Ticking());
        QTRY_VERIFY(banner->Pos() < banner->width() - 1);
        form->Skrijokno1Click();
        QVERIFY(!banner->Running());
        QVERIFY(!banner->Ticking());
        form->Prikaiokno1Click();
        QVERIFY(banner->isVisible());
        QVERIFY(!banner->Ticking());
        QCOMPARE(banner->Pos(), 0);
    }

    // Without a proverb the banner and its ends stay hidden at every showing.
    void noProverbNoBanner()
    {
        NewForm();
        Proverb.clear();
        for (int showing = 0; showing < 2; ++showing) {
            form->Prikaiokno1Click();
            QVERIFY(form->isVisible());
            for (const char* name : {"KorvalinBanner", "suiImageBannerL", "suiImageBannerR"})
                QVERIFY2(form->findChild<QWidget*>(QLatin1String(name))->isHidden(), name);
            form->Skrijokno1Click();
        }
    }

    // The refresh at start labels the moon panel for today.
    void moonPanel()
    {
        NewForm();
        QTRY_VERIFY(!Refreshing());
        const auto* moon = form->findChild<TMoonPanel*>(QStringLiteral("ipLunineMene"));
        QVERIFY(moon);
        const auto expected = MoonPanelLabels(QDate::currentDate());
        QCOMPARE(moon->Labels().size(), 4);
        for (int phase = 0; phase < 4; ++phase) {
            QCOMPARE(moon->Labels()[phase].DayName, expected[phase].dayName);
            QCOMPARE(moon->Labels()[phase].Date, expected[phase].date);
        }
    }

    // Tab reads the window as the eye does: the top area, the menu, the
    // content, the bottom bar; back-tab into the folded channel opens it at
    // its last entry, and back-tab from its first entry leaves it.
    void tabOrder()
    {
        NewForm(AllSwitchesOn);
        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        auto* product = form->findChild<QToolButton*>(QStringLiteral("suiImageButtonNimbulon"));
        product->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(product->hasFocus());
        QStringList walked{product->objectName()};
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == product)
                break;
            walked.append(QApplication::focusWidget()->objectName());
        }
        QStringList expected{QStringLiteral("suiImageButtonNimbulon"),
                             QStringLiteral("suiFormMainHelpButton")};
        for (const TViewInfo& view : Views())
            expected.append(view.button);
        expected << QStringLiteral("suiDBGrid1") << QStringLiteral("suiImageButtonGlobe")
                 << QStringLiteral("suiImageButtonTool") << QStringLiteral("suiImageButtonRefresh")
                 << QStringLiteral("suiImageButtonExit");
        QCOMPARE(walked, expected);

        auto* grid = form->findChild<TStationGrid*>();
        grid->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!form->SideChannel()->Expanded());
        QTest::keyClick(grid, Qt::Key_Backtab);
        QVERIFY(form->SideChannel()->Expanded());
        QCOMPARE(QApplication::focusWidget()->objectName(), Views().last().button);
        form->findChild<QPushButton*>(Views().first().button)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(),
                 QStringLiteral("suiFormMainHelpButton"));
        QTRY_VERIFY(!form->SideChannel()->Expanded());
    }

    // In the menu the arrows, Home and End move between the shown entries,
    // and Enter opens the view.
    void menuKeys()
    {
        NewForm(AllSwitchesOff);
        parametri->Set(QStringLiteral("VODOSTAJI"), true);
        form->ApplyViewSwitches();
        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->SideChannel()->Expand();
        auto* first = form->findChild<QPushButton*>(QStringLiteral("suiImageButtonOpaz"));
        first->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(first->hasFocus());
        auto focusName = [] { return QApplication::focusWidget()->objectName(); };
        QTest::keyClick(first, Qt::Key_Up);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonOpaz"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonAvto"));
        // Switched-off entries are passed over.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonVodostaji"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonVodostaji"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonOpaz"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonVodostaji"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind::WaterLevels);
    }

    // Screen readers see the menu as a list of the shown views, named, the
    // current one selected; an entry opens its view while the channel is
    // folded, and focusing one opens the channel.
    void accessibleMenu()
    {
        NewForm(AllSwitchesOff);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(
            form->findChild<QWidget*>(QStringLiteral("PanelMenuBtnsContent")));
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QVERIFY(!list->text(QAccessible::Name).isEmpty());
        QCOMPARE(list->childCount(), 2);
        parametri->Set(QStringLiteral("SNEZNA_ODEJA"), true);
        form->ApplyViewSwitches();
        QCOMPARE(list->childCount(), 3);
        QAccessibleInterface* snow = list->child(2);
        QCOMPARE(snow->role(), QAccessible::ListItem);
        QCOMPARE(snow->text(QAccessible::Name), ViewOfKind(TViewKind::SnowCover)->caption);
        QCOMPARE(list->indexOfChild(snow), 2);
        QVERIFY(list->child(0)->state().selected);
        QVERIFY(!snow->state().selected);

        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!form->SideChannel()->Expanded());
        QAccessibleActionInterface* actions = snow->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind::SnowCover);
        QVERIFY(snow->state().selected);
        QVERIFY(!list->child(0)->state().selected);

        QVERIFY(!form->SideChannel()->Expanded());
        list->child(1)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QVERIFY(form->SideChannel()->Expanded());
        QTRY_COMPARE(QApplication::focusWidget()->objectName(),
                     QStringLiteral("suiImageButtonAvto"));
    }

    // The keyboard reaches every menu button (Tab opens the channel and
    // scrolls the buttons into view), F5 refreshes, Alt+F4 is the exit command.
    void keyboard()
    {
        NewForm(AllSwitchesOn);
        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        auto* grid = form->findChild<TStationGrid*>();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        auto focusName = [] {
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                               : QString();
        };
        for (int i = 0; i < 30 && focusName() != QLatin1String("suiImageButtonOpaz"); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonOpaz"));
        QVERIFY(form->SideChannel()->Expanded());
        QVERIFY(Menu().ArrowsShown());
        for (int i = 1; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QVERIFY(button);
            QVERIFY(!button->toolTip().isEmpty());
            const int y = button->mapTo(Menu().MenuPanel(), QPoint(0, 0)).y();
            QVERIFY2(y >= 0 && y + 20 <= Menu().MenuPanelHeight(),
                     qPrintable(button->objectName()));
        }
        QCOMPARE(focusName(), QStringLiteral("suiImageButtonVodostaji"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(pas_lib::CurrentViewKind, TViewKind::WaterLevels);
        QVERIFY(!form->SideChannel()->Expanded());

        const qsizetype before =
            demo.Server().Requests().filter(QStringLiteral("/podatki.xml")).size();
        QTest::keyClick(form, Qt::Key_F5);
        QTRY_VERIFY(!Refreshing());
        QCOMPARE(demo.Server().Requests().filter(QStringLiteral("/podatki.xml")).size(),
                 before + 1);
        QCOMPARE(form->findChild<QAction*>(QStringLiteral("actIzhod"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_F4));
        QTest::keyClick(form, Qt::Key_F4, Qt::AltModifier);
        QVERIFY(pas_lib::ProgramEndRequested());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
