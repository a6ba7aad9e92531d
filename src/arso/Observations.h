#pragma once

#include "arso/FeedWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Observations from ARSO's station files (the automatic stations, the main
// stations, European cities): one record per station, as the station tables
// of the feeds take it.
namespace arso {

struct TStation
{
    QString identifier; // ARSO's own, stable ("LJUBL-ANA_BEZIGRAD_")
    QString name;       // as shown, and the record's key
    // "Kraj" first, then the station columns; a value ARSO leaves empty, or one
    // that is no number where a number belongs, stays empty.
    TFeedRecord record;
    QString snowDepth; // whole centimetres above 0, or empty
    QDateTime time;
    // As ARSO writes them; only one station's are read, for the sun times.
    QString sunrise;
    QString sunset;
};

struct TObservations
{
    QDateTime time; // the newest station's, which the section's "Kdaj" says
    QList<TStation> stations;
};

// The stations of an observation file in file order. A record without an
// identifier or a name is left out, and of records with the same identifier,
// or the same name in any letter case, the first is kept. Nothing when the file is not such a file.
std::optional<TObservations> ReadObservations(const QByteArray& file);

// The felt temperature: the wind chill at 10 °C and below with wind, the heat
// index at 27 °C and above in humid air, otherwise the air temperature.
double FeltTemperature(double temperature, double humidity, double windMetresPerSecond);

} // namespace arso
