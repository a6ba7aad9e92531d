#pragma once

#include "settings/ParameterNames.h"

#include <QList>
#include <QString>
#include <optional>

class QTextDocument;
class TWeatherData;
class TWeatherTable;

// The main window's views by the numbers they have always had; the process-wide
// CurrentViewKind holds one of them, None until the first view is chosen.
enum class TViewKind : int {
    None = 0,
    ObservationStations = 1,
    AutomaticStations = 2,
    Radar = 3,
    Satellite = 4,
    GeneralForecast = 5,
    ForecastMaps = 6,
    BioForecast = 7,
    MountainForecast = 8,
    AviationForecast = 9,
    SnowCover = 10,
    TemperatureGraph = 11,
    Animations = 12,
    EuropeanCities = 13,
    Coast = 14,
    WaterLevels = 15,
    AmateurStations = 16,
};

// One section of a feed that a view reads: into its table, or without one
// into the view's text pane. A station table also refills the current
// conditions of its station kind.
struct TFeedSection
{
    static constexpr int NoConditions = -1;

    const char* path;
    const char* key;
    bool secondFeed;
    bool update;
    TWeatherTable* const TWeatherData::*table;
    int conditionsCode;
};

// What the core knows of one view kind. A view shown in the station grid sorts
// by the view's parameters and keeps its grid layout under its data source name.
struct TViewKindInfo
{
    TViewKind kind = TViewKind::None;
    // The table the view shows and the text pane it writes; nullptr for none.
    TWeatherTable* const TWeatherData::*table = nullptr;
    QTextDocument* const TWeatherData::*textPane = nullptr;
    bool grid = false;
    bool statistics = false;
    QString dataSource{};
    std::optional<TParam> sortIndexParameter{};
    std::optional<TParam> sortDirectionParameter{};
    // The parameter naming the user's place, whose row is marked; none for none.
    std::optional<TParam> chosenPlaceParameter{};
    // The logical parameter that switches the view on; none: always on.
    std::optional<TParam> switchParameter{};
    // Picture views reload only their picture on the refresh command.
    bool picture = false;
    bool animates = false;
    QList<TFeedSection> sections{};

    TWeatherTable* Table(const TWeatherData& data) const;
    QTextDocument* TextPane(const TWeatherData& data) const;
};

// Every view kind, 1 to 16 in number order.
const QList<TViewKindInfo>& ViewKinds();
// The row of a kind; nullptr for None.
const TViewKindInfo* ViewKindInfo(TViewKind kind);
