#include "DemoDeployment.h"

#include <QFile>
#include <QProcess>

TDemoDeployment::TDemoDeployment() : FCgi(QStringLiteral(NIMBULON_CHARTD)) {}

bool TDemoDeployment::Start()
{
    if (!FCgi.Start()) {
        FError = FCgi.Error();
        return false;
    }
    // As scripts/run serves it: everything under the script's name goes to the
    // chart server, with the rest of the path as PATH_INFO.
    FServer.ExtraConfig =
        QStringLiteral("    location /cgi-bin/sendgraf.exe/ {\n"
                       "      fastcgi_split_path_info ^(/cgi-bin/sendgraf\\.exe)(/.*)$;\n"
                       "      fastcgi_param SCRIPT_FILENAME %1;\n"
                       "      fastcgi_param PATH_INFO $fastcgi_path_info;\n"
                       "      fastcgi_param QUERY_STRING $query_string;\n"
                       "      fastcgi_param REQUEST_METHOD $request_method;\n"
                       "      fastcgi_param NIMBULON_CHART_DB %2;\n"
                       "      fastcgi_pass 127.0.0.1:%3;\n"
                       "    }\n")
            .arg(QStringLiteral(NIMBULON_CHARTD), ChartDatabasePath())
            .arg(FCgi.Port()) +
        FServer.ExtraConfig;
    if (!FServer.Start()) {
        FError = FServer.Error();
        return false;
    }
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(NIMBULON_DEPLOYMENT_SCRIPT),
                 {FServer.Root(), BaseUrl(), ChartDatabasePath()});
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

QString TDemoDeployment::ChartDatabasePath() const
{
    return FServer.Folder() + QStringLiteral("/chart.sqlite");
}

QByteArray TDemoDeployment::ConfigUrlSection() const
{
    const QByteArray base = BaseUrl().toLatin1();
    return "[URL]\r\nNASTAVITVE=" + base + "/cliententer.asp\r\nSTATICNENASTAVITVE=" + base +
           "/nastavitve.xml\r\nGRAFI=" + base + "\r\nVIDEO=" + base + "\r\n";
}
