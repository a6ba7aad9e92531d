#pragma once

#include "common/Messages.h"

// Shows the program's messages in plain-text message boxes titled "Nimbulon".
class TMessageBoxPresenter : public pas_lib::TMessagePresenter
{
public:
    pas_lib::TMessageAnswer Present(pas_lib::TMessageKind kind, const QString& text) override;
};
