#include "net/Fetch.h"

#include "common/FixedFormat.h"
#include "net/HttpClient.h"
#include "net/LastModifiedStamps.h"
#include "settings/Tparameter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

Q_DECLARE_LOGGING_CATEGORY(lcHttp)

namespace {

constexpr double stampEpsilon = 0.001;

double StampOf(const QDateTime& lastModified)
{
    return lastModified.isValid() ? pas_lib::DateTimeToDays(lastModified) : 0.0;
}

void DeleteDestination(const QString& fileName)
{
    if (!fileName.isEmpty())
        QFile::remove(fileName);
}

// The system's downloader: its proxy settings, redirects followed; -1 on any failure.
QCoro::Task<int> FetchWithSystemClient(QUrl url, QString fileName, QBuffer* stream,
                                       const pas_lib::TCancellation* cancellation,
                                       TTransferKind kind)
{
    DeleteDestination(fileName);
    THttpClient client(SystemClientSetup());
    const THttpResponse response = co_await client.Get(url, cancellation, kind);
    if (!response.Ok)
        co_return -1;
    if (!fileName.isEmpty())
        co_return SaveFileAtomically(fileName, response.Body) ? int(response.Body.size()) : -1;
    if (!stream)
        co_return -1;
    stream->buffer().clear();
    stream->seek(0);
    stream->write(response.Body);
    co_return int(stream->size());
}

} // namespace

QCoro::Task<int> FetchWithClient(THttpClient& client, QUrl url, QString fileName, QBuffer* stream,
                                 int slot, const pas_lib::TCancellation* cancellation,
                                 TTransferKind kind)
{
    // The stamp can only keep a file that is there: a slot that serves several
    // files (the satellite pictures of a kind) would otherwise never bring a
    // picture that was not fetched before.
    const double stamp = LastModifiedStamps.Get(slot);
    const bool kept = fileName.isEmpty() || QFileInfo::exists(fileName);
    if (slot >= 1 && stamp > stampEpsilon && kept) {
        const THttpResponse head = co_await client.Head(url, cancellation, kind);
        if (!head.Ok) {
            DeleteDestination(fileName);
            co_return -2;
        }
        if (StampOf(head.LastModified) <= stamp)
            co_return -1;
    }

    DeleteDestination(fileName);
    const THttpResponse get = co_await client.Get(url, cancellation, kind);
    if (!get.Ok)
        co_return -3;
    int result;
    if (!fileName.isEmpty()) {
        if (!SaveFileAtomically(fileName, get.Body))
            co_return -3;
        result = int(get.Body.size());
    } else {
        if (!stream || stream->write(get.Body) != get.Body.size())
            co_return -3;
        result = int(stream->size());
    }
    if (slot >= 1)
        LastModifiedStamps.Set(slot, StampOf(get.LastModified));
    co_return result;
}

bool SaveFileAtomically(const QString& fileName, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

QCoro::Task<int> Fetch(QString address, QString fileName, QBuffer* stream, int slot,
                       const pas_lib::TCancellation* cancellation, TTransferKind kind)
{
    if (address.isEmpty())
        co_return -1;
    const QUrl url(address);
    const bool systemClient = parametri && parametri->Get(TParam::DOWNLOAD_API).toBool();
    int result;
    if (systemClient) {
        result = co_await FetchWithSystemClient(url, fileName, stream, cancellation, kind);
    } else {
        THttpClient client(BuiltInClientSetup());
        result = co_await FetchWithClient(client, url, fileName, stream, slot, cancellation, kind);
    }
    qCDebug(lcHttp) << "Fetch" << url.toDisplayString(QUrl::RemoveUserInfo) << "->" << result;
    co_return result;
}
