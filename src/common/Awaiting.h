#pragma once

#include <QCoro/QCoroTask>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <coroutine>
#include <functional>
#include <memory>

// Waiting without a nested event loop: the program's coroutines (QCoro tasks)
// await signals and timers through these, so the window, the tray and the
// timers run on while a fetch, a dialog or a pause is awaited.
namespace pas_lib {

// Ends the waits of one owner. Every wait given it resumes at once, with a
// negative answer, when Cancel is called; an owner cancels when it goes, so
// that no coroutine outlives what it works for and nothing depends on an event
// loop that may not run again.
class TCancellation : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~TCancellation() override;

    void Cancel();
    bool Cancelled() const { return FCancelled; }

signals:
    void CancelRequested();

private:
    bool FCancelled = false;
};

// Awaits one emission of a signal: co_await gives true when it came, false
// when the sender was destroyed or the wait cancelled first. The coroutine
// resumes after the emission has returned (so it may delete the sender), and
// at once when the sender goes or the wait is cancelled.
class TSignalWait
{
public:
    template <typename Sender, typename Signal>
    TSignalWait(Sender* sender, Signal signal, const TCancellation* cancellation = nullptr)
        : FSender(sender), FCancellation(cancellation)
    {
        FConnect = [sender, signal](TSignalWait* wait) {
            return QObject::connect(sender, signal, sender, [wait](auto&&...) { wait->Arrived(); });
        };
    }
    ~TSignalWait();
    // Moved only before it is awaited (the compiler may move it into the frame).
    TSignalWait(TSignalWait&& other) noexcept;
    TSignalWait& operator=(TSignalWait&&) = delete;

    bool await_ready() const noexcept;
    void await_suspend(std::coroutine_handle<> handle);
    bool await_resume() const noexcept { return FFired; }

private:
    void Arrived();
    void Resume(bool fired);
    void Disconnect();

    QPointer<QObject> FSender;
    const TCancellation* FCancellation;
    std::function<QMetaObject::Connection(TSignalWait*)> FConnect;
    // Carries the queued resumption in the waiting thread; a resumption still
    // queued when the wait has ended finds FAlive false and does nothing.
    std::unique_ptr<QObject> FGuard;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    QMetaObject::Connection FSignalConnection;
    QMetaObject::Connection FDestroyedConnection;
    QMetaObject::Connection FCancelConnection;
    std::coroutine_handle<> FHandle;
    bool FFired = false;
    bool FResumed = false;
    bool FInGuardCall = false;
};

// Pauses a coroutine for a time; false when cancelled first.
QCoro::Task<bool> SleepFor(int milliseconds, const TCancellation* cancellation = nullptr);

} // namespace pas_lib
