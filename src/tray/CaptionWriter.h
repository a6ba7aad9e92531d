#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QTimer;

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

// Appends the current conditions to the title of the window in the
// foreground, and gives each window its own title back when the focus leaves
// it, when the text changes and when the writer goes. It follows the desktop's
// notices of focus and title changes, no timer of its own while nothing
// changes, and writes a window's title at most every 50 ms.
class TCaptionWriter : public QObject
{
    Q_OBJECT
public:
    // Titles longer than this are read cut to it.
    static constexpr int TitleLimit = 250;
    // A longer summary is cut: titles stay of a size every desktop takes.
    static constexpr int TextLimit = 1000;
    static constexpr int PaceMs = 50;

    explicit TCaptionWriter(std::unique_ptr<TWindowTitles> titles = CreateWindowTitles());
    ~TCaptionWriter() override;

    // The summary to append; one line, as a title bar shows it.
    void SetText(const QString& text);
    void UpdateCaption();

    const QString& Text() const { return FText; }
    TWindowId Window() const { return FWindow; }
    const QString& SavedCaption() const { return FSavedCaption; }

private:
    QString Decorated() const;
    void Decorate();
    void Restore();
    void TakeWindow(TWindowId window);

    std::unique_ptr<TWindowTitles> FTitles;
    QTimer* FTimer;
    QString FSavedCaption;
    TWindowId FWindow = 0;
    QString FText;
    // The title written last to FWindow; empty while it is not decorated.
    QString FWritten;
    QElapsedTimer FLastWrite;
};
