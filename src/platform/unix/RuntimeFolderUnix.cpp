#include "common/Exception.h"
#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcRuntime, "nimbulon.app.instance")

namespace {

QString CacheFolder()
{
    QString folder = qEnvironmentVariable("XDG_CACHE_HOME");
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.cache");
    return folder;
}

// Makes the folder and its parents; the folder itself becomes private when it
// is the user's. False when it is not, or cannot be, a private folder.
bool MakePrivateFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return false;
    if ((info.st_mode & 07777) != S_IRWXU && chmod(native.constData(), S_IRWXU) != 0)
        return false;
    return IsPrivateFolder(path);
}

} // namespace

bool IsPrivateFolder(const QString& path)
{
    if (path.isEmpty() || QDir::isRelativePath(path))
        return false;
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString PrivateRuntimeFolder()
{
    const QString runtime = QDir::cleanPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (IsPrivateFolder(runtime))
        return runtime;
    static QString warned;
    if (!runtime.isEmpty() && runtime != warned) {
        warned = runtime;
        qCWarning(lcRuntime) << "XDG_RUNTIME_DIR is not a private folder of this user:" << runtime;
    }
    const QString fallback = CacheFolder() + QStringLiteral("/Nimbulon/run");
    if (MakePrivateFolder(fallback))
        return fallback;
    throw pas_lib::Exception(
        QStringLiteral("No private folder for the single-instance guard: neither %1 nor %2 is a "
                       "folder that only this user may use.")
            .arg(runtime.isEmpty() ? QStringLiteral("XDG_RUNTIME_DIR") : runtime, fallback));
}
