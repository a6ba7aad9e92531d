#include "weather/StoredFeeds.h"

#include "common/DataPaths.h"
#include "common/XmlDocument.h"
#include "weather/FetchFeed.h"
#include "weather/WeatherLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString mainName = QStringLiteral("podatki.xml");
const QString secondName = QStringLiteral("podatkiOstalo.xml");

void StoreFeed(const QString& name, const QByteArray& feed)
{
    const QString fileName = pas_lib::PodatkiDir + name;
    QSaveFile file(fileName);
    if (!QDir().mkpath(pas_lib::PodatkiDir) || !file.open(QIODevice::WriteOnly) ||
        file.write(feed) != feed.size() || !file.commit()) {
        qCInfo(lcWeather) << "Could not keep the feed in" << fileName << ":" << file.errorString();
        return;
    }
    qCDebug(lcWeather) << "Feed kept in" << fileName;
}

// The file's bytes and time; nothing for a file larger than any feed may be,
// which the parser would refuse after reading it all, or for anything but a
// plain file (a pipe would never end).
std::pair<QByteArray, QDateTime> ReadFeed(const QString& name)
{
    const QString fileName = pas_lib::PodatkiDir + name;
    QFile file(fileName);
    const qsizetype limit = pas_lib::TXmlLimits().MaxBytes;
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > limit)
        return {};
    return {file.read(limit), file.fileTime(QFileDevice::FileModificationTime)};
}

} // namespace

void StoreFeeds(const TFeeds& feeds, const TFeedsTaken& taken)
{
    if (taken.Main)
        StoreFeed(mainName, feeds.MainFeed);
    if (taken.Second)
        StoreFeed(secondName, feeds.SecondFeed);
}

bool ReadStoredFeeds(TFeeds& feeds)
{
    const auto [main, mainTime] = ReadFeed(mainName);
    const auto [second, secondTime] = ReadFeed(secondName);
    const TFeedsTaken taken = feeds.Receive(main, mainTime, second, secondTime);
    qCDebug(lcWeather) << "Stored feeds:" << (taken.Main ? "main" : "no main") << "and"
                       << (taken.Second ? "second" : "no second") << "feed";
    return taken.Main || taken.Second;
}

QString DataAgeNote(const QDateTime& received, int intervalMinutes, const QDateTime& now)
{
    if (!received.isValid() || received.secsTo(now) <= qint64(intervalMinutes) * 2 * 60)
        return {};
    const QDate day = received.date();
    QString date = QStringLiteral("%1.%2.").arg(day.day()).arg(day.month());
    if (day.year() != now.date().year())
        date += QString::number(day.year());
    return QStringLiteral("podatki od ") + date + QLatin1Char(' ') +
           received.time().toString(QStringLiteral("HH:mm"));
}
