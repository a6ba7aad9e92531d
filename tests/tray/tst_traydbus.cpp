#include "DemoDeployment.h"
#include "DesktopSession.h"
#include "ProgramProcess.h"
#include "TestHome.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

// A raw ARGB32 pixmap as the D-Bus tray sends it (big-endian words).
QImage Pixmap(const QString& path, int width, int height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray bytes = file.readAll();
    if (bytes.size() != qsizetype(width) * height * 4)
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qFromBigEndian<quint32>(bytes.constData() + (y * width + x) * 4));
    return image;
}

QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

// The real program with a D-Bus notification area (StatusNotifierItem, as
// KDE and GNOME with its extension host it) and desktop notifications for the
// balloons, on a private session bus.
class TestTrayDBus : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    TDesktopSession desktop;
    QProcess bus;
    QProcess host;
    QTemporaryDir folder;
    QString address;
    QString hostOutput;

    QString HostOutput()
    {
        hostOutput += QString::fromUtf8(host.readAllStandardOutput());
        return hostOutput;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        QVERIFY2(desktop.Start(false), qPrintable(desktop.Error()));
        bus.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"),
             QStringLiteral("--print-address"),
             QStringLiteral("--address=unix:path=") + folder.filePath(QStringLiteral("bus"))});
        QVERIFY(bus.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine() || bus.waitForReadyRead(100), 10000);
        address = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(!address.isEmpty());

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        host.setProcessEnvironment(env);
        host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(NIMBULON_TEST_DATA "/sni-host.py"), folder.path()});
        QTRY_VERIFY2_WITH_TIMEOUT(HostOutput().contains(QStringLiteral("READY")),
                                  qPrintable(HostOutput()), 20000);
    }

    void cleanupTestCase()
    {
        host.terminate();
        host.waitForFinished(5000);
        bus.terminate();
        bus.waitForFinished(5000);
    }

    // The item registers; its icon comes at every size up to 64 pixels, each
    // drawn for its size; the tooltip and the balloon (a notification) carry
    // the conditions as plain text; the faces alternate.
    void statusNotifierItem()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"),
                       demo.ConfigUrlSection() + "[PARAMETRI]\r\nINTERVAL_IKONA=1\r\n");
        QStringList environment = desktop.Environment();
        environment.removeIf(
            [](const QString& entry) { return entry.startsWith(QStringLiteral("DBUS_")); });
        environment << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + address
                    << QStringLiteral("QT_LOGGING_RULES=nimbulon.tray.debug=true");
        TProgramProcess program({}, environment);

        QTRY_VERIFY2_WITH_TIMEOUT(HostOutput().contains(QStringLiteral("REGISTER ")),
                                  qPrintable(HostOutput() + program.Output()), 60000);
        QTRY_VERIFY2_WITH_TIMEOUT(HostOutput().contains(QStringLiteral("NOTIFY ")),
                                  qPrintable(HostOutput() + program.Output()), 60000);

        // The balloon: the observation stamp over the summary, as plain text.
        const QRegularExpressionMatch notify =
            QRegularExpression(QStringLiteral("^NOTIFY (.*)\t(.*)$"),
                               QRegularExpression::MultilineOption)
                .match(HostOutput());
        QVERIFY(notify.hasMatch());
        QVERIFY2(program.Output().contains(QStringLiteral("Balloon: ") + notify.captured(1) +
                                           QStringLiteral(" / ")),
                 qPrintable(notify.captured()));
        QVERIFY2(notify.captured(2).startsWith(QStringLiteral("Ljubljana: ")),
                 qPrintable(notify.captured(2)));

        // The tooltip.
        QTRY_VERIFY_WITH_TIMEOUT(HostOutput().contains(QStringLiteral("TOOLTIP ") +
                                                       notify.captured(1) +
                                                       QStringLiteral("|Kraj: Ljubljana|")),
                                 30000);

        // Two faces, each sent at the sizes the host may use.
        QRegularExpression iconLine(QStringLiteral("^ICON (\\d+) (\\d+) (\\d+) (\\S+)$"),
                                    QRegularExpression::MultilineOption);
        QHash<int, QHash<int, QImage>> faces;
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    faces.clear();
                    auto lines = iconLine.globalMatch(HostOutput());
                    while (lines.hasNext()) {
                        const QRegularExpressionMatch line = lines.next();
                        faces[line.captured(1).toInt()][line.captured(2).toInt()] = Pixmap(
                            line.captured(4), line.captured(2).toInt(), line.captured(3).toInt());
                    }
                    QSet<QByteArray> distinct;
                    for (const auto& face : std::as_const(faces))
                        if (face.contains(32) && InkBounds(face[32]).isValid())
                            distinct.insert(
                                QByteArray(reinterpret_cast<const char*>(face[32].constBits()),
                                           face[32].sizeInBytes()));
                    return distinct.size() >= 3;
                }(),
                20000);
        }();
        const QHash<int, QImage> last = faces.value(faces.keys().last());
        for (int size : {16, 22, 24, 32, 48, 64}) {
            QVERIFY2(last.contains(size), qPrintable(QString::number(size)));
            QCOMPARE(last[size].size(), QSize(size, size));
            QVERIFY(InkBounds(last[size]).isValid());
        }
        // Drawn anew, not enlarged: the 64-pixel picture is not the 16-pixel
        // one scaled up, yet its shapes stand where they stand at 16.
        const QImage enlarged = last[16].scaled(64, 64);
        int differing = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                differing +=
                    std::abs(qAlpha(enlarged.pixel(x, y)) - qAlpha(last[64].pixel(x, y))) > 64;
        QVERIFY2(differing > 32, qPrintable(QString::number(differing)));
        const QRect small = InkBounds(last[16]);
        const QRect large = InkBounds(last[64]);
        QVERIFY(std::abs(large.left() - small.left() * 4) <= 5);
        QVERIFY(std::abs(large.right() - small.right() * 4) <= 7);

        ::kill(pid_t(program.Process().processId()), SIGTERM);
        QVERIFY(program.Process().waitForFinished(30000));
        QCOMPARE(program.Process().exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTrayDBus)
#include "tst_traydbus.moc"
