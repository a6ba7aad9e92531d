#include "LoopbackServers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// ------------------------------------------------------------- TServerProcess

TServerProcess::TServerProcess()
{
    FProcess.setProcessChannelMode(QProcess::MergedChannels);
}

TServerProcess::~TServerProcess()
{
    Stop();
}

bool TServerProcess::Start()
{
    // A port taken between the probe and the start is tried again with another.
    for (int attempt = 0; attempt < 5; ++attempt) {
        FPort = FreeLoopbackPort();
        WriteConfig();
        FProcess.start(Program(), Arguments());
        if (!FProcess.waitForStarted(10000)) {
            FError = Program() + QStringLiteral(": ") + FProcess.errorString();
            return false;
        }
        for (int wait = 0; wait < 200 && FProcess.state() == QProcess::Running; ++wait) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, FPort);
            if (probe.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        FError = Program() + QStringLiteral(" did not start: ") +
                 QString::fromLocal8Bit(FProcess.readAll());
        Stop();
    }
    return false;
}

void TServerProcess::Stop()
{
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.terminate();
    if (!FProcess.waitForFinished(5000)) {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }
}

// ------------------------------------------------------------- TDelayingProxy

TDelayingProxy::TDelayingProxy(const QString& upstreamBase, double delaySeconds)
    : FUpstream(upstreamBase), FDelay(delaySeconds)
{
}

QString TDelayingProxy::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(FPort);
}

QString TDelayingProxy::Program() const
{
    return QStringLiteral("/usr/bin/python3");
}

QStringList TDelayingProxy::Arguments() const
{
    return {QStringLiteral(NIMBULON_TEST_SUPPORT_DIR "/delaying-proxy.py"), QString::number(FPort),
            FUpstream, QString::number(FDelay)};
}

// --------------------------------------------------------------- TNginxServer

TNginxServer::TNginxServer()
{
    QDir(FDir.path()).mkpath(QStringLiteral("www"));
    QDir(FDir.path()).mkpath(QStringLiteral("temp"));
}

QString TNginxServer::Root() const
{
    return FDir.filePath(QStringLiteral("www"));
}

QString TNginxServer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(FPort).arg(path);
}

