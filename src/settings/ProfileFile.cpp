#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

Q_LOGGING_CATEGORY(lcProfile, "nimbulon.settings", QtInfoMsg)

namespace pas_lib {

namespace {

// A settings file this large is not one the program wrote; it is left alone.
constexpr qint64 maxFileSize = 4 * 1024 * 1024;

// One lock for every profile file of the process: a write is a read-modify-write.
QMutex fileLock;

struct TProfileText
{
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
    bool readable = true;
};

QString DecodeLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    return cp1250(bytes);
}

TProfileText Load(const QString& path)
{
    TProfileText profile;
    QFile file(path);
    if (!file.exists())
        return profile;
    if (file.size() > maxFileSize || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcProfile) << "Cannot read" << path;
        profile.readable = false;
        return profile;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.contains("\r\n"))
        profile.lineEnd = QStringLiteral("\r\n");
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        profile.lines.append(DecodeLine(line));
        start = end + 1;
    }
    return profile;
}

std::optional<QString> SectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

std::optional<QString> KeyName(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return std::nullopt;
    return line.left(equals).trimmed();
}

// Line range [first, last) of a section's body, or nullopt when it is missing.
std::optional<std::pair<qsizetype, qsizetype>> FindSection(const QStringList& lines,
                                                           const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines.at(i));
        if (!name || name->compare(section, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !SectionName(lines.at(end)))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

qsizetype FindKey(const QStringList& lines, qsizetype first, qsizetype last, const QString& key)
{
    for (qsizetype i = first; i < last; ++i) {
        const auto name = KeyName(lines.at(i));
        if (name && name->compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

std::optional<QString> ReadProfileString(const QString& path, const QString& section,
                                         const QString& key)
{
    QMutexLocker locker(&fileLock);
    const TProfileText profile = Load(path);
    const auto range = FindSection(profile.lines, section);
    if (!range)
        return std::nullopt;
    const qsizetype index = FindKey(profile.lines, range->first, range->second, key);
    if (index < 0)
        return std::nullopt;
    const QString& line = profile.lines.at(index);
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value)
{
    QMutexLocker locker(&fileLock);
    TProfileText profile = Load(path);
    if (!profile.readable)
        return false; // never replace a file that could not be read: it would lose its keys

    const QString newLine = key + QLatin1Char('=') + value;
    if (const auto range = FindSection(profile.lines, section)) {
        const qsizetype index = FindKey(profile.lines, range->first, range->second, key);
        if (index >= 0) {
            profile.lines[index] = newLine;
        } else {
            qsizetype insertAt = range->second;
            while (insertAt > range->first && profile.lines.at(insertAt - 1).trimmed().isEmpty())
                --insertAt;
            profile.lines.insert(insertAt, newLine);
        }
    } else {
        profile.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        profile.lines.append(newLine);
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcProfile) << "Cannot write" << path << file.errorString();
        return false;
    }
    // The file holds the proxy password.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = (profile.lines.join(profile.lineEnd) + profile.lineEnd).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcProfile) << "Cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

} // namespace pas_lib
