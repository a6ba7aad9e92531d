#pragma once

#include <QString>

// Every message box of the program goes through here, so that the window
// toolkit shows them and tests can read and answer them.
namespace pas_lib {

enum class TMessageKind { Information, Warning, Error, Question };
enum class TMessageAnswer { Ok, Yes, No };

class TMessagePresenter
{
public:
    virtual ~TMessagePresenter() = default;
    // Shows one message and returns the user's answer; a Question offers Yes and No.
    virtual TMessageAnswer Present(TMessageKind kind, const QString& text) = 0;
};

// Installs the presenter (not owned); nullptr restores the default, which only logs.
// Returns the presenter that was installed before.
TMessagePresenter* SetMessagePresenter(TMessagePresenter* presenter);

// A plain message box with an OK button.
void ShowMessage(const QString& text, TMessageKind kind = TMessageKind::Information);
// A Yes/No question; No when it cannot be asked.
TMessageAnswer AskQuestion(const QString& text);

} // namespace pas_lib
