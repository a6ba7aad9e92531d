#include "Await.h"
#include "LoopbackServers.h"
#include "TestHome.h"
#include "net/Fetch.h"
#include "settings/Tparameter.h"

#include <QBuffer>
#include <QtTest>

class TestFetchProxy : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    TTinyproxyServer proxy{QStringLiteral("vreme"), QStringLiteral("s3cret")};

private slots:
    void initTestCase()
    {
        QVERIFY2(nginx.Start(), qPrintable(nginx.Error()));
        QVERIFY2(proxy.Start(), qPrintable(proxy.Error()));
        nginx.WriteFile(QStringLiteral("podatki.xml"), "<podatki/>");
    }

    void proxySettings_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<bool>("throughProxy");
        QTest::newRow("right credentials") << true << "vreme"
                                           << "s3cret" << true << true;
        QTest::newRow("wrong password") << true << "vreme"
                                        << "wrong" << false << true;
        QTest::newRow("no credentials") << true << ""
                                        << "" << false << true;
        QTest::newRow("user without server") << false << "vreme"
                                             << "s3cret" << true << false;
    }
    void proxySettings()
    {
        QFETCH(bool, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, succeeds);
        QFETCH(bool, throughProxy);
        TTestHome home;
        CreateParameters();
        parametri->Set(QStringLiteral("PROXY_SERVER"),
                       server ? QStringLiteral("127.0.0.1") : QString());
        parametri->Set(QStringLiteral("PROXY_PORT"), int(proxy.Port()));
        parametri->Set(QStringLiteral("PROXY_USER"), user);
        parametri->Set(QStringLiteral("PROXY_PWD"), password);
        // Each case asks for its own address, so the proxy's log tells whether it passed there.
        const QString path =
            QStringLiteral("podatki.xml?case=") + QString::fromLatin1(QTest::currentDataTag())
                                                      .replace(QLatin1Char(' '), QLatin1Char('_'));
        const QString proxyLogBefore = proxy.Log();

        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        const int result = Await(Fetch(nginx.Url(path), QString(), &stream, -1));
        if (succeeds) {
            QCOMPARE(result, 10);
            QCOMPARE(stream.data(), QByteArray("<podatki/>"));
        } else {
            QVERIFY(result < 0);
        }
        QTRY_COMPARE(proxy.Log().mid(proxyLogBefore.size()).contains(path), throughProxy);
        delete parametri;
        parametri = nullptr;
    }
};

QTEST_GUILESS_MAIN(TestFetchProxy)
#include "tst_fetchproxy.moc"
