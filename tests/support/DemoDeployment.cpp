#include "DemoDeployment.h"

#include <QFile>
#include <QProcess>

bool TDemoDeployment::Start()
{
    if (!FServer.Start()) {
        FError = FServer.Error();
        return false;
    }
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(NIMBULON_DEPLOYMENT_SCRIPT), {FServer.Root(), BaseUrl()});
    if (!script.waitForFinished(120000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0) {
        FError = QStringLiteral("make-deployment failed: ") + QString::fromUtf8(script.readAll()) +
                 script.errorString();
        return false;
    }
    return true;
}

QString TDemoDeployment::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(FServer.Port());
}

QString TDemoDeployment::FilePath(const QString& path) const
{
    return FServer.Root() + QLatin1Char('/') + path;
}

QByteArray TDemoDeployment::ReadFile(const QString& path) const
{
    QFile file(FilePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TDemoDeployment::ConfigUrlSection() const
{
    const QByteArray base = BaseUrl().toLatin1();
    return "[URL]\r\nNASTAVITVE=" + base + "/cliententer.asp\r\nSTATICNENASTAVITVE=" + base +
           "/nastavitve.xml\r\nGRAFI=" + base + "\r\nVIDEO=" + base + "\r\n";
}
