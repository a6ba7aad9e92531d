#include "Await.h"
#include "LoopbackServers.h"
#include "remote/MirrorTable.h"
#include "weather/FetchFeed.h"

#include <QtTest>

class TestFetchFeed : public QObject
{
    Q_OBJECT

    TNginxServer nginx;

private slots:
    void initTestCase() { QVERIFY2(nginx.Start(), qPrintable(nginx.Error())); }

    void baseAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("base");
        QTest::newRow("ends in the name") << "http://m/a/podatki.xml"
                                          << "http://m/a/";
        QTest::newRow("ends in a slash") << "http://m/a/"
                                         << "http://m/a/";
        QTest::newRow("text after the name") << "http://m/podatki.xml?x=1"
                                             << "http://m/";
        QTest::newRow("empty") << ""
                               << "";
    }
    void baseAddress()
    {
        QFETCH(QString, address);
        QFETCH(QString, base);
        QCOMPARE(FeedBaseAddress(address), base);
    }

    void fetchesBothFeedsFromAMirror()
    {
        nginx.WriteFile(QStringLiteral("m/podatki.xml"), "<podatki/>");
        nginx.WriteFile(QStringLiteral("m/podatkiOstalo.xml"), "<ostalo/>");
        MirrorTable.Clear();
        MirrorTable.SetMirror(1, nginx.Url(QStringLiteral("m/")), 1);
        MirrorTable.Count = 1;
        TFeeds feeds;
        feeds.MainFeed.setData("old");
        Await(FetchFeed(feeds));
        QCOMPARE(feeds.MainFeed.data(), QByteArray("<podatki/>"));
        QCOMPARE(feeds.SecondFeed.data(), QByteArray("<ostalo/>"));
        const QStringList requests = nginx.Requests();
        QCOMPARE(requests.mid(requests.size() - 2),
                 QStringList({"GET /m/podatki.xml 200", "GET /m/podatkiOstalo.xml 200"}));

        // Without mirrors both documents are empty and nothing is asked.
        MirrorTable.Clear();
        MirrorTable.Count = 0;
        Await(FetchFeed(feeds));
        QVERIFY(feeds.MainFeed.data().isEmpty());
        QVERIFY(feeds.SecondFeed.data().isEmpty());
        QCOMPARE(nginx.Requests().size(), requests.size());
    }

    void changeStamps_data()
    {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("stamp");
        const QByteArray feed = "<podatki><Spremembe><SlikaJutri>9.12.2026 6:00:00</SlikaJutri>"
                                "<Vreme4Dni>9.12.2026 7:15:00</Vreme4Dni></Spremembe></podatki>";
        QTest::newRow("kind 1") << feed << 1 << "9.12.2026 6:00:00";
        QTest::newRow("kind 6") << feed << 6 << "9.12.2026 7:15:00";
        QTest::newRow("absent") << feed << 3 << "";
        QTest::newRow("no such kind") << feed << 7 << "";
        QTest::newRow("not XML") << QByteArray("<podatki><Spremembe>") << 1 << "";
    }
    void changeStamps()
    {
        QFETCH(QByteArray, feed);
        QFETCH(int, kind);
        QFETCH(QString, stamp);
        QCOMPARE(ChangeStamp(pas_lib::TXmlDocument(feed), kind), stamp);
    }
};

QTEST_GUILESS_MAIN(TestFetchFeed)
#include "tst_fetchfeed.moc"
