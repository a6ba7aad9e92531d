#pragma once

#include "common/Messages.h"

#include <QList>
#include <QStringList>

// Records every message the code under test shows, and answers questions from a
// queue set in advance (No when the queue is empty), at once. Installs itself
// while alive.
class TRecordingPresenter : public pas_lib::TMessagePresenter
{
public:
    TRecordingPresenter();
    ~TRecordingPresenter() override;

    QCoro::Task<pas_lib::TMessageAnswer> Present(pas_lib::TMessageKind kind, QString text) override;

    QStringList Messages;
    QList<pas_lib::TMessageAnswer> NextAnswers;

private:
    pas_lib::TMessagePresenter* FPrevious;
};
