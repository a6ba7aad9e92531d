#pragma once

#include <QCoro/QCoroTask>
#include <QString>

// Every message box of the program goes through here, so that the window
// toolkit shows them and tests can read and answer them. A box never holds
// up the caller: who needs the answer, or to go on only once the user has
// read it, awaits the task; everyone else lets it go.
namespace pas_lib {

enum class TMessageKind { Information, Warning, Error, Question };
enum class TMessageAnswer { Ok, Yes, No };

class TMessagePresenter
{
public:
    virtual ~TMessagePresenter() = default;
    // Shows one message; the task ends with the user's answer (a Question
    // offers Yes and No), or No / Ok when the box goes unanswered.
    virtual QCoro::Task<TMessageAnswer> Present(TMessageKind kind, QString text) = 0;
};

// Installs the presenter (not owned); nullptr restores the default, which only logs.
// Returns the presenter that was installed before.
TMessagePresenter* SetMessagePresenter(TMessagePresenter* presenter);

// A plain message box with an OK button.
QCoro::Task<TMessageAnswer> ShowMessage(QString text,
                                        TMessageKind kind = TMessageKind::Information);
// A Yes/No question; No when it cannot be asked.
QCoro::Task<TMessageAnswer> AskQuestion(QString text);

} // namespace pas_lib
