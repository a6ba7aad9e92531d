#include "common/Messages.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QThread>
#include <atomic>

Q_LOGGING_CATEGORY(lcMessages, "nimbulon.app.messages", QtInfoMsg)

namespace pas_lib {

namespace {
std::atomic<TMessagePresenter*> installed{nullptr};

TMessageAnswer Present(TMessageKind kind, const QString& text)
{
    TMessagePresenter* presenter = installed.load();
    const auto* app = QCoreApplication::instance();
    const bool onMainThread = !app || QThread::currentThread() == app->thread();
    // A message box can only be shown on the main thread; elsewhere it is logged.
    if (!presenter || !onMainThread) {
        qCWarning(lcMessages).noquote() << text;
        return kind == TMessageKind::Question ? TMessageAnswer::No : TMessageAnswer::Ok;
    }
    return presenter->Present(kind, text);
}
} // namespace

TMessagePresenter* SetMessagePresenter(TMessagePresenter* presenter)
{
    return installed.exchange(presenter);
}

void ShowMessage(const QString& text, TMessageKind kind)
{
    Present(kind == TMessageKind::Question ? TMessageKind::Information : kind, text);
}

TMessageAnswer AskQuestion(const QString& text)
{
    return Present(TMessageKind::Question, text);
}

} // namespace pas_lib
