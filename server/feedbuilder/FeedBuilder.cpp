#include "FeedBuilder.h"

#include "ChartReadings.h"
#include "arso/ArsoTime.h"
#include "arso/Converter.h"
#include "arso/FeedWriter.h"
#include "arso/Observations.h"
#include "arso/Sources.h"
#include "arso/StationHistory.h"

#include <QCoroNetworkReply>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <cstdio>

namespace {

// No ARSO file comes near this; a larger answer is no ARSO file.
constexpr qint64 MaxSourceBytes = 64 * 1024 * 1024;
constexpr int TransferTimeoutMs = 60000;

const QString codesFile = QStringLiteral("sifre-postaj.txt");
const QString stampsFile = QStringLiteral("spremembe.txt");
const QString sourcesFolder = QStringLiteral("arso/");

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) ||
        file.size() > MaxSourceBytes)
        return {};
    return file.readAll();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// "name<TAB>Last-Modified" lines: the change times that make fetches conditional.
QHash<QString, QByteArray> ReadStamps(const QByteArray& file)
{
    QHash<QString, QByteArray> stamps;
    for (const QByteArray& line : file.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            stamps.insert(QString::fromUtf8(line.left(tab)), line.mid(tab + 1).trimmed());
    }
    return stamps;
}

QByteArray WriteStamps(const QHash<QString, QByteArray>& stamps)
{
    QByteArray file;
    for (auto stamp = stamps.cbegin(); stamp != stamps.cend(); ++stamp)
        file += stamp.key().toUtf8() + '\t' + stamp.value() + '\n';
    return file;
}

struct TFetched
{
    enum { Failed, Unchanged, Received } outcome = Failed;
    QByteArray bytes;
    QByteArray lastModified;
};

QCoro::Task<TFetched> Fetch(QNetworkAccessManager& network, const QUrl& address,
                            const QByteArray& lastModified)
{
    QNetworkRequest request(address);
    request.setTransferTimeout(TransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!lastModified.isEmpty())
        request.setRawHeader("If-Modified-Since", lastModified);
    QNetworkReply* reply = network.get(request);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64) {
                         if (received > MaxSourceBytes)
                             reply->abort();
                     });
    co_await reply;
    reply->deleteLater();
    TFetched fetched;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 304) {
        fetched.outcome = TFetched::Unchanged;
    } else if (reply->error() == QNetworkReply::NoError && status == 200) {
        fetched.outcome = TFetched::Received;
        fetched.bytes = reply->readAll();
        fetched.lastModified = reply->rawHeader("Last-Modified");
    }
    co_return fetched;
}

QByteArray SettingsDocument(const QString& address)
{
    arso::TFeedWriter settings(QStringLiteral("Nastavitve"));
    settings.AddValue(QStringLiteral("URL/Nastavitve"),
                      address + QStringLiteral("cliententer.asp"));
    settings.AddValue(QStringLiteral("URL/Postaje"), address + QStringLiteral("Postaje.xml"));
    settings.AddValue(QStringLiteral("URL/HomePage"), address);
    settings.AddValue(QStringLiteral("PrikazOglasa"), QStringLiteral("NE"));
    settings.AddRecords(QStringLiteral("Ogledala"), QStringLiteral("P"),
                        {{{QStringLiteral("URL"), address + QStringLiteral("ogledalo1/")},
                          {QStringLiteral("Prioriteta"), QStringLiteral("1")}}});
    return settings.Document();
}

// Writes the folder anew beside the last ones and points the link at it in one
// step; the previous folder stays for the requests still reading it.
bool WriteDeployment(const QString& output, const QHash<QString, QByteArray>& files, QString* error)
{
    const QFileInfo link(output);
    if (link.exists() && !link.isSymLink()) {
        *error = output + QStringLiteral(" is not a link the builder made");
        return false;
    }
    const QString folders = output + QStringLiteral(".d/");
    const QString name =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        if (!WriteFile(folders + name + QLatin1Char('/') + file.key(), file.value())) {
            *error = QStringLiteral("cannot write ") + folders + name;
            return false;
        }
    const QString next = output + QStringLiteral(".next");
    QFile::remove(next);
    if (!QFile::link(link.fileName() + QStringLiteral(".d/") + name, next) ||
        std::rename(QFile::encodeName(next).constData(), QFile::encodeName(output).constData()) !=
            0) {
        *error = QStringLiteral("cannot point ") + output + QStringLiteral(" at the new folder");
        return false;
    }
    // Older folders than the previous one go.
    QStringList kept = QDir(folders).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (qsizetype i = 0; i + 2 < kept.size(); ++i)
        QDir(folders + kept.at(i)).removeRecursively();
    return true;
}

