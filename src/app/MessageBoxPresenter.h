#pragma once

#include "common/Messages.h"

#include <QList>
#include <QPointer>

class QMessageBox;

// Shows the program's messages in plain-text message boxes titled "Nimbulon",
// application-modal but without holding up the caller. Boxes still open when
// it goes are closed unanswered.
class TMessageBoxPresenter : public pas_lib::TMessagePresenter
{
public:
    TMessageBoxPresenter() = default;
    ~TMessageBoxPresenter() override;
    TMessageBoxPresenter(const TMessageBoxPresenter&) = delete;
    TMessageBoxPresenter& operator=(const TMessageBoxPresenter&) = delete;

    QCoro::Task<pas_lib::TMessageAnswer> Present(pas_lib::TMessageKind kind, QString text) override;

private:
    QList<QPointer<QMessageBox>> FOpen;
};
