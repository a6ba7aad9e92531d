#pragma once

#include "remote/ClientIdentity.h"

#include <QString>

class TWeatherData;

// The catalogue code of a place in the station table of a kind
// (pas_lib::ObservationStations ...), as text; empty when the table has no row
// for it or the kind has no table.
QString StationCode(const TWeatherData& data, int kind, const QString& place);

// The codes of the user's chosen observation and automatic places, which the
// advertising report names.
TReportStations ReportStations(const TWeatherData& data);
