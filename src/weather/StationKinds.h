#pragma once

#include "settings/ParameterNames.h"

#include <QStringList>
#include <array>

class TNameValueList;
class TWeatherData;
class TWeatherTable;

namespace pas_lib {

// Station-kind codes: they index currentConditions and StationKinds and are
// the values of TIP_POSTAJE.
constexpr int ObservationStations = 0;
constexpr int AutomaticStations = 1;
constexpr int AmateurStations = 2;
constexpr int StationKindCount = 3;

// What belongs to one kind of station.
struct TStationKind
{
    int code;
    TWeatherTable* const TWeatherData::*table;
    // The graph view's list of the kind's catalogue stations, name=code.
    TNameValueList TWeatherData::*graphList;
    // The parameter that holds the user's place among these stations.
    TParam chosenPlace;
    // The catalogue's section of these stations; a query over the station
    // table registers it under this name too.
    const char* section;
    // The built-in catalogue's places, in code order.
    const QStringList* defaultPlaces;
};

// One row per kind, in code order.
extern const std::array<TStationKind, StationKindCount> StationKinds;

// The row of a station-kind code; nullptr for another code.
const TStationKind* StationKindOf(int code);

} // namespace pas_lib
