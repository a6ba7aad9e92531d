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
#include "weather/DirectSource.h"
#include "weather/PictureSources.h"
#include "weather/StationCode.h"
#include "weather/StoredFeeds.h"
#include "weather/TRefreshHost.h"
#include "weather/TWeatherData.h"
#include "weather/UpdateConditions.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRefresh, "nimbulon.refresh", QtInfoMsg)

namespace {

// The program is ending, or the cycle going: the rest of the refresh is skipped.
struct TRefreshStopped
{
};

} // namespace

TRefreshCycle::TRefreshCycle(TWeatherData& data, TRefreshHost& host, QObject* parent)
    : QObject(parent), FData(data), FHost(host)
{
}

TRefreshCycle::~TRefreshCycle()
{
    // A refresh that waits ends here and now, before what it works on goes.
    FCancellation.Cancel();
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
    FRefreshing = true;
    FRun = RunRefreshes(withoutPictures);
}

void TRefreshCycle::CheckStop() const
{
    if (FCancellation.Cancelled() || pas_lib::ProgramEndRequested())
        throw TRefreshStopped();
}

QCoro::Task<> TRefreshCycle::RunRefreshes(bool withoutPictures)
{
    bool again = true;
    while (again) {
        FRefreshing = true;
        const bool stopped = co_await RunRefresh(withoutPictures);
        FRefreshing = false;
        if (stopped)
            co_return;
        again = FPending && !pas_lib::ProgramEndRequested();
        withoutPictures = FPendingWithoutPictures;
        FPending = false;
    }
}

QCoro::Task<bool> TRefreshCycle::RunRefresh(bool withoutPictures)
{
    QString failure;
    try {
        co_await RefreshSteps(withoutPictures);
    } catch (const TRefreshStopped&) {
        qCDebug(lcRefresh) << "Refresh stopped";
        // Going with its window: nothing of the window may be touched.
        if (FCancellation.Cancelled())
            co_return true;
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Osvežitev podatkov ni uspela.");
    }
    qCDebug(lcRefresh) << "Step 12: refreshing indicator off";
    FHost.HideRefreshIndicator();
    if (!failure.isEmpty()) {
        qCWarning(lcRefresh) << "Refresh failed:" << failure;
        pas_lib::ShowMessage(failure, pas_lib::TMessageKind::Error);
    }
    qCDebug(lcRefresh) << "Refresh finished";
    emit refreshFinished();
    co_return false;
}

QCoro::Task<> TRefreshCycle::RefreshSteps(bool withoutPictures)
{
    qCDebug(lcRefresh) << "Refresh starts" << (withoutPictures ? "without pictures" : "");
    if (!FStoredFeedsRead) {
        // The last good data shows at once; the network may take long or fail.
        FStoredFeedsRead = true;
        if (ReadStoredFeeds(FFeeds)) {
            qCInfo(lcRefresh) << "Stored feeds shown until the refresh brings new ones";
            LoadFeeds();
        }
    }
    if (FHost.WindowMinimized()) {
        qCDebug(lcRefresh) << "Step 1: icon animation";
        FHost.StartIconAnimation();
    } else {
        qCDebug(lcRefresh) << "Step 1: refreshing indicator";
        FHost.ShowRefreshIndicator();
    }
    CheckStop();
    qCDebug(lcRefresh) << "Step 3: moon phase";
    FHost.DrawMoonPhase();
    // Without a deployment the feeds are made from ARSO's files, and there are
    // no remote settings, mirrors or advertising.
    const bool direct = DirectSourceChosen();
    if (!direct) {
        qCDebug(lcRefresh) << "Step 4: remote settings";
        co_await ReadRemoteSettings([this] { return ReportStations(FData); }, &FCancellation);
        CheckStop();
    }
    qCDebug(lcRefresh) << "Step 5: feeds" << (direct ? "from ARSO" : "");
    const TFeedsTaken taken = direct ? co_await FDirect.Fetch(FFeeds, &FCancellation)
                                     : co_await FetchFeed(FFeeds, &FCancellation);
    CheckStop();
    StoreFeeds(FFeeds, taken);
    qCDebug(lcRefresh) << "Step 6: icon animation stops";
    FHost.StopIconAnimation();
    LoadFeeds();

    const TViewKindInfo* view = ViewKindInfo(pas_lib::CurrentViewKind);
    if (view && view->statistics) {
        qCDebug(lcRefresh) << "Step 9: table statistics";
        FHost.UpdateTableStatistics(*view->Table(FData));
    }
    if (view && view->grid) {
        qCDebug(lcRefresh) << "Step 9: sort order";
        FHost.RestoreSort();
    }
    if (!withoutPictures) {
        qCDebug(lcRefresh) << "Step 11: pictures";
        co_await LoadFourDayPicture();
        CheckStop();
        FHost.UpdatePictures();
    }
}

