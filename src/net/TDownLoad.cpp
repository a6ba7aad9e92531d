#include "net/TDownLoad.h"

#include "app/FixedFormat.h"
#include "net/Fetch.h"
#include "net/HttpClient.h"
#include "net/LastModifiedStamps.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QSet>
#include <QUrl>

Q_DECLARE_LOGGING_CATEGORY(lcHttp)

namespace {
// Every worker alive, so that the program can stop them when it ends.
QMutex registryLock;
QSet<TDownLoad*> registry;
bool cancelling = false;

double StampOf(const QDateTime& lastModified)
{
    return lastModified.isValid() ? pas_lib::DateTimeToDays(lastModified) : 0.0;
}
} // namespace

TDownLoad::TDownLoad(const QString& fileName, const QString& address, int slot)
    : FSlot(slot), FFileName(fileName), FAddress(address)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    {
        QMutexLocker locker(&registryLock);
        registry.insert(this);
    }
    start();
}

TDownLoad::~TDownLoad()
{
    QMutexLocker locker(&registryLock);
    registry.remove(this);
}

void TDownLoad::run()
{
    THttpClient client(BuiltInClientSetup());
    {
        QMutexLocker locker(&registryLock);
        if (cancelling)
            return;
        FClient = &client;
    }
    Execute();
    QMutexLocker locker(&registryLock);
    FClient = nullptr;
}

void TDownLoad::Execute()
{
    const QUrl url(FAddress);
    const double stamp = LastModifiedStamps.Get(FSlot);
    if (FSlot >= 1 && stamp > 0.001) {
        const THttpResponse head = FClient->Head(url);
        if (!head.Ok) {
            QFile::remove(FFileName);
            return;
        }
        if (StampOf(head.LastModified) <= stamp)
            return;
    }
    QFile::remove(FFileName);
    const THttpResponse get = FClient->Get(url);
    if (!get.Ok) {
        qCDebug(lcHttp) << "Background download failed:" << FAddress << get.Error;
        return;
    }
    if (FSlot >= 1)
        LastModifiedStamps.Set(FSlot, StampOf(get.LastModified));
    const bool saved = SaveFileAtomically(FFileName, get.Body);
    qCDebug(lcHttp) << "Background download" << FAddress << (saved ? "saved" : "not saved");
}

void TDownLoad::CancelAll()
{
    QList<TDownLoad*> workers;
    {
        QMutexLocker locker(&registryLock);
        cancelling = true;
        for (TDownLoad* worker : std::as_const(registry)) {
            workers.append(worker);
            if (worker->FClient)
                worker->FClient->Abort();
        }
    }
    for (TDownLoad* worker : std::as_const(workers))
        worker->wait();
    // Ended workers delete themselves through the event loop, which may be gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QMutexLocker locker(&registryLock);
    cancelling = false;
}

int TDownLoad::RunningCount()
{
    QMutexLocker locker(&registryLock);
    int running = 0;
    for (TDownLoad* worker : std::as_const(registry))
        running += worker->isRunning() ? 1 : 0;
    return running;
}
