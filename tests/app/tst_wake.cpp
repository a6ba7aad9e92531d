// A refresh follows a resume from sleep: a private bus stands in for the
// system bus, with a fake logind on it that says PrepareForSleep.

#include "DemoDeployment.h"
#include "MainFormFixture.h"
#include "RecordingPresenter.h"
#include "app/TMainForm.h"
#include "weather/TRefreshCycle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestWake : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    QTemporaryDir folder;
    QProcess bus;
    QString address;

    void SayPrepareForSleep(bool sleeping)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        QVERIFY(QDBusConnection(QStringLiteral("fake-login1")).send(signal));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        bus.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"),
             QStringLiteral("--print-address"),
             QStringLiteral("--address=unix:path=") + folder.filePath(QStringLiteral("bus"))});
        QVERIFY(bus.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine() || bus.waitForReadyRead(100), 10000);
        address = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(!address.isEmpty());
        // The program's system bus is this one from its first use on.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
        QDBusConnection login1 =
            QDBusConnection::connectToBus(address, QStringLiteral("fake-login1"));
        QVERIFY(login1.isConnected());
        QVERIFY(login1.registerService(QStringLiteral("org.freedesktop.login1")));
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-login1"));
        bus.terminate();
        bus.waitForFinished(5000);
    }

    // Going to sleep changes nothing; waking refreshes once; a second wake
    // within the minute does not refresh again.
    void refreshAfterResume()
    {
        TRecordingPresenter presenter;
        TMainFormFixture window(demo);
        TMainForm& form = window.NewForm();
        auto* refresh = form.findChild<TRefreshCycle*>();
        QSignalSpy finished(refresh, &TRefreshCycle::refreshFinished);
        SayPrepareForSleep(true);
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0);
        SayPrepareForSleep(false);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        SayPrepareForSleep(false);
        QTest::qWait(1000);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!refresh->Refreshing());
        QCOMPARE(presenter.Messages, QStringList());
    }
};

QTEST_MAIN(TestWake)
#include "tst_wake.moc"
