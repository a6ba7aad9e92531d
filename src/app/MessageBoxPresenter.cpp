#include "app/MessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

using pas_lib::TMessageAnswer;
using pas_lib::TMessageKind;

TMessageAnswer TMessageBoxPresenter::Present(TMessageKind kind, const QString& text)
{
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationName());
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
