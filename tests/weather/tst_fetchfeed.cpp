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
        feeds.Receive("<old/>", {}, "<old/>", {});
        TFeedsTaken taken = Await(FetchFeed(feeds));
        QVERIFY(taken.Main && taken.Second);
        QCOMPARE(feeds.MainFeed, QByteArray("<podatki/>"));
        QCOMPARE(feeds.SecondFeed, QByteArray("<ostalo/>"));
        QCOMPARE(feeds.MainDocument.Root().Name().toString(), QStringLiteral("podatki"));
        QVERIFY(feeds.MainReceived.secsTo(QDateTime::currentDateTime()) < 60);
        const QStringList requests = nginx.Requests();
        QCOMPARE(requests.mid(requests.size() - 2),
                 QStringList({"GET /m/podatki.xml 200", "GET /m/podatkiOstalo.xml 200"}));

        // A feed that fails keeps the last good one, and its time.
        const QDateTime received = feeds.MainReceived;
        nginx.WriteFile(QStringLiteral("m/podatki.xml"), "<podatki>");
        nginx.WriteFile(QStringLiteral("m/podatkiOstalo.xml"), "<novo/>");
        taken = Await(FetchFeed(feeds));
        QVERIFY(!taken.Main && taken.Second);
        QCOMPARE(feeds.MainFeed, QByteArray("<podatki/>"));
        QCOMPARE(feeds.MainDocument.Root().Name().toString(), QStringLiteral("podatki"));
        QCOMPARE(feeds.MainReceived, received);
        QCOMPARE(feeds.SecondDocument.Root().Name().toString(), QStringLiteral("novo"));

        // Without mirrors nothing is asked and both stay.
        MirrorTable.Clear();
        MirrorTable.Count = 0;
        const qsizetype asked = nginx.Requests().size();
        taken = Await(FetchFeed(feeds));
        QVERIFY(!taken.Main && !taken.Second);
        QCOMPARE(feeds.MainFeed, QByteArray("<podatki/>"));
        QCOMPARE(feeds.SecondFeed, QByteArray("<novo/>"));
        QCOMPARE(nginx.Requests().size(), asked);
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
