#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class TGlobalVar;

// The message a later start sends to the running instance.
constexpr quint32 WM_INSTANCE_NOTIFY = 32768 + 1;

// The running instance's mailbox: a per-user local socket whose name follows
// from the value that the instance publishes in its shared variable.
class TInstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit TInstanceChannel(QObject* parent = nullptr);
    ~TInstanceChannel() override;

    // Starts listening under the name that belongs to this value.
    bool Listen(const QString& varName, quint32 value);

    // The socket name for a variable name and the value published in it.
    static QString ServerName(const QString& varName, quint32 value);
    // Delivers one message to the instance that published the value; false
    // when nobody listens there.
    static bool PostMessage(const QString& varName, quint32 value, quint32 message, quint32 wParam,
                            quint32 lParam, int timeoutMs = 3000);

signals:
    void MessageReceived(quint32 message, quint32 wParam, quint32 lParam);

private:
    void ReadFrom(class QLocalSocket* socket);

    QLocalServer* FServer = nullptr;
};

// The name of the program's one shared variable: per data folder when
// NIMBULON_HOME is set, so that test runs and portable copies never meet.
QString InstanceVarName();

// What a later start does: read the running instance's value and send it the
// notification. Returns the process exit code (always 0: a start while the
// first instance is still starting, or one whose message cannot be delivered,
// ends quietly).
int NotifyFirstInstance(TGlobalVar& instanceVar);
