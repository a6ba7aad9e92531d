#include "Await.h"
#include "LoopbackServers.h"
#include "TestHome.h"
#include "net/Fetch.h"
#include "net/HttpClient.h"
#include "net/LastModifiedStamps.h"
#include "net/TDownLoad.h"
#include "settings/Tparameter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

namespace {

// How a broken server answers.
enum class TFault {
    Trickle,           // a byte now and then: in time for the read time-out, far below the rate
    Endless,           // a body at a good rate that never ends
    StallAfterHead,    // the head and a little, then silence
    Silent,            // the request is taken and never answered
    ResetMidBody,      // part of the body, then a reset
    LongerThanLength,  // more body than Content-Length says
    ShorterThanLength, // the connection closes before Content-Length is reached
    HeadTrickle,       // a HEAD answered one header line at a time, for ever
};

// Which way the program fetches.
enum class TRoute {
    Fetch,        // the built-in client on the calling thread
    SystemClient, // DOWNLOAD_API: the second client
    Worker,       // the background download worker
};

} // namespace

Q_DECLARE_METATYPE(TFault)
Q_DECLARE_METATYPE(TRoute)

namespace {

// The limits of every row: short enough for the test to run in seconds.
THttpLimits ShortLimits(int readTimeoutMs)
{
    THttpLimits limits;
    limits.ConnectTimeoutMs = 2000;
    limits.ReadTimeoutMs = readTimeoutMs;
    limits.MaxBodyBytes = 1024 * 1024;
    limits.DeadlineMs = 2000;
    limits.VideoDeadlineMs = 3500;
    limits.MinBytesPerSecond = 100;
    limits.RateWindowMs = 1000;
    return limits;
}

QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Serve(TFault fault, QTcpSocket* socket, const QByteArray& request)
{
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    switch (fault) {
    case TFault::Trickle:
        TScriptedHttpServer::Trickle(socket, ok + "Content-Length: 100000\r\n\r\n", "x", 100);
        break;
    case TFault::Endless:
        TScriptedHttpServer::Trickle(socket, ok + "Connection: close\r\n\r\n", QByteArray(200, 'v'),
                                     50);
        break;
    case TFault::StallAfterHead:
        socket->write(ok + "Content-Length: 100\r\n\r\npart");
        break;
    case TFault::Silent:
        break;
    case TFault::ResetMidBody:
        socket->write(ok + "Content-Length: 100000\r\n\r\n" + QByteArray(1000, 'r'));
        QTimer::singleShot(100, socket, [socket] { TScriptedHttpServer::Reset(socket); });
        break;
    case TFault::LongerThanLength:
        socket->write(ok + "Content-Length: 10\r\n\r\n" + QByteArray(1000, 'l'));
        break;
    case TFault::ShorterThanLength:
        socket->write(ok + "Content-Length: 1000\r\nConnection: close\r\n\r\n" +
                      QByteArray(10, 's'));
        socket->disconnectFromHost();
        break;
    case TFault::HeadTrickle:
        if (request.startsWith("HEAD "))
            TScriptedHttpServer::Trickle(socket, ok, "X-Wait: 1\r\n", 100);
        else
            TScriptedHttpServer::Reply(socket, "200 OK", "", "body");
        break;
    }
}

} // namespace

