#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <optional>

// A Windows-style profile file ("[section]" lines and key=value lines), read and
// written as the Windows profile functions do: section and key names match
// without regard to letter case, blanks around a value and one pair of enclosing
// double quotes are dropped on reading, a new key goes to the end of its section
// and a new section to the end of the file. Lines may end in CRLF or LF, and
// each line may be UTF-8 or Windows-1250; the file is written in UTF-8, keeping
// its line ends, and replaced atomically, readable by its owner only.
//
// Nothing is ever written that would read back as something else: a section,
// key or value holding a line break (CR or LF) or NUL, a section name holding
// "]", and a key holding "=" or starting with ";" or "[" are refused.
namespace pas_lib {

std::optional<QString> ReadProfileString(const QString& path, const QString& section,
                                         const QString& key);
// False when the file could not be written or the value was refused; the file
// is then left as it was.
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

// Whether a section, key and value can be written (see above).
bool IsWritableProfileEntry(const QString& section, const QString& key, const QString& value);

// A profile file read once and written at most once, for many values: the
// process's profile files stay locked while it lives.
class TProfileFile
{
public:
    explicit TProfileFile(const QString& path);
    ~TProfileFile();
    TProfileFile(const TProfileFile&) = delete;
    TProfileFile& operator=(const TProfileFile&) = delete;

    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Sets a value in memory. False, changing nothing, when the entry is
    // refused or the file could not be read (it is then never replaced).
    bool SetValue(const QString& section, const QString& key, const QString& value);
    // Writes the file when something was set; false when that failed.
    bool Save();

private:
    QMutexLocker<QMutex> FLocker;
    QString FPath;
    QStringList FLines;
    QString FLineEnd = QStringLiteral("\n");
    bool FReadable = true;
    bool FChanged = false;
};

} // namespace pas_lib
