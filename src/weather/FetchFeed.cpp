#include "weather/FetchFeed.h"

#include "net/Fetch.h"
#include "remote/MirrorTable.h"
#include "weather/WeatherLog.h"

#include <QBuffer>

namespace {
const QString feedName = QStringLiteral("podatki.xml");
} // namespace

TFeedsTaken TFeeds::Receive(const QByteArray& main, const QDateTime& mainReceived,
                            const QByteArray& second, const QDateTime& secondReceived)
{
    ++Generation;
    auto take = [](const char* name, const QByteArray& bytes, const QDateTime& received,
                   QByteArray& feed, pas_lib::TXmlDocument& document, QDateTime& time) {
        pas_lib::TXmlDocument parsed;
        if (!parsed.Parse(bytes)) {
            qCDebug(lcWeather) << name << "feed unreadable; the last good one stays";
            return false;
        }
        feed = bytes;
        document = std::move(parsed);
        time = received;
        return true;
    };
    TFeedsTaken taken;
    taken.Main = take("Main", main, mainReceived, MainFeed, MainDocument, MainReceived);
    taken.Second =
        take("Second", second, secondReceived, SecondFeed, SecondDocument, SecondReceived);
    return taken;
}

void TFeeds::Confirm(const QDateTime& now)
{
    if (MainDocument.IsValid())
        MainReceived = now;
    if (SecondDocument.IsValid())
        SecondReceived = now;
}

void TFeeds::Release()
{
    MainFeed.clear();
    SecondFeed.clear();
    MainDocument.Clear();
    SecondDocument.Clear();
    MainReceived = SecondReceived = QDateTime();
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

QCoro::Task<TFeedsTaken> FetchFeed(TFeeds& feeds, const pas_lib::TCancellation* cancellation)
{
    QBuffer main;
    QBuffer second;
    main.open(QIODevice::ReadWrite);
    second.open(QIODevice::ReadWrite);
    const int mirror = PickMirror();
    if (mirror != 0) {
        const QString base = FeedBaseAddress(MirrorFileAddress(mirror, 1));
        co_await Fetch(base + feedName, QString(), &main, -1, cancellation);
        co_await Fetch(base + QStringLiteral("podatkiOstalo.xml"), QString(), &second, -1,
                       cancellation);
    }
    qCDebug(lcWeather) << "Feeds received:" << main.size() << "and" << second.size() << "bytes";
    const QDateTime now = QDateTime::currentDateTime();
    co_return feeds.Receive(main.data(), now, second.data(), now);
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
