#include "DesktopSession.h"
#include "platform/x11/X11WindowTitles.h"
#include "tray/CaptionWriter.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {

// A window of another program: xmessage, which sets WM_NAME only.
struct TOtherWindow
{
    std::unique_ptr<QProcess> Process;
    quint64 Id = 0;
};

} // namespace

// The caption writer against real windows of other programs on a private X
// desktop (Xvfb and openbox).
class TestCaptionWriter : public QObject
{
    Q_OBJECT

    TDesktopSession desktop;
    QList<std::shared_ptr<TOtherWindow>> windows;

    std::shared_ptr<TOtherWindow> Open(const QString& title, const QStringList& asUser = {})
    {
        auto window = std::make_shared<TOtherWindow>();
        window->Process = std::make_unique<QProcess>();
        window->Process->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), desktop.Display());
        window->Process->setProcessEnvironment(env);
        const QStringList message{QStringLiteral("-title"), title, QStringLiteral("Nimbulon test")};
        if (asUser.isEmpty())
            window->Process->start(QStringLiteral("xmessage"), message);
        else
            window->Process->start(asUser.first(),
                                   asUser.mid(1) + QStringList{"xmessage"} + message);
        [&] {
            QTRY_VERIFY2_WITH_TIMEOUT(
                !desktop.VisibleWindows(QLatin1Char('^') + title + QLatin1Char('$')).isEmpty(),
                qPrintable(QStringLiteral("%1 (exit %2): %3")
                               .arg(title)
                               .arg(window->Process->state() == QProcess::NotRunning
                                        ? QString::number(window->Process->exitCode())
                                        : QStringLiteral("none yet"))
                               .arg(QString::fromLocal8Bit(window->Process->readAll()))),
                10000);
        }();
        window->Id = desktop.VisibleWindows(QLatin1Char('^') + title + QLatin1Char('$')).value(0);
        windows.append(window);
        return window;
    }

    void Activate(quint64 window)
    {
        desktop.Tool(
            QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
    }

    // One title property as xprop reads it; none when the window lacks it.
    std::optional<QString> Property(quint64 window, const QString& name)
    {
        const QString output = desktop.Tool(QStringLiteral("xprop"),
                                            {QStringLiteral("-id"), QString::number(window), name});
        const QRegularExpressionMatch match =
            QRegularExpression(QRegularExpression::escape(name) +
                               QStringLiteral("\\(\\w+\\) = \"(.*)\"$"))
                .match(output.trimmed());
        if (!match.hasMatch())
            return std::nullopt;
        return match.captured(1).replace(QStringLiteral("\\\""), QStringLiteral("\""));
    }

    QString Title(quint64 window)
    {
        return Property(window, QStringLiteral("_NET_WM_NAME"))
            .value_or(Property(window, QStringLiteral("WM_NAME")).value_or(QString()));
    }

    std::unique_ptr<TCaptionWriter> Writer()
    {
        auto titles = std::make_unique<TX11WindowTitles>(desktop.Display().toUtf8());
        return std::make_unique<TCaptionWriter>(std::move(titles));
    }

private slots:
    void initTestCase()
    {
        qputenv("LC_ALL", "C.UTF-8");
        QVERIFY2(desktop.Start(false), qPrintable(desktop.Error()));
    }

    void cleanup()
    {
        for (const auto& window : std::as_const(windows)) {
            window->Process->kill();
            window->Process->waitForFinished(5000);
        }
        windows.clear();
    }

    // The focused window gets the summary; moving the focus gives it back its
    // title and decorates the next one; a window renamed while decorated keeps
    // its new name with the summary; at the end every title is its own.
    void decoratesFollowsAndRestores()
    {
        const auto alpha = Open(QStringLiteral("Alpha"));
        const auto beta = Open(QStringLiteral("Beta"));
        QVERIFY(alpha->Id && beta->Id);
        Activate(alpha->Id);
        auto writer = Writer();
        writer->SetText(QStringLiteral("1.2.2024 14:00 Ljubljana: jasno, 12°"));
        const QString summary = QStringLiteral(" - 1.2.2024 14:00 Ljubljana: jasno, 12°");
        QTRY_COMPARE(Title(alpha->Id), QStringLiteral("Alpha") + summary);
        QCOMPARE(Property(alpha->Id, QStringLiteral("WM_NAME")), QStringLiteral("Alpha") + summary);

        Activate(beta->Id);
        QTRY_COMPARE(Title(beta->Id), QStringLiteral("Beta") + summary);
        QCOMPARE(Title(alpha->Id), QStringLiteral("Alpha"));
        // xmessage never had a _NET_WM_NAME: it has none again.
        QCOMPARE(Property(alpha->Id, QStringLiteral("_NET_WM_NAME")), std::nullopt);

        // Its program renames it through WM_NAME.
        desktop.Tool(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), QString::number(beta->Id), QStringLiteral("-set"),
                      QStringLiteral("WM_NAME"), QStringLiteral("Gamma")});
        QTRY_COMPARE(Title(beta->Id), QStringLiteral("Gamma") + summary);

        // A new summary replaces the old one.
        writer->SetText(QStringLiteral("1.2.2024 14:30 Ljubljana: oblačno\n\rObčutek: 9°"));
        const QString second = QStringLiteral(" - 1.2.2024 14:30 Ljubljana: oblačno Občutek: 9°");
        QTRY_COMPARE(Title(beta->Id), QStringLiteral("Gamma") + second);
        QCOMPARE(Property(beta->Id, QStringLiteral("WM_NAME")), QStringLiteral("Gamma") + second);

        writer.reset();
        QCOMPARE(Title(beta->Id), QStringLiteral("Gamma"));
        QCOMPARE(Property(beta->Id, QStringLiteral("_NET_WM_NAME")), std::nullopt);
        QCOMPARE(Title(alpha->Id), QStringLiteral("Alpha"));
    }

    // A window that keeps a _NET_WM_NAME of its own and renames itself there.
    void netNameRename()
    {
        const auto alpha = Open(QStringLiteral("Delta"));
        desktop.Tool(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), QString::number(alpha->Id), QStringLiteral("-f"),
                      QStringLiteral("_NET_WM_NAME"), QStringLiteral("8u"), QStringLiteral("-set"),
                      QStringLiteral("_NET_WM_NAME"), QStringLiteral("Delta ž")});
        Activate(alpha->Id);
        auto writer = Writer();
        writer->SetText(QStringLiteral("s"));
        QTRY_COMPARE(Title(alpha->Id), QStringLiteral("Delta ž - s"));
        desktop.Tool(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), QString::number(alpha->Id), QStringLiteral("-f"),
                      QStringLiteral("_NET_WM_NAME"), QStringLiteral("8u"), QStringLiteral("-set"),
                      QStringLiteral("_NET_WM_NAME"), QStringLiteral("Epsilon")});
        QTRY_COMPARE(Title(alpha->Id), QStringLiteral("Epsilon - s"));
        writer.reset();
        QCOMPARE(Title(alpha->Id), QStringLiteral("Epsilon"));
    }

    // Titles are read cut to 250 characters; the window gets its whole title back.
    void longTitle()
    {
        const auto alpha = Open(QStringLiteral("Long"));
        const QString title = QString(300, QLatin1Char('x'));
        desktop.Tool(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), QString::number(alpha->Id), QStringLiteral("-set"),
                      QStringLiteral("WM_NAME"), title});
        Activate(alpha->Id);
        auto writer = Writer();
        writer->SetText(QStringLiteral("s"));
        QTRY_COMPARE(Title(alpha->Id), title.left(250) + QStringLiteral(" - s"));
        // The decorated title stays as it is: no summary is added twice.
        QTest::qWait(300);
        QCOMPARE(Title(alpha->Id), title.left(250) + QStringLiteral(" - s"));
        writer.reset();
        QCOMPARE(Title(alpha->Id), title);
    }

    // Without a summary nothing is written.
    void nothingWithoutText()
    {
        const auto alpha = Open(QStringLiteral("Quiet"));
        Activate(alpha->Id);
        auto writer = Writer();
        QTRY_COMPARE(writer->Window(), alpha->Id);
        writer->SetText(QString());
        QTest::qWait(300);
        QCOMPARE(Title(alpha->Id), QStringLiteral("Quiet"));
    }

    // A decorated window that closes is dropped quietly; the next is decorated.
    void closedWindow()
    {
        const auto alpha = Open(QStringLiteral("Short-lived"));
        const auto beta = Open(QStringLiteral("Survivor"));
        Activate(alpha->Id);
        auto writer = Writer();
        writer->SetText(QStringLiteral("s"));
        QTRY_COMPARE(Title(alpha->Id), QStringLiteral("Short-lived - s"));
        alpha->Process->kill();
        alpha->Process->waitForFinished(5000);
        QTRY_VERIFY(writer->Window() != alpha->Id);
        Activate(beta->Id);
        QTRY_COMPARE(Title(beta->Id), QStringLiteral("Survivor - s"));
    }

    // Another user's window is never written.
    void otherUsersWindow()
    {
        if (getuid() != 0)
            QSKIP("Opening a window as another user needs root");
        const auto foreign =
            Open(QStringLiteral("Foreign"),
                 {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                  QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")});
        const auto own = Open(QStringLiteral("Own"));
        Activate(own->Id);
        auto writer = Writer();
        writer->SetText(QStringLiteral("s"));
        QTRY_COMPARE(Title(own->Id), QStringLiteral("Own - s"));
        Activate(foreign->Id);
        QTRY_COMPARE(Title(own->Id), QStringLiteral("Own"));
        QTest::qWait(300);
        QCOMPARE(Title(foreign->Id), QStringLiteral("Foreign"));
        QCOMPARE(writer->Window(), TWindowId(0));
    }
};

QTEST_MAIN(TestCaptionWriter)
#include "tst_captionwriter.moc"
