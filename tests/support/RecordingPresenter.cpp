#include "RecordingPresenter.h"

TRecordingPresenter::TRecordingPresenter() : FPrevious(pas_lib::SetMessagePresenter(this)) {}

TRecordingPresenter::~TRecordingPresenter()
{
    pas_lib::SetMessagePresenter(FPrevious);
}

pas_lib::TMessageAnswer TRecordingPresenter::Present(pas_lib::TMessageKind kind,
                                                     const QString& text)
{
    Messages.append(text);
    if (!NextAnswers.isEmpty())
        return NextAnswers.takeFirst();
    return kind == pas_lib::TMessageKind::Question ? pas_lib::TMessageAnswer::No
                                                   : pas_lib::TMessageAnswer::Ok;
}
