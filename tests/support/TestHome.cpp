#include "TestHome.h"

#include "common/DataPaths.h"

#include <QFile>

TTestHome::TTestHome() : FPreviousHome(qgetenv("NIMBULON_HOME"))
{
    qputenv("NIMBULON_HOME", FDir.path().toUtf8());
    pas_lib::RecomputePaths();
}

TTestHome::~TTestHome()
{
    if (FPreviousHome.isEmpty())
        qunsetenv("NIMBULON_HOME");
    else
        qputenv("NIMBULON_HOME", FPreviousHome);
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
