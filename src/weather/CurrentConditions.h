#pragma once

#include "weather/StationKinds.h"

#include <QString>
#include <array>

// The chosen place of one station kind as the tray icon and balloon show it. An
// empty temperature means that no report for the place is available.
struct CurrentConditions
{
    QString place;
    QString weather;
    QString temperature;
    QString humidity;
    QString wind;
    QString pressure;
    QString lastChange;
    QString feelsLike;
};

namespace pas_lib {

// By station-kind code; all texts empty until the station tables are loaded.
extern std::array<CurrentConditions, StationKindCount> currentConditions;

} // namespace pas_lib
