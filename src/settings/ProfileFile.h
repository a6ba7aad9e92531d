#pragma once

#include <QString>
#include <optional>

// A Windows-style profile file ("[section]" lines and key=value lines), read and
// written as the Windows profile functions do: section and key names match
// without regard to letter case, blanks around a value and one pair of enclosing
// double quotes are dropped on reading, a new key goes to the end of its section
// and a new section to the end of the file. Lines may end in CRLF or LF, and
// each line may be UTF-8 or Windows-1250; the file is written in UTF-8, keeping
// its line ends, and replaced atomically, readable by its owner only.
namespace pas_lib {

std::optional<QString> ReadProfileString(const QString& path, const QString& section,
                                         const QString& key);
// False when the file could not be written; it is then left as it was.
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

} // namespace pas_lib
