#pragma once

#include "common/Awaiting.h"
#include "weather/DirectSource.h"
#include "weather/FetchFeed.h"
#include "weather/TFourDayPicture.h"
#include "weather/ViewKinds.h"

#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcRefresh)

class TRefreshHost;
class TWeatherData;
class TWeatherTable;

// Fetches the feeds and brings the tables, the text panes, the current
// conditions and the four-day picture up to date; the feeds that parse are
// kept on disk, and the first refresh shows the kept ones before it fetches.
// Runs on the main thread as a coroutine that awaits its downloads, so events
// run meanwhile; a refresh asked for while one runs is held and runs once after
// it. Going, it ends the refresh that runs without touching its host.
class TRefreshCycle : public QObject
{
    Q_OBJECT
public:
    TRefreshCycle(TWeatherData& data, TRefreshHost& host, QObject* parent = nullptr);
    ~TRefreshCycle() override;

    // Starts one refresh, or holds it until the one that runs has ended;
    // withoutPictures leaves the four-day picture and the other pictures alone
    // (the refresh command). refreshFinished tells of each end.
    void RefreshData(bool withoutPictures);
    // Reads the sections of one view (None: the view shown) from the documents
    // in memory; kinds without a section read nothing.
    void LoadView(TViewKind kind);
    // Reloads the three station tables, their current conditions and the view
    // shown, then lets the window present them.
    void UpdateTrayIcon();
    // The four-day picture from its file while that is current, otherwise
    // downloaded from a mirror.
    QCoro::Task<> LoadFourDayPicture();

    TFeeds& Feeds() { return FFeeds; }
    TFourDayPicture& FourDayPicture() { return FFourDayPicture; }
    bool Refreshing() const { return FRefreshing; }

signals:
    void refreshFinished();

private:
    QCoro::Task<> RunRefreshes(bool withoutPictures);
    // True when the refresh was stopped because the cycle goes.
    QCoro::Task<bool> RunRefresh(bool withoutPictures);
    QCoro::Task<> RefreshSteps(bool withoutPictures);
    // The sun times, the station tables with the current conditions and the
    // view shown, from the documents in memory.
    void LoadFeeds();
    void CheckStop() const;

    // What a view's tables held after it last read the documents: while the
    // documents and these counts stay the same, reading them again would
    // write the same rows.
    struct TLoadedView
    {
        quint64 Generation = 0;
        QList<std::pair<const TWeatherTable*, quint64>> RowChanges;
    };
    bool ViewCurrent(const TViewKindInfo& view) const;

    TWeatherData& FData;
    TRefreshHost& FHost;
    QHash<TViewKind, TLoadedView> FLoadedViews;
    TFeeds FFeeds;
    TDirectSource FDirect;
    TFourDayPicture FFourDayPicture;
    bool FRefreshing = false;
    // The first refresh shows the stored feeds before it fetches.
    bool FStoredFeedsRead = false;
    bool FPending = false;
    bool FPendingWithoutPictures = true;
    pas_lib::TCancellation FCancellation;
    QCoro::Task<> FRun;
};

// The refresh timer's period in minutes: INTERVAL_UPDATE, never below 20; a
// lower stored value is raised and written back.
int RefreshIntervalMinutes();
