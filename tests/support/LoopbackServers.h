#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class QTcpServer;
class QTcpSocket;

// A real server process on a free loopback port, in a folder of its own, stopped
// when the object goes.
class TServerProcess
{
public:
    TServerProcess();
    virtual ~TServerProcess();
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    // Starts the server; false (with Error() saying why) when it could not.
    bool Start();
    void Stop();
    quint16 Port() const { return FPort; }
    QString Error() const { return FError; }
    QString Folder() const { return FDir.path(); }

protected:
    virtual QString Program() const = 0;
    virtual QStringList Arguments() const = 0;
    virtual void WriteConfig() = 0;

    QTemporaryDir FDir;
    quint16 FPort = 0;

private:
    QProcess FProcess;
    QString FError;
};

// nginx serving the files of Root() with real Last-Modified times; its access
// log gives "METHOD URI STATUS user-agent referer" per request.
class TNginxServer : public TServerProcess
{
public:
    TNginxServer();
    QString Root() const;
    QString Url(const QString& path) const;
    // Puts a file under the root, optionally with a modification time.
    void WriteFile(const QString& path, const QByteArray& data,
                   const QDateTime& modified = QDateTime()) const;
    // Requests so far, each as "METHOD URI STATUS".
    QStringList Requests() const;
    // Extra lines inside the server block (locations for redirects and such).
    QString ExtraConfig;

protected:
    QString Program() const override;
    QStringList Arguments() const override;
    void WriteConfig() override;
};

// fcgiwrap on a loopback port, running one CGI program (and no other) for the
// FastCGI requests of an nginx.
class TFcgiwrapServer : public TServerProcess
{
public:
    explicit TFcgiwrapServer(const QString& program);

protected:
    QString Program() const override;
    QStringList Arguments() const override;
    void WriteConfig() override {}

private:
    QString FCgiProgram;
};

// tinyproxy, optionally demanding Basic credentials.
class TTinyproxyServer : public TServerProcess
{
public:
    TTinyproxyServer(const QString& user = QString(), const QString& password = QString());
    QString Log() const;

protected:
    QString Program() const override;
    QStringList Arguments() const override;
    void WriteConfig() override;

private:
    QString FUser;
    QString FPassword;
};

// A slow server in front of another one: every answer as the upstream's, after
// a delay; the upstream's address inside documents points to the proxy, so
// the program's whole way through a deployment is slow.
class TDelayingProxy : public TServerProcess
{
public:
    TDelayingProxy(const QString& upstreamBase, double delaySeconds);
    // "http://127.0.0.1:port", without a trailing slash.
    QString BaseUrl() const;

protected:
    QString Program() const override;
    QStringList Arguments() const override;
    void WriteConfig() override {}

private:
    QString FUpstream;
    double FDelay;
};

// A loopback HTTP server run by the test itself, for what a test must see or
// control: request headers, timing, broken answers. It runs on the test's thread,
// served by the events that a blocking fetch lets through.
class TScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    // Called with each complete request head.
    using THandler = std::function<void(QTcpSocket* socket, const QByteArray& request)>;
    explicit TScriptedHttpServer(THandler handler);
    ~TScriptedHttpServer() override;

    QString Url(const QString& path) const;
    QList<QByteArray> Requests;

    // The value of one header of a request head, or a null array.
    static QByteArray Header(const QByteArray& request, const QByteArray& name);
    static void Reply(QTcpSocket* socket, const QByteArray& statusLine, const QByteArray& headers,
                      const QByteArray& body);
    // Writes head, then piece every intervalMs for as long as the connection lasts.
    static void Trickle(QTcpSocket* socket, const QByteArray& head, const QByteArray& piece,
                        int intervalMs);
    // Ends the connection with a reset instead of an orderly close.
    static void Reset(QTcpSocket* socket);

private:
    QTcpServer* FServer;
    THandler FHandler;
};

// A port on the loopback interface that nobody listens on at the moment.
quint16 FreeLoopbackPort();
