#include "remote/RemoteSettings.h"

#include "common/DataPaths.h"
#include "common/DecodeFeedText.h"
#include "common/Desktop.h"
#include "common/Messages.h"
#include "common/XmlDocument.h"
#include "net/Fetch.h"
#include "net/LastModifiedStamps.h"
#include "remote/ClientIdentity.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteLog.h"
#include "remote/ServerAddresses.h"
#include "settings/Tparameter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRemote, "nimbulon.remote", QtInfoMsg)

QDateTime LastRemoteRead;
QString StationCatalogueUrl;
QString AdsUrl;
bool AdsActive = false;
QString HomePageUrl;
QString Proverb;

using pas_lib::TXmlDocument;
using pas_lib::TXmlElement;

namespace {

constexpr int catalogueMaxAgeDays = 62;
const QString urlSection = QStringLiteral("URL");

// Fetches and parses a settings document; false when the fetch failed or what
// came is not XML (a broken server's error page must not wipe the mirror table).
QCoro::Task<bool> FetchDocument(QString address, TXmlDocument& document,
                                const pas_lib::TCancellation* cancellation)
{
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    co_return co_await Fetch(address, QString(), &stream, -1, cancellation) >= 0 &&
        document.Parse(stream.data());
}

// Tells of a newer version. The refresh does not wait for the user: a question
// opens the home page when it is answered, and a version that no longer works
// ends the program once the user has read why.
void CheckVersion(const TXmlDocument& document)
{
    if (!parametri->Get(TParam::PREVERI_NOVO_VERZIJO).toBool())
        return;
    // Compared as text, byte by byte, as the servers have always been answered.
    const QByteArray newest =
        document.Value(QStringLiteral("Verzija/Stevilka")).trimmed().toLatin1();
    if (newest <= ProgramVersion().toLatin1())
        return;
    const QString note = document.Value(QStringLiteral("Verzija/Opomba")).trimmed();
    if (note == QLatin1String("!")) {
        [](QString text) -> QCoro::Task<> {
            co_await pas_lib::ShowMessage(std::move(text));
            pas_lib::RequestProgramEnd();
        }(QStringLiteral("Trenutna verzija programa ne deluje več!\n\r\n\rPreveri domačo stran: ") +
                         HomePageUrl + QStringLiteral("\n\r"));
    } else if (!note.isEmpty()) {
        pas_lib::ShowMessage(note);
    } else {
        [](QString homePage) -> QCoro::Task<> {
            const pas_lib::TMessageAnswer answer = co_await pas_lib::AskQuestion(
                QStringLiteral("Na voljo je novejša verzija programa Nimbulon!\n\r\n\rŽeliš "
                               "preveriti domačo stran: ") +
                homePage + QStringLiteral("?") + QStringLiteral("\n\r"));
            if (answer == pas_lib::TMessageAnswer::Yes)
                pas_lib::OpenWebAddress(homePage);
        }(HomePageUrl);
    }
}

void ReadMirrors(const TXmlDocument& document)
{
    const QList<TXmlElement> mirrors = document.Select(QStringLiteral("Ogledala/P"));
    if (mirrors.isEmpty())
        return;
    MirrorTable.Count = int(std::min<qsizetype>(mirrors.size(), TMirrorTable::Capacity));
    // A mirror without one of its children takes the value of the mirror before it.
    int weight = 5;
    QString base;
    for (int number = 1; number <= MirrorTable.Count; ++number) {
        const TXmlElement& mirror = mirrors.at(number - 1);
        for (TXmlElement child = mirror.FirstChild(); !child.IsNull();
             child = child.NextSibling()) {
            if (child.Name() == QLatin1String("URL")) {
                base = child.Text().trimmed();
            } else if (child.Name() == QLatin1String("Prioriteta")) {
                bool ok = false;
                weight = child.TextView().trimmed().toInt(&ok);
                if (!ok)
                    weight = 0;
            }
        }
        if (!base.isEmpty())
            MirrorTable.SetMirror(number, base, weight);
    }
}

} // namespace

bool StationCatalogueDue(const QString& fileName, const QDate& today)
{
    const QFileInfo file(fileName);
    if (!file.exists())
        return true;
    return QDateTime(today.addDays(-catalogueMaxAgeDays), QTime(0, 0)) > file.lastModified();
}

