#pragma once

#include <QString>

class TWeatherData;

// The weather tables that the reports read the station codes from (not owned);
// set by their owner, nullptr when they go.
void SetReportStations(TWeatherData* data);

// The catalogue code of the chosen place in the station table of a kind
// (pas_lib::ObservationStations ...), as text; empty when the table has no row
// for it or there are no tables.
QString StationCode(int kind, const QString& place);
