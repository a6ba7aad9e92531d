#include "common/DataPaths.h"
#include "platform/StartAtLogon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// One argument of an Exec line: quoted when it holds anything but plain
// characters, with the characters the desktop entry format reserves escaped.
QString ExecArgument(const QString& argument)
{
    QString escaped = argument;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+=:,@%");
    if (!escaped.isEmpty() &&
        std::all_of(escaped.begin(), escaped.end(), [](QChar c) { return plain.contains(c); }))
        return escaped;
    QString quoted;
    for (QChar c : std::as_const(escaped)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // Inside a desktop entry's string value a backslash is itself escaped.
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString ProgramPath()
{
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? pas_lib::ExecutableDir() + QStringLiteral("nimbulon") : path;
}

// The plain command name when PATH leads to this very program, as for an
// installed package, so that the entry outlives upgrades and moves of the
// same install; otherwise the program's full path.
QString ProgramCommand()
{
    const QString path = ProgramPath();
    const QFileInfo program(path);
    const QString found = QStandardPaths::findExecutable(program.fileName());
    if (!found.isEmpty() && !program.canonicalFilePath().isEmpty() &&
        QFileInfo(found).canonicalFilePath() == program.canonicalFilePath())
        return program.fileName();
    return path;
}

} // namespace

QString StartAtLogonEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/nimbulon.desktop");
}

QString StartAtLogonCommand()
{
    QStringList parts;
    // A program kept in a data folder of its own starts with that folder.
    const QString home = pas_lib::HomeOverride();
    if (!home.isEmpty())
        parts << QStringLiteral("env") << ExecArgument(QStringLiteral("NIMBULON_HOME=") + home);
    parts << ExecArgument(ProgramCommand()) << QStringLiteral("/startup");
    return parts.join(QLatin1Char(' '));
}

bool StartsAtLogon()
{
    return QFile::exists(StartAtLogonEntryPath());
}

bool SetStartAtLogon(bool enabled)
{
    const QString path = StartAtLogonEntryPath();
    if (!enabled)
        return !QFile::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const QByteArray entry = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Nimbulon\n"
                             "Exec=" +
                             StartAtLogonCommand().toUtf8() +
                             "\n"
                             "Terminal=false\n"
                             "X-GNOME-Autostart-enabled=true\n";
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(entry) == entry.size() && file.commit();
}
