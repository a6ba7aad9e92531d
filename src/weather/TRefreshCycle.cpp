#include "weather/TRefreshCycle.h"

#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/FixedFormat.h"
#include "common/Messages.h"
#include "net/Fetch.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/StationCode.h"
#include "weather/TRefreshHost.h"
#include "weather/TWeatherData.h"
#include "weather/UpdateConditions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <array>

Q_LOGGING_CATEGORY(lcRefresh, "nimbulon.refresh", QtInfoMsg)

const std::array<TViewSection, 12> ViewSections{{
    {1, "OpazovalnePostaje/P", "Kraj", false, true, &TWeatherData::tbl_opazovalne,
     pas_lib::ObservationStations},
    {2, "AvtomatskePostaje/P", "Kraj", false, true, &TWeatherData::tbl_avtomatske,
     pas_lib::AutomaticStations},
    {16, "AmaterskePostaje/P", "Kraj", false, true, &TWeatherData::tblAmaterske,
     pas_lib::AmateurStations},
    {5, "Napovedi/VremenskaNapoved/N", "Naziv", false, false, nullptr, TViewSection::NoConditions},
    {7, "Napovedi/BioNapoved/N", "Naziv", false, false, nullptr, TViewSection::NoConditions},
    {8, "Napovedi/NapovedZaGore/N", "Naziv", false, false, nullptr, TViewSection::NoConditions},
    {9, "Napovedi/NapovedZaLetalstvo/N", "Naziv", false, false, nullptr,
     TViewSection::NoConditions},
    {10, "VisinaSnezneOdeje/P", "Kraj", false, false, &TWeatherData::tbl_snezna_odeja,
     TViewSection::NoConditions},
    {13, "VremeEU/P", "Kraj", true, false, &TWeatherData::tbl_eu, TViewSection::NoConditions},
    {14, "Napovedi/Primorje/N", "Kaj", true, false, &TWeatherData::tbl_primorje,
     TViewSection::NoConditions},
    {14, "Napovedi/Primorje/OceanBoja/N", "Naziv", true, false, nullptr,
     TViewSection::NoConditions},
    {15, "Vode/AvtomatskePostaje/P", "Postaja", true, false, &TWeatherData::tblVodostaji,
     TViewSection::NoConditions},
}};

namespace {

constexpr int noConditions = TViewSection::NoConditions;

// The end of the program was asked for while events ran: the rest of the
// refresh is skipped.
struct TRefreshStopped
{
};

void LetMessagesRun()
{
    QCoreApplication::processEvents();
    if (pas_lib::ProgramEndRequested())
        throw TRefreshStopped();
}

} // namespace

TRefreshCycle::TRefreshCycle(TWeatherData& data, TRefreshHost& host, QObject* parent)
    : QObject(parent), FData(data), FHost(host)
{
}

void TRefreshCycle::RefreshData(bool withoutPictures)
{
    if (FRefreshing) {
        // One held request: it fetches pictures when any of the requests did.
        FPendingWithoutPictures =
            FPending ? FPendingWithoutPictures && withoutPictures : withoutPictures;
        FPending = true;
        qCDebug(lcRefresh) << "Refresh asked for during a refresh; it runs afterwards";
        return;
    }
    RunRefresh(withoutPictures);
    while (FPending && !pas_lib::ProgramEndRequested()) {
        FPending = false;
        RunRefresh(FPendingWithoutPictures);
    }
    FPending = false;
}

void TRefreshCycle::RunRefresh(bool withoutPictures)
{
    FRefreshing = true;
    QString failure;
    try {
        RefreshSteps(withoutPictures);
    } catch (const TRefreshStopped&) {
        qCDebug(lcRefresh) << "Refresh stopped: the program ends";
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Osvežitev podatkov ni uspela.");
    }
    qCDebug(lcRefresh) << "Step 12: refreshing indicator off";
    FHost.HideRefreshIndicator();
    FRefreshing = false;
    if (!failure.isEmpty()) {
        qCWarning(lcRefresh) << "Refresh failed:" << failure;
        pas_lib::ShowMessage(failure, pas_lib::TMessageKind::Error);
    }
    qCDebug(lcRefresh) << "Refresh finished";
    emit refreshFinished();
}

