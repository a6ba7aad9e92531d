#include "weather/DirectSource.h"

#include "arso/Converter.h"
#include "arso/Sources.h"
#include "common/DataPaths.h"
#include "net/Fetch.h"
#include "net/LastModifiedStamps.h"
#include "remote/ServerAddresses.h"
#include "settings/Tparameter.h"
#include "weather/WeatherLog.h"

#include <QBuffer>
#include <QFile>

namespace {

// ARSO's files take the stamp slots after the program's pictures.
constexpr int FirstArsoSlot = 14;

QString CodesPath()
{
    return pas_lib::PodatkiDir + QStringLiteral("sifre-postaj.txt");
}

QByteArray ReadSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    return file.readAll();
}

} // namespace

bool DirectSourceChosen()
{
    return ConfigIniValue(TIniMode::Read, ServerAddressKey(TServer::ClientEntry), QString(),
                          QStringLiteral("URL"))
        .trimmed()
        .isEmpty();
}

QCoro::Task<TFeedsTaken> TDirectSource::Fetch(TFeeds& feeds,
                                              const pas_lib::TCancellation* cancellation)
{
    if (!FCodesRead) {
        FCodes.Load(ReadSmallFile(CodesPath()));
        FCodesRead = true;
    }
    const QString base = ServerAddress(TServer::Arso);
    const QString waterBase = ServerAddress(TServer::ArsoWater);
    QHash<QString, int> stampSlots;
    bool changed = false;
    // ARSO answered, and every file held was still current there.
    bool reached = false;
    bool heldFailed = false;
    int slot = FirstArsoSlot;
    for (const arso::TSource& source : arso::Sources()) {
        Q_ASSERT(slot <= TLastModifiedStamps::LastSlot);
        stampSlots.insert(source.name, slot);
        QBuffer file;
        file.open(QIODevice::ReadWrite);
        // A file unchanged since the last fetch (-1) or one that failed keeps
        // the last good copy.
        const int fetched = co_await ::Fetch((source.water ? waterBase : base) + source.path,
                                             QString(), &file, slot++, cancellation);
        if (fetched > 0) {
            FFiles.insert(source.name, file.data());
            changed = true;
        }
        reached = reached || fetched >= -1;
        heldFailed = heldFailed || (fetched < -1 && FFiles.contains(source.name));
        qCDebug(lcWeather) << "ARSO file" << source.name << (fetched > 0 ? "received" : "kept")
                           << fetched;
        if (cancellation && cancellation->Cancelled())
            co_return TFeedsTaken();
    }
    // Nothing new at ARSO: what was made of its files is current.
    const QDateTime now = QDateTime::currentDateTime();
    if (!changed && FConverted) {
        if (reached && !heldFailed)
            feeds.Confirm(now);
        co_return TFeedsTaken();
    }
    const arso::TConversion conversion = arso::Convert(arso::TArsoFiles::FromNames(FFiles), FCodes);
    // A file that does not convert is not kept, and its next fetch is whole.
    for (const QString& name : conversion.failed) {
        FFiles.remove(name);
        LastModifiedStamps.Set(stampSlots.value(name), 0);
    }
    if (FCodes.Changed()) {
        SaveFileAtomically(CodesPath(), FCodes.Save());
        SaveFileAtomically(pas_lib::PostajeXmlPath, conversion.catalogue);
    }
    qCDebug(lcWeather) << "ARSO files converted:" << conversion.converted
                       << "failed:" << conversion.failed;
    FConverted = !conversion.converted.isEmpty();
    co_return feeds.Receive(
        conversion.converted.isEmpty() ? QByteArray() : conversion.mainFeed, now,
        conversion.converted.isEmpty() ? QByteArray() : conversion.secondFeed, now);
}
