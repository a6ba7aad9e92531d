#include "common/Messages.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QThread>
#include <atomic>

Q_LOGGING_CATEGORY(lcMessages, "nimbulon.app.messages", QtInfoMsg)

namespace pas_lib {

namespace {
std::atomic<TMessagePresenter*> installed{nullptr};

QCoro::Task<TMessageAnswer> Present(TMessageKind kind, QString text)
{
    TMessagePresenter* presenter = installed.load();
    const auto* app = QCoreApplication::instance();
    const bool onMainThread = !app || QThread::currentThread() == app->thread();
    // A message box can only be shown on the main thread; elsewhere it is logged.
    if (!presenter || !onMainThread) {
        qCWarning(lcMessages).noquote() << text;
        co_return kind == TMessageKind::Question ? TMessageAnswer::No : TMessageAnswer::Ok;
    }
    co_return co_await presenter->Present(kind, std::move(text));
}
} // namespace

TMessagePresenter* SetMessagePresenter(TMessagePresenter* presenter)
{
    return installed.exchange(presenter);
}

QCoro::Task<TMessageAnswer> ShowMessage(QString text, TMessageKind kind)
{
    return Present(kind == TMessageKind::Question ? TMessageKind::Information : kind,
                   std::move(text));
}

QCoro::Task<TMessageAnswer> AskQuestion(QString text)
{
    return Present(TMessageKind::Question, std::move(text));
}

} // namespace pas_lib
