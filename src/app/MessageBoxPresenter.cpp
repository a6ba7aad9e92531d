#include "app/MessageBoxPresenter.h"

#include "common/Awaiting.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>

Q_LOGGING_CATEGORY(lcMessageBox, "nimbulon.app.messages", QtInfoMsg)

using pas_lib::TMessageAnswer;
using pas_lib::TMessageKind;

TMessageBoxPresenter::~TMessageBoxPresenter()
{
    // Their waits resume unanswered.
    for (const QPointer<QMessageBox>& box : std::as_const(FOpen))
        delete box.data();
}

QCoro::Task<TMessageAnswer> TMessageBoxPresenter::Present(TMessageKind kind, QString text)
{
    qCInfo(lcMessageBox).noquote() << "Message:" << text;
    auto* box = new QMessageBox;
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowTitle(QApplication::applicationName());
    // Texts come from servers too: never read as markup, which could make the
    // box load files or run for ever.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    switch (kind) {
    case TMessageKind::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case TMessageKind::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case TMessageKind::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    case TMessageKind::Question:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    box->setWindowModality(Qt::ApplicationModal);
    FOpen.removeAll(nullptr);
    FOpen.append(box);
    box->show();
    const QPointer<QMessageBox> shown(box);
    const bool answered = co_await pas_lib::TSignalWait(box, &QMessageBox::finished);
    if (!answered || !shown)
        co_return kind == TMessageKind::Question ? TMessageAnswer::No : TMessageAnswer::Ok;
    const bool yes = box->result() == QMessageBox::Yes;
    box->deleteLater();
    if (kind != TMessageKind::Question)
        co_return TMessageAnswer::Ok;
    co_return yes ? TMessageAnswer::Yes : TMessageAnswer::No;
}
