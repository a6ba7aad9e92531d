#pragma once

#include "platform/WindowTitles.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

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
