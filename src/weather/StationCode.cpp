#include "weather/StationCode.h"

#include "settings/Tparameter.h"
#include "weather/RunTableQuery.h"
#include "weather/StationKinds.h"
#include "weather/TWeatherData.h"

QString StationCode(const TWeatherData& data, int kind, const QString& place)
{
    const pas_lib::TStationKind* row = pas_lib::StationKindOf(kind);
    if (!row)
        return {};
    const QString alias = QString::fromLatin1(row->section);
    // The place name is a bound value, never part of the SQL text.
    const TQueryResult result =
        RunTableQuery(QStringLiteral("select SIFRA from %1 where KRAJ=?").arg(alias),
                      {data.*row->table}, {alias}, {place});
    if (!result.IsOpen() || result.RowCount() == 0)
        return {};
    return result.Value(0, QStringLiteral("SIFRA")).toString();
}

TReportStations ReportStations(const TWeatherData& data)
{
    auto code = [&data](int kind) {
        const TParam chosenPlace = pas_lib::StationKinds[size_t(kind)].chosenPlace;
        return StationCode(data, kind, parametri->Get(chosenPlace).toString());
    };
    return {code(pas_lib::ObservationStations), code(pas_lib::AutomaticStations)};
}
