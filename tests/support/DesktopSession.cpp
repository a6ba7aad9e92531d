#include "DesktopSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>
#include <utility>

namespace {
constexpr int StartTimeoutMs = 30000;
} // namespace

TDesktopSession::TDesktopSession() = default;

TDesktopSession::~TDesktopSession()
{
    for (auto it = FProcesses.rbegin(); it != FProcesses.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

bool TDesktopSession::StartProcess(const QString& program, const QStringList& arguments)
{
    auto process = std::make_shared<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), FDisplay);
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        FError = program + QStringLiteral(" did not start: ") + process->errorString();
        return false;
    }
    FProcesses.append(process);
    return true;
}

bool TDesktopSession::WaitFor(const std::function<bool()>& ready, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (ready())
            return true;
        QThread::msleep(50);
    }
    return ready();
}

bool TDesktopSession::Start(bool withTray)
{
    // Xvfb picks a free display itself and names it: tests that start desktops
    // at the same time cannot end up on one display.
    if (!StartProcess(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x800x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")}))
        return false;
    QProcess& server = *FProcesses.last();
    const QRegularExpression displayLine(QStringLiteral("^(\\d+)\\n"),
                                         QRegularExpression::MultilineOption);
    QString output;
    WaitFor(
        [&] {
            server.waitForReadyRead(50);
            output += QString::fromLocal8Bit(server.readAll());
            const QRegularExpressionMatch match = displayLine.match(output);
            if (match.hasMatch())
                FDisplay = QLatin1Char(':') + match.captured(1);
            return !FDisplay.isEmpty() || server.state() == QProcess::NotRunning;
        },
        StartTimeoutMs);
    if (FDisplay.isEmpty()) {
        FError = QStringLiteral("No X display could be started: ") + output;
        return false;
    }
    if (!StartProcess(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}))
        return false;
    if (!WaitFor(
            [this] {
                return Tool(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id"));
            },
            StartTimeoutMs)) {
        FError = QStringLiteral("openbox did not come up on %1 (state %2, exit %3): %4")
                     .arg(FDisplay)
                     .arg(FProcesses.last()->state())
                     .arg(FProcesses.last()->exitCode())
                     .arg(QString::fromLocal8Bit(FProcesses.last()->readAll()));
        return false;
    }
    return !withTray || StartTray();
}

bool TDesktopSession::StartTray()
{
    if (FTrayProcess)
        return true;
    if (!StartProcess(
            QStringLiteral("trayer"),
            {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
             QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
             QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--SetDockType"),
             QStringLiteral("true"), QStringLiteral("--transparent"), QStringLiteral("false"),
             QStringLiteral("--tint"), QStringLiteral("0x3F506F")}))
        return false;
    if (!WaitFor(
            [this] {
                const QStringList ids = Tool(QStringLiteral("xdotool"),
                                             {QStringLiteral("search"), QStringLiteral("--class"),
                                              QStringLiteral("trayer")})
                                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                // The tray itself is trayer's window called "panel".
                for (const QString& id : ids)
                    if (WindowTitle(id.toULongLong()) == QLatin1String("panel"))
                        FTray = id.toULongLong();
                return FTray != 0;
            },
            StartTimeoutMs)) {
        FError = QStringLiteral("trayer did not come up");
        return false;
    }
    FTrayProcess = FProcesses.last();
    // trayer takes the tray selection right after mapping its window.
    QThread::msleep(300);
    return true;
}

void TDesktopSession::StopTray()
{
    if (!FTrayProcess)
        return;
    FTrayProcess->terminate();
    if (!FTrayProcess->waitForFinished(3000))
        FTrayProcess->kill();
    FTrayProcess->waitForFinished(3000);
    FProcesses.removeOne(FTrayProcess);
    FTrayProcess.reset();
    FTray = 0;
}

QStringList TDesktopSession::Environment() const
{
    return {QStringLiteral("DISPLAY=") + FDisplay, QStringLiteral("QT_QPA_PLATFORM=xcb"),
            QStringLiteral("DBUS_SESSION_BUS_ADDRESS=")};
}

QString TDesktopSession::Tool(const QString& program, const QStringList& arguments,
                              int timeoutMs) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), FDisplay);
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QList<quint64> TDesktopSession::VisibleWindows(const QString& titlePattern) const
{
    QList<quint64> windows;
    const QString output =
        Tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--name"), titlePattern});
    for (const QString& id : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        windows.append(id.toULongLong());
    return windows;
}

QRect TDesktopSession::WindowGeometry(quint64 window) const
{
    const QString output =
        Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto value = [&](const QString& name) {
        const QRegularExpressionMatch match =
            QRegularExpression(name + QStringLiteral(":\\s*(-?\\d+)")).match(output);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    return QRect(value(QStringLiteral("Absolute upper-left X")),
                 value(QStringLiteral("Absolute upper-left Y")), value(QStringLiteral("Width")),
                 value(QStringLiteral("Height")));
}

QString TDesktopSession::WindowTitle(quint64 window) const
{
    return Tool(QStringLiteral("xdotool"),
                {QStringLiteral("getwindowname"), QString::number(window)})
        .trimmed();
}

quint64 TDesktopSession::WaitForTrayIcon(const std::function<QString()>& programOutput) const
{
    QList<quint64> icons;
    QRect previous;
    [&] {
        QTRY_VERIFY2_WITH_TIMEOUT(programOutput().contains(QStringLiteral("Tray icon shown")) &&
                                      !(icons = TrayIcons()).isEmpty() &&
                                      std::exchange(previous, WindowGeometry(icons.last())) ==
                                          WindowGeometry(icons.last()),
                                  qPrintable(programOutput()), 60000);
    }();
    return icons.isEmpty() ? 0 : icons.last();
}

void TDesktopSession::ClickTrayIcon(const std::function<QString()>& programOutput, quint64 icon,
                                    int button, int repeat) const
{
    const QString heard = QStringLiteral("Icon activated");
    const qsizetype before = programOutput().count(heard);
    for (int attempt = 0; attempt < 5; ++attempt) {
        ClickWindow(icon, button, repeat);
        QDeadlineTimer deadline(2000);
        while (!deadline.hasExpired()) {
            if (programOutput().count(heard) > before)
                return;
            QTest::qWait(50);
        }
        icon = TrayIcons().value(TrayIcons().size() - 1, icon);
    }
    QFAIL(qPrintable(QStringLiteral("The icon did not hear the clicks: ") + programOutput()));
}

QList<quint64> TDesktopSession::TrayIcons() const
{
    QList<quint64> icons;
    if (!FTray)
        return icons;
    // trayer keeps the icons in a child window of its own.
    const QString tree =
        Tool(QStringLiteral("xwininfo"),
             {QStringLiteral("-tree"), QStringLiteral("-id"), QString::number(FTray)});
    static const QRegularExpression child(
        QStringLiteral("^\\s+(0x[0-9a-f]+) .*\\s(\\d+)x(\\d+)\\+"),
        QRegularExpression::MultilineOption);
    auto matches = child.globalMatch(tree);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const quint64 id = match.captured(1).toULongLong(nullptr, 16);
        const QRect geometry = WindowGeometry(id);
        // Icons are mapped, square-ish and small; trayer's own boxes are not.
        if (geometry.width() >= 12 && geometry.width() <= 64 && geometry.height() >= 12 &&
            geometry.height() <= 64 && geometry.x() >= 0 &&
            Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)})
                .contains(QStringLiteral("IsViewable")))
            icons.append(id);
    }
    return icons;
}

void TDesktopSession::Click(const QPoint& point, int button, int repeat) const
{
    Tool(QStringLiteral("xdotool"),
         {QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
          QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
          QStringLiteral("--delay"), QStringLiteral("80"), QString::number(button)});
}

void TDesktopSession::ClickWindow(quint64 window, int button, int repeat) const
{
    const QRect geometry = WindowGeometry(window);
    Tool(QStringLiteral("xdotool"),
         {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
          QString::number(geometry.width() / 2), QString::number(geometry.height() / 2),
          QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
          QStringLiteral("--delay"), QStringLiteral("80"), QString::number(button)});
}

void TDesktopSession::Key(const QString& keys) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

QImage TDesktopSession::Screenshot() const
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/nimbulon-shot-XXXXXX.png"));
    if (!file.open())
        return QImage();
    Tool(QStringLiteral("import"),
         {QStringLiteral("-window"), QStringLiteral("root"), file.fileName()});
    return QImage(file.fileName());
}
