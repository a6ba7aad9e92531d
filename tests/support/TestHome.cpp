#include "TestHome.h"

#include "common/DataPaths.h"

#include <QDir>
#include <QFile>

TTestHome::TTestHome()
    : FPreviousHome(qgetenv("NIMBULON_HOME")), FPreviousRuntime(qgetenv("XDG_RUNTIME_DIR")),
      FHadRuntime(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
{
    qputenv("NIMBULON_HOME", FDir.path().toUtf8());
    const QString runtime = FDir.filePath(QStringLiteral("run"));
    QDir().mkdir(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    pas_lib::RecomputePaths();
}

TTestHome::~TTestHome()
{
    if (FPreviousHome.isEmpty())
        qunsetenv("NIMBULON_HOME");
    else
        qputenv("NIMBULON_HOME", FPreviousHome);
    if (FHadRuntime)
        qputenv("XDG_RUNTIME_DIR", FPreviousRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
    pas_lib::RecomputePaths();
}

QString TTestHome::Path(const QString& name) const
{
    return name.isEmpty() ? FDir.path() : FDir.filePath(name);
}

void TTestHome::WriteFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray TTestHome::ReadFile(const QString& name) const
{
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
