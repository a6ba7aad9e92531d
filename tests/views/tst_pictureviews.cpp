#include "Await.h"
#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "common/DataPaths.h"
#include "common/PictureFile.h"
#include "controls/TImagePanel.h"
#include "net/LastModifiedStamps.h"
#include "net/TDownLoad.h"
#include "remote/MirrorTable.h"
#include "settings/Tparameter.h"
#include "views/TForecastView.h"
#include "views/TPictureContext.h"
#include "views/TRadarView.h"
#include "views/frm_satelitske_slike.h"
#include "weather/FetchFeed.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QMovie>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QByteArray AllPictureViews = "[PARAMETRI]\r\nSLIKA_PADAVINE=1\r\nSATELITSKA_SLIKA=1\r\n"
                                   "NAPOVED_V_SLIKI=1\r\n";

QString FeedTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("d.M.yyyy H:mm:ss"));
}

// A main feed whose change stamps name these times; none when the list is empty.
QByteArray MainFeed(const QList<std::pair<QString, QDateTime>>& stamps)
{
    QByteArray inner;
    for (const auto& [element, time] : stamps)
        inner += "<" + element.toLatin1() + ">" + FeedTime(time).toLatin1() + "</" +
                 element.toLatin1() + ">";
    return "<podatki>" + (inner.isEmpty() ? QByteArray() : "<Spremembe>" + inner + "</Spremembe>") +
           "</podatki>";
}

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

// A PNG of a few bytes that says it is 30000 x 30000 pixels.
QByteArray HugePng()
{
    QByteArray bytes = PictureBytes(1, Qt::red);
    PutBigEndian(bytes, 16, 30000);
    PutBigEndian(bytes, 20, 30000);
    PutBigEndian(bytes, 29, Crc32(bytes.mid(12, 17)));
    return bytes;
}

} // namespace