void TRefreshCycle::LoadFeeds()
{
    qCDebug(lcRefresh) << "Step 7: sun times";
    FData.LoadFeedSection(QStringLiteral("Napovedi/NapovedZaLetalstvo/N"), QStringLiteral("Naziv"),
                          FFeeds.MainDocument, true, nullptr);
    qCDebug(lcRefresh) << "Step 8: station tables and the view shown";
    UpdateTrayIcon();
}

void TRefreshCycle::LoadView(TViewKind kind)
{
    if (kind == TViewKind::None)
        kind = pas_lib::CurrentViewKind;
    const TViewKindInfo* view = ViewKindInfo(kind);
    if (!view)
        return;
    const bool current = ViewCurrent(*view);
    TLoadedView loaded{FFeeds.Generation, {}};
    for (const TFeedSection& section : view->sections) {
        TWeatherTable* table = section.table ? FData.*section.table : nullptr;
        const pas_lib::TXmlDocument& feed =
            section.secondFeed ? FFeeds.SecondDocument : FFeeds.MainDocument;
        if (current) {
            FData.ApplyFeedSectionTime(QString::fromLatin1(section.path), feed);
        } else {
            qCDebug(lcRefresh) << "Loading" << section.path;
            FData.LoadFeedSection(QString::fromLatin1(section.path),
                                  QString::fromLatin1(section.key), feed, section.update, table);
        }
        // The chosen place may have changed since: always read the conditions.
        if (section.conditionsCode != TFeedSection::NoConditions && table)
            UpdateConditions(section.conditionsCode, *table);
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
bool TRefreshCycle::ViewCurrent(const TViewKindInfo& view) const
{
    const auto found = FLoadedViews.constFind(view.kind);
    if (found == FLoadedViews.cend() || found->Generation != FFeeds.Generation)
        return false;
    for (const TFeedSection& section : view.sections)
        if (!section.table)
            return false;
    for (const auto& [table, changes] : found->RowChanges)
        if (table->RowChanges() != changes)
            return false;
    return true;
}

void TRefreshCycle::UpdateTrayIcon()
{
    // The station views refill the current conditions; then the view shown.
    for (TViewKind kind : {TViewKind::ObservationStations, TViewKind::AutomaticStations,
                           TViewKind::AmateurStations, TViewKind::None})
        LoadView(kind);
    FHost.PresentConditions();
}

QCoro::Task<> TRefreshCycle::LoadFourDayPicture()
{
    if (!QDir().mkpath(pas_lib::SlikeDir)) {
        qCDebug(lcRefresh) << "No picture folder:" << pas_lib::SlikeDir;
        co_return;
    }
    const TPictureSource& source = Pictures::FourDay;
    const QString fileName = PicturePath(source);
    if (QFileInfo::exists(fileName) && PictureFresh(source, FFeeds.MainDocument)) {
        qCDebug(lcRefresh) << "Four-day picture is current";
        FFourDayPicture.LoadFromFile(fileName);
        co_return;
    }
    if (co_await Fetch(PictureAddress(source), fileName, nullptr, source.slot, &FCancellation) > 0)
        FFourDayPicture.LoadFromFile(fileName);
}

int RefreshIntervalMinutes()
{
    constexpr int minimum = 20;
    if (!parametri)
        return minimum;
    const int stored = parametri->Get(TParam::INTERVAL_UPDATE).toInt();
    if (stored >= minimum)
        return stored;
    parametri->Set(TParam::INTERVAL_UPDATE, minimum);
    return minimum;
}
