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
int FetchWithSystemClient(const QUrl& url, const QString& fileName, QBuffer* stream)
{
    DeleteDestination(fileName);
    THttpClient client(SystemClientSetup());
    const THttpResponse response = client.Get(url);
    if (!response.Ok)
        return -1;
    if (!fileName.isEmpty())
        return SaveFileAtomically(fileName, response.Body) ? int(response.Body.size()) : -1;
    if (!stream)
        return -1;
    stream->buffer().clear();
    stream->seek(0);
    stream->write(response.Body);
    return int(stream->size());
}

} // namespace

int FetchWithClient(THttpClient& client, const QUrl& url, const QString& fileName, QBuffer* stream,
                    int slot)
{
    const double stamp = LastModifiedStamps.Get(slot);
    if (slot >= 1 && stamp > stampEpsilon) {
        const THttpResponse head = client.Head(url);
        if (!head.Ok) {
            DeleteDestination(fileName);
            return -2;
        }
        if (StampOf(head.LastModified) <= stamp)
            return -1;
    }

    DeleteDestination(fileName);
    const THttpResponse get = client.Get(url);
    if (!get.Ok)
        return -3;
    int result;
    if (!fileName.isEmpty()) {
        if (!SaveFileAtomically(fileName, get.Body))
            return -3;
        result = int(get.Body.size());
    } else {
        if (!stream || stream->write(get.Body) != get.Body.size())
            return -3;
        result = int(stream->size());
    }
    if (slot >= 1)
        LastModifiedStamps.Set(slot, StampOf(get.LastModified));
    return result;
}

bool SaveFileAtomically(const QString& fileName, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

int Fetch(const QString& address, const QString& fileName, QBuffer* stream, int slot)
{
    if (address.isEmpty())
        return -1;
    const QUrl url(address);
    const bool systemClient = parametri && parametri->Get(TParam::DOWNLOAD_API).toBool();
    int result;
    if (systemClient) {
        result = FetchWithSystemClient(url, fileName, stream);
    } else {
        THttpClient client(BuiltInClientSetup());
        result = FetchWithClient(client, url, fileName, stream, slot);
    }
    qCDebug(lcHttp) << "Fetch" << url.toDisplayString(QUrl::RemoveUserInfo) << "->" << result;
    return result;
}
