#include "weather/FetchFeed.h"

#include "net/Fetch.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteDocument.h"

namespace {
const QString feedName = QStringLiteral("podatki.xml");
} // namespace

QString FeedBaseAddress(const QString& feedAddress)
{
    QString base = feedAddress;
    const qsizetype at = base.indexOf(feedName);
    if (at >= 0)
        base.remove(at, 99);
    return base;
}

void FetchFeed(TFeeds& feeds)
{
    for (QBuffer* feed : {&feeds.MainFeed, &feeds.SecondFeed}) {
        feed->close();
        feed->setData(QByteArray());
        feed->open(QIODevice::ReadWrite);
    }
    const int mirror = PickMirror();
    if (mirror == 0)
        return;
    const QString base = FeedBaseAddress(MirrorFileAddress(mirror, 1));
    Fetch(base + feedName, QString(), &feeds.MainFeed, -1);
    Fetch(base + QStringLiteral("podatkiOstalo.xml"), QString(), &feeds.SecondFeed, -1);
}

QString ChangeStamp(const QByteArray& mainFeed, int kind)
{
    static const char* const paths[] = {nullptr,
                                        "Spremembe/SlikaJutri",
                                        "Spremembe/SlikaPojutri",
                                        "Spremembe/SlikaRadar",
                                        "Spremembe/SlikaRadarAnim",
                                        "Spremembe/Napoved",
                                        "Spremembe/Vreme4Dni"};
    if (kind < 1 || kind > 6)
        return {};
    return TRemoteDocument(mainFeed).Value(QString::fromLatin1(paths[kind]));
}
