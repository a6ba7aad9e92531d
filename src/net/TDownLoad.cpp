#include "net/TDownLoad.h"

#include "net/Fetch.h"
#include "net/HttpClient.h"

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
    // The thread's own event loop carries the awaited fetch and ends with it.
    bool done = false;
    auto download = [&]() -> QCoro::Task<> {
        const int result =
            co_await FetchWithClient(client, QUrl(FAddress), FFileName, nullptr, FSlot);
        qCDebug(lcHttp) << "Background download" << FAddress << "->" << result;
        done = true;
        quit();
    };
    const QCoro::Task<> task = download();
    if (!done)
        exec();
    QMutexLocker locker(&registryLock);
    FClient = nullptr;
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
    // A worker frees itself through the event loop, which may never run again:
    // the stopped ones are deleted here, and with them any deletion still queued.
    for (TDownLoad* worker : std::as_const(workers))
        delete worker;
    QMutexLocker locker(&registryLock);
    cancelling = false;
}

int TDownLoad::WorkerCount()
{
    QMutexLocker locker(&registryLock);
    return int(registry.size());
}

int TDownLoad::RunningCount()
{
    QMutexLocker locker(&registryLock);
    int running = 0;
    for (TDownLoad* worker : std::as_const(registry))
        running += worker->isRunning() ? 1 : 0;
    return running;
}
