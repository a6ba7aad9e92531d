#include "weather/FetchFeed.h"

#include "net/Fetch.h"
#include "remote/MirrorTable.h"
#include "weather/WeatherLog.h"

namespace {
const QString feedName = QStringLiteral("podatki.xml");
} // namespace

void TFeeds::Parse()
{
    ++Generation;
    if (!MainDocument.Parse(MainFeed.data()))
        qCDebug(lcWeather) << "Main feed unreadable; its sections keep what they show";
    if (!SecondDocument.Parse(SecondFeed.data()))
        qCDebug(lcWeather) << "Second feed unreadable; its sections keep what they show";
}

void TFeeds::Release()
{
    for (QBuffer* feed : {&MainFeed, &SecondFeed}) {
        feed->close();
        feed->setData(QByteArray());
    }
    MainDocument.Clear();
    SecondDocument.Clear();
    ++Generation;
}

QString FeedBaseAddress(const QString& feedAddress)
{
    QString base = feedAddress;
    const qsizetype at = base.indexOf(feedName);
    if (at >= 0)
        base.remove(at, 99);
    return base;
}

QCoro::Task<> FetchFeed(TFeeds& feeds, const pas_lib::TCancellation* cancellation)
{
    for (QBuffer* feed : {&feeds.MainFeed, &feeds.SecondFeed}) {
        feed->close();
        feed->setData(QByteArray());
        feed->open(QIODevice::ReadWrite);
    }
    const int mirror = PickMirror();
    if (mirror != 0) {
        const QString base = FeedBaseAddress(MirrorFileAddress(mirror, 1));
        co_await Fetch(base + feedName, QString(), &feeds.MainFeed, -1, cancellation);
        co_await Fetch(base + QStringLiteral("podatkiOstalo.xml"), QString(), &feeds.SecondFeed, -1,
                       cancellation);
    }
    feeds.Parse();
}

QString ChangeStamp(const pas_lib::TXmlDocument& mainFeed, int kind)
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
    return mainFeed.Value(QString::fromLatin1(paths[kind]));
}