void TRefreshCycle::RefreshSteps(bool withoutPictures)
{
    qCDebug(lcRefresh) << "Refresh starts" << (withoutPictures ? "without pictures" : "");
    if (FHost.WindowMinimized()) {
        qCDebug(lcRefresh) << "Step 1: icon animation";
        FHost.StartIconAnimation();
    } else {
        qCDebug(lcRefresh) << "Step 1: refreshing indicator";
        FHost.ShowRefreshIndicator();
    }
    LetMessagesRun();
    qCDebug(lcRefresh) << "Step 3: moon phase";
    FHost.DrawMoonPhase();
    qCDebug(lcRefresh) << "Step 4: remote settings";
    ReadRemoteSettings([this] { return ReportStations(FData); });
    LetMessagesRun();
    qCDebug(lcRefresh) << "Step 5: feeds";
    FetchFeed(FFeeds);
    qCDebug(lcRefresh) << "Feeds received:" << FFeeds.MainFeed.size() << "and"
                       << FFeeds.SecondFeed.size() << "bytes";
    LetMessagesRun();
    qCDebug(lcRefresh) << "Step 6: icon animation stops";
    FHost.StopIconAnimation();
    LetMessagesRun();
    qCDebug(lcRefresh) << "Step 7: sun times";
    FData.LoadFeedSection(QStringLiteral("Napovedi/NapovedZaLetalstvo/N"), QStringLiteral("Naziv"),
                          FFeeds.MainDocument, true, nullptr);
    LetMessagesRun();
    qCDebug(lcRefresh) << "Step 8: station tables and the view shown";
    UpdateTrayIcon();

    const int view = pas_lib::CurrentViewKind;
    TWeatherTable* statisticsTable = nullptr;
    switch (view) {
    case 1:
        statisticsTable = FData.tbl_opazovalne;
        break;
    case 2:
        statisticsTable = FData.tbl_avtomatske;
        break;
    case 13:
        statisticsTable = FData.tbl_eu;
        break;
    case 16:
        statisticsTable = FData.tblAmaterske;
        break;
    default:
        break;
    }
    if (statisticsTable) {
        qCDebug(lcRefresh) << "Step 9: table statistics";
        FHost.UpdateTableStatistics(*statisticsTable);
    }
    if (view == 1 || view == 2 || view == 10 || view == 13 || view == 15 || view == 16) {
        qCDebug(lcRefresh) << "Step 9: sort order";
        FHost.RestoreSort();
    }
    LetMessagesRun();
    if (!withoutPictures) {
        qCDebug(lcRefresh) << "Step 11: pictures";
        LoadFourDayPicture();
        FHost.UpdatePictures();
    }
}

void TRefreshCycle::LoadView(int kind)
{
    if (kind == 0)
        kind = pas_lib::CurrentViewKind;
    const bool current = ViewCurrent(kind);
    TLoadedView loaded{FFeeds.Generation, {}};
    for (const TViewSection& section : ViewSections) {
        if (section.Kind != kind)
            continue;
        TWeatherTable* table = section.Table ? FData.*section.Table : nullptr;
        const pas_lib::TXmlDocument& feed =
            section.SecondFeed ? FFeeds.SecondDocument : FFeeds.MainDocument;
        if (current) {
            FData.ApplyFeedSectionTime(QString::fromLatin1(section.Path), feed);
        } else {
            qCDebug(lcRefresh) << "Loading" << section.Path;
            FData.LoadFeedSection(QString::fromLatin1(section.Path),
                                  QString::fromLatin1(section.Key), feed, section.Update, table);
        }
        // The chosen place may have changed since: always read the conditions.
        if (section.ConditionsCode != noConditions && table)
            UpdateConditions(section.ConditionsCode, *table);
        if (table)
            loaded.RowChanges.append({table, 0});
    }
    if (current)
        return;
    for (auto& [table, changes] : loaded.RowChanges)
        changes = table->RowChanges();
    if (loaded.RowChanges.isEmpty())
        FLoadedViews.remove(kind);
    else
        FLoadedViews.insert(kind, loaded);
}

// Text panes are written anew each time; only table views are skipped.
bool TRefreshCycle::ViewCurrent(int kind) const
{
    const auto found = FLoadedViews.constFind(kind);
    if (found == FLoadedViews.cend() || found->Generation != FFeeds.Generation)
        return false;
    for (const TViewSection& section : ViewSections)
        if (section.Kind == kind && !section.Table)
            return false;
    for (const auto& [table, changes] : found->RowChanges)
        if (table->RowChanges() != changes)
            return false;
    return true;
}

void TRefreshCycle::UpdateTrayIcon()
{
    for (int kind : {1, 2, 16, 0})
        LoadView(kind);
    LetMessagesRun();
    FHost.PresentConditions();
}

void TRefreshCycle::LoadFourDayPicture()
{
    if (!QDir().mkpath(pas_lib::SlikeDir)) {
        qCDebug(lcRefresh) << "No picture folder:" << pas_lib::SlikeDir;
        return;
    }
    const QString fileName = pas_lib::SlikeDir + QStringLiteral("vreme.jpg");
    const std::optional<QDateTime> stamp =
        pas_lib::ParseFeedDateTime(ChangeStamp(FFeeds.MainDocument, 6));
    const double stampDays = stamp ? pas_lib::DateTimeToDays(*stamp) : 0.0;
    const QFileInfo file(fileName);
    if (file.exists() && pas_lib::DateTimeToDays(file.lastModified()) >= stampDays) {
        qCDebug(lcRefresh) << "Four-day picture is current";
        FFourDayPicture.LoadFromFile(fileName);
        return;
    }
    if (Fetch(MirrorFileAddress(PickMirror(), 6), fileName, nullptr, 6) > 0)
        FFourDayPicture.LoadFromFile(fileName);
}

int RefreshIntervalMinutes()
{
    constexpr int minimum = 20;
    if (!parametri)
        return minimum;
    const int stored = parametri->Get(QStringLiteral("INTERVAL_UPDATE")).toInt();
    if (stored >= minimum)
        return stored;
    parametri->Set(QStringLiteral("INTERVAL_UPDATE"), minimum);
    return minimum;
}
