#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

// Keeps a top-level window wholly on the screens. A window manager frames the
// window only after it is shown, and only then can a title bar above the
// screen's edge be seen: the placement looks for the frame every 20 ms, a
// bounded number of times, and fits the window again once it is there.
class TWindowPlacement : public QObject
{
public:
    explicit TWindowPlacement(QWidget* window);

    // Moves (and if need be shrinks) the window so that it lies wholly on a
    // screen; a maximised or full-screen window stays as it is.
    void KeepOnScreen();
    void KeepOnScreenWhenFramed();
    // Stored bounds, sized within the window's limits and fitted to the screens.
    void RestoreBounds(const QRect& bounds);
    // The window's own area, without the frame, for storing: window managers
    // place exactly that where it is asked to go, whatever their frames are
    // like. A maximised window gives the bounds it had before.
    QRect BoundsToStore(bool maximized) const;

private:
    void LookForFrame();

    QWidget* FWindow;
    QTimer FFrameWait;
    int FTriesLeft = 0;
};
