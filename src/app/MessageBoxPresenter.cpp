#include "app/MessageBoxPresenter.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>

Q_LOGGING_CATEGORY(lcMessageBox, "nimbulon.app.messages", QtInfoMsg)

using pas_lib::TMessageAnswer;
using pas_lib::TMessageKind;

TMessageAnswer TMessageBoxPresenter::Present(TMessageKind kind, const QString& text)
{
    qCInfo(lcMessageBox).noquote() << "Message:" << text;
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationName());
    // Texts come from servers too: never read as markup, which could make the
    // box load files or run for ever.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case TMessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TMessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case TMessageKind::Question:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? TMessageAnswer::Yes : TMessageAnswer::No;
    }
    box.exec();
    return TMessageAnswer::Ok;
}
