#include "app/WindowPlacement.h"

#include "app/WindowPosition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int FrameTries = 25;
constexpr int FrameWaitMilliseconds = 20;
} // namespace

TWindowPlacement::TWindowPlacement(QWidget* window) : QObject(window), FWindow(window)
{
    FFrameWait.setInterval(FrameWaitMilliseconds);
    connect(&FFrameWait, &QTimer::timeout, this, &TWindowPlacement::LookForFrame);
}

void TWindowPlacement::KeepOnScreen()
{
    if (FWindow->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect frame = FWindow->frameGeometry();
    const QRect fitted = FitOnScreens(frame, screens);
    if (fitted == frame)
        return;
    FWindow->move(fitted.topLeft());
    FWindow->resize(FWindow->size() - (frame.size() - fitted.size()));
}

void TWindowPlacement::KeepOnScreenWhenFramed()
{
    FTriesLeft = FrameTries;
    LookForFrame();
}

void TWindowPlacement::LookForFrame()
{
    if (!FWindow->isVisible() || FTriesLeft <= 0) {
        FFrameWait.stop();
        return;
    }
    if (FWindow->frameGeometry() != FWindow->geometry()) {
        FFrameWait.stop();
        KeepOnScreen();
        return;
    }
    --FTriesLeft;
    if (!FFrameWait.isActive())
        FFrameWait.start();
}

void TWindowPlacement::RestoreBounds(const QRect& bounds)
{
    QRect sized = bounds;
    sized.setSize(
        sized.size().expandedTo(FWindow->minimumSize()).boundedTo(FWindow->maximumSize()));
    FWindow->setGeometry(sized);
    KeepOnScreen();
}

QRect TWindowPlacement::BoundsToStore(bool maximized) const
{
    if (maximized && !FWindow->normalGeometry().isEmpty())
        return FWindow->normalGeometry();
    return FWindow->geometry();
}
