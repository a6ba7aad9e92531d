#pragma once

#include "weather/FetchFeed.h"
#include "weather/TFourDayPicture.h"

#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <array>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcRefresh)

class TRefreshHost;
class TWeatherData;
class TWeatherTable;

// Where each view's data lies in the feeds. A section without a table goes to
// a text pane; a station table refills its kind's current conditions.
struct TViewSection
{
    static constexpr int NoConditions = -1;

    int Kind;
    const char* Path;
    const char* Key;
    bool SecondFeed;
    bool Update;
    TWeatherTable* const TWeatherData::*Table;
    int ConditionsCode;
};

// Every section that LoadView reads, by view kind.
extern const std::array<TViewSection, 12> ViewSections;

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
    // Reads the sections of one view (0: the view shown) from the documents
    // in memory; kinds without a section read nothing.
    void LoadView(int kind);
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
    bool ViewCurrent(int kind) const;

    TWeatherData& FData;
    TRefreshHost& FHost;
    QHash<int, TLoadedView> FLoadedViews;
    TFeeds FFeeds;
    TFourDayPicture FFourDayPicture;
    bool FRefreshing = false;
    bool FPending = false;
    bool FPendingWithoutPictures = true;
};

// The refresh timer's period in minutes: INTERVAL_UPDATE, never below 20; a
// lower stored value is raised and written back.
int RefreshIntervalMinutes();
