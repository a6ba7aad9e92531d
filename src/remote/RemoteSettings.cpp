#include "remote/RemoteSettings.h"

#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/Messages.h"
#include "net/Fetch.h"
#include "net/LastModifiedStamps.h"
#include "remote/ClientIdentity.h"
#include "remote/DecodeFeedText.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteDocument.h"
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

namespace {

constexpr int catalogueMaxAgeDays = 62;
const QString urlSection = QStringLiteral("URL");

void LetEventsRun()
{
    QCoreApplication::processEvents();
}

// Fetches a settings document; nothing when the fetch failed or what came is
// not XML (a broken server's error page must not wipe the mirror table).
std::optional<QByteArray> FetchDocument(const QString& address)
{
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    if (Fetch(address, QString(), &stream, -1) < 0 || !TRemoteDocument(stream.data()).IsValid())
        return std::nullopt;
    return stream.data();
}

void CheckVersion(const TRemoteDocument& document, bool* endProgram)
{
    if (!parametri->Get(QStringLiteral("PREVERI_NOVO_VERZIJO")).toBool())
        return;
    // Compared as text, byte by byte, as the servers have always been answered.
    const QByteArray newest = document.Value(QStringLiteral("Verzija/Stevilka")).toLatin1();
    if (newest <= ProgramVersion().toLatin1())
        return;
    const QString note = document.Value(QStringLiteral("Verzija/Opomba"));
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

void ReadMirrors(const TRemoteDocument& document)
{
    const QList<QDomElement> mirrors = document.Select(QStringLiteral("Ogledala/P"));
    if (mirrors.isEmpty())
        return;
    MirrorTable.Count = int(std::min<qsizetype>(mirrors.size(), TMirrorTable::Capacity));
    // A mirror without one of its children takes the value of the mirror before it.
    int weight = 5;
    QString base;
    for (int number = 1; number <= MirrorTable.Count; ++number) {
        LetEventsRun();
        const QDomElement& mirror = mirrors.at(number - 1);
        for (QDomElement child = mirror.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement()) {
            if (child.tagName() == QLatin1String("URL")) {
                base = child.text();
            } else if (child.tagName() == QLatin1String("Prioriteta")) {
                bool ok = false;
                weight = child.text().trimmed().toInt(&ok);
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

void ReadRemoteSettings()
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
    std::optional<QByteArray> body = FetchDocument(cachedAddress + report);
    if (!body) {
        qCInfo(lcRemote) << "Settings request failed; asking for the static document";
        body = FetchDocument(ServerAddress(TServer::StaticSettings));
    }
    if (!body) {
        qCInfo(lcRemote) << "No settings document this time";
        return;
    }
    LastRemoteRead = QDateTime::currentDateTime();
    LetEventsRun();
    const TRemoteDocument document(*body);

    const QString nextAddress = document.Value(QStringLiteral("URL/Nastavitve"));
    if (!nextAddress.isEmpty() && nextAddress != cachedAddress)
        ConfigIniValue(TIniMode::Write, ServerAddressKey(TServer::ClientEntry), nextAddress,
                       urlSection);

    // Kept also when the catalogue is not due, for a download the user asks for.
    StationCatalogueUrl = document.Value(QStringLiteral("URL/Postaje"));
    if (StationCatalogueDue(pas_lib::PostajeXmlPath, QDate::currentDate()))
        Fetch(StationCatalogueUrl, pas_lib::PostajeXmlPath, nullptr, -1);

    QString adsAddress = document.Value(QStringLiteral("URL/Reklame"));
    const QString cachedAds = ServerAddress(TServer::Advertising);
    if (!adsAddress.isEmpty() && adsAddress != cachedAds)
        ConfigIniValue(TIniMode::Write, ServerAddressKey(TServer::Advertising), adsAddress,
                       urlSection);
    if (adsAddress.isEmpty())
        adsAddress = cachedAds;
    AdsUrl = adsAddress;
    AdsActive = false;
    if (!AdsUrl.isEmpty()) {
        AdsActive =
            document.Value(QStringLiteral("PrikazOglasa")).toUpper() == QLatin1String("DA2");
        AdsUrl += ClientReport(TReportMode::Advertising);
    }

    HomePageUrl = document.Value(QStringLiteral("URL/HomePage"));
    Proverb = pas_lib::DecodeFeedText(document.Value(QStringLiteral("Razno/Pregovor")));

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
