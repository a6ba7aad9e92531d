#include "remote/StationCode.h"

#include "weather/CurrentConditions.h"
#include "weather/RunTableQuery.h"
#include "weather/TWeatherData.h"

namespace {
TWeatherData* reportStations = nullptr;
} // namespace

void SetReportStations(TWeatherData* data)
{
    reportStations = data;
}

QString StationCode(int kind, const QString& place)
{
    if (!reportStations)
        return {};
    TWeatherTable* table = reportStations->StationTable(kind);
    if (!table)
        return {};
    const QString alias = kind == pas_lib::ObservationStations ? QStringLiteral("OPAZOVALNE")
                                                               : QStringLiteral("AVTOMATSKE");
    // The place name is a bound value, never part of the SQL text.
    const TQueryResult result = RunTableQuery(
        QStringLiteral("select SIFRA from %1 where KRAJ=?").arg(alias), {table}, {alias}, {place});
    if (!result.IsOpen() || result.RowCount() == 0)
        return {};
    return result.Value(0, QStringLiteral("SIFRA")).toString();
}
