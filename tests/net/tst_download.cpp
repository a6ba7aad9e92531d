#include "LoopbackServers.h"
#include "TestHome.h"
#include "common/FixedFormat.h"
#include "net/HttpClient.h"
#include "net/LastModifiedStamps.h"
#include "net/TDownLoad.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QtTest>

namespace {
QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    std::unique_ptr<TTestHome> home;

private slots:
    void initTestCase() { QVERIFY2(nginx.Start(), qPrintable(nginx.Error())); }
    void init()
    {
        home = std::make_unique<TTestHome>();
        LastModifiedStamps.ResetAll();
        SetHttpLimits(THttpLimits());
    }
    void cleanup()
    {
        TDownLoad::CancelAll();
        home.reset();
    }

    void getThenHeadLeavesFileUntouched()
    {
        const QDateTime modified = QDateTime::currentDateTime().addSecs(-600);
        nginx.WriteFile(QStringLiteral("radar.gif"), "GIF89a-radar",
                        QDateTime::fromSecsSinceEpoch(modified.toSecsSinceEpoch()));
        const QString dest = home->Path(QStringLiteral("Slike/radar.gif"));
        const int before = nginx.Requests().size();

        new TDownLoad(dest, nginx.Url(QStringLiteral("radar.gif")), 4);
        QTRY_COMPARE(TDownLoad::RunningCount(), 0);
        QCOMPARE(ReadAll(dest), QByteArray("GIF89a-radar"));
        QCOMPARE(LastModifiedStamps.Get(4), pas_lib::DateTimeToDays(QDateTime::fromSecsSinceEpoch(
                                                modified.toSecsSinceEpoch())));

        // The ended worker frees itself once events run.
        QTRY_COMPARE(TDownLoad::WorkerCount(), 0);
        QFile::remove(dest);
        QFile marked(dest);
        QVERIFY(marked.open(QIODevice::WriteOnly));
        marked.write("local");
        marked.close();
        new TDownLoad(dest, nginx.Url(QStringLiteral("radar.gif")), 4);
        QTRY_COMPARE(TDownLoad::RunningCount(), 0);
        QCOMPARE(ReadAll(dest), QByteArray("local"));
        QCOMPARE(nginx.Requests().mid(before),
                 QStringList({"GET /radar.gif 200", "HEAD /radar.gif 200"}));
    }

    void failureLeavesNoFile()
    {
        const QString dest = home->Path(QStringLiteral("jutri.png"));
        QFile stale(dest);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
        stale.close();
        new TDownLoad(dest, nginx.Url(QStringLiteral("no-such.png")), 2);
        QTRY_COMPARE(TDownLoad::RunningCount(), 0);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(LastModifiedStamps.Get(2), 0.0);
    }

    void severalAtOnce()
    {
        for (int i = 0; i < 6; ++i)
            nginx.WriteFile(QStringLiteral("sat%1.jpg").arg(i),
                            QByteArray(20000 + i, char('a' + i)));
        for (int i = 0; i < 6; ++i)
            new TDownLoad(home->Path(QStringLiteral("sat%1.jpg").arg(i)),
                          nginx.Url(QStringLiteral("sat%1.jpg").arg(i)), -1);
        QTRY_COMPARE(TDownLoad::RunningCount(), 0);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(ReadAll(home->Path(QStringLiteral("sat%1.jpg").arg(i))),
                     QByteArray(20000 + i, char('a' + i)));
    }

    // Quitting while a worker waits on a silent server neither hangs nor crashes.
    void quitWithWorkerInFlight()
    {
        bool asked = false;
        TScriptedHttpServer server([&asked](QTcpSocket* socket, const QByteArray&) {
            asked = true;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nGIF");
        });
        const QString dest = home->Path(QStringLiteral("radar_anim.gif"));
        new TDownLoad(dest, server.Url(QStringLiteral("radar_anim.gif")), 5);
        QTRY_VERIFY(asked);
        QCOMPARE(TDownLoad::RunningCount(), 1);
        QElapsedTimer clock;
        clock.start();
        TDownLoad::CancelAll();
        QVERIFY2(clock.elapsed() < 10000, "cancelling does not wait for the read time-out");
        QCOMPARE(TDownLoad::RunningCount(), 0);
        QCOMPARE(TDownLoad::WorkerCount(), 0); // deleted without an event loop
        QVERIFY(!QFile::exists(dest));
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
