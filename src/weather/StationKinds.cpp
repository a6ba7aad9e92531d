#include "weather/StationKinds.h"

#include "weather/StationCatalogue.h"
#include "weather/TWeatherData.h"

namespace pas_lib {

constexpr std::array<TStationKind, StationKindCount> StationKinds{{
    {ObservationStations, &TWeatherData::tbl_opazovalne, &TWeatherData::dbPostajaOpa,
     TParam::KRAJ_OPAZOVALNE, "OPAZOVALNE", &DefaultObservationStations},
    {AutomaticStations, &TWeatherData::tbl_avtomatske, &TWeatherData::dbPostajaAvt,
     TParam::KRAJ_AVTOMATSKE, "AVTOMATSKE", &DefaultAutomaticStations},
    {AmateurStations, &TWeatherData::tblAmaterske, &TWeatherData::dbPostajaAmat,
     TParam::KRAJ_AMATERSKE, "AMATERSKE", &DefaultAmateurStations},
}};

static_assert([] {
    for (int code = 0; code < StationKindCount; ++code)
        if (StationKinds[size_t(code)].code != code)
            return false;
    return true;
}());

const TStationKind* StationKindOf(int code)
{
    return code >= 0 && code < StationKindCount ? &StationKinds[size_t(code)] : nullptr;
}

} // namespace pas_lib