class TestPictureViews : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    TFeeds feeds;
    std::unique_ptr<TPictureContext> context;

    QString Local(const QString& name) const { return pas_lib::SlikeDir + name; }
    QString Served(const QString& name) const { return QStringLiteral("ogledalo1/") + name; }
    QStringList RequestsFor(qsizetype since, const QString& name) const
    {
        return const_cast<TDemoDeployment&>(demo).Server().Requests().mid(since).filter(name);
    }
    QSize ServedSize(const QString& name) const
    {
        return QImage(demo.FilePath(Served(name))).size();
    }
    static void WaitForWorkers() { QTRY_COMPARE_WITH_TIMEOUT(TDownLoad::WorkerCount(), 0, 30000); }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        pas_lib::LimitPictureDecoding();
    }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
        home->WriteFile(QStringLiteral("Config.ini"), DeploymentUrlSection + AllPictureViews);
        CreateParameters();
        LastModifiedStamps.ResetAll();
        MirrorTable.Clear();
        MirrorTable.SetMirror(1, demo.BaseUrl() + QStringLiteral("/ogledalo1/"), 1);
        MirrorTable.Count = 1;
        context = std::make_unique<TPictureContext>();
        context->SetFeeds(&feeds);
        SetFeeds(feeds, "<podatki/>");
    }

    void cleanup()
    {
        WaitForWorkers();
        context.reset();
        QCOMPARE(presenter->Messages, QStringList());
        presenter.reset();
        home.reset();
    }

    // When the radar view downloads, from nginx's log, and what it shows.
    void radarFreshness_data()
    {
        QTest::addColumn<QString>("local"); // "none", "older" or "newer" than the stamp
        QTest::addColumn<bool>("stamped");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("switchedOn");
        QTest::addColumn<bool>("fetched");
        QTest::addColumn<QString>("shows"); // "local", "server" or "nothing"
        QTest::newRow("newer file")
            << "newer" << true << false << false << true << false << "local";
        QTest::newRow("older file")
            << "older" << true << false << false << true << true << "server";
        QTest::newRow("no file") << "none" << true << false << false << true << true << "server";
        QTest::newRow("no stamp, no file")
            << "none" << false << false << false << true << true << "server";
        QTest::newRow("no stamp, old file")
            << "older" << false << false << false << true << false << "local";
        QTest::newRow("forced") << "newer" << true << true << false << true << true << "server";
        QTest::newRow("background, stale")
            << "older" << true << false << true << true << true << "nothing";
        QTest::newRow("background, fresh")
            << "newer" << true << false << true << true << false << "nothing";
        QTest::newRow("switched off")
            << "older" << true << false << false << false << false << "nothing";
    }
    void radarFreshness()
    {
        QFETCH(QString, local);
        QFETCH(bool, stamped);
        QFETCH(bool, force);
        QFETCH(bool, background);
        QFETCH(bool, switchedOn);
        QFETCH(bool, fetched);
        QFETCH(QString, shows);
        parametri->Set(QStringLiteral("SLIKA_PADAVINE"), switchedOn);
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime changed = now.addSecs(-1800);
        if (stamped)
            SetFeeds(feeds, MainFeed({{QStringLiteral("SlikaRadar"), changed}}));
        if (local != QLatin1String("none"))
            WriteFile(Local(QStringLiteral("radar.gif")), PictureBytes(10, Qt::blue),
                      local == QLatin1String("newer") ? now : changed.addSecs(-3600));
        TRadarView radar(*context);
        const qsizetype before = demo.Server().Requests().size();
        Await(radar.ShowRadarPicture(false, force, background));
        WaitForWorkers();
        QCOMPARE(RequestsFor(before, QStringLiteral("radar.gif")),
                 fetched ? QStringList{QStringLiteral("GET /ogledalo1/radar.gif 200")}
                         : QStringList());
        const QSize shown = radar.Picture().size();
        if (shows == QLatin1String("local"))
            QCOMPARE(shown, QSize(10, 10));
        else if (shows == QLatin1String("server"))
            QCOMPARE(shown, ServedSize(QStringLiteral("radar.gif")));
        else
            QVERIFY(radar.Picture().isNull());
        if (background && fetched)
            QCOMPARE(QImage(Local(QStringLiteral("radar.gif"))).size(),
                     ServedSize(QStringLiteral("radar.gif")));
        QVERIFY(!context->Busy());
    }

    // The animated picture plays; the refresh command fetches it even when
    // the local copy is fresh, and a failed download clears the panel.
    void radarAnimationAndFailure()
    {
        TRadarView radar(*context);
        QSignalSpy busy(context.get(), &TPictureContext::BusyChanged);
        Await(radar.ShowRadarPicture(true, false, false));
        QVERIFY(radar.Movie());
        QCOMPARE(radar.Movie()->state(), QMovie::Running);
        QVERIFY(radar.Movie()->frameCount() > 1);
        QCOMPARE(busy.count(), 2); // on for the download, off after it

        const qsizetype before = demo.Server().Requests().size();
        Await(radar.ShowRadarPicture(true, true, false));
        QCOMPARE(RequestsFor(before, QStringLiteral("radar_anim.gif")).size(), 1);
        QVERIFY(radar.Movie());

        TRestoreFiles restore(demo, {Served(QStringLiteral("radar_anim.gif"))});
        QFile::remove(demo.FilePath(Served(QStringLiteral("radar_anim.gif"))));
        Await(radar.ShowRadarPicture(true, true, false));
        QVERIFY(radar.Picture().isNull());
        QVERIFY(!radar.Movie());
    }

    // Tomorrow's map shows, the day after's only downloads; in the background
    // both download when stale; nothing while the view is switched off.
    void forecastFreshness_data()
    {
        QTest::addColumn<bool>("tomorrowFresh");
        QTest::addColumn<bool>("dayAfterFresh");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("switchedOn");
        QTest::addColumn<QStringList>("fetched");
        QTest::addColumn<QString>("shows");
        const QString tomorrow = QStringLiteral("GET /ogledalo1/jutri.png 200");
        const QString dayAfter = QStringLiteral("GET /ogledalo1/pojutri.png 200");
        QTest::newRow("both stale")
            << false << false << false << true << QStringList{tomorrow, dayAfter} << "server";
        QTest::newRow("day after stale")
            << true << false << false << true << QStringList{dayAfter} << "local";
        QTest::newRow("both fresh") << true << true << false << true << QStringList() << "local";
        QTest::newRow("background, both stale")
            << false << false << true << true << QStringList{tomorrow, dayAfter} << "nothing";
        QTest::newRow("switched off")
            << false << false << false << false << QStringList() << "nothing";
    }
    void forecastFreshness()
    {
        QFETCH(bool, tomorrowFresh);
        QFETCH(bool, dayAfterFresh);
        QFETCH(bool, background);
        QFETCH(bool, switchedOn);
        QFETCH(QStringList, fetched);
        QFETCH(QString, shows);
        parametri->Set(QStringLiteral("NAPOVED_V_SLIKI"), switchedOn);
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime changed = now.addSecs(-1800);
        SetFeeds(feeds, MainFeed({{QStringLiteral("SlikaJutri"), changed},
                                  {QStringLiteral("SlikaPojutri"), changed}}));
        const QDateTime stale = changed.addSecs(-3600);
        WriteFile(Local(QStringLiteral("jutri.png")), PictureBytes(12, Qt::green),
                  tomorrowFresh ? now : stale);
        WriteFile(Local(QStringLiteral("pojutri.png")), PictureBytes(14, Qt::yellow),
                  dayAfterFresh ? now : stale);
        TForecastView forecast(*context);
        const qsizetype before = demo.Server().Requests().size();
        Await(forecast.ShowForecastPictures(background));
        WaitForWorkers();
        QStringList requests = RequestsFor(before, QStringLiteral(".png"));
        requests.sort();
        QCOMPARE(requests, fetched);
        const QSize shown = forecast.Map()->Picture().size();
        if (shows == QLatin1String("local"))
            QCOMPARE(shown, QSize(12, 12));
        else if (shows == QLatin1String("server"))
            QCOMPARE(shown, ServedSize(QStringLiteral("jutri.png")));
        else
            QVERIFY(forecast.Map()->Picture().isNull());
        QCOMPARE(forecast.ToggleState(), TForecastView::ShowingTomorrow);
    }

    // A click shows the other day, with the hints on from the first click.
    void forecastToggle()
    {
        const QDateTime now = QDateTime::currentDateTime();
        WriteFile(Local(QStringLiteral("jutri.png")), PictureBytes(12, Qt::green), now);
        WriteFile(Local(QStringLiteral("pojutri.png")), PictureBytes(14, Qt::yellow), now);
        TForecastView forecast(*context);
        Await(forecast.ShowForecastPictures(false));
        QVERIFY(forecast.Map()->toolTip().isEmpty());
        QVERIFY(forecast.Legend()->toolTip().isEmpty());

        QTest::mouseClick(forecast.Map(), Qt::LeftButton);
        QCOMPARE(forecast.Map()->Picture().size(), QSize(14, 14));
        QCOMPARE(forecast.ToggleState(), TForecastView::ShowingDayAfter);
        QCOMPARE(forecast.Map()->toolTip(), QStringLiteral("Klikni sliko za napoved jutri!"));
        QCOMPARE(forecast.Legend()->toolTip(), QStringLiteral("Klikni sliko za napoved jutri!"));

        QTest::mouseClick(forecast.Legend(), Qt::LeftButton);
        QCOMPARE(forecast.Map()->Picture().size(), QSize(12, 12));
        QCOMPARE(forecast.ToggleState(), TForecastView::ShowingTomorrow);
        QCOMPARE(forecast.Map()->toolTip(),
                 QStringLiteral("Klikni sliko za napoved pojutrišnjem!"));

        // A map that will not load changes nothing.
        QFile::remove(Local(QStringLiteral("pojutri.png")));
        forecast.NapovedVSlikiClick();
        QCOMPARE(forecast.ToggleState(), TForecastView::ShowingTomorrow);
        QCOMPARE(forecast.Map()->Picture().size(), QSize(12, 12));
    }

    // The frame's buttons and list, each loading without force.
    void satelliteHandlers()
    {
        TFrameSateliskeSlike frame(*context);
        auto* zoom = frame.findChild<QToolButton*>(QStringLiteral("btnZoom"));
        auto* cyclones = frame.findChild<QToolButton*>(QStringLiteral("btnCikloni"));
        auto* rain = frame.findChild<QToolButton*>(QStringLiteral("btnPadavine"));
        auto* list = frame.findChild<QComboBox*>(QStringLiteral("suiComboBox"));
        QCOMPARE(list->count(), 10);
        QCOMPARE(list->itemText(0), QStringLiteral("01. slika"));
        QCOMPARE(list->itemText(9), QStringLiteral("10. slika"));
        auto loaded = [&](const QString& name) {
            const qsizetype before = demo.Server().Requests().size();
            return [this, before, name] {
                return RequestsFor(before, QStringLiteral(".jpg")) ==
                       QStringList{QStringLiteral("GET /ogledalo1/") + name +
                                   QStringLiteral(" 200")};
            };
        };

        auto sat0 = loaded(QStringLiteral("sat0.jpg"));
        Await(frame.ShowSatellitePicture(false));
        QVERIFY(sat0());
        QCOMPARE(frame.Picture()->Picture().size(), ServedSize(QStringLiteral("sat0.jpg")));
        QVERIFY(frame.RainRateLegend()->isHidden());

        // The zoom with "Oblačnost" down changes only its caption.
        const qsizetype beforeZoom = demo.Server().Requests().size();
        zoom->click();
        QCOMPARE(zoom->text(), QStringLiteral("[-]"));
        QCOMPARE(frame.ZoomState(), 1);
        QCOMPARE(frame.SatKind(), 0);
        QCOMPARE(RequestsFor(beforeZoom, QStringLiteral(".jpg")), QStringList());

        auto cikz0 = loaded(QStringLiteral("cikz0.jpg"));
        cyclones->click();
        QTRY_VERIFY(cikz0());
        QCOMPARE(frame.SatKind(), 3);

        auto cikz4 = loaded(QStringLiteral("cikz4.jpg"));
        list->setCurrentIndex(4); // "05. slika"
        QTRY_VERIFY(cikz4());

        auto cik4 = loaded(QStringLiteral("cik4.jpg"));
        zoom->click(); // "Cikloni" down: the listed picture in the other cyclone kind
        QTRY_VERIFY(cik4());
        QCOMPARE(zoom->text(), QStringLiteral("[+]"));
        QCOMPARE(frame.SatKind(), 2);

        auto dez0 = loaded(QStringLiteral("dez0.jpg"));
        rain->click();
        QTRY_VERIFY(dez0());
        QTRY_VERIFY(!frame.RainRateLegend()->isHidden());
        QCOMPARE(list->currentIndex(), 0);

        // Fresh for an hour: shown again without a download.
        const qsizetype beforeAgain = demo.Server().Requests().size();
        cyclones->click();
        QTRY_COMPARE(frame.SatKind(), 2);
        // Every satellite picture has one size: the legend tells when it is shown.
        QTRY_VERIFY(frame.RainRateLegend()->isHidden());
        QTRY_VERIFY(!context->Busy());
        QCOMPARE(frame.Picture()->Picture().size(), ServedSize(QStringLiteral("cik0.jpg")));
        QCOMPARE(RequestsFor(beforeAgain, QStringLiteral(".jpg")),
                 QStringList{QStringLiteral("GET /ogledalo1/cik0.jpg 200")});
        const qsizetype beforeFresh = demo.Server().Requests().size();
        Await(frame.LoadSatellitePicture(2, 0, false));
        QCOMPARE(RequestsFor(beforeFresh, QStringLiteral(".jpg")), QStringList());
    }

    // The animation: eleven downloads, then the pictures from the oldest to
    // the newest, ending on picture 0; a failed download stops it before it
    // plays; a stop ends it at once.
    void satelliteAnimation_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("requests");
        QTest::newRow("whole") << QString() << false << 11;
        QTest::newRow("picture 5 missing") << "sat5.jpg" << false << 6;
        QTest::newRow("stopped while it plays") << QString() << true << 11;
    }
    void satelliteAnimation()
    {
        QFETCH(QString, missing);
        QFETCH(bool, stopped);
        QFETCH(int, requests);
        TRestoreFiles restore(demo, {Served(QStringLiteral("sat5.jpg"))});
        if (!missing.isEmpty())
            QFile::remove(demo.FilePath(Served(missing)));
        TFrameSateliskeSlike frame(*context);
        QList<QSize> shown;
        connect(frame.Picture(), &TImagePanel::pictureChanged, this,
                [&] { shown.append(frame.Picture()->Picture().size()); });
        const qsizetype before = demo.Server().Requests().size();
        QCoro::Task<> animation = frame.AnimateSatellite();
        QVERIFY(frame.Animating());
        QVERIFY(context->Busy());
        if (stopped) {
            QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 2, 20000);
            frame.Stop();
            QVERIFY(animation.isReady());
            const qsizetype frames = shown.size();
            QTest::qWait(2 * TFrameSateliskeSlike::FrameMilliseconds);
            QCOMPARE(shown.size(), frames);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(animation.isReady(), 30000);
        }
        QVERIFY(!frame.Animating());
        QVERIFY(!context->Busy());
        QStringList fetched = RequestsFor(before, QStringLiteral("/sat"));
        QCOMPARE(fetched.size(), requests);
        QCOMPARE(fetched.first(), QStringLiteral("GET /ogledalo1/sat0.jpg 200"));
        if (!missing.isEmpty()) {
            QCOMPARE(fetched.last(), QStringLiteral("GET /ogledalo1/sat5.jpg 404"));
            QCOMPARE(shown.size(), 0);
        } else if (!stopped) {
            QCOMPARE(fetched.last(), QStringLiteral("GET /ogledalo1/sat10.jpg 200"));
            QCOMPARE(shown.size(), 11);
            QCOMPARE(frame.Picture()->Picture(), QImage(Local(QStringLiteral("sat0.jpg"))));
        }
    }

    // Pictures that do not decode, or say they are enormous, are refused
    // before any pixel memory is taken: the radar and the forecast keep their
    // picture, the satellite panel is cleared; nothing blocks or crashes.
    void badPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decodes");
        const QByteArray png = PictureBytes(20, Qt::red);
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("not a picture") << QByteArray("<html>502 Bad Gateway</html>") << false;
        QTest::newRow("truncated") << png.left(40) << false;
        QTest::newRow("30000 x 30000 PNG") << HugePng() << false;
        QTest::newRow("30000 x 30000 GIF") << HugeGif() << false;
        QByteArray animation = demo.ReadFile(Served(QStringLiteral("radar_anim.gif")));
        QTest::newRow("GIF with a broken frame")
            << animation.left(animation.size() * 6 / 10) << true;
    }
    void badPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decodes);
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!pas_lib::PictureSizeAllowed(QSize(30000, 30000)));

        TRadarView radar(*context);
        WriteFile(Local(QStringLiteral("radar.gif")), PictureBytes(10, Qt::blue), now);
        Await(radar.ShowRadarPicture(false, false, false));
        QCOMPARE(radar.Picture().size(), QSize(10, 10));
        WriteFile(Local(QStringLiteral("radar.gif")), bytes, now);
        Await(radar.ShowRadarPicture(false, false, false));
        if (!decodes)
            QCOMPARE(radar.Picture().size(), QSize(10, 10));
        else
            QVERIFY(radar.Movie());

        TForecastView forecast(*context);
        WriteFile(Local(QStringLiteral("jutri.png")), PictureBytes(12, Qt::green), now);
        Await(forecast.ShowForecastPictures(false));
        QCOMPARE(forecast.Map()->Picture().size(), QSize(12, 12));
        WriteFile(Local(QStringLiteral("jutri.png")), bytes, now);
        Await(forecast.ShowForecastPictures(false));
        if (!decodes)
            QCOMPARE(forecast.Map()->Picture().size(), QSize(12, 12));

        TFrameSateliskeSlike frame(*context);
        WriteFile(Local(QStringLiteral("sat0.jpg")), PictureBytes(16, Qt::gray), now);
        Await(frame.LoadSatellitePicture(0, 0, false));
        QCOMPARE(frame.Picture()->Picture().size(), QSize(16, 16));
        WriteFile(Local(QStringLiteral("sat0.jpg")), bytes, now);
        Await(frame.LoadSatellitePicture(0, 0, false));
        QCOMPARE(frame.Picture()->Picture().isNull(), !decodes);
        // A broken frame stops the animation on the last good one.
        QTest::qWait(1500);
        QVERIFY(!radar.Picture().isNull());
    }
};

QTEST_MAIN(TestPictureViews)
#include "tst_pictureviews.moc"