QList<TChartReading> CurrentReadings(const QByteArray& automatic, arso::TStationCodes& codes)
{
    QList<TChartReading> readings;
    const auto observations = arso::ReadObservations(automatic);
    if (!observations)
        return readings;
    for (const arso::TStation& station : observations->stations) {
        if (!station.time.isValid() || station.time.time().minute() != 0)
            continue;
        bool ok = false;
        const double temperature = station.record.value(2).second.toDouble(&ok);
        if (ok)
            readings.append(
                {2, codes.Code(station.identifier), station.name, station.time, temperature});
    }
    return readings;
}

// ARSO's radar pictures, under the names the program asks its mirrors for.
struct TPicture
{
    QString name;
    QString path;
};
const QList<TPicture> pictures{
    {QStringLiteral("radar.gif"), QStringLiteral("uploads/probase/www/observ/radar/si0-rm.gif")},
    {QStringLiteral("radar_anim.gif"),
     QStringLiteral("uploads/probase/www/observ/radar/si0-rm-anim.gif")},
};
const QString picturesFolder = QStringLiteral("slike/");

} // namespace

QCoro::Task<TBuildResult> BuildDeployment(TBuilderOptions options)
{
    TBuildResult result;
    const QString state = QDir(options.state).absolutePath() + QLatin1Char('/');
    arso::TStationCodes codes;
    codes.Load(ReadFile(state + codesFile));
    QHash<QString, QByteArray> stamps = ReadStamps(ReadFile(state + stampsFile));

    QNetworkAccessManager network;
    QHash<QString, QByteArray> fresh;
    QHash<QString, QByteArray> freshStamps;
    QHash<QString, QByteArray> files;
    QStringList unavailable;
    QStringList unchanged;
    for (const arso::TSource& source : arso::Sources()) {
        const QByteArray previous = ReadFile(state + sourcesFolder + source.name);
        if (!previous.isEmpty())
            files.insert(source.name, previous);
        if (!options.from.isEmpty()) {
            const QByteArray bytes = ReadFile(QDir(options.from).filePath(source.name));
            if (bytes.isEmpty())
                unavailable.append(source.name);
            else
                fresh.insert(source.name, bytes);
            continue;
        }
        const QString base = source.water ? options.waterBase : options.base;
        const TFetched fetched =
            co_await Fetch(network, QUrl(base + source.path),
                           previous.isEmpty() ? QByteArray() : stamps.value(source.name));
        if (fetched.outcome == TFetched::Received) {
            fresh.insert(source.name, fetched.bytes);
            freshStamps.insert(source.name, fetched.lastModified);
        } else if (fetched.outcome == TFetched::Unchanged) {
            unchanged.append(source.name);
        } else {
            unavailable.append(source.name);
        }
    }

    // The pictures: the last good copy stays, and its file time says when it
    // changed. A picture is only taken when it is one.
    for (const TPicture& picture : pictures) {
        const QString kept = state + picturesFolder + picture.name;
        QByteArray bytes;
        QByteArray lastModified;
        if (!options.from.isEmpty()) {
            bytes = ReadFile(QDir(options.from).filePath(QFileInfo(picture.path).fileName()));
        } else {
            const TFetched fetched =
                co_await Fetch(network, QUrl(options.base + picture.path),
                               QFileInfo::exists(kept) ? stamps.value(picture.name) : QByteArray());
            if (fetched.outcome == TFetched::Received) {
                bytes = fetched.bytes;
                lastModified = fetched.lastModified;
            } else if (fetched.outcome == TFetched::Failed) {
                unavailable.append(picture.name);
            }
        }
        if (!bytes.isEmpty() && bytes.startsWith("GIF8") && bytes != ReadFile(kept) &&
            WriteFile(kept, bytes))
            stamps.insert(picture.name, lastModified);
    }

    // A file that came but does not convert leaves its part as it was.
    QHash<QString, QByteArray> candidate = files;
    for (auto file = fresh.cbegin(); file != fresh.cend(); ++file)
        candidate.insert(file.key(), file.value());
    auto filesOf = [&](const QHash<QString, QByteArray>& named) {
        arso::TArsoFiles converted = arso::TArsoFiles::FromNames(named);
        for (const TPicture& picture : pictures) {
            const QFileInfo kept(state + picturesFolder + picture.name);
            (picture.name == u"radar.gif" ? converted.radarChanged
                                          : converted.radarAnimationChanged) =
                kept.exists() ? kept.lastModified() : QDateTime();
        }
        return converted;
    };
    arso::TConversion conversion = arso::Convert(filesOf(candidate), codes);
    const QStringList broken = conversion.failed;
    for (const QString& name : broken) {
        fresh.remove(name);
        candidate.remove(name);
        if (files.contains(name))
            candidate.insert(name, files.value(name));
    }
    if (!broken.isEmpty())
        conversion = arso::Convert(filesOf(candidate), codes);

    for (auto file = fresh.cbegin(); file != fresh.cend(); ++file) {
        WriteFile(state + sourcesFolder + file.key(), file.value());
        stamps.insert(file.key(), freshStamps.value(file.key()));
    }
    WriteFile(state + stampsFile, WriteStamps(stamps));

    QString error;
    if (conversion.converted.isEmpty()) {
        result.logLine = QStringLiteral("nothing built: no ARSO file could be read");
        co_return result;
    }
    const QString address = options.publicAddress.endsWith(QLatin1Char('/'))
                                ? options.publicAddress
                                : options.publicAddress + QLatin1Char('/');
    const QByteArray settings = SettingsDocument(address);
    QHash<QString, QByteArray> deployment{
        {QStringLiteral("Postaje.xml"), conversion.catalogue},
        {QStringLiteral("nastavitve.xml"), settings},
        {QStringLiteral("cliententer.asp"), settings},
        {QStringLiteral("ogledalo1/podatki.xml"), conversion.mainFeed},
        {QStringLiteral("ogledalo1/podatkiOstalo.xml"), conversion.secondFeed},
    };
    for (const TPicture& picture : pictures)
        if (const QByteArray bytes = ReadFile(state + picturesFolder + picture.name);
            !bytes.isEmpty())
            deployment.insert(QStringLiteral("ogledalo1/") + picture.name, bytes);
    if (!WriteDeployment(options.output, deployment, &error)) {
        result.logLine = QStringLiteral("nothing built: ") + error;
        co_return result;
    }

    int readings = 0;
    if (!options.chartDatabase.isEmpty()) {
        QList<TChartReading> chart =
            CurrentReadings(candidate.value(QStringLiteral("observationAms_si_latest.xml")), codes);
        for (const QString& path : std::as_const(options.histories)) {
            const auto history = arso::ReadStationHistory(ReadFile(path));
            if (!history) {
                unavailable.append(QFileInfo(path).fileName());
                continue;
            }
            const int code = codes.Code(history->stationId);
            for (const arso::THourlyReading& reading : history->readings)
                chart.append({2, code, history->stationName, reading.time, reading.temperature});
        }
        readings = AppendChartReadings(options.chartDatabase, chart, &error);
        if (readings < 0)
            unavailable.append(QStringLiteral("chart database (") + error + QLatin1Char(')'));
    }
    if (codes.Changed())
        WriteFile(state + codesFile, codes.Save());

    const QStringList failed = unavailable + broken;
    auto listed = [](const QStringList& names, const QString& after = QString()) {
        return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")) + after;
    };
    result.exitCode = failed.isEmpty() ? 0 : 1;
    result.logLine =
        QStringLiteral("built %1: converted %2; unchanged %3; failed %4; %5 chart readings")
            .arg(QFileInfo(options.output).symLinkTarget(), listed(fresh.keys()), listed(unchanged),
                 listed(failed, QStringLiteral(" (previous output kept)")))
            .arg(std::max(readings, 0));
    co_return result;
}
