#pragma once

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

// Station-kind codes: they index currentConditions and are the values of
// TIP_POSTAJE.
constexpr int ObservationStations = 0; // tbl_opazovalne, KRAJ_OPAZOVALNE
constexpr int AutomaticStations = 1;   // tbl_avtomatske, KRAJ_AVTOMATSKE
constexpr int AmateurStations = 2;     // tblAmaterske, KRAJ_AMATERSKE
constexpr int StationKindCount = 3;

// By station-kind code; all texts empty until the station tables are loaded.
extern std::array<CurrentConditions, StationKindCount> currentConditions;

} // namespace pas_lib
