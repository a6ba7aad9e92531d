#include "weather/TViewTitle.h"

void TViewTitle::SetText(const QString& text)
{
    if (text == FText)
        return;
    FText = text;
    emit textChanged(FText);
}
