#include "LoopbackServers.h"
#include "ProgramProcess.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/InstanceChannel.h"
#include "app/TMainForm.h"
#include "app/lnGlobalVar.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {
const QString firstInstanceLine = QStringLiteral("Running as the first instance");
const QString notifiedLine = QStringLiteral("Tukaj sem ;-)");
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    // Settings whose servers lie on a closed loopback port: the first refresh
    // fails at once and never reaches the internet.
    static QByteArray OfflineConfig()
    {
        const QByteArray closed =
            "http://127.0.0.1:" + QByteArray::number(FreeLoopbackPort()) + "/x";
        return "[URL]\r\nNASTAVITVE=" + closed + "\r\nSTATICNENASTAVITVE=" + closed + "\r\n";
    }

    static QString BlockFile()
    {
        return QStringLiteral("/dev/shm") + TGlobalVar::SystemName(QString(), InstanceVarName());
    }

private slots:
    // Two real starts: the second ends at once with exit code 0 and the first
    // hears of it; a killed first instance does not block the next start.
    void secondStartNotifiesFirst()
    {
        TTestHome home;
        const QByteArray config = OfflineConfig();
        home.WriteFile(QStringLiteral("Config.ini"), config);
        auto first = std::make_unique<TProgramProcess>();
        QTRY_VERIFY_WITH_TIMEOUT(first->Output().contains(firstInstanceLine), 60000);

        TProgramProcess second;
        QVERIFY(second.Process().waitForFinished(30000));
        QCOMPARE(second.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.Process().exitCode(), 0);
        QVERIFY(!second.Output().contains(firstInstanceLine));
        QTRY_VERIFY_WITH_TIMEOUT(first->Output().contains(notifiedLine), 10000);
        QVERIFY2(home.ReadFile(QStringLiteral("Config.ini")) == config,
                 "a start with default settings leaves Config.ini as it was");

        // Killed without any clean-up: the next start is a first instance again.
        ::kill(pid_t(first->Process().processId()), SIGKILL);
        QVERIFY(first->Process().waitForFinished(10000));
        first.reset();
        TProgramProcess third;
        QTRY_VERIFY_WITH_TIMEOUT(third.Output().contains(firstInstanceLine), 60000);
        TProgramProcess fourth;
        QVERIFY(fourth.Process().waitForFinished(30000));
        QCOMPARE(fourth.Process().exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(third.Output().contains(notifiedLine), 10000);

        // Asked to stop, it ends cleanly and takes its shared block with it.
        QVERIFY(QFile::exists(BlockFile()));
        third.Process().terminate();
        QVERIFY(third.Process().waitForFinished(30000));
        QCOMPARE(third.Process().exitCode(), 0);
        QVERIFY(!QFile::exists(BlockFile()));
    }

    void startWhileFirstIsStartingEndsQuietly()
    {
        TTestHome home;
        bool existed = true;
        TGlobalVar starting(InstanceVarName(), 4, &existed); // published value still null
        QVERIFY(!existed);
        TProgramProcess second;
        QVERIFY(second.Process().waitForFinished(30000));
        QCOMPARE(second.Process().exitCode(), 0);
        QVERIFY(!second.Output().contains(firstInstanceLine));
    }

    void messageReachesHandler_data()
    {
        QTest::addColumn<quint32>("message");
        QTest::addColumn<quint32>("wParam");
        QTest::addColumn<bool>("reacts");
        QTest::newRow("instance notification") << WM_INSTANCE_NOTIFY << 1u << true;
        QTest::newRow("other wParam") << WM_INSTANCE_NOTIFY << 2u << false;
        QTest::newRow("other message") << WM_INSTANCE_NOTIFY + 1 << 1u << false;
    }
    void messageReachesHandler()
    {
        QFETCH(quint32, message);
        QFETCH(quint32, wParam);
        QFETCH(bool, reacts);
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig());
        TRecordingPresenter presenter;
        TMainForm form;
        QVERIFY(!form.isVisible());
        TInstanceChannel channel;
        connect(&channel, &TInstanceChannel::MessageReceived, &form,
                [&form](quint32 m, quint32 w, quint32 l) {
                    if (m == WM_INSTANCE_NOTIFY)
                        form.WMInstanceNotify(w, l);
                });
        QSignalSpy received(&channel, &TInstanceChannel::MessageReceived);
        QSignalSpy balloons(&form, &TMainForm::BalloonRequested);
        QVERIFY(channel.Listen(QStringLiteral("Test.Channel"), 77));
        QVERIFY(
            TInstanceChannel::PostMessage(QStringLiteral("Test.Channel"), 77, message, wParam, 0));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toUInt(), message);
        QCOMPARE(received.at(0).at(1).toUInt(), wParam);
        // There is no tray here, so nobody would see a balloon: the window comes.
        QCOMPARE(balloons.count(), 0);
        QCOMPARE(form.isVisible(), reacts);
        QVERIFY(presenter.Messages.isEmpty());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
