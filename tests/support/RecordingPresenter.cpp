#include "RecordingPresenter.h"

TRecordingPresenter::TRecordingPresenter() : FPrevious(pas_lib::SetMessagePresenter(this)) {}

TRecordingPresenter::~TRecordingPresenter()
{
    pas_lib::SetMessagePresenter(FPrevious);
}

QCoro::Task<pas_lib::TMessageAnswer> TRecordingPresenter::Present(pas_lib::TMessageKind kind,
                                                                  QString text)
{
    Messages.append(text);
    if (!NextAnswers.isEmpty())
        co_return NextAnswers.takeFirst();
    co_return kind == pas_lib::TMessageKind::Question ? pas_lib::TMessageAnswer::No
                                                      : pas_lib::TMessageAnswer::Ok;
}
