#include "Await.h"
#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/FixedFormat.h"
#include "net/LastModifiedStamps.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/ProcessState.h"
#include "weather/StoredFeeds.h"
#include "weather/TRefreshCycle.h"
#include "weather/TRefreshHost.h"
#include "weather/TWeatherData.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// Notes every call of the refresh in order; a test may act at a step.
class TRecordingHost : public TRefreshHost
{
public:
    bool Minimized = true;
    QStringList Steps;
    std::function<void(const QString&)> OnStep;

    bool WindowMinimized() const override { return Minimized; }
    void StartIconAnimation() override { Note(QStringLiteral("StartIconAnimation")); }
    void StopIconAnimation() override { Note(QStringLiteral("StopIconAnimation")); }
    void ShowRefreshIndicator() override { Note(QStringLiteral("ShowRefreshIndicator")); }
    void HideRefreshIndicator() override { Note(QStringLiteral("HideRefreshIndicator")); }
    void DrawMoonPhase() override { Note(QStringLiteral("DrawMoonPhase")); }
    void PresentConditions() override { Note(QStringLiteral("PresentConditions")); }
    void UpdateTableStatistics(TWeatherTable& table) override
    {
        Note(QStringLiteral("UpdateTableStatistics ") + table.Name());
    }
    void RestoreSort() override { Note(QStringLiteral("RestoreSort")); }
    void UpdatePictures() override { Note(QStringLiteral("UpdatePictures")); }

private:
    void Note(const QString& step)
    {
        Steps.append(step);
        if (OnStep)
            OnStep(step);
    }
};

// The feed with more put inside its root element, at its end.
QByteArray WithinRoot(QByteArray feed, const QByteArray& inner)
{
    feed.insert(feed.lastIndexOf("</"), inner);
    return feed;
}

// The feed broken as a failure row names it; nothing for other rows.
std::optional<QByteArray> BrokenFeed(const QByteArray& feed, const QString& failure)
{
    if (failure == QLatin1String("truncated"))
        return feed.left(feed.size() / 2);
    if (failure == QLatin1String("text"))
        return QByteArray("Storitev trenutno ni na voljo.");
    if (failure == QLatin1String("empty"))
        return QByteArray();
    if (failure == QLatin1String("large"))
        return feed + QByteArray(8 * 1024 * 1024, '\n');
    if (failure == QLatin1String("deep"))
        return WithinRoot(feed, QByteArray("<x>").repeated(64) + QByteArray("</x>").repeated(64));
    if (failure == QLatin1String("many"))
        return WithinRoot(feed, QByteArray("<x/>").repeated(200000));
    return std::nullopt;
}

const QStringList feedFiles{"ogledalo1/podatki.xml", "ogledalo1/podatkiOstalo.xml",
                            "ogledalo2/podatki.xml", "ogledalo2/podatkiOstalo.xml"};

// Counts the XML documents parsed while it lives.
class TParseCounter
{
public:
    TParseCounter()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("nimbulon.xml.debug=true"));
        count = 0;
        FPrevious = qInstallMessageHandler(&TParseCounter::Handle);
    }
    ~TParseCounter()
    {
        qInstallMessageHandler(FPrevious);
        QLoggingCategory::setFilterRules(QString());
    }
    static int Count() { return count; }

private:
    static void Handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        if (message.startsWith(QLatin1String("XML document parsed")))
            ++count;
    }
    static inline int count = 0;
    QtMessageHandler FPrevious;
};

} // namespace

