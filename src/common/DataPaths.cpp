#include "common/DataPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pas_lib {

QString SlikeDir;
QString PodatkiDir;
QString PostajeXmlPath;
QString ConfigIniPath;

namespace {
int initCount = 0;
QString executableDir;

QString WithSeparator(const QString& folder)
{
    QString result = QDir::cleanPath(QDir(folder).absolutePath());
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

QString FindExecutableDir(const char* argv0)
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return WithSeparator(QFileInfo(self.canonicalFilePath()).absolutePath());
    if (argv0 && *argv0)
        return WithSeparator(QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath());
    return WithSeparator(QDir::currentPath());
}

QString XdgFolder(const char* variable, const QString& fallbackBelowHome)
{
    QString folder = qEnvironmentVariable(variable);
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + fallbackBelowHome;
    return folder;
}
} // namespace

QString HomeOverride()
{
    const QString home = qEnvironmentVariable("NIMBULON_HOME");
    return home.isEmpty() ? QString() : WithSeparator(home);
}

QString ExecutableDir()
{
    if (executableDir.isEmpty())
        executableDir = FindExecutableDir(nullptr);
    return executableDir;
}

QString DataFolderScope()
{
    const QString home = HomeOverride();
    if (home.isEmpty())
        return {};
    const QByteArray hash =
        QCryptographicHash::hash(home.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QLatin1Char('.') + QString::fromLatin1(hash);
}

void RecomputePaths()
{
    QString dataDir = HomeOverride();
    // Pictures and stored feeds can be fetched again: they live in the cache.
    QString cacheDir;
    if (!dataDir.isEmpty()) {
        cacheDir = dataDir;
    } else if (QFileInfo::exists(ExecutableDir() + QStringLiteral("Config.ini"))) {
        // A portable copy keeps everything beside the executable.
        dataDir = ExecutableDir();
        cacheDir = dataDir;
    } else {
        dataDir = WithSeparator(XdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) +
                                QStringLiteral("/Nimbulon"));
        cacheDir = WithSeparator(XdgFolder("XDG_CACHE_HOME", QStringLiteral("/.cache")) +
                                 QStringLiteral("/Nimbulon"));
    }
    SlikeDir = cacheDir + QStringLiteral("Slike/");
    PodatkiDir = cacheDir + QStringLiteral("Podatki/");
    PostajeXmlPath = dataDir + QStringLiteral("Postaje.xml");
    ConfigIniPath = dataDir + QStringLiteral("Config.ini");
}

void InitializePaths(const char* argv0)
{
    if (initCount++ > 0)
        return;
    executableDir = FindExecutableDir(argv0);
    RecomputePaths();
}

} // namespace pas_lib
