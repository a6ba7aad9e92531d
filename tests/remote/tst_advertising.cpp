// The advertising rotation against a loopback nginx that serves the list and
// its pictures: the order and display times of the entries, the reloads, the
// failures and the bounds. Steps are taken by calling the player's step, not
// by waiting for its timer.

#include "Await.h"
#include "LoopbackServers.h"
#include "TestFiles.h"
#include "remote/AdvertisingList.h"
#include "remote/AdvertisingPlayer.h"
#include "remote/RemoteSettings.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray Picture(const char* format, QSize size = QSize(390, 50))
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// A GIF of one pixel (Qt reads GIF but does not write it).
QByteArray SmallGif()
{
    return QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00,"
                      "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                      35);
}

QByteArray List(const QList<QByteArray>& elements)
{
    return "<?xml version=\"1.0\"?><Oglasi>" + elements.join("") + "</Oglasi>";
}

QByteArray Element(const char* name, const QString& text)
{
    return "<" + QByteArray(name) + ">" + text.toUtf8() + "</" + QByteArray(name) + ">";
}

} // namespace

class TestAdvertising : public QObject
{
    Q_OBJECT

    TNginxServer server;

    QString Url(const QString& path) const { return server.Url(path); }
    int RequestsFor(const QString& path) const
    {
        return int(server.Requests().filter(QLatin1Char('/') + path + QLatin1Char(' ')).size());
    }
    // Three advertisements of 10, 20 and 30 seconds.
    QByteArray ThreeAds() const
    {
        return List(
            {Element("CasPrikaza", "10"), Element("CasPrikaza", "20"), Element("CasPrikaza", "30"),
             Element("Slika", Url("a.gif")), Element("Slika", Url("b.JpEg")),
             Element("Slika", Url("c.jpg")), Element("AddURL", "https://a.example/"),
             Element("AddURL", "https://b.example/"), Element("AddURL", "https://c.example/")});
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.Start(), qPrintable(server.Error()));
        server.WriteFile(QStringLiteral("a.gif"), SmallGif());
        server.WriteFile(QStringLiteral("b.JpEg"), Picture("JPEG"));
        server.WriteFile(QStringLiteral("c.jpg"), Picture("JPEG"));
        server.WriteFile(QStringLiteral("d.png"), Picture("PNG"));
        server.WriteFile(QStringLiteral("huge.gif"), HugeGif());
        server.WriteFile(QStringLiteral("big.jpg"), QByteArray(3 << 20, 'x'));
        HomePageUrl = QStringLiteral("https://www.nimbulon.si/");
    }

    void init()
    {
        AdsActive = true;
        AdsUrl = Url(QStringLiteral("oglasi.xml"));
    }

    void cleanupTestCase()
    {
        AdsActive = false;
        AdsUrl.clear();
    }

    void lists_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QStringList>("items"); // seconds|picture|click
        QTest::newRow("unequal numbers, any order")
            << List({Element("Slika", "p1.gif"), Element("CasPrikaza", "7"),
                     Element("Slika", "p2.jpg"), Element("AddURL", "u1")})
            << true << QStringList{"7|p1.gif|u1", "0|p2.jpg|"};
        QTest::newRow("not an integer is 5, 0 stays, bounds")
            << List({Element("CasPrikaza", "pet"), Element("CasPrikaza", "0"),
                     Element("CasPrikaza", "7200"), Element("CasPrikaza", "-3")})
            << true << QStringList{"5|old.gif|old", "0||", "3600||", "1||"};
        QTest::newRow("no elements") << List({}) << true << QStringList{"9|old.gif|old"};
        QTest::newRow("not XML") << QByteArray("<html>502") << false
                                 << QStringList{"9|old.gif|old"};
        QByteArray many;
        for (int i = 0; i < 80; ++i)
            many += Element("Slika", QStringLiteral("p%1.gif").arg(i));
        QTest::newRow("at most 50")
            << List({many}) << true << QStringList(50, QString()); // only the count is checked
    }
    void lists()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, parsed);
        QFETCH(QStringList, items);
        QList<TAdItem> list{{9, QStringLiteral("old.gif"), QStringLiteral("old"), std::nullopt}};
        QCOMPARE(ReadAdvertisingList(document, list), parsed);
        QCOMPARE(list.size(), items.size());
        if (items.size() == 50)
            return;
        QStringList read;
        for (const TAdItem& item : list)
            read.append(QString::number(item.displaySeconds) + QLatin1Char('|') + item.pictureUrl +
                        QLatin1Char('|') + item.clickUrl);
        QCOMPARE(read, items);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("gif") << "http://x/oglas.gif" << QByteArray("GIF");
        QTest::newRow("JpEg") << "http://x/oglas.JpEg" << QByteArray("JPEG");
        QTest::newRow("jpg with a query") << "http://x/oglas.jpg?v=2" << QByteArray("JPEG");
        QTest::newRow("png") << "http://x/oglas.png" << QByteArray();
        QTest::newRow("none") << "http://x/oglas" << QByteArray();
    }
    void formats()
    {
        QFETCH(QString, url);
        QFETCH(QByteArray, format);
        QCOMPARE(AdPictureFormat(url), format);
    }

    // 10, 20, 30 s: after the load entry 2 for 20 s, then 3, 1, 2.
    void rotation()
    {
        server.WriteFile(QStringLiteral("oglasi.xml"), ThreeAds());
        TAdvertisingPlayer player;
        QSignalSpy pictures(&player, &TAdvertisingPlayer::PictureChanged);
        QCOMPARE(player.PictureClickAddress(), HomePageUrl);
        player.SetAdvertising(true);
        QVERIFY(player.TimerActive());
        QCOMPARE(player.Interval(), 1000);
        // The first step finds no entry and loads the list.
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(player.Items().size(), 3);
        QCOMPARE(player.Last(), 2);
        QCOMPARE(player.Index(), 0);
        QVERIFY(player.TimerActive());
        for (const TAdItem& item : player.Items())
            QVERIFY2(item.picture, qPrintable(item.pictureUrl));
        QList<int> shown;
        QList<int> intervals;
        for (int step = 0; step < 4; ++step) {
            pictures.clear();
            Await(player.tmPredvajanjeTimer());
            shown.append(player.Index() + 1);
            intervals.append(player.Interval());
            QCOMPARE(pictures.size(), 2); // cleared, then the picture
            QVERIFY(!pictures.last().at(0).toByteArray().isEmpty());
        }
        QCOMPARE(shown, (QList<int>{2, 3, 1, 2}));
        QCOMPARE(intervals, (QList<int>{20000, 30000, 10000, 20000}));
        QCOMPARE(player.PictureClickAddress(), QStringLiteral("https://b.example/"));
        QCOMPARE(RequestsFor(QStringLiteral("oglasi.xml")), 1);

        // Off: the entry stays for the next start, a second later.
        player.SetAdvertising(false);
        QVERIFY(!player.TimerActive());
        QCOMPARE(player.PictureClickAddress(), HomePageUrl);
        player.SetAdvertising(true);
        QCOMPARE(player.Interval(), 1000);
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(player.Index() + 1, 3);
    }

    // An entry without a display time stays, with no timer ticking; one
    // without a picture (a 404, a picture too big or too large, a PNG shows
    // the placeholder) makes the rotation load the list again.
    void entriesThatStop()
    {
        server.WriteFile(
            QStringLiteral("oglasi.xml"),
            List({Element("CasPrikaza", "5"), Element("Slika", Url("c.jpg")),
                  Element("Slika", Url("d.png")), Element("Slika", Url("missing.gif")),
                  Element("Slika", Url("huge.gif")), Element("Slika", Url("big.jpg"))}));
        const int loads = RequestsFor(QStringLiteral("oglasi.xml"));
        TAdvertisingPlayer player;
        QSignalSpy pictures(&player, &TAdvertisingPlayer::PictureChanged);
        player.SetAdvertising(true);
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(player.Items().size(), 5);
        QVERIFY(player.Items().at(0).picture);
        QVERIFY(player.Items().at(1).picture);
        QVERIFY(!player.Items().at(2).picture);
        QVERIFY(!player.Items().at(3).picture);
        QVERIFY(!player.Items().at(4).picture);
        // Entry 2: a PNG, shown as nothing, with no display time.
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(player.Index(), 1);
        QCOMPARE(pictures.last().at(1).toByteArray(), QByteArray());
        QVERIFY(player.Enabled());
        QVERIFY(!player.TimerActive());
        // Turned off and on, entry 3 has no picture: the list again.
        player.SetAdvertising(false);
        player.SetAdvertising(true);
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(RequestsFor(QStringLiteral("oglasi.xml")), loads + 2);
        QCOMPARE(player.Index(), 0);
    }

    // A list that does not come pauses the rotation; one that is not XML
    // leaves the rotation as it was.
    void listFailures()
    {
        server.WriteFile(QStringLiteral("oglasi.xml"), ThreeAds());
        TAdvertisingPlayer player;
        player.SetAdvertising(true);
        Await(player.tmPredvajanjeTimer());
        Await(player.tmPredvajanjeTimer());
        QCOMPARE(player.Index(), 1);

        server.WriteFile(QStringLiteral("oglasi.xml"), "<html>502 Bad Gateway");
        Await(player.LoadAdvertisingList());
        QCOMPARE(player.Items().size(), 3);
        QCOMPARE(player.Index(), 1);
        QCOMPARE(player.Last(), 2);
        QVERIFY(player.TimerActive());

        AdsUrl = Url(QStringLiteral("nothing-here.xml"));
        TAdvertisingPlayer paused;
        paused.SetAdvertising(true);
        Await(paused.tmPredvajanjeTimer());
        QCOMPARE(paused.Last(), 0);
        QVERIFY(!paused.Enabled());
        QVERIFY(!paused.TimerActive());
        QCOMPARE(paused.PictureClickAddress(), HomePageUrl);
        // Advertising off: no step loads anything.
        AdsActive = false;
        player.SetAdvertising(true);
        Await(player.tmPredvajanjeTimer());
        QVERIFY(!player.Enabled());
    }

    // Off, the window's look follows AdsActive; it starts with the strip.
    void look()
    {
        TAdvertisingPlayer player;
        QSignalSpy look(&player, &TAdvertisingPlayer::StripShownChanged);
        QVERIFY(player.StripShown());
        AdsActive = true;
        player.SetAdvertising(false);
        QCOMPARE(look.size(), 0);
        AdsActive = false;
        player.SetAdvertising(true);
        QCOMPARE(look.size(), 0);
        player.SetAdvertising(false);
        QCOMPARE(look.size(), 1);
        QVERIFY(!player.StripShown());
        AdsActive = true;
        player.SetAdvertising(false);
        QCOMPARE(look.size(), 2);
        QVERIFY(player.StripShown());
    }
};

QTEST_GUILESS_MAIN(TestAdvertising)
#include "tst_advertising.moc"
