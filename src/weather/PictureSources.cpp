#include "weather/PictureSources.h"

#include "common/DataPaths.h"
#include "common/FixedFormat.h"
#include "remote/MirrorTable.h"
#include "remote/ServerAddresses.h"
#include "weather/DirectSource.h"
#include "weather/FetchFeed.h"

#include <QFileInfo>

namespace {
const char* const satellitePrefixes[Pictures::SatelliteKindCount] = {"sat", "dez", "cik", "cikz"};
} // namespace

QString PicturePath(const TPictureSource& source)
{
    return pas_lib::SlikeDir + QLatin1String(source.fileName);
}

double FileTimeDays(const QString& path)
{
    const QFileInfo file(path);
    return file.exists() ? pas_lib::DateTimeToDays(file.lastModified()) : 0.0;
}

double ChangeTimeDays(const pas_lib::TXmlDocument& mainFeed, int changeKind)
{
    const std::optional<QDateTime> time =
        pas_lib::ParseFeedDateTime(ChangeStamp(mainFeed, changeKind));
    return time ? pas_lib::DateTimeToDays(*time) : 0.0;
}

bool PictureFresh(const TPictureSource& source, const pas_lib::TXmlDocument& mainFeed)
{
    // ARSO says nothing of its pictures' changes in advance: the fetch asks
    // for the Last-Modified time and keeps a copy that is current.
    if (DirectSourceChosen())
        return false;
    return FileTimeDays(PicturePath(source)) >= ChangeTimeDays(mainFeed, source.changeKind);
}

QString PictureAddress(const TPictureSource& source)
{
    if (!DirectSourceChosen())
        return MirrorFileAddress(PickMirror(), source.slot);
    // Of the pictures, ARSO publishes the radar's at a stable address.
    const QString radar =
        ServerAddress(TServer::Arso) + QStringLiteral("uploads/probase/www/observ/radar/");
    if (source.slot == Pictures::RadarStill.slot)
        return radar + QStringLiteral("si0-rm.gif");
    if (source.slot == Pictures::RadarAnimated.slot)
        return radar + QStringLiteral("si0-rm-anim.gif");
    return {};
}

QString SatelliteFileName(int kind, int number)
{
    if (kind < 0 || kind >= Pictures::SatelliteKindCount)
        kind = 0;
    return QLatin1String(satellitePrefixes[kind]) + QString::number(number) +
           QStringLiteral(".jpg");
}

QString SatellitePath(int kind, int number)
{
    return pas_lib::SlikeDir + SatelliteFileName(kind, number);
}

QString SatelliteAddress(int kind, int number)
{
    if (DirectSourceChosen())
        return {};
    const QString base = MirrorFileAddress(PickMirror(), Pictures::SatelliteFirstSlot + kind);
    return base.isEmpty() ? QString() : base + SatelliteFileName(kind, number);
}

bool SatellitePictureFresh(const QString& path, const QDateTime& now)
{
    const QFileInfo file(path);
    return file.exists() && file.lastModified() > now.addSecs(-3600);
}
