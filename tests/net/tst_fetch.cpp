#include "Await.h"
#include "LoopbackServers.h"
#include "TestHome.h"
#include "common/FixedFormat.h"
#include "net/Fetch.h"
#include "net/HttpClient.h"
#include "net/LastModifiedStamps.h"
#include "net/UserAgents.h"
#include "settings/Tparameter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

namespace {
QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& data)
{
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}

// A modification time in whole seconds, as HTTP carries it.
QDateTime Modified(int minutesAgo)
{
    QDateTime time = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
    time.setTime(QTime(time.time().hour(), time.time().minute(), time.time().second()));
    return time;
}
} // namespace

class TestFetch : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    std::unique_ptr<TTestHome> home;

    QString Destination(const QString& name) const { return home->Path(name); }

private slots:
    void initTestCase()
    {
        nginx.ExtraConfig = QStringLiteral("    location = /moved.gif { return 302 /radar.gif; }");
        QVERIFY2(nginx.Start(), qPrintable(nginx.Error()));
    }
    void init()
    {
        home = std::make_unique<TTestHome>();
        CreateParameters();
        LastModifiedStamps.ResetAll();
        SetHttpLimits(THttpLimits());
    }
    void cleanup()
    {
        delete parametri;
        parametri = nullptr;
        home.reset();
    }

    // GET first with the stamp recorded; then HEAD only, the local file kept;
    // without a local file to keep, GET at once; a newer server copy is
    // fetched again; after a reset of the stamps, GET again.
    void conditionalDownloadBySlot()
    {
        const QDateTime modified = Modified(30);
        nginx.WriteFile(QStringLiteral("radar.gif"), QByteArray(1000, 'r'), modified);
        const QString dest = Destination(QStringLiteral("Slike/radar.gif"));
        const int before = nginx.Requests().size();

        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), dest, nullptr, 4)), 1000);
        QCOMPARE(ReadAll(dest), QByteArray(1000, 'r'));
        QCOMPARE(LastModifiedStamps.Get(4), pas_lib::DateTimeToDays(modified));

        WriteAll(dest, "local copy");
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), dest, nullptr, 4)), -1);
        QCOMPARE(ReadAll(dest), QByteArray("local copy"));
        QVERIFY(QFile::remove(dest));
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), dest, nullptr, 4)), 1000);

        LastModifiedStamps.ResetAll();
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), dest, nullptr, 4)), 1000);

        const QDateTime newer = Modified(5);
        nginx.WriteFile(QStringLiteral("radar.gif"), QByteArray(500, 'n'), newer);
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), dest, nullptr, 4)), 500);
        QCOMPARE(LastModifiedStamps.Get(4), pas_lib::DateTimeToDays(newer));

        QCOMPARE(nginx.Requests().mid(before),
                 QStringList({"GET /radar.gif 200", "HEAD /radar.gif 200", "GET /radar.gif 200",
                              "GET /radar.gif 200", "HEAD /radar.gif 200",
                              "GET /radar.gif 200"}));
    }

    void failuresLeaveNoFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("stamp");
        QTest::addColumn<int>("result");
        QTest::newRow("GET answered 404") << "missing.gif" << 4 << 0.0 << -3;
        QTest::newRow("HEAD answered 404") << "missing.gif" << 4 << 40000.0 << -2;
        QTest::newRow("redirect is a failure") << "moved.gif" << -1 << 0.0 << -3;
    }
    void failuresLeaveNoFile()
    {
        QFETCH(QString, path);
        QFETCH(int, slot);
        QFETCH(double, stamp);
        QFETCH(int, result);
        nginx.WriteFile(QStringLiteral("radar.gif"), "GIF89a");
        LastModifiedStamps.Set(4, stamp);
        const QString dest = Destination(QStringLiteral("old.gif"));
        WriteAll(dest, "stale");
        QCOMPARE(Await(Fetch(nginx.Url(path), dest, nullptr, slot)), result);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(LastModifiedStamps.Get(4), stamp);
    }

    // An address from a server never reads a local file or another scheme.
    void onlyWebAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("local file") << "file:///etc/hostname";
        QTest::newRow("data") << "data:text/plain,abc";
        QTest::newRow("ftp") << "ftp://127.0.0.1/x";
        QTest::newRow("no scheme") << "podatki.xml";
    }
    void onlyWebAddresses()
    {
        QFETCH(QString, address);
        const QString dest = Destination(QStringLiteral("copy.txt"));
        QVERIFY(Await(Fetch(address, dest, nullptr, -1)) < 0);
        QVERIFY(!QFile::exists(dest));
        parametri->Set(QStringLiteral("DOWNLOAD_API"), true);
        QCOMPARE(Await(Fetch(address, dest, nullptr, -1)), -1);
        QVERIFY(!QFile::exists(dest));
    }

    void emptyAddressDoesNothing()
    {
        const QString dest = Destination(QStringLiteral("keep.gif"));
        WriteAll(dest, "keep");
        const int before = nginx.Requests().size();
        QCOMPARE(Await(Fetch(QString(), dest, nullptr, 4)), -1);
        QCOMPARE(ReadAll(dest), QByteArray("keep"));
        QCOMPARE(nginx.Requests().size(), before);
    }

    void slotMinusOneNeverSendsHead()
    {
        nginx.WriteFile(QStringLiteral("podatki.xml"), "<a/>", Modified(60));
        const int before = nginx.Requests().size();
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        stream.write("xy");
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("podatki.xml")), QString(), &stream, -1)), 6);
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("podatki.xml")), QString(), &stream, -1)),
                 10);
        QCOMPARE(stream.data(), QByteArray("xy<a/><a/>"));
        QCOMPARE(nginx.Requests().mid(before),
                 QStringList({"GET /podatki.xml 200", "GET /podatki.xml 200"}));
        for (int slot = 1; slot <= 13; ++slot)
            QCOMPARE(LastModifiedStamps.Get(slot), 0.0);
    }

    // The second client: redirects followed, -1 on any failure, streams replaced.
    void systemClient()
    {
        parametri->Set(QStringLiteral("DOWNLOAD_API"), true);
        nginx.WriteFile(QStringLiteral("radar.gif"), "GIF89a-data", Modified(10));
        const QString dest = Destination(QStringLiteral("radar.gif"));
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("moved.gif")), dest, nullptr, 4)), 11);
        QCOMPARE(ReadAll(dest), QByteArray("GIF89a-data"));
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("missing.gif")), dest, nullptr, 4)), -1);
        QVERIFY(!QFile::exists(dest));
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        stream.write("old content");
        QCOMPARE(Await(Fetch(nginx.Url(QStringLiteral("radar.gif")), QString(), &stream, -1)), 11);
        QCOMPARE(stream.data(), QByteArray("GIF89a-data"));
        QCOMPARE(LastModifiedStamps.Get(4), 0.0);
    }

    void requestHeaders()
    {
        TScriptedHttpServer server([](QTcpSocket* socket, const QByteArray&) {
            TScriptedHttpServer::Reply(socket, "200 OK", "", "ok");
        });
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(Await(Fetch(server.Url(QStringLiteral("x")), QString(), &stream, -1)),
                     2 * (i + 1));
        QSet<QByteArray> agents;
        for (const QByteArray& request : std::as_const(server.Requests)) {
            const QByteArray agent = TScriptedHttpServer::Header(request, "User-Agent");
            QVERIFY2(UserAgentTable().contains(QString::fromLatin1(agent)), agent.constData());
            QVERIFY(TScriptedHttpServer::Header(request, "Referer").isNull());
            QVERIFY(TScriptedHttpServer::Header(request, "Cookie").isNull());
            agents.insert(agent);
        }
        QVERIFY2(agents.size() > 1, "every fetch picks its own user-agent");
    }

    void userAgentTable()
    {
        const QStringList& table = UserAgentTable();
        QCOMPARE(table.size(), 110);
        QCOMPARE(table.first(),
                 QStringLiteral("Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)"));
        QCOMPARE(
            table.last(),
            QStringLiteral(
                "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.7.5) Gecko/20041113 Firefox/1.0"));
        QCOMPARE(table.at(14), table.at(11));
        QCOMPARE(table.at(23), table.at(0));
        QCOMPARE(table.at(70), table.at(2));
        QCOMPARE(QSet<QString>(table.begin(), table.end()).size(), 107);
        QSet<QString> picked;
        for (int i = 0; i < 5000; ++i)
            picked.insert(PickUserAgent());
        QCOMPARE(picked.size(), 107);
    }

    // A server that goes silent is a time-out; the window's events run meanwhile.
    void silentServerTimesOutWhileEventsRun()
    {
        SetHttpLimits({2000, 400, 1024 * 1024});
        TScriptedHttpServer server([](QTcpSocket* socket, const QByteArray&) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart");
        });
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(20);
        const QString dest = Destination(QStringLiteral("silent.gif"));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Await(Fetch(server.Url(QStringLiteral("s")), dest, nullptr, -1)), -3);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(ticks >= 5);
        QVERIFY(!QFile::exists(dest));
    }

    void oversizedBodyFails_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::newRow("length announced") << true;
        QTest::newRow("length not announced") << false;
    }
    void oversizedBodyFails()
    {
        QFETCH(bool, announced);
        SetHttpLimits({15000, 5000, 256 * 1024});
        TScriptedHttpServer server([announced](QTcpSocket* socket, const QByteArray&) {
            if (announced) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 10000000000\r\n\r\n");
                socket->write(QByteArray(64 * 1024, 'x'));
            } else {
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
                socket->write(QByteArray(1024 * 1024, 'x'));
            }
        });
        const QString dest = Destination(QStringLiteral("big.jpg"));
        QCOMPARE(Await(Fetch(server.Url(QStringLiteral("big")), dest, nullptr, -1)), -3);
        QVERIFY(!QFile::exists(dest));
    }

    // A fetch started by an event during another fetch goes on beside it: the
    // quick one ends first, the slow one after, neither waits for the other.
    void fetchesSideBySide()
    {
        nginx.WriteFile(QStringLiteral("inner.xml"), "inner");
        bool answered = false;
        TScriptedHttpServer server([&answered](QTcpSocket* socket, const QByteArray&) {
            QTimer::singleShot(300, socket, [socket, &answered] {
                TScriptedHttpServer::Reply(socket, "200 OK", "", "outer");
                answered = true;
            });
        });
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        QCoro::Task<int> inner;
        QTimer::singleShot(50, this, [&] {
            inner = Fetch(nginx.Url(QStringLiteral("inner.xml")), QString(), &stream, -1);
        });
        QBuffer outer;
        outer.open(QIODevice::ReadWrite);
        QCOMPARE(Await(Fetch(server.Url(QStringLiteral("slow")), QString(), &outer, -1)), 5);
        QVERIFY(answered);
        QVERIFY(inner.isReady());
        QCOMPARE(Await(std::move(inner)), 5);
        QCOMPARE(outer.data(), QByteArray("outer"));
    }

    // A cancelled fetch ends at once as a failure and leaves no file.
    void cancelledFetch()
    {
        TScriptedHttpServer server([](QTcpSocket* socket, const QByteArray&) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart");
        });
        pas_lib::TCancellation cancellation;
        const QString dest = Destination(QStringLiteral("cancelled.gif"));
        QCoro::Task<int> fetch =
            Fetch(server.Url(QStringLiteral("c")), dest, nullptr, -1, &cancellation);
        QTest::qWait(100);
        QVERIFY(!fetch.isReady());
        cancellation.Cancel();
        QVERIFY(fetch.isReady());
        QCOMPARE(Await(std::move(fetch)), -3);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(Await(Fetch(server.Url(QStringLiteral("c")), dest, nullptr, -1, &cancellation)),
                 -3);
    }

    // A pause lets events run and lasts at least its time; cancelled, it ends
    // at once with false.
    void sleepFor()
    {
        int ticks = 0;
        QTimer::singleShot(10, this, [&] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(Await(pas_lib::SleepFor(150)));
        QVERIFY(clock.elapsed() >= 150);
        QCOMPARE(ticks, 1);

        pas_lib::TCancellation cancellation;
        QCoro::Task<bool> pause = pas_lib::SleepFor(60000, &cancellation);
        QVERIFY(!pause.isReady());
        cancellation.Cancel();
        QVERIFY(pause.isReady());
        QVERIFY(!Await(std::move(pause)));
    }
};

QTEST_GUILESS_MAIN(TestFetch)
#include "tst_fetch.moc"