QCoro::Task<> ReadRemoteSettings(TReportStationsSource stations,
                                 const pas_lib::TCancellation* cancellation)
{
    // A reading asked for while one is awaited waits its turn.
    static bool reading = false;
    if (reading)
        co_return;
    if (LastRemoteRead.isValid() && QDateTime::currentDateTime() < LastRemoteRead.addDays(1))
        co_return;
    reading = true;
    struct TDone
    {
        ~TDone() { reading = false; }
    } done;

    const QString report = ClientReport(TReportMode::Settings);
    if (report.isEmpty())
        co_return;
    const QString cachedAddress = ServerAddress(TServer::ClientEntry);
    TXmlDocument document;
    if (!co_await FetchDocument(cachedAddress + report, document, cancellation)) {
        if (cancellation && cancellation->Cancelled())
            co_return;
        qCInfo(lcRemote) << "Settings request failed; asking for the static document";
        if (!co_await FetchDocument(ServerAddress(TServer::StaticSettings), document,
                                    cancellation)) {
            qCInfo(lcRemote) << "No settings document this time";
            co_return;
        }
    }
    LastRemoteRead = QDateTime::currentDateTime();
    co_await ApplyRemoteSettings(document, cachedAddress, std::move(stations), cancellation);
}

QCoro::Task<> ApplyRemoteSettings(const TXmlDocument& document, QString cachedAddress,
                                  TReportStationsSource stations,
                                  const pas_lib::TCancellation* cancellation)
{
    // Addresses are kept only as whole web addresses: the cache is a line of
    // Config.ini, and a server's text must never become more than that value.
    const QString nextAddress = document.Value(QStringLiteral("URL/Nastavitve")).trimmed();
    if (!nextAddress.isEmpty() && !pas_lib::IsWebAddress(nextAddress))
        qCInfo(lcRemote) << "Settings address is no web address; not kept";
    else if (!nextAddress.isEmpty() && nextAddress != cachedAddress)
        ConfigIniValue(TIniMode::Write, ServerAddressKey(TServer::ClientEntry), nextAddress,
                       urlSection);

    // Kept also when the catalogue is not due, for a download the user asks for.
    StationCatalogueUrl = document.Value(QStringLiteral("URL/Postaje")).trimmed();
    if (StationCatalogueDue(pas_lib::PostajeXmlPath, QDate::currentDate()))
        co_await Fetch(StationCatalogueUrl, pas_lib::PostajeXmlPath, nullptr, -1, cancellation);
    if (cancellation && cancellation->Cancelled())
        co_return;

    QString adsAddress = document.Value(QStringLiteral("URL/Reklame")).trimmed();
    if (!adsAddress.isEmpty() && !pas_lib::IsWebAddress(adsAddress)) {
        qCInfo(lcRemote) << "Advertising address is no web address; the cached one is used";
        adsAddress.clear();
    }
    const QString cachedAds = ServerAddress(TServer::Advertising);
    if (!adsAddress.isEmpty() && adsAddress != cachedAds)
        ConfigIniValue(TIniMode::Write, ServerAddressKey(TServer::Advertising), adsAddress,
                       urlSection);
    if (adsAddress.isEmpty())
        adsAddress = cachedAds;
    AdsUrl = adsAddress;
    AdsActive = false;
    if (!AdsUrl.isEmpty()) {
        AdsActive = document.Value(QStringLiteral("PrikazOglasa")).trimmed().toUpper() ==
                    QLatin1String("DA2");
        AdsUrl += ClientReport(TReportMode::Advertising, stations ? stations() : TReportStations());
    }

    HomePageUrl = document.Value(QStringLiteral("URL/HomePage")).trimmed();
    Proverb = pas_lib::DecodeFeedText(document.Value(QStringLiteral("Razno/Pregovor")).trimmed());

    CheckVersion(document);

    MirrorTable.Clear();
    LastModifiedStamps.ResetAll();
    ReadMirrors(document);
    qCInfo(lcRemote) << "Settings document read;" << MirrorTable.Count << "mirrors";
}

void ResetRemoteSettings()
{
    LastRemoteRead = QDateTime();
    StationCatalogueUrl.clear();
    AdsUrl.clear();
    AdsActive = false;
    HomePageUrl.clear();
    Proverb.clear();
    MirrorTable.Clear();
    MirrorTable.Count = 0;
}
