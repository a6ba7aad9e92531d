#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// A private X desktop for one test: Xvfb on a free display with the openbox
// window manager and, when asked for, the trayer notification area. Everything
// it started stops when it goes.
class TDesktopSession
{
public:
    TDesktopSession();
    ~TDesktopSession();
    TDesktopSession(const TDesktopSession&) = delete;
    TDesktopSession& operator=(const TDesktopSession&) = delete;

    // Starts the desktop; false, with Error() saying why, when a part fails.
    bool Start(bool withTray = true);
    QString Error() const { return FError; }
    // The notification area alone: gone (no tray host) and back.
    void StopTray();
    bool StartTray();
    QString Display() const { return FDisplay; }
    // What a program needs to run on this desktop ("NAME=value" entries): the
    // display, the xcb platform, and no session bus, so the X11 tray is used.
    QStringList Environment() const;

    // Runs a tool (xdotool, xprop, ...) on this desktop; its standard output,
    // or an empty string when it fails.
    QString Tool(const QString& program, const QStringList& arguments, int timeoutMs = 10000) const;
    // Visible top-level windows whose title matches the pattern (xdotool's).
    QList<quint64> VisibleWindows(const QString& titlePattern) const;
    // A window's frame-less geometry on the screen.
    QRect WindowGeometry(quint64 window) const;
    QString WindowTitle(quint64 window) const;
    // The windows the tray holds (the icons), in the tray's order.
    QList<quint64> TrayIcons() const;
    // The program's icon, once its output says it is shown and the tray has
    // settled where it puts it; 0, with the test failed, when it never is.
    quint64 WaitForTrayIcon(const std::function<QString()>& programOutput) const;
    // Clicks the icon until the program's output says it heard it (the tray
    // may still be moving the icon into place); fails the test when it never does.
    void ClickTrayIcon(const std::function<QString()>& programOutput, quint64 icon, int button = 1,
                       int repeat = 1) const;
    // Clicks with a mouse button (1 left, 3 right) at a point of the screen;
    // twice for a double click.
    void Click(const QPoint& point, int button = 1, int repeat = 1) const;
    // The same in the middle of a window, wherever it is at that moment.
    void ClickWindow(quint64 window, int button = 1, int repeat = 1) const;
    void Key(const QString& keys) const;
    QImage Screenshot() const;

private:
    bool StartProcess(const QString& program, const QStringList& arguments);
    bool WaitFor(const std::function<bool()>& ready, int timeoutMs) const;

    QList<std::shared_ptr<QProcess>> FProcesses;
    QString FDisplay;
    QString FError;
    quint64 FTray = 0;
    std::shared_ptr<QProcess> FTrayProcess;
};