void TNginxServer::WriteFile(const QString& path, const QByteArray& data,
                             const QDateTime& modified) const
{
    const QString fileName = Root() + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(data);
    file.flush();
    if (modified.isValid())
        file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QStringList TNginxServer::Requests() const
{
    QFile log(FDir.filePath(QStringLiteral("access.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList requests;
    for (const QByteArray& line : log.readAll().split('\n'))
        if (!line.isEmpty())
            requests.append(QString::fromUtf8(line).section(QLatin1Char(' '), 0, 2));
    return requests;
}

QString TNginxServer::Program() const
{
    return QStringLiteral("/usr/sbin/nginx");
}

QStringList TNginxServer::Arguments() const
{
    return {QStringLiteral("-p"), FDir.path() + QLatin1Char('/'),
            QStringLiteral("-c"), FDir.filePath(QStringLiteral("nginx.conf")),
            QStringLiteral("-e"), FDir.filePath(QStringLiteral("error.log"))};
}

void TNginxServer::WriteConfig()
{
    const QString dir = FDir.path();
    const QString config =
        QStringLiteral(
            "daemon off;\nmaster_process off;\nworker_processes 1;\n"
            "pid %1/nginx.pid;\nerror_log %1/error.log;\n"
            "events { worker_connections 256; }\n"
            "http {\n"
            "  log_format tests '$request_method $request_uri $status \"$http_user_agent\" "
            "\"$http_referer\"';\n"
            "  access_log %1/access.log tests;\n"
            "  client_body_temp_path %1/temp/body;\n  proxy_temp_path %1/temp/proxy;\n"
            "  fastcgi_temp_path %1/temp/fastcgi;\n  uwsgi_temp_path %1/temp/uwsgi;\n"
            "  scgi_temp_path %1/temp/scgi;\n"
            "  types { text/xml xml; image/gif gif; image/png png; image/jpeg jpg; video/mpeg mpg; "
            "}\n"
            "  default_type application/octet-stream;\n"
            "  server {\n    listen 127.0.0.1:%2;\n    root %1/www;\n%3\n  }\n"
            "}\n")
            .arg(dir)
            .arg(FPort)
            .arg(ExtraConfig);
    QFile file(FDir.filePath(QStringLiteral("nginx.conf")));
    if (file.open(QIODevice::WriteOnly))
        file.write(config.toUtf8());
}

// ------------------------------------------------------------ TFcgiwrapServer

TFcgiwrapServer::TFcgiwrapServer(const QString& program) : FCgiProgram(program) {}

QString TFcgiwrapServer::Program() const
{
    return QStringLiteral("/usr/sbin/fcgiwrap");
}

QStringList TFcgiwrapServer::Arguments() const
{
    return {QStringLiteral("-s"), QStringLiteral("tcp:127.0.0.1:%1").arg(FPort),
            QStringLiteral("-p"), FCgiProgram};
}

// ----------------------------------------------------------- TTinyproxyServer

TTinyproxyServer::TTinyproxyServer(const QString& user, const QString& password)
    : FUser(user), FPassword(password)
{
}

QString TTinyproxyServer::Log() const
{
    QFile log(FDir.filePath(QStringLiteral("tinyproxy.log")));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QString TTinyproxyServer::Program() const
{
    return QStringLiteral("/usr/bin/tinyproxy");
}

QStringList TTinyproxyServer::Arguments() const
{
    return {QStringLiteral("-d"), QStringLiteral("-c"),
            FDir.filePath(QStringLiteral("tinyproxy.conf"))};
}

void TTinyproxyServer::WriteConfig()
{
    QString config = QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 30\nLogLevel Info\n"
                                    "LogFile \"%2\"\nMaxClients 20\nAllow 127.0.0.1\n")
                         .arg(FPort)
                         .arg(FDir.filePath(QStringLiteral("tinyproxy.log")));
    if (!FUser.isEmpty())
        config += QStringLiteral("BasicAuth %1 %2\n").arg(FUser, FPassword);
    QFile file(FDir.filePath(QStringLiteral("tinyproxy.conf")));
    if (file.open(QIODevice::WriteOnly))
        file.write(config.toUtf8());
}

// -------------------------------------------------------- TScriptedHttpServer

TScriptedHttpServer::TScriptedHttpServer(THandler handler)
    : FServer(new QTcpServer(this)), FHandler(std::move(handler))
{
    FServer->listen(QHostAddress::LocalHost, 0);
    connect(FServer, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = FServer->nextPendingConnection()) {
            auto pending = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] {
                pending->append(socket->readAll());
                const qsizetype end = pending->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QByteArray request = pending->left(end + 4);
                pending->remove(0, end + 4);
                Requests.append(request);
                FHandler(socket, request);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

TScriptedHttpServer::~TScriptedHttpServer() = default;

QString TScriptedHttpServer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(FServer->serverPort()).arg(path);
}

QByteArray TScriptedHttpServer::Header(const QByteArray& request, const QByteArray& name)
{
    for (const QByteArray& line : request.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void TScriptedHttpServer::Reply(QTcpSocket* socket, const QByteArray& statusLine,
                                const QByteArray& headers, const QByteArray& body)
{
    socket->write("HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->flush();
    socket->disconnectFromHost();
}

void TScriptedHttpServer::Trickle(QTcpSocket* socket, const QByteArray& head,
                                  const QByteArray& piece, int intervalMs)
{
    socket->write(head);
    auto* timer = new QTimer(socket); // goes with the connection
    QObject::connect(timer, &QTimer::timeout, socket, [socket, piece] { socket->write(piece); });
    timer->start(intervalMs);
}

void TScriptedHttpServer::Reset(QTcpSocket* socket)
{
    socket->flush();
    // A zero linger time makes the close send a reset.
    const linger noLinger{1, 0};
    setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    socket->abort();
}
