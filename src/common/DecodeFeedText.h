#pragma once

#include <QByteArray>
#include <QString>

namespace pas_lib {

// Turns the escaped text of a feed into display text: "<br>" becomes a carriage
// return, "&gt;" and "&lt;" their characters, and UTF-8 letters that reached a
// Windows-1250 text undecoded become their Windows-1250 letters. Each of the
// thirteen replacements is made at most 500 times.
QByteArray DecodeFeedText(const QByteArray& windows1250);

// The same for Unicode text: applied to the text's Windows-1250 form, then decoded
// back. Characters that Windows-1250 cannot hold pass through unchanged.
QString DecodeFeedText(const QString& text);

} // namespace pas_lib
