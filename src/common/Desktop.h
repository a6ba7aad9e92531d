#pragma once

#include <QString>
#include <functional>

// What the program asks of the desktop beyond its own window.
namespace pas_lib {

// Whether the text is one whole http or https address with a host and nothing
// else: no blanks or control characters anywhere, at most 2,000 characters.
bool IsWebAddress(const QString& address);

// Opens a web address (or, when allowed, a mail address) in the user's
// programs; nothing else is ever opened. False when refused or when it failed.
bool OpenWebAddress(const QString& address, bool allowMail = false);
// Replaces the opener (tests record what would be opened); an empty function
// restores the desktop's.
void SetWebAddressOpener(std::function<bool(const QString&)> opener);

// Ends the program as soon as the event loop runs again.
void RequestProgramEnd();
// Whether the end was asked for (tests reset it).
bool ProgramEndRequested();
void ResetProgramEndRequest();

} // namespace pas_lib
