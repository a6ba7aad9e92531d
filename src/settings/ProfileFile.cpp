#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringDecoder>

Q_LOGGING_CATEGORY(lcProfile, "nimbulon.settings", QtInfoMsg)

namespace pas_lib {

namespace {

// A settings file this large is not one the program wrote; it is left alone.
constexpr qint64 maxFileSize = 4 * 1024 * 1024;

// One lock for every profile file of the process: a write is a read-modify-write.
QMutex fileLock;

QString DecodeLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    return cp1250(bytes);
}

bool HasLineBreakOrNul(const QString& text)
{
    for (const QChar ch : text)
        if (ch == u'\r' || ch == u'\n' || ch == u'\0')
            return true;
    return false;
}

// A line's section or key name, as a view into the line: reading a file for
// many values looks at every line many times.
std::optional<QStringView> SectionName(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimmed.sliced(1, close - 1).trimmed();
}

std::optional<QStringView> KeyName(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || line.trimmed().startsWith(u';'))
        return std::nullopt;
    return line.left(equals).trimmed();
}

// Line range [first, last) of a section's body, or nullopt when it is missing.
// Names are compared as the file holds them, without blanks around.
std::optional<std::pair<qsizetype, qsizetype>> FindSection(const QStringList& lines,
                                                           QStringView section)
{
    const QStringView wanted = section.trimmed();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines.at(i));
        if (!name || name->compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !SectionName(lines.at(end)))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

qsizetype FindKey(const QStringList& lines, qsizetype first, qsizetype last, QStringView key)
{
    const QStringView wanted = key.trimmed();
    for (qsizetype i = first; i < last; ++i) {
        const auto name = KeyName(lines.at(i));
        if (name && name->compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

bool IsWritableProfileEntry(const QString& section, const QString& key, const QString& value)
{
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        return false;
    const QString trimmedKey = key.trimmed();
    return !section.trimmed().isEmpty() && !section.contains(QLatin1Char(']')) &&
           !trimmedKey.isEmpty() && !key.contains(QLatin1Char('=')) &&
           !trimmedKey.startsWith(QLatin1Char(';')) && !trimmedKey.startsWith(QLatin1Char('['));
}

TProfileFile::TProfileFile(const QString& path) : FLocker(&fileLock), FPath(path)
{
    QFile file(path);
    if (!file.exists())
        return;
    // Read whole and at once: no buffer between the file and its one reading.
    if (file.size() > maxFileSize || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qCWarning(lcProfile) << "Cannot read" << path;
        FReadable = false;
        return;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.contains("\r\n"))
        FLineEnd = QStringLiteral("\r\n");
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        FLines.append(DecodeLine(line));
        start = end + 1;
    }
}

TProfileFile::~TProfileFile() = default;

std::optional<QString> TProfileFile::Value(const QString& section, const QString& key) const
{
    const auto range = FindSection(FLines, section);
    if (!range)
        return std::nullopt;
    const qsizetype index = FindKey(FLines, range->first, range->second, key);
    if (index < 0)
        return std::nullopt;
    const QString& line = FLines.at(index);
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool TProfileFile::SetValue(const QString& section, const QString& key, const QString& value)
{
    // Never replace a file that could not be read: it would lose its keys.
    if (!FReadable)
        return false;
    // A line break would start lines of the server's or user's choosing.
    if (!IsWritableProfileEntry(section, key, value)) {
        qCWarning(lcProfile) << "Refused to write key" << key.left(40) << "of section"
                             << section.left(40);
        return false;
    }
    const QString newLine = key.trimmed() + QLatin1Char('=') + value;
    if (const auto range = FindSection(FLines, section)) {
        const qsizetype index = FindKey(FLines, range->first, range->second, key);
        if (index >= 0) {
            if (FLines.at(index) == newLine)
                return true;
            FLines[index] = newLine;
        } else {
            qsizetype insertAt = range->second;
            while (insertAt > range->first && FLines.at(insertAt - 1).trimmed().isEmpty())
                --insertAt;
            FLines.insert(insertAt, newLine);
        }
    } else {
        FLines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        FLines.append(newLine);
    }
    FChanged = true;
    return true;
}

bool TProfileFile::Save()
{
    if (!FChanged)
        return true;
    QDir().mkpath(QFileInfo(FPath).absolutePath());
    QSaveFile file(FPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qCWarning(lcProfile) << "Cannot write" << FPath << file.errorString();
        return false;
    }
    // The file holds the proxy password.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = (FLines.join(FLineEnd) + FLineEnd).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcProfile) << "Cannot write" << FPath << file.errorString();
        return false;
    }
    FChanged = false;
    return true;
}

std::optional<QString> ReadProfileString(const QString& path, const QString& section,
                                         const QString& key)
{
    return TProfileFile(path).Value(section, key);
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value)
{
    TProfileFile file(path);
    return file.SetValue(section, key, value) && file.Save();
}

} // namespace pas_lib
