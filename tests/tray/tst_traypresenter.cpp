#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"
#include "tray/CaptionWriter.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayPresenter.h"
#include "tray/TrayTexts.h"
#include "weather/CurrentConditions.h"
#include "weather/LoadFeedSection.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

QStringList trayLog;

void CollectTrayLog(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QByteArray(context.category) == "nimbulon.tray")
        trayLog.append(message);
}

CurrentConditions Record(const QString& temperature, const QString& weather,
                         const QString& stamp = QStringLiteral("1.2.2024 14:00"))
{
    CurrentConditions record;
    record.place = QStringLiteral("Ljubljana");
    record.temperature = temperature;
    record.weather = weather;
    record.lastChange = temperature.isEmpty() ? QString() : stamp;
    record.feelsLike = QStringLiteral("°");
    return record;
}

// The balloons handed to the tray (there is none here to show them).
QStringList Balloons()
{
    return trayLog.filter(
        QRegularExpression(QStringLiteral("^Balloon( not shown \\(no tray\\))?: ")));
}

} // namespace

// The icon's faces from the current conditions and the settings.
class TestTrayPresenter : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> messages;
    std::unique_ptr<QWidget> window;
    TTrayIcon* icon = nullptr;
    TTrayPresenter* tray = nullptr;
    QtMessageHandler previousHandler = nullptr;

    void Settings(const QByteArray& parameters)
    {
        home->WriteFile(QStringLiteral("Config.ini"), "[PARAMETRI]\r\n" + parameters);
        CreateParameters();
        tray->ApplySettings();
    }

    void Conditions(const CurrentConditions& observation, const CurrentConditions& automatic = {},
                    const CurrentConditions& amateur = {})
    {
        pas_lib::currentConditions = {observation, automatic, amateur};
    }

    TTrayFace Text(const QString& text) const
    {
        TTrayFace face;
        face.FaceKind = TTrayFace::Text;
        face.FaceText = text;
        face.TextStyle = icon->TextStyle();
        return face;
    }

    TTrayFace Picture(int index, TTrayList list = TTrayList::Transparent) const
    {
        TTrayFace face;
        face.FaceKind = TTrayFace::Picture;
        face.List = list;
        face.Index = index;
        face.ListBackground = QColor(192, 192, 192);
        return face;
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("nimbulon.tray.debug=true"));
        previousHandler = qInstallMessageHandler(CollectTrayLog);
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        home = std::make_unique<TTestHome>();
        messages = std::make_unique<TRecordingPresenter>();
        window = std::make_unique<QWidget>();
        icon = new TTrayIcon(window.get());
        tray = new TTrayPresenter(*icon, window.get());
        tray->SetClock([] { return QTime(12, 0); });
        pas_lib::SunriseTime = 0.25;
        pas_lib::SunsetTime = 0.84;
        pas_lib::currentConditions = {};
        trayLog.clear();
    }

    void cleanup()
    {
        window.reset();
        QCOMPARE(messages->Messages, QStringList());
        messages.reset();
        home.reset();
        pas_lib::currentConditions = {};
    }

    // The two settings decide what shows after an update and whether the
    // faces alternate.
    void displayModes_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("only");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("alternates");
        QTest::newRow("alternating, text kept") << 3 << 0 << true << true;
        QTest::newRow("alternating, picture kept") << 3 << 1 << true << true;
        QTest::newRow("text only") << 0 << 0 << false << false;
        QTest::newRow("picture only") << 0 << 1 << true << false;
    }
    void displayModes()
    {
        QFETCH(int, interval);
        QFETCH(int, only);
        QFETCH(bool, picture);
        QFETCH(bool, alternates);
        Settings(
            QStringLiteral("INTERVAL_IKONA=%1\r\nPRIKAZEM_IKONO=%2\r\nFONT_BG_COLOR=12632256\r\n")
                .arg(interval)
                .arg(only)
                .toLatin1());
        Conditions(Record(QStringLiteral("7°"), QStringLiteral("oblačno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), picture ? Picture(4) : Text(QStringLiteral("7")));
        QCOMPARE(tray->IconTimer()->isActive(), alternates);
        QCOMPARE(tray->IconTimer()->interval(), interval * 1000);
        // Text only never sets a picture; picture only never a text.
        QCOMPARE(icon->Text().isEmpty(), interval == 0 && only == 1);
    }

    // After an update the picture shows; the ticks then alternate, and the
    // flag is not reset by the next update.
    void alternation()
    {
        Settings("INTERVAL_IKONA=1\r\nTI_ZNAK_STOPINJE=1\r\nFONT_BG_COLOR=12632256\r\n");
        Conditions(Record(QStringLiteral("-3°"), QStringLiteral("pretežno oblačno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(3));
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Text(QStringLiteral("-3°")));
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Picture(3));
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Text(QStringLiteral("-3°")));

        // An update while the text shows: the picture, then the picture again,
        // and the text one period later.
        Conditions(Record(QStringLiteral("-2°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(0));
        QVERIFY(tray->TrayShowsText());
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Picture(0));
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Text(QStringLiteral("-2°")));

        // The timer really runs the ticks.
        QTRY_COMPARE_WITH_TIMEOUT(icon->Face(), Picture(0), 3000);
    }

    // The temperature's kind falls back; the picture's kind does not.
    void stationKinds_data()
    {
        QTest::addColumn<QByteArray>("parameters");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("picture");
        // The weather has no fallback: no amateur description, no picture.
        QTest::newRow("amateur without data: observation temperature")
            << QByteArray("TIP_POSTAJE=2\r\nVREME_OPAZOVALNE=0\r\n") << "1" << -1;
        QTest::newRow("amateur without data, observation weather")
            << QByteArray("TIP_POSTAJE=2\r\nVREME_OPAZOVALNE=1\r\n") << "1" << 0;
        QTest::newRow("automatic with observation weather")
            << QByteArray("TIP_POSTAJE=1\r\nVREME_OPAZOVALNE=1\r\n") << "2" << 0;
        QTest::newRow("automatic with its own weather")
            << QByteArray("TIP_POSTAJE=1\r\nVREME_OPAZOVALNE=0\r\n") << "2" << 4;
    }
    void stationKinds()
    {
        QFETCH(QByteArray, parameters);
        QFETCH(QString, text);
        QFETCH(int, picture);
        Settings("INTERVAL_IKONA=2\r\nFONT_BG_COLOR=12632256\r\n" + parameters);
        Conditions(Record(QStringLiteral("1°"), QStringLiteral("jasno")),
                   Record(QStringLiteral("2°"), QStringLiteral("oblačno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), picture < 0 ? Text(text) : Picture(picture));
        QCOMPARE(icon->Text(), text);
    }

    // Neither the kind nor its fallback has data: "NA".
    void noData()
    {
        Settings("INTERVAL_IKONA=0\r\nPRIKAZEM_IKONO=0\r\nTIP_POSTAJE=0\r\n");
        Conditions({}, {}, Record(QStringLiteral("5°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Text(QStringLiteral("NA")));
    }

    // An empty description stops the alternation and keeps the face: the text
    // when alternating, the previous picture when only pictures show.
    void emptyDescription_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("only");
        QTest::addColumn<bool>("text");
        QTest::newRow("alternating") << 2 << 0 << true;
        QTest::newRow("picture only") << 0 << 1 << false;
    }
    void emptyDescription()
    {
        QFETCH(int, interval);
        QFETCH(int, only);
        QFETCH(bool, text);
        Settings(
            QStringLiteral("INTERVAL_IKONA=%1\r\nPRIKAZEM_IKONO=%2\r\nFONT_BG_COLOR=12632256\r\n")
                .arg(interval)
                .arg(only)
                .toLatin1());
        Conditions(Record(QStringLiteral("4°"), QStringLiteral("sneži")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(11));
        Conditions(Record(QStringLiteral("5°"), QString()));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), text ? Text(QStringLiteral("5")) : Picture(11));
        QVERIFY(!tray->IconTimer()->isActive());
    }

    // The clock against the sun times.
    void nightPicture_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("picture");
        QTest::newRow("day") << QTime(12, 0) << 3;
        QTest::newRow("night") << QTime(22, 0) << 20;
        QTest::newRow("early") << QTime(4, 30) << 20;
    }
    void nightPicture()
    {
        QFETCH(QTime, time);
        QFETCH(int, picture);
        Settings("INTERVAL_IKONA=3\r\n");
        tray->SetClock([time] { return time; });
        Conditions(Record(QStringLiteral("4°"), QStringLiteral("pretežno oblačno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face().Index, picture);
    }

    // The settings reach the text and the list; the list keeps its index.
    void applySettings()
    {
        Settings("INTERVAL_IKONA=3\r\nFONT_BG_COLOR=12632256\r\n");
        tray->SetClock([] { return QTime(23, 0); });
        Conditions(Record(QStringLiteral("12°"), QStringLiteral("pretežno oblačno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(20));

        Settings("INTERVAL_IKONA=5\r\nVI_TRANSPARENT=0\r\nTI_TRANSPARENT=0\r\n"
                 "FONT_BG_COLOR=255\r\nFONT_COLOR=16711680\r\nFONT_NAME=\"DejaVu Serif\"\r\n"
                 "FONT_SIZE=\"11\"\r\nFONT_STYLE=\"XIS\"\r\n");
        TTrayFace opaque = Picture(20, TTrayList::Opaque);
        opaque.ListBackground = Qt::red;
        QCOMPARE(icon->Face(), opaque);
        QCOMPARE(tray->IconTimer()->interval(), 5000);
        const TTrayTextStyle& style = icon->TextStyle();
        QCOMPARE(style.Font.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(style.Font.pointSize(), 11);
        QVERIFY(!style.Font.bold());
        QVERIFY(style.Font.italic());
        QVERIFY(style.Font.strikeOut());
        QCOMPARE(style.Color, QColor(Qt::blue));
        QVERIFY(!style.Transparent);
        QCOMPARE(style.Background, std::optional<QColor>(QColor(Qt::red)));

        tray->tmIkonaTimer();
        QCOMPARE(icon->Face(), Text(QStringLiteral("12")));
        // Transparent text again: the text face follows at once.
        Settings("INTERVAL_IKONA=5\r\nTI_TRANSPARENT=1\r\n");
        QVERIFY(icon->Face().TextStyle.Transparent);
    }

    // A refresh while minimised cycles the radar frames; afterwards the face
    // from before returns, so an update without a description leaves no frame.
    void refreshFrames()
    {
        Settings("INTERVAL_IKONA=0\r\nPRIKAZEM_IKONO=1\r\nFONT_BG_COLOR=12632256\r\n");
        Conditions(Record(QStringLiteral("3°"), QStringLiteral("megla")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(5));

        tray->StartIconAnimation();
        QVERIFY(icon->CycleIcons());
        QVERIFY(trayLog.contains(
            QStringLiteral("Icon cycles through the animation list every 100 ms")));
        QCOMPARE(icon->Face().List, TTrayList::Animation);
        QTRY_VERIFY_WITH_TIMEOUT(icon->Face().Index >= 3, 2000);
        // The alternation does not interrupt the frames.
        tray->tmIkonaTimer();
        QCOMPARE(icon->Face().List, TTrayList::Animation);

        trayLog.clear();
        tray->StopIconAnimation();
        QVERIFY(!icon->CycleIcons());
        QCOMPARE(icon->Face(), Picture(5));
        // Straight back, without a face in between.
        QCOMPARE(trayLog.filter(QStringLiteral("Icon shows")),
                 QStringList{QStringLiteral("Icon shows picture 5 of the transparent list")});
        QVERIFY(trayLog.first().contains(QRegularExpression(
            QStringLiteral("^Icon stops cycling at picture \\d+ of the animation list$"))));
        Conditions(Record(QStringLiteral("3°"), QString()));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->Face(), Picture(5));
    }

    // Every face change is logged with the face shown.
    void faceLog()
    {
        Settings("INTERVAL_IKONA=3\r\nTI_ZNAK_STOPINJE=1\r\n");
        Conditions(Record(QStringLiteral("2°"), QStringLiteral("pretežno oblačno")));
        tray->SetClock([] { return QTime(23, 30); });
        tray->UpdateTrayIcon();
        tray->tmIkonaTimer();
        QCOMPARE(trayLog.filter(QStringLiteral("Icon shows")),
                 QStringList({QStringLiteral("Icon shows text \"2°\""),
                              QStringLiteral("Icon shows picture 20 of the transparent list"),
                              QStringLiteral("Icon shows text \"2°\"")}));
        QVERIFY(
            trayLog.contains(QStringLiteral("Weather \"pretežno oblačno\" by night: picture 20")));
    }

    // One balloon per observation; "Prikaži namig" shows it again, also when
    // automatic balloons are off, which still record the observation.
    void balloonOncePerObservation_data()
    {
        QTest::addColumn<bool>("balloonsOff");
        QTest::newRow("balloons on") << false;
        QTest::newRow("balloons off") << true;
    }
    void balloonOncePerObservation()
    {
        QFETCH(bool, balloonsOff);
        Settings(balloonsOff ? "IZKLOPI_OBLACEK=1\r\n" : "IZKLOPI_OBLACEK=0\r\n");
        icon->SetEnabled(true);
        Conditions(Record(QStringLiteral("12°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        tray->UpdateTrayIcon();
        const QString balloon = QStringLiteral("1.2.2024 14:00 / Ljubljana: jasno, 12°");
        QCOMPARE(Balloons().size(), balloonsOff ? 0 : 1);
        if (!balloonsOff)
            QVERIFY(Balloons().first().endsWith(balloon));
        QCOMPARE(tray->LastBalloonStamp(), QStringLiteral("1.2.2024 14:00"));
        QVERIFY(trayLog.contains(
            QStringLiteral("Balloon not shown: observation 1.2.2024 14:00 was announced already")));
        QCOMPARE(trayLog.contains(QStringLiteral(
                     "Balloon not shown: balloons are switched off; 1.2.2024 14:00")),
                 balloonsOff);

        icon->Item(QStringLiteral("Prikainamig1"))->trigger();
        QCOMPARE(Balloons().size(), balloonsOff ? 1 : 2);
        QVERIFY(Balloons().last().endsWith(balloon));

        // A new observation is announced again.
        Conditions(Record(QStringLiteral("13°"), QStringLiteral("jasno"),
                          QStringLiteral("1.2.2024 14:30")));
        tray->UpdateTrayIcon();
        QCOMPARE(Balloons().size(), balloonsOff ? 1 : 3);
        QCOMPARE(tray->LastBalloonStamp(), QStringLiteral("1.2.2024 14:30"));
    }

    // No data: nothing before anything was announced; afterwards "N/A" on
    // every automatic refresh while balloons are on, and on request.
    void notAvailable()
    {
        Settings("IZKLOPI_OBLACEK=0\r\n");
        icon->SetEnabled(true);
        Conditions({});
        tray->UpdateTrayIcon();
        QCOMPARE(Balloons(), QStringList());
        QCOMPARE(icon->ToolTip(), QStringLiteral("Vremenski podatki niso dosegljivi"));

        Conditions(Record(QStringLiteral("12°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        Conditions({});
        tray->UpdateTrayIcon();
        tray->UpdateTrayIcon();
        const QStringList na =
            Balloons().filter(QStringLiteral(": N/A / Vremenski podatki niso dosegljivi"));
        QCOMPARE(na.size(), 2);
        // The stamp stays the announced one.
        QCOMPARE(tray->LastBalloonStamp(), QStringLiteral("1.2.2024 14:00"));

        Settings("IZKLOPI_OBLACEK=1\r\n");
        tray->UpdateTrayIcon();
        QCOMPARE(Balloons().size(), 3);
        icon->Item(QStringLiteral("Prikainamig1"))->trigger();
        QCOMPARE(Balloons().filter(QStringLiteral("N/A")).size(), 3);
    }

    // The tooltip follows every update, cut at 127 characters.
    void tooltip()
    {
        Settings("PODATKI_V_OBLACKU=\"012\"\r\n");
        Conditions(Record(QStringLiteral("12°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->ToolTip(), QStringLiteral("1.2.2024 14:00\n\rKraj: Ljubljana\n\rVreme: "
                                                 "jasno\n\rTemperatura: 12°C\n\r"));
        CurrentConditions record = Record(QStringLiteral("12°"), QStringLiteral("jasno"));
        record.place = QString(200, QChar(0x17E)); // ž
        Conditions(record);
        tray->UpdateTrayIcon();
        QCOMPARE(icon->ToolTip().size(), 127);
    }

    // Old data carries its age in the tooltip's and the balloon's stamp; data
    // that is current again, or none at all, carries none.
    void oldDataSaysItsAge()
    {
        Settings("PODATKI_V_OBLACKU=\"02\"\r\nIZKLOPI_OBLACEK=0\r\n");
        icon->SetEnabled(true);
        const QString age = QStringLiteral("podatki od 1.2. 14:10");
        tray->SetDataAge(age);
        Conditions(Record(QStringLiteral("12°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        QCOMPARE(icon->ToolTip(), QStringLiteral("1.2.2024 14:00 (podatki od 1.2. 14:10)\n\r"
                                                 "Kraj: Ljubljana\n\rTemperatura: 12°C\n\r"));
        QCOMPARE(Balloons().size(), 1);
        QVERIFY2(Balloons().last().endsWith(QStringLiteral(
                     "1.2.2024 14:00 (podatki od 1.2. 14:10) / Ljubljana: jasno, 12°")),
                 qPrintable(Balloons().last()));
        // The same observation is not announced again once it is current.
        tray->SetDataAge(QString());
        tray->UpdateTrayIcon();
        QCOMPARE(Balloons().size(), 1);
        QVERIFY(icon->ToolTip().startsWith(QStringLiteral("1.2.2024 14:00\n\r")));
        Conditions(Record(QStringLiteral("13°"), QStringLiteral("jasno"),
                          QStringLiteral("1.2.2024 14:30")));
        tray->UpdateTrayIcon();
        QVERIFY(
            Balloons().last().endsWith(QStringLiteral("1.2.2024 14:30 / Ljubljana: jasno, 13°")));

        tray->SetDataAge(age);
        Conditions({});
        tray->UpdateTrayIcon();
        QCOMPARE(icon->ToolTip(), pas_lib::NoConditionsText);
        QVERIFY(
            Balloons().last().endsWith(QStringLiteral("N/A / Vremenski podatki niso dosegljivi")));
    }

    // The caption writer exists with its setting and gets the summary on every
    // refresh, also when no balloon shows.
    void captionWriter()
    {
        Settings("CAPTION_WRITER=0\r\n");
        QVERIFY(!tray->CaptionWriter());
        Settings("CAPTION_WRITER=1\r\n");
        QVERIFY(tray->CaptionWriter());
        Conditions(Record(QStringLiteral("12°"), QStringLiteral("jasno")));
        tray->UpdateTrayIcon();
        QCOMPARE(tray->CaptionWriter()->Text(),
                 QStringLiteral("1.2.2024 14:00 Ljubljana: jasno, 12°"));
        CurrentConditions felt = Record(QStringLiteral("11°"), QStringLiteral("jasno"));
        felt.feelsLike = QStringLiteral("9°");
        Conditions(felt);
        tray->UpdateTrayIcon();
        QCOMPARE(tray->CaptionWriter()->Text(),
                 QStringLiteral("1.2.2024 14:00 Ljubljana: jasno, 11° Občutek: 9°"));
        // A hostile description makes no endless title.
        Conditions(Record(QStringLiteral("11°"), QString(5000, QLatin1Char('x'))));
        tray->UpdateTrayIcon();
        QCOMPARE(tray->CaptionWriter()->Text().size(), TCaptionWriter::TextLimit);
        tray->DestroyCaptionWriter();
        QVERIFY(!tray->CaptionWriter());
    }

    // The tray menu in its order, "Prikaži namig" between the first separators.
    void menu()
    {
        QStringList items;
        for (QAction* action : icon->Menu()->actions())
            items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, QStringList({"Prikaži okno", "Skrij okno", "-", "Prikaži namig", "-",
                                     "Osveži zdaj!", "-", "Vizitka", "-", "Izhod"}));
        QVERIFY(icon->Item(QStringLiteral("Prikainamig1")));
    }
};

QTEST_MAIN(TestTrayPresenter)
#include "tst_traypresenter.moc"
