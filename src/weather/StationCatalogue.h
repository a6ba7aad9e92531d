#pragma once

#include <QString>
#include <QStringList>

class TWeatherData;
class TWeatherTable;

namespace pas_lib {

class TXmlDocument;

// The places of the built-in catalogue, each kind in code order (code 1 first).
extern const QStringList DefaultAutomaticStations;
extern const QStringList DefaultObservationStations;
extern const QStringList DefaultAmateurStations;

// Appends one station row with its place name and code.
void AddStation(TWeatherTable& table, const QString& name, int code);

// Replaces items with the place names of the table's rows in its current order.
void FillPlaceList(QStringList& items, const TWeatherTable& table);

// Fills the station tables and the graph lists from the catalogue file at path
// (sections "AVTOMATSKE", "OPAZOVALNE", "AMATERSKE"), or from the built-in
// catalogue when there is no such file. Entries without a positive code are
// skipped; a file that cannot be read, or an entry without a name, ends the
// loading quietly with the rows added so far. Read again, it adds the stations
// that are new and gives the others their codes from the file.
void LoadStationCatalogue(TWeatherData& data, const QString& path);
// The same from a catalogue already parsed; a document that did not parse adds
// nothing.
void LoadStationCatalogue(TWeatherData& data, const TXmlDocument& catalogue);

} // namespace pas_lib
