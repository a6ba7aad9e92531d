#include "weather/ViewKinds.h"

#include "weather/CurrentConditions.h"
#include "weather/TWeatherData.h"

namespace {

constexpr int noConditions = TFeedSection::NoConditions;

QList<TFeedSection> TextSection(const char* path)
{
    return {{path, "Naziv", false, false, nullptr, noConditions}};
}

} // namespace

TWeatherTable* TViewKindInfo::Table(const TWeatherData& data) const
{
    return table ? data.*table : nullptr;
}

QTextDocument* TViewKindInfo::TextPane(const TWeatherData& data) const
{
    return textPane ? data.*textPane : nullptr;
}

const QList<TViewKindInfo>& ViewKinds()
{
    using K = TViewKind;
    using D = TWeatherData;
    static const QList<TViewKindInfo> kinds{
        {.kind = K::ObservationStations,
         .table = &D::tbl_opazovalne,
         .grid = true,
         .statistics = true,
         .dataSource = "ds_opazovalne",
         .sortIndexParameter = "SORT_INDEX_OPAZ",
         .sortDirectionParameter = "SORT_OPAZ",
         .chosenPlaceParameter = "KRAJ_OPAZOVALNE",
         .sections = {{"OpazovalnePostaje/P", "Kraj", false, true, &D::tbl_opazovalne,
                       pas_lib::ObservationStations}}},
        {.kind = K::AutomaticStations,
         .table = &D::tbl_avtomatske,
         .grid = true,
         .statistics = true,
         .dataSource = "ds_avtomatske",
         .sortIndexParameter = "SORT_INDEX_AVTO",
         .sortDirectionParameter = "SORT_AVTO",
         .chosenPlaceParameter = "KRAJ_AVTOMATSKE",
         .sections = {{"AvtomatskePostaje/P", "Kraj", false, true, &D::tbl_avtomatske,
                       pas_lib::AutomaticStations}}},
        {.kind = K::Radar, .switchParameter = "SLIKA_PADAVINE", .picture = true, .animates = true},
        {.kind = K::Satellite,
         .switchParameter = "SATELITSKA_SLIKA",
         .picture = true,
         .animates = true},
        {.kind = K::GeneralForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = "VREMENSKA_NAPOVED",
         .sections = TextSection("Napovedi/VremenskaNapoved/N")},
        {.kind = K::ForecastMaps, .switchParameter = "NAPOVED_V_SLIKI", .picture = true},
        {.kind = K::BioForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = "NAPOVED_BIO",
         .sections = TextSection("Napovedi/BioNapoved/N")},
        {.kind = K::MountainForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = "NAPOVED_JULIJCI",
         .sections = TextSection("Napovedi/NapovedZaGore/N")},
        {.kind = K::AviationForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = "NAPOVED_LETALSTVO",
         .sections = TextSection("Napovedi/NapovedZaLetalstvo/N")},
        {.kind = K::SnowCover,
         .table = &D::tbl_snezna_odeja,
         .grid = true,
         .dataSource = "ds_snezna_odeja",
         .sortIndexParameter = "SORT_INDEX_SN_ODEJA",
         .sortDirectionParameter = "SORT_SN_ODEJA",
         .switchParameter = "SNEZNA_ODEJA",
         .sections = {{"VisinaSnezneOdeje/P", "Kraj", false, false, &D::tbl_snezna_odeja,
                       noConditions}}},
        {.kind = K::TemperatureGraph, .switchParameter = "GRAF_TEMPERATURE"},
        {.kind = K::Animations, .switchParameter = "ANIMACIJE"},
        {.kind = K::EuropeanCities,
         .table = &D::tbl_eu,
         .grid = true,
         .statistics = true,
         .dataSource = "ds_eu",
         .sortIndexParameter = "SORT_INDEX_EU",
         .sortDirectionParameter = "SORT_EU",
         .switchParameter = "NAPOVED_EVROPA",
         .sections = {{"VremeEU/P", "Kraj", true, false, &D::tbl_eu, noConditions}}},
        // The coast frame has a grid and a text pane of its own.
        {.kind = K::Coast,
         .table = &D::tbl_primorje,
         .textPane = &D::CoastTextPane,
         .switchParameter = "NAPOVED_PRIMORJE",
         .sections = {{"Napovedi/Primorje/N", "Kaj", true, false, &D::tbl_primorje, noConditions},
                      {"Napovedi/Primorje/OceanBoja/N", "Naziv", true, false, nullptr,
                       noConditions}}},
        {.kind = K::WaterLevels,
         .table = &D::tblVodostaji,
         .grid = true,
         .dataSource = "dsVodostaji",
         .sortIndexParameter = "SORT_INDEX_VODOST",
         .sortDirectionParameter = "SORT_VODOST",
         .switchParameter = "VODOSTAJI",
         .sections = {{"Vode/AvtomatskePostaje/P", "Postaja", true, false, &D::tblVodostaji,
                       noConditions}}},
        {.kind = K::AmateurStations,
         .table = &D::tblAmaterske,
         .grid = true,
         .statistics = true,
         .dataSource = "dsAmaterske",
         .sortIndexParameter = "SORT_INDEX_AMAT",
         .sortDirectionParameter = "SORT_AMAT",
         .chosenPlaceParameter = "KRAJ_AMATERSKE",
         .switchParameter = "AMATERSKE_POSTAJE",
         .sections = {{"AmaterskePostaje/P", "Kraj", false, true, &D::tblAmaterske,
                       pas_lib::AmateurStations}}},
    };
    return kinds;
}

const TViewKindInfo* ViewKindInfo(TViewKind kind)
{
    const int number = int(kind);
    if (number < 1 || number > ViewKinds().size())
        return nullptr;
    return &ViewKinds()[number - 1];
}
