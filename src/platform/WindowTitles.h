#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

// A top-level window of the desktop; 0 is none.
using TWindowId = quint64;

// What the desktop lets the caption writer do with other programs' windows.
// Each platform has its own; on one that lets no program rename another
// program's windows, nothing at all.
class TWindowTitles : public QObject
{
    Q_OBJECT
public:
    // Whether other programs' windows can be renamed here at all.
    virtual bool Available() const = 0;
    // The window in the foreground; 0 when there is none.
    virtual TWindowId ActiveWindow() = 0;
    // Whether the window may be renamed: one of this user's other programs.
    virtual bool Writable(TWindowId window) = 0;
    // The window's title; none when the window is gone.
    virtual std::optional<QString> Title(TWindowId window) = 0;
    virtual void SetTitle(TWindowId window, const QString& title) = 0;
    // Gives the window back the title it had before SetTitle, unless its
    // program has renamed it since.
    virtual void RestoreTitle(TWindowId window) = 0;
    // Follows this window's title and closing (0: none).
    virtual void Watch(TWindowId window) = 0;

signals:
    // The foreground window or the followed window's title changed.
    void Changed();
    // A window closed.
    void Closed(TWindowId window);
};

// The desktop's window titles as this platform offers them.
std::unique_ptr<TWindowTitles> CreateWindowTitles();
