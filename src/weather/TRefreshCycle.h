#pragma once

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
// conditions and the four-day picture up to date. Runs on the main thread and
// lets events run in between, so a refresh asked for while one runs is held
// and runs once after it.
class TRefreshCycle : public QObject
{
    Q_OBJECT
public:
    TRefreshCycle(TWeatherData& data, TRefreshHost& host, QObject* parent = nullptr);

    // One refresh; withoutPictures leaves the four-day picture and the other
    // pictures alone (the refresh command).
    void RefreshData(bool withoutPictures);
    // Reads the sections of one view (None: the view shown) from the documents
    // in memory; kinds without a section read nothing.
    void LoadView(TViewKind kind);
    // Reloads the three station tables, their current conditions and the view
    // shown, then lets the window present them.
    void UpdateTrayIcon();
    // The four-day picture from its file while that is current, otherwise
    // downloaded from a mirror.
    void LoadFourDayPicture();

    TFeeds& Feeds() { return FFeeds; }
    TFourDayPicture& FourDayPicture() { return FFourDayPicture; }
    bool Refreshing() const { return FRefreshing; }

signals:
    void refreshFinished();

private:
    void RunRefresh(bool withoutPictures);
    void RefreshSteps(bool withoutPictures);

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
    TFourDayPicture FFourDayPicture;
    bool FRefreshing = false;
    bool FPending = false;
    bool FPendingWithoutPictures = true;
};

// The refresh timer's period in minutes: INTERVAL_UPDATE, never below 20; a
// lower stored value is raised and written back.
int RefreshIntervalMinutes();
