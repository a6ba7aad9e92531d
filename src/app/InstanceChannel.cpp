#include "app/InstanceChannel.h"

#include "app/lnGlobalVar.h"
#include "common/DataPaths.h"
#include "platform/RuntimeFolder.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QtEndian>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "nimbulon.app.instance", QtInfoMsg)

namespace {
constexpr qsizetype messageSize = 12; // message, wParam, lParam: 32-bit little-endian each

// The server name, or empty (logged) when the private folder cannot be had.
QString ServerNameOrEmpty(const QString& varName, quint32 value)
{
    try {
        return TInstanceChannel::ServerName(varName, value);
    } catch (const pas_lib::Exception& error) {
        qCWarning(lcInstance).noquote() << error.Message();
        return {};
    }
}
} // namespace

QString InstanceVarName()
{
    return QStringLiteral("Nimbulon.Handle") + pas_lib::DataFolderScope();
}

TInstanceChannel::TInstanceChannel(QObject* parent) : QObject(parent) {}

TInstanceChannel::~TInstanceChannel() = default;

QString TInstanceChannel::ServerName(const QString& varName, quint32 value)
{
    // In the same private folder as the shared variable: nobody else can put a
    // socket of that name there first.
    return QStringLiteral("%1/%2.%3.%4")
        .arg(PrivateRuntimeFolder(), varName)
        .arg(getuid())
        .arg(value);
}

bool TInstanceChannel::Listen(const QString& varName, quint32 value)
{
    const QString name = ServerNameOrEmpty(varName, value);
    if (name.isEmpty())
        return false;
    delete FServer;
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name); // a socket left by a process that died
    if (!FServer->listen(name)) {
        qCWarning(lcInstance) << "Cannot listen on" << name << FServer->errorString();
        return false;
    }
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = FServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            ReadFrom(socket);
        }
    });
    return true;
}

void TInstanceChannel::ReadFrom(QLocalSocket* socket)
{
    while (socket->bytesAvailable() >= messageSize) {
        const QByteArray bytes = socket->read(messageSize);
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
        emit MessageReceived(qFromLittleEndian<quint32>(p), qFromLittleEndian<quint32>(p + 4),
                             qFromLittleEndian<quint32>(p + 8));
    }
    // A peer that sends anything else is not one of ours.
    if (socket->bytesAvailable() > 4 * messageSize)
        socket->abort();
}

bool TInstanceChannel::PostMessage(const QString& varName, quint32 value, quint32 message,
                                   quint32 wParam, quint32 lParam, int timeoutMs)
{
    const QString name = ServerNameOrEmpty(varName, value);
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray bytes(messageSize, Qt::Uninitialized);
    auto* p = reinterpret_cast<uchar*>(bytes.data());
    qToLittleEndian(message, p);
    qToLittleEndian(wParam, p + 4);
    qToLittleEndian(lParam, p + 8);
    socket.write(bytes);
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}

int NotifyFirstInstance(TGlobalVar& instanceVar)
{
    const QVariant value = instanceVar.GetValue();
    bool ok = false;
    const quint32 handle = value.toUInt(&ok);
    if (!ok || handle == 0) {
        qCInfo(lcInstance) << "Another instance is still starting; ending quietly";
        return 0;
    }
    if (!TInstanceChannel::PostMessage(instanceVar.Name(), handle, WM_INSTANCE_NOTIFY, 1, 0))
        qCInfo(lcInstance) << "The running instance did not take the message";
    return 0;
}
