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
#include "remote/ServerAddresses.h"
#include "settings/Tparameter.h"

#include <QBuffer>
#include <QCoreApplication>
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

void LetEventsRun()
{
    QCoreApplication::processEvents();
}

// Fetches and parses a settings document; false when the fetch failed or what
// came is not XML (a broken server's error page must not wipe the mirror table).
bool FetchDocument(const QString& address, TXmlDocument& document)
{
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    return Fetch(address, QString(), &stream, -1) >= 0 && document.Parse(stream.data());
}

void CheckVersion(const TXmlDocument& document, bool* endProgram)
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
        pas_lib::ShowMessage(
            QStringLiteral(
                "Trenutna verzija programa ne deluje več!\n\r\n\rPreveri domačo stran: ") +
            HomePageUrl + QStringLiteral("\n\r"));
        *endProgram = true;
    } else if (!note.isEmpty()) {
        pas_lib::ShowMessage(note);
    } else if (pas_lib::AskQuestion(
                   QStringLiteral("Na voljo je novejša verzija programa Nimbulon!\n\r\n\rŽeliš "
                                  "preveriti domačo stran: ") +
                   HomePageUrl + QStringLiteral("?") + QStringLiteral("\n\r")) ==
               pas_lib::TMessageAnswer::Yes) {
        pas_lib::OpenWebAddress(HomePageUrl);
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
        LetEventsRun();
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

void ReadRemoteSettings(const TReportStationsSource& stations)
{
    // Events run while it works; a reading started from one of them waits its turn.
    static bool reading = false;
    if (reading)
        return;
    if (LastRemoteRead.isValid() && QDateTime::currentDateTime() < LastRemoteRead.addDays(1))
        return;
    reading = true;
    struct TDone
    {
        ~TDone() { reading = false; }
    } done;

    const QString report = ClientReport(TReportMode::Settings);
    if (report.isEmpty())
        return;
    const QString cachedAddress = ServerAddress(TServer::ClientEntry);
    TXmlDocument document;
    if (!FetchDocument(cachedAddress + report, document)) {
        qCInfo(lcRemote) << "Settings request failed; asking for the static document";
        if (!FetchDocument(ServerAddress(TServer::StaticSettings), document)) {
            qCInfo(lcRemote) << "No settings document this time";
            return;
        }
    }
    LastRemoteRead = QDateTime::currentDateTime();
    LetEventsRun();
    ApplyRemoteSettings(document, cachedAddress, stations);
}

void ApplyRemoteSettings(const TXmlDocument& document, const QString& cachedAddress,
                         const TReportStationsSource& stations)
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
        Fetch(StationCatalogueUrl, pas_lib::PostajeXmlPath, nullptr, -1);

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

    bool endProgram = false;
    CheckVersion(document, &endProgram);

    LetEventsRun();
    MirrorTable.Clear();
    LastModifiedStamps.ResetAll();
    ReadMirrors(document);
    qCInfo(lcRemote) << "Settings document read;" << MirrorTable.Count << "mirrors";
    if (endProgram)
        pas_lib::RequestProgramEnd();
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