class TestRefreshCycle : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    std::unique_ptr<TWeatherData> data;
    TRecordingHost host;
    std::unique_ptr<TRefreshCycle> cycle;

    // Everything a refresh may change, by name.
    std::map<QString, QString> Snapshot() const
    {
        std::map<QString, QString> state;
        for (TWeatherTable* table :
             {data->tbl_opazovalne, data->tbl_avtomatske, data->tblAmaterske, data->tbl_eu,
              data->tbl_snezna_odeja, data->tbl_primorje, data->tblVodostaji}) {
            QString rows;
            for (const TWeatherRow& row : table->Rows())
                for (const QVariant& value : row.Values)
                    rows += value.toString() + QLatin1Char('|');
            state[table->Name()] = rows;
        }
        state[QStringLiteral("MainTextPane")] = data->MainTextPane->toPlainText();
        state[QStringLiteral("CoastTextPane")] = data->CoastTextPane->toPlainText();
        for (int code = 0; code < pas_lib::StationKindCount; ++code) {
            const CurrentConditions& c = pas_lib::currentConditions[size_t(code)];
            state[QStringLiteral("conditions%1").arg(code)] =
                QStringList{c.place, c.weather,  c.temperature, c.humidity,
                            c.wind,  c.pressure, c.lastChange,  c.feelsLike}
                    .join(QLatin1Char('|'));
        }
        return state;
    }

    QStringList NewRequests(qsizetype since) { return demo.Server().Requests().mid(since); }

    // One refresh, and the ones it held, to their end.
    void Refresh(bool withoutPictures)
    {
        cycle->RefreshData(withoutPictures);
        QTRY_VERIFY_WITH_TIMEOUT(!cycle->Refreshing(), 30000);
    }

    // Every view with a section read once, as a user visiting them all would.
    void VisitEveryView()
    {
        const TViewKind shown = pas_lib::CurrentViewKind;
        for (const TViewKindInfo& view : ViewKinds()) {
            pas_lib::CurrentViewKind = view.kind;
            cycle->LoadView(view.kind);
        }
        pas_lib::CurrentViewKind = shown;
    }

    // The program starting anew with its data folder as it is; Config.ini
    // names the servers.
    void Restart(const QByteArray& config)
    {
        cycle.reset();
        data.reset();
        home->WriteFile(QStringLiteral("Config.ini"), config);
        CreateParameters();
        pas_lib::ResetProcessState();
        LastModifiedStamps.ResetAll();
        data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
        host = TRecordingHost();
        cycle = std::make_unique<TRefreshCycle>(*data, host);
    }

    QByteArray ServersOutOfReach() const
    {
        const QByteArray nowhere = "http://127.0.0.1:" + QByteArray::number(FreeLoopbackPort());
        return "[URL]\r\nNASTAVITVE=" + nowhere +
               "/cliententer.asp\r\nSTATICNENASTAVITVE=" + nowhere + "/nastavitve.xml\r\n";
    }

    void UseMirror(const QString& base)
    {
        MirrorTable.Clear();
        MirrorTable.SetMirror(1, base, 1);
        MirrorTable.Count = 1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
        pas_lib::ResetProgramEndRequest();
        home->WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        CreateParameters();
        pas_lib::ResetProcessState();
        LastModifiedStamps.ResetAll();
        data = std::make_unique<TWeatherData>();
        data->CreateWeatherTables();
        host = TRecordingHost();
        cycle = std::make_unique<TRefreshCycle>(*data, host);
    }

    void cleanup()
    {
        cycle.reset();
        data.reset();
        presenter.reset();
        home.reset();
        pas_lib::ResetProgramEndRequest();
    }

    void stepsInOrder_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("withoutPictures");
        QTest::addColumn<QStringList>("steps");
        const QString show = QStringLiteral("ShowRefreshIndicator");
        const QString moon = QStringLiteral("DrawMoonPhase");
        const QString stop = QStringLiteral("StopIconAnimation");
        const QString present = QStringLiteral("PresentConditions");
        const QString sort = QStringLiteral("RestoreSort");
        const QString pictures = QStringLiteral("UpdatePictures");
        const QString hide = QStringLiteral("HideRefreshIndicator");
        QTest::newRow("minimised at start, timer")
            << true << 0 << false
            << QStringList{"StartIconAnimation", moon, stop, present, pictures, hide};
        QTest::newRow("observation table, refresh command")
            << false << 1 << true
            << QStringList{show, moon, stop, present, "UpdateTableStatistics tbl_opazovalne",
                           sort, hide};
        QTest::newRow("amateur table")
            << false << 16 << false
            << QStringList{show, moon,     stop, present, "UpdateTableStatistics tblAmaterske",
                           sort, pictures, hide};
        QTest::newRow("European cities")
            << false << 13 << false
            << QStringList{show, moon,     stop, present, "UpdateTableStatistics tbl_eu",
                           sort, pictures, hide};
        QTest::newRow("snow cover: sort without statistics")
            << false << 10 << false << QStringList{show, moon, stop, present, sort, pictures, hide};
        QTest::newRow("general forecast: no table")
            << false << 5 << true << QStringList{show, moon, stop, present, hide};
    }
    void stepsInOrder()
    {
        QFETCH(bool, minimized);
        QFETCH(int, view);
        QFETCH(bool, withoutPictures);
        QFETCH(QStringList, steps);
        host.Minimized = minimized;
        pas_lib::CurrentViewKind = TViewKind(view);
        const qsizetype before = demo.Server().Requests().size();
        Refresh(withoutPictures);
        QCOMPARE(host.Steps, steps);
        QVERIFY(presenter->Messages.isEmpty());

        // The settings document with the report, then both feeds from one mirror.
        const QStringList requests = NewRequests(before);
        QVERIFY2(requests.value(0).startsWith(QStringLiteral("GET /cliententer.asp?ID=")),
                 qPrintable(requests.join(QLatin1Char('\n'))));
        const QStringList feeds = requests.filter(QStringLiteral("/podatki"));
        QCOMPARE(feeds.size(), 2);
        const QString mirror = feeds[0].section(QLatin1Char('/'), 1, 1);
        QVERIFY(mirror == QLatin1String("ogledalo1") || mirror == QLatin1String("ogledalo2"));
        QCOMPARE(feeds, QStringList({"GET /" + mirror + "/podatki.xml 200",
                                     "GET /" + mirror + "/podatkiOstalo.xml 200"}));
        // The refresh command leaves every picture alone.
        QCOMPARE(requests.filter(QStringLiteral("vreme.jpg")).size(), withoutPictures ? 0 : 1);
        QCOMPARE(cycle->FourDayPicture().Picture().isNull(), withoutPictures);
        QCOMPARE(QFile::exists(pas_lib::SlikeDir + QStringLiteral("vreme.jpg")), !withoutPictures);
    }

    void loadView_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("changed");
        // A station table also gives every record its chosen place.
        QTest::newRow("1") << 1 << 1
                           << QStringList{"conditions0", "conditions1", "conditions2",
                                          "tbl_opazovalne"};
        QTest::newRow("2") << 2 << 2
                           << QStringList{"conditions0", "conditions1", "conditions2",
                                          "tbl_avtomatske"};
        QTest::newRow("16") << 16 << 16
                            << QStringList{"conditions0", "conditions1", "conditions2",
                                           "tblAmaterske"};
        for (int kind : {5, 7, 8, 9})
            QTest::addRow("%d", kind) << kind << kind << QStringList{"MainTextPane"};
        QTest::newRow("10") << 10 << 10 << QStringList{"tbl_snezna_odeja"};
        QTest::newRow("13") << 13 << 13 << QStringList{"tbl_eu"};
        QTest::newRow("14") << 14 << 14 << QStringList{"CoastTextPane", "tbl_primorje"};
        QTest::newRow("15") << 15 << 15 << QStringList{"tblVodostaji"};
        for (int kind : {3, 4, 6, 11, 12})
            QTest::addRow("%d", kind) << kind << kind << QStringList{};
        QTest::newRow("0 before any view") << 0 << 0 << QStringList{};
        QTest::newRow("0 is the view shown") << 13 << 0 << QStringList{"tbl_eu"};
    }
    // A refresh parses each feed once; every section it loads, and every view
    // shown until the next refresh, reads the documents parsed then.
    // The advertising address names the stations of the places chosen when it
    // is made.
    void advertisingReportNamesChosenStations()
    {
        parametri->Set(QStringLiteral("KRAJ_OPAZOVALNE"), QStringLiteral("Celje"));
        parametri->Set(QStringLiteral("KRAJ_AVTOMATSKE"), QStringLiteral("Koper"));
        ConfigIniValue(TIniMode::Write, QStringLiteral("Reklame"),
                       QStringLiteral("http://oglasi.example/s.asp"), QStringLiteral("URL"));
        Refresh(true);
        QVERIFY2(AdsUrl.endsWith(QLatin1String("&KO=1&KA=5")), qPrintable(AdsUrl));
    }

    void eachFeedParsedOncePerRefresh()
    {
        Refresh(false); // the first one also reads the settings document
        pas_lib::CurrentViewKind = TViewKind::GeneralForecast;
        TParseCounter counter;
        Refresh(false);
        QCOMPARE(TParseCounter::Count(), 2);
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());
        for (int view : {1, 2, 5, 7, 8, 9, 10, 13, 14, 15, 16})
            cycle->LoadView(TViewKind(view));
        QCOMPARE(TParseCounter::Count(), 2);
        QVERIFY(!data->tbl_eu->Rows().isEmpty());
    }

    // Showing a table view again reads its sections only when the documents
    // or the table changed since; the conditions are read every time.
    void tableViewReadAgainOnlyAfterAChange()
    {
        SetFeeds(cycle->Feeds(), demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml")),
                 demo.ReadFile(QStringLiteral("ogledalo1/podatkiOstalo.xml")));
        TWeatherTable& table = *data->tbl_avtomatske;
        cycle->LoadView(TViewKind::AutomaticStations);
        const int rows = table.RowCount();
        QVERIFY(rows > 0);
        quint64 changes = table.RowChanges();
        cycle->LoadView(TViewKind::AutomaticStations);
        QCOMPARE(table.RowChanges(), changes);
        table.SetOrder(QStringLiteral("KRAJ"), true); // a sort is no change of rows
        pas_lib::currentConditions[1] = {};
        cycle->LoadView(TViewKind::AutomaticStations);
        QCOMPARE(table.RowChanges(), changes);
        QVERIFY(!pas_lib::currentConditions[1].temperature.isEmpty());

        table.Empty();
        cycle->LoadView(TViewKind::AutomaticStations);
        QCOMPARE(table.RowCount(), rows);
        changes = table.RowChanges();
        SetFeeds(cycle->Feeds(), demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml")),
                 demo.ReadFile(QStringLiteral("ogledalo1/podatkiOstalo.xml")));
        cycle->LoadView(TViewKind::AutomaticStations);
        QVERIFY(table.RowChanges() > changes);
    }

    void loadView()
    {
        QFETCH(int, shown);
        QFETCH(int, kind);
        QFETCH(QStringList, changed);
        SetFeeds(cycle->Feeds(), demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml")),
                 demo.ReadFile(QStringLiteral("ogledalo1/podatkiOstalo.xml")));
        pas_lib::CurrentViewKind = TViewKind(shown);
        const qsizetype before = demo.Server().Requests().size();
        const auto old = Snapshot();
        cycle->LoadView(TViewKind(kind));
        const auto now = Snapshot();
        QStringList differ;
        for (const auto& [name, value] : now)
            if (old.at(name) != value)
                differ.append(name);
        QCOMPARE(differ, changed);
        QCOMPARE(demo.Server().Requests().size(), before); // read from memory only
    }

    // A second refresh that gets nothing usable keeps every table, text and
    // current condition of the first, and says nothing.
    void failureKeepsData_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("404") << "404";
        QTest::newRow("truncated feed") << "truncated";
        QTest::newRow("not XML") << "text";
        QTest::newRow("unreachable mirror") << "unreachable";
        QTest::newRow("no mirrors") << "none";
        // Feeds beyond what a feed may be fail as a broken download does.
        QTest::newRow("larger than 8 MiB") << "large";
        QTest::newRow("deeper than 64 levels") << "deep";
        QTest::newRow("more than 200000 elements") << "many";
    }
    void failureKeepsData()
    {
        QFETCH(QString, failure);
        Refresh(false);
        VisitEveryView();
        const auto good = Snapshot();
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());
        QVERIFY(!data->tbl_eu->Rows().isEmpty());
        QVERIFY(!cycle->FourDayPicture().Picture().isNull());

        TRestoreFiles restore(demo, feedFiles);
        for (const QString& path : feedFiles) {
            const QByteArray feed = demo.ReadFile(path);
            if (failure == QLatin1String("404"))
                QVERIFY(QFile::remove(demo.FilePath(path)));
            else if (const auto broken = BrokenFeed(feed, failure))
                demo.Server().WriteFile(path, *broken);
        }
        if (failure == QLatin1String("unreachable"))
            UseMirror(QStringLiteral("http://127.0.0.1:%1/").arg(FreeLoopbackPort()));
        else if (failure == QLatin1String("none"))
            MirrorTable.Count = 0;

        pas_lib::CurrentViewKind = TViewKind::GeneralForecast;
        host.Steps.clear();
        Refresh(false);
        QCOMPARE(host.Steps.last(), QStringLiteral("HideRefreshIndicator"));
        QVERIFY(host.Steps.contains(QStringLiteral("UpdatePictures")));
        VisitEveryView();
        QCOMPARE(Snapshot(), good);
        QVERIFY(!cycle->FourDayPicture().Picture().isNull());
        QCOMPARE(presenter->Messages, QStringList());
    }

    // A place that the catalogue lacks gets a row of its own, without a code,
    // and later refreshes update that same row.
    void placeOutsideCatalogue()
    {
        TRestoreFiles restore(demo, feedFiles);
        auto serveWithPlace = [&](const QByteArray& temperature) {
            for (const QString& path : feedFiles.filter(QStringLiteral("/podatki.xml"))) {
                QByteArray feed = demo.ReadFile(path);
                const QByteArray record =
                    "<P><Kraj>Testna vas</Kraj><Vreme>megla</Vreme><Temperatura>" + temperature +
                    "</Temperatura><ZadnjaSprememba>9.12.2026 7:00</ZadnjaSprememba></P>";
                const qsizetype end = feed.indexOf("</OpazovalnePostaje>");
                QVERIFY(end > 0);
                feed.insert(end, record);
                demo.Server().WriteFile(path, feed);
            }
        };
        parametri->Set(QStringLiteral("KRAJ_OPAZOVALNE"), QStringLiteral("TESTNA vas"));
        auto rowsOfPlace = [&] {
            QList<TWeatherRow> rows;
            for (const TWeatherRow& row : data->tbl_opazovalne->Rows())
                if (data->tbl_opazovalne->Value(row, QStringLiteral("KRAJ")) == "Testna vas")
                    rows.append(row);
            return rows;
        };

        serveWithPlace("3.5");
        Refresh(true);
        QList<TWeatherRow> rows = rowsOfPlace();
        QCOMPARE(rows.size(), 1);
        const qint64 id = rows[0].Id;
        QVERIFY(!data->tbl_opazovalne->Value(rows[0], QStringLiteral("SIFRA")).isValid());
        QCOMPARE(data->tbl_opazovalne->Value(rows[0], QStringLiteral("TEMPERATURA")).toDouble(),
                 3.5);
        QCOMPARE(pas_lib::currentConditions[0].temperature, QStringLiteral("4°"));
        QCOMPARE(pas_lib::currentConditions[0].weather, QStringLiteral("megla"));

        serveWithPlace("-7.25");
        Refresh(true);
        rows = rowsOfPlace();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].Id, id);
        QCOMPARE(data->tbl_opazovalne->Value(rows[0], QStringLiteral("TEMPERATURA")).toDouble(),
                 -7.25);
        QCOMPARE(pas_lib::currentConditions[0].temperature, QStringLiteral("-7°"));
    }

    void fourDayPicture_data()
    {
        QTest::addColumn<int>("fileAgeHours"); // -1: no local file
        QTest::addColumn<bool>("stamped");     // the feed states a stamp an hour ago
        QTest::addColumn<bool>("serverBroken");
        QTest::addColumn<bool>("fetched");
        QTest::addColumn<QString>("shows"); // "local", "server" or "previous"
        QTest::newRow("file newer than the stamp") << 0 << true << false << false << "local";
        QTest::newRow("no stamp, old file") << 24 * 365 << false << false << false << "local";
        QTest::newRow("file older than the stamp") << 2 << true << false << true << "server";
        QTest::newRow("no file") << -1 << false << false << true << "server";
        QTest::newRow("undecodable download") << -1 << true << true << true << "previous";
    }
    void fourDayPicture()
    {
        QFETCH(int, fileAgeHours);
        QFETCH(bool, stamped);
        QFETCH(bool, serverBroken);
        QFETCH(bool, fetched);
        QFETCH(QString, shows);
        const QDateTime now = QDateTime::currentDateTime();
        const QString stamp =
            stamped ? QStringLiteral("<Spremembe><Vreme4Dni>%1</Vreme4Dni></Spremembe>")
                          .arg(now.addSecs(-3600).toString(QStringLiteral("d.M.yyyy H:mm:ss")))
                    : QString();
        SetFeeds(cycle->Feeds(), ("<podatki>" + stamp + "</podatki>").toUtf8());
        UseMirror(demo.BaseUrl() + QStringLiteral("/ogledalo1/"));
        const QString local = pas_lib::SlikeDir + QStringLiteral("vreme.jpg");
        if (fileAgeHours >= 0)
            WriteFile(local, PictureBytes(10, Qt::red), now.addSecs(-3600 * fileAgeHours));
        const QString previous = home->Path(QStringLiteral("previous.png"));
        home->WriteFile(QStringLiteral("previous.png"), PictureBytes(5, Qt::blue));
        QVERIFY(cycle->FourDayPicture().LoadFromFile(previous));
        TRestoreFiles restore(demo, {QStringLiteral("ogledalo1/vreme.jpg")});
        if (serverBroken)
            demo.Server().WriteFile(QStringLiteral("ogledalo1/vreme.jpg"), "GIF89a, ne pa slika");
        const QSize serverSize =
            QImage(demo.FilePath(QStringLiteral("ogledalo1/vreme.jpg"))).size();

        const qsizetype before = demo.Server().Requests().size();
        Await(cycle->LoadFourDayPicture());
        QCOMPARE(NewRequests(before).filter(QStringLiteral("vreme.jpg")).size(), fetched ? 1 : 0);
        const QSize size = cycle->FourDayPicture().Picture().size();
        if (shows == QLatin1String("local"))
            QCOMPARE(size, QSize(10, 10));
        else if (shows == QLatin1String("previous"))
            QCOMPARE(size, QSize(5, 5));
        else
            QCOMPARE(size, serverSize);
    }

    // A refresh asked for while one runs waits for it and runs once; it fetches
    // pictures when any of the held requests asked for them.
    void noNestedRefresh()
    {
        QSignalSpy finished(cycle.get(), &TRefreshCycle::refreshFinished);
        bool asked = false;
        host.OnStep = [&](const QString& step) {
            if (step == QLatin1String("DrawMoonPhase") && !asked) {
                asked = true;
                cycle->RefreshData(true);
                cycle->RefreshData(false);
                cycle->RefreshData(true);
                QVERIFY(cycle->Refreshing());
                QCOMPARE(finished.count(), 0);
            }
        };
        const qsizetype before = demo.Server().Requests().size();
        Refresh(true);
        QCOMPARE(finished.count(), 2);
        const QStringList one{"StartIconAnimation", "DrawMoonPhase", "StopIconAnimation",
                              "PresentConditions", "HideRefreshIndicator"};
        QStringList withPictures = one;
        withPictures.insert(4, QStringLiteral("UpdatePictures"));
        QCOMPARE(host.Steps, one + withPictures);
        QCOMPARE(NewRequests(before).filter(QStringLiteral("podatki.xml")).size(), 2);
        QVERIFY(!cycle->Refreshing());
    }

    // A step that fails ends the refresh there with the indicator hidden and the
    // error reported; the end of the program ends it quietly. The next refresh
    // runs whole.
    void stepFailure_data()
    {
        QTest::addColumn<bool>("programEnds");
        QTest::newRow("error") << false;
        QTest::newRow("program ends") << true;
    }
    void stepFailure()
    {
        QFETCH(bool, programEnds);
        host.OnStep = [&](const QString& step) {
            if (step != QLatin1String("DrawMoonPhase"))
                return;
            if (programEnds)
                pas_lib::RequestProgramEnd();
            else
                throw std::runtime_error("Napaka pri risanju");
        };
        Refresh(false);
        QCOMPARE(host.Steps,
                 QStringList({"StartIconAnimation", "DrawMoonPhase", "HideRefreshIndicator"}));
        QCOMPARE(presenter->Messages,
                 programEnds ? QStringList() : QStringList{"Napaka pri risanju"});
        QVERIFY(!cycle->Refreshing());

        pas_lib::ResetProgramEndRequest();
        host.OnStep = {};
        host.Steps.clear();
        Refresh(true);
        QCOMPARE(host.Steps.size(), 5);
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());
    }

    // The feeds of a good refresh are kept; the next start shows them before
    // its first refresh has fetched anything, and keeps them when that fails.
    // A stored feed that does not parse is ignored as a broken download is.
    void storedFeedsAtStart_data()
    {
        QTest::addColumn<QString>("mainFeed");
        QTest::newRow("intact") << "intact";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("not XML") << "text";
        QTest::newRow("empty") << "empty";
        QTest::newRow("larger than a feed may be") << "large";
        QTest::newRow("missing") << "missing";
        // Opening a pipe to read would wait for a writer for ever.
        QTest::newRow("a named pipe") << "pipe";
    }
    void storedFeedsAtStart()
    {
        QFETCH(QString, mainFeed);
        // The catalogue is there from the start, as on every start but the first.
        home->WriteFile(QStringLiteral("Postaje.xml"),
                        demo.ReadFile(QStringLiteral("Postaje.xml")));
        Restart(demo.ConfigUrlSection());
        Refresh(true);
        const QString stored = home->Path(QStringLiteral("Podatki/podatki.xml"));
        const QString storedSecond = home->Path(QStringLiteral("Podatki/podatkiOstalo.xml"));
        const QByteArray feed = demo.ReadFile(QStringLiteral("ogledalo1/podatki.xml"));
        const QByteArray secondFeed = demo.ReadFile(QStringLiteral("ogledalo1/podatkiOstalo.xml"));
        QCOMPARE(home->ReadFile(QStringLiteral("Podatki/podatki.xml")), feed);
        QCOMPARE(home->ReadFile(QStringLiteral("Podatki/podatkiOstalo.xml")), secondFeed);
        VisitEveryView();
        const auto good = Snapshot();

        if (mainFeed == QLatin1String("missing") || mainFeed == QLatin1String("pipe"))
            QVERIFY(QFile::remove(stored));
        if (mainFeed == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(stored).constData(), 0600), 0);
        else if (const auto broken = BrokenFeed(feed, mainFeed))
            WriteFile(stored, *broken, QDateTime::currentDateTime());
        const QDateTime received = QDateTime::currentDateTime().addSecs(-5 * 3600);
        for (const QString& file : {stored, storedSecond})
            if (QFileInfo(file).isFile())
                QVERIFY(SetModified(file, received));

        Restart(ServersOutOfReach());
        const bool intact = mainFeed == QLatin1String("intact");
        cycle->RefreshData(true);
        // Shown before anything was fetched, the stored data's conditions first.
        QCOMPARE(host.Steps.value(0), QStringLiteral("PresentConditions"));
        QCOMPARE(pas_lib::currentConditions[0].temperature.isEmpty(), !intact);
        QCOMPARE(cycle->Feeds().MainReceived.isValid(), intact);
        if (intact)
            QCOMPARE(cycle->Feeds().MainReceived.toSecsSinceEpoch(), received.toSecsSinceEpoch());
        QCOMPARE(cycle->Feeds().SecondReceived.toSecsSinceEpoch(), received.toSecsSinceEpoch());
        QTRY_VERIFY_WITH_TIMEOUT(!cycle->Refreshing(), 30000);
        QCOMPARE(presenter->Messages, QStringList());
        // The failed refresh kept the stored data, and the stored files.
        VisitEveryView();
        const auto shown = Snapshot();
        if (intact)
            QCOMPARE(shown, good);
        for (const char* fromSecondFeed :
             {"tbl_eu", "tbl_primorje", "tblVodostaji", "CoastTextPane"})
            QCOMPARE(shown.at(QString::fromLatin1(fromSecondFeed)),
                     good.at(QString::fromLatin1(fromSecondFeed)));
        QCOMPARE(home->ReadFile(QStringLiteral("Podatki/podatkiOstalo.xml")), secondFeed);

        // The first refresh that succeeds replaces the stored data and its file.
        home->WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        CreateParameters();
        ResetRemoteSettings();
        Refresh(true);
        QVERIFY(!pas_lib::currentConditions[0].temperature.isEmpty());
        QVERIFY(cycle->Feeds().MainReceived.secsTo(QDateTime::currentDateTime()) < 60);
        QCOMPARE(home->ReadFile(QStringLiteral("Podatki/podatki.xml")), feed);
    }

    // Data older than two refresh intervals says when it was received.
    void dataAgeNote_data()
    {
        QTest::addColumn<QDateTime>("received");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("note");
        const QDateTime now(QDate(2026, 12, 10), QTime(8, 30));
        QTest::newRow("none received") << QDateTime() << 20 << "";
        QTest::newRow("just now") << now << 20 << "";
        QTest::newRow("two intervals") << now.addSecs(-40 * 60) << 20 << "";
        QTest::newRow("a minute more") << now.addSecs(-41 * 60) << 20 << "podatki od 10.12. 07:49";
        QTest::newRow("longer interval") << now.addSecs(-41 * 60) << 30 << "";
        QTest::newRow("the day before")
            << QDateTime(QDate(2026, 12, 9), QTime(22, 0)) << 20 << "podatki od 9.12. 22:00";
        QTest::newRow("last year")
            << QDateTime(QDate(2025, 12, 31), QTime(23, 50)) << 20 << "podatki od 31.12.2025 23:50";
        QTest::newRow("from the future") << now.addDays(2) << 20 << "";
    }
    void dataAgeNote()
    {
        QFETCH(QDateTime, received);
        QFETCH(int, interval);
        QFETCH(QString, note);
        QCOMPARE(DataAgeNote(received, interval, QDateTime(QDate(2026, 12, 10), QTime(8, 30))),
                 note);
    }

    void refreshInterval_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("below the floor") << QByteArray("5") << 20 << "20";
        QTest::newRow("at the floor") << QByteArray("20") << 20 << "20";
        QTest::newRow("above") << QByteArray("45") << 45 << "45";
        QTest::newRow("not a number") << QByteArray("abc") << 20 << "20";
    }
    void refreshInterval()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, minutes);
        QFETCH(QString, afterwards);
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[PARAMETRI]\r\nINTERVAL_UPDATE=" + stored + "\r\n");
        CreateParameters();
        QCOMPARE(RefreshIntervalMinutes(), minutes);
        QCOMPARE(parametri->Get(QStringLiteral("INTERVAL_UPDATE")).toInt(), minutes);
        QCOMPARE(ConfigIniValue(TIniMode::Read, QStringLiteral("INTERVAL_UPDATE"), QString(),
                                QStringLiteral("PARAMETRI")),
                 afterwards);
    }
};

QTEST_MAIN(TestRefreshCycle)
#include "tst_refreshcycle.moc"
