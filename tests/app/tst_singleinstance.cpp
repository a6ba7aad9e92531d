#include "LoopbackServers.h"
#include "ProgramProcess.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/InstanceChannel.h"
#include "app/TMainForm.h"
#include "app/lnGlobalVar.h"
#include "common/Exception.h"
#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString firstInstanceLine = QStringLiteral("Running as the first instance");
const QString notifiedLine = QStringLiteral("Tukaj sem ;-)");
constexpr uid_t nobody = 65534;

QString Mode(const QString& path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("missing");
    return QString::number(info.st_mode & 07777, 8);
}

// Sets an environment variable for as long as it lives.
class TEnvironment
{
public:
    TEnvironment(const char* name, const QByteArray& value)
        : FName(name), FPrevious(qgetenv(name)), FWasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~TEnvironment() { FWasSet ? qputenv(FName, FPrevious) : qunsetenv(FName); }

private:
    const char* FName;
    QByteArray FPrevious;
    bool FWasSet;
};
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

    static QString BlockFile() { return TGlobalVar::SystemName(QString(), InstanceVarName()); }

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

    // Only a folder of the user's own that nobody else may enter keeps the
    // guard's objects.
    void privateFolders_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("isPrivate");
        QTest::newRow("mode 0700") << "0700" << true;
        QTest::newRow("mode 0755") << "0755" << false;
        QTest::newRow("mode 0701") << "0701" << false;
        QTest::newRow("mode 0770") << "0770" << false;
        QTest::newRow("link to a private folder") << "link" << false;
        QTest::newRow("file") << "file" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("relative") << "relative" << false;
        if (geteuid() == 0)
            QTest::newRow("another user's") << "foreign" << false;
    }
    void privateFolders()
    {
        QFETCH(QString, kind);
        QFETCH(bool, isPrivate);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("folder"));
        const QString target = dir.filePath(QStringLiteral("target"));
        QVERIFY(QDir().mkdir(target));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0700) == 0);
        if (kind.startsWith(QLatin1Char('0'))) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(kind.toUInt(nullptr, 8))) ==
                    0);
        } else if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(target, path));
        } else if (kind == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("foreign")) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0700) == 0);
            QVERIFY(::chown(QFile::encodeName(path).constData(), nobody, nobody) == 0);
        }
        const QString asked = kind == QLatin1String("relative") ? QStringLiteral("folder") : path;
        QCOMPARE(IsPrivateFolder(asked), isPrivate);
        QCOMPARE(IsPrivateFolder(target), true);
    }

    // A runtime folder that others may use is passed over for a private one in
    // the user's cache; without either, the guard cannot be made.
    void runtimeFolderFallback()
    {
        QTemporaryDir dir;
        const QString open = dir.filePath(QStringLiteral("open"));
        QVERIFY(QDir().mkdir(open));
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 0777) == 0);
        TEnvironment runtime("XDG_RUNTIME_DIR", QFile::encodeName(open));
        {
            TEnvironment cache("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
            const QString folder = PrivateRuntimeFolder();
            QCOMPARE(folder, dir.filePath(QStringLiteral("cache/Nimbulon/run")));
            QCOMPARE(Mode(folder), QStringLiteral("700"));
            TGlobalVar var(QStringLiteral("Test.Fallback"), 4);
            QVERIFY(
                QFile::exists(TGlobalVar::SystemName(QString(), QStringLiteral("Test.Fallback"))));
            QVERIFY(TGlobalVar::SystemName(QString(), QStringLiteral("Test.Fallback"))
                        .startsWith(folder + QLatin1Char('/')));
        }
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TEnvironment cache("XDG_CACHE_HOME", QFile::encodeName(blocker.fileName()));
        QVERIFY_THROWS_EXCEPTION(pas_lib::Exception, PrivateRuntimeFolder());
        QVERIFY_THROWS_EXCEPTION(EGlobalVar, TGlobalVar(QStringLiteral("Test.None"), 4));
    }

    // Objects of another user where the guard keeps its own, and the names of
    // older versions in /dev/shm, neither block nor steer the start.
    void foreignObjectsDoNotBlockTheStart()
    {
        if (geteuid() != 0)
            QSKIP("Only the administrator can make objects of another user");
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), OfflineConfig());
        QStringList foreign;
        const QString name = InstanceVarName();
        for (const QString& prefix : {QString(), QStringLiteral("evtCL"), QStringLiteral("evtRL"),
                                      QStringLiteral("evtWL"), QStringLiteral("lock")}) {
            const QString object = TGlobalVar::SystemName(prefix, name);
            const QString legacy = QStringLiteral("/dev/shm/") + QFileInfo(object).fileName();
            foreign << object << legacy;
        }
        for (const QString& path : std::as_const(foreign)) {
            QFile file(path);
            QVERIFY2(!file.exists(), qPrintable(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(64, '\xFF')); // a value that would name another process
            file.close();
            QVERIFY(::chown(QFile::encodeName(path).constData(), nobody, nobody) == 0);
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
        }
        auto removeLegacy = qScopeGuard([&] {
            for (const QString& path : std::as_const(foreign))
                if (path.startsWith(QLatin1String("/dev/shm/")))
                    QFile::remove(path);
        });

        TProgramProcess program;
        QTRY_VERIFY2_WITH_TIMEOUT(program.Output().contains(firstInstanceLine),
                                  qPrintable(program.Output()), 60000);
        const QString block = TGlobalVar::SystemName(QString(), name);
        QFileInfo info(block);
        QCOMPARE(info.ownerId(), geteuid());
        TProgramProcess second;
        QVERIFY(second.Process().waitForFinished(30000));
        QCOMPARE(second.Process().exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(program.Output().contains(notifiedLine), 10000);
        program.Process().terminate();
        QVERIFY(program.Process().waitForFinished(30000));
        QCOMPARE(program.Process().exitCode(), 0);
        QVERIFY(!QFile::exists(block));
    }

    // Without a folder for the guard the program cannot start; it says why in
    // a message box, not only on a terminal that a desktop user never sees.
    void startFailureIsShown()
    {
        TTestHome home;
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QFile blocker(dir.filePath(QStringLiteral("cache")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TProgramProcess program({}, {QStringLiteral("XDG_RUNTIME_DIR=") + dir.path(),
                                     QStringLiteral("XDG_CACHE_HOME=") + blocker.fileName()});
        QTRY_VERIFY2_WITH_TIMEOUT(
            program.Output().contains(QStringLiteral("Message: Creating Memory Mapped File")),
            qPrintable(program.Output()), 60000);
        QVERIFY(!program.Output().contains(firstInstanceLine));
        // The box waits for the user; closing the program ends it.
        program.Process().kill();
        QVERIFY(program.Process().waitForFinished(30000));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList(QStringLiteral("cache")));
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