class TestTransferLimits : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    std::unique_ptr<TTestHome> home;

    // Fetches by one route; the worker reports nothing, so its outcome is the
    // size of the file it left, or -3 for none.
    int Transfer(TRoute route, const QString& address, const QString& fileName, int slot,
                 TTransferKind kind)
    {
        if (route == TRoute::Worker) {
            new TDownLoad(fileName, address, slot);
            if (!QTest::qWaitFor([] { return TDownLoad::RunningCount() == 0; }, 20000))
                return -100;
            return QFile::exists(fileName) ? int(QFileInfo(fileName).size()) : -3;
        }
        parametri->Set(QStringLiteral("DOWNLOAD_API"), route == TRoute::SystemClient);
        return Await(Fetch(address, fileName, nullptr, slot, nullptr, kind));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(nginx.Start(), qPrintable(nginx.Error()));
        nginx.WriteFile(QStringLiteral("healthy.png"), QByteArray(3000, 'h'));
        // The reason a limit ended a request is logged at debug.
        QLoggingCategory::setFilterRules(QStringLiteral("nimbulon.net.debug=true"));
    }
    void init()
    {
        home = std::make_unique<TTestHome>();
        CreateParameters();
        LastModifiedStamps.ResetAll();
    }
    void cleanup()
    {
        TDownLoad::CancelAll();
        SetHttpLimits(THttpLimits());
        delete parametri;
        parametri = nullptr;
        home.reset();
    }

    void brokenServerEndsWithinItsLimit_data()
    {
        QTest::addColumn<TFault>("fault");
        QTest::addColumn<TRoute>("route");
        QTest::addColumn<bool>("video");
        QTest::addColumn<bool>("headFirst"); // a stamp and a local file: HEAD before GET
        QTest::addColumn<int>("readTimeoutMs");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("endedBy"); // the logged limit; empty: the server's fault
        QTest::addColumn<int>("limitMs");     // when the limit ends it at the earliest

        using F = TFault;
        using R = TRoute;
        // The read time-out is shorter than a rate window, so that a silence
        // is the read time-out's; the HEAD row's is longer than the deadline.
        QTest::newRow("trickle below the minimum rate")
            << F::Trickle << R::Fetch << false << false << 400 << -3 << "minimum rate" << 1000;
        QTest::newRow("endless body past the deadline")
            << F::Endless << R::Fetch << false << false << 400 << -3 << "deadline" << 2000;
        QTest::newRow("endless video past the video deadline")
            << F::Endless << R::Fetch << true << false << 400 << -3 << "deadline" << 3500;
        QTest::newRow("HEAD past the deadline")
            << F::HeadTrickle << R::Fetch << false << true << 5000 << -2 << "deadline" << 2000;
        QTest::newRow("stall after the head") << F::StallAfterHead << R::Fetch << false << false
                                              << 400 << -3 << "read time-out" << 400;
        QTest::newRow("never answers")
            << F::Silent << R::Fetch << false << false << 400 << -3 << "read time-out" << 400;
        QTest::newRow("reset mid-body")
            << F::ResetMidBody << R::Fetch << false << false << 400 << -3 << "" << 0;
        // What follows the announced length is not part of the answer: the
        // announced part is the whole document.
        QTest::newRow("body longer than its length")
            << F::LongerThanLength << R::Fetch << false << false << 400 << 10 << "" << 0;
        QTest::newRow("body shorter than its length")
            << F::ShorterThanLength << R::Fetch << false << false << 400 << -3 << "" << 0;
        QTest::newRow("second client, trickle") << F::Trickle << R::SystemClient << false << false
                                                << 400 << -1 << "minimum rate" << 1000;
        QTest::newRow("worker, endless body")
            << F::Endless << R::Worker << false << false << 400 << -3 << "" << 2000;
    }
    void brokenServerEndsWithinItsLimit()
    {
        QFETCH(TFault, fault);
        QFETCH(TRoute, route);
        QFETCH(bool, video);
        QFETCH(bool, headFirst);
        QFETCH(int, readTimeoutMs);
        QFETCH(int, result);
        QFETCH(QString, endedBy);
        QFETCH(int, limitMs);
        constexpr int marginMs = 2000; // a loaded machine and the sanitizers

        SetHttpLimits(ShortLimits(readTimeoutMs));
        TScriptedHttpServer server([fault](QTcpSocket* socket, const QByteArray& request) {
            Serve(fault, socket, request);
        });
        const QString dest = home->Path(QStringLiteral("Slike/radar.gif"));
        QDir().mkpath(QFileInfo(dest).absolutePath());
        QFile stale(dest);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
        stale.close();
        if (headFirst)
            LastModifiedStamps.Set(4, 40000.0);
        if (!endedBy.isEmpty())
            QTest::ignoreMessage(
                QtDebugMsg,
                QRegularExpression(
                    QStringLiteral("^Request \".*/radar\\.gif\" ended by \"%1\"$").arg(endedBy)));

        QElapsedTimer clock;
        clock.start();
        const int got =
            Transfer(route, server.Url(QStringLiteral("radar.gif")), dest, headFirst ? 4 : -1,
                     video ? TTransferKind::Video : TTransferKind::Document);
        const qint64 elapsed = clock.elapsed();
        qInfo("%s: ended after %lld ms", QTest::currentDataTag(), elapsed);
        QCOMPARE(got, result);
        // The time-outs are coarse timers, which may fire up to 5 % early.
        QVERIFY2(elapsed >= limitMs * 95 / 100, qPrintable(QString::number(elapsed)));
        QVERIFY2(elapsed < limitMs + marginMs, qPrintable(QString::number(elapsed)));
        if (result >= 0)
            QCOMPARE(ReadAll(dest), QByteArray(result, 'l'));
        else
            QVERIFY(!QFile::exists(dest));
        QCOMPARE(LastModifiedStamps.Get(4), headFirst ? 40000.0 : 0.0);

        // The next fetch, from a healthy server, is not held up.
        QCOMPARE(Transfer(route, nginx.Url(QStringLiteral("healthy.png")), dest, -1,
                          TTransferKind::Document),
                 3000);
    }
};

QTEST_GUILESS_MAIN(TestTransferLimits)
#include "tst_transferlimits.moc"
