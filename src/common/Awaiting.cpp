#include "common/Awaiting.h"

#include <QTimer>

namespace pas_lib {

TCancellation::~TCancellation()
{
    Cancel();
}

void TCancellation::Cancel()
{
    if (FCancelled)
        return;
    FCancelled = true;
    emit CancelRequested();
}

TSignalWait::TSignalWait(TSignalWait&& other) noexcept
    : FSender(std::move(other.FSender)), FCancellation(other.FCancellation),
      FConnect(std::move(other.FConnect))
{
    Q_ASSERT(!other.FHandle);
}

TSignalWait::~TSignalWait()
{
    Disconnect();
    // Inside the guard's own queued call it may only go later; otherwise at
    // once, and with it any call still queued.
    if (FGuard && FInGuardCall)
        FGuard.release()->deleteLater();
}

bool TSignalWait::await_ready() const noexcept
{
    return !FSender || (FCancellation && FCancellation->Cancelled());
}

void TSignalWait::await_suspend(std::coroutine_handle<> handle)
{
    FHandle = handle;
    FGuard = std::make_unique<QObject>();
    FSignalConnection = FConnect(this);
    FDestroyedConnection = QObject::connect(FSender, &QObject::destroyed, [this] {
        // A signal that came before keeps its answer; its resumption is queued.
        if (!FFired)
            Resume(false);
    });
    if (FCancellation)
        FCancelConnection = QObject::connect(FCancellation, &TCancellation::CancelRequested,
                                             [this] { Resume(false); });
}

void TSignalWait::Arrived()
{
    if (FFired || FResumed)
        return;
    FFired = true;
    QObject::disconnect(FSignalConnection);
    // Resumed once the emission is over: the sender may be deleted then.
    QMetaObject::invokeMethod(
        FGuard.get(),
        [this, alive = FAlive] {
            if (!*alive)
                return;
            FInGuardCall = true;
            Resume(true);
        },
        Qt::QueuedConnection);
}

void TSignalWait::Resume(bool fired)
{
    if (FResumed)
        return;
    FResumed = true;
    FFired = fired;
    Disconnect();
    // Resuming may end the coroutine and with it this wait: nothing after it.
    FHandle.resume();
}

void TSignalWait::Disconnect()
{
    *FAlive = false;
    QObject::disconnect(FSignalConnection);
    QObject::disconnect(FDestroyedConnection);
    QObject::disconnect(FCancelConnection);
}

QCoro::Task<bool> SleepFor(int milliseconds, const TCancellation* cancellation)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(milliseconds);
    co_return co_await TSignalWait(&timer, &QTimer::timeout, cancellation);
}

} // namespace pas_lib
