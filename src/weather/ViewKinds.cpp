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
         .sortIndexParameter = TParam::SORT_INDEX_OPAZ,
         .sortDirectionParameter = TParam::SORT_OPAZ,
         .chosenPlaceParameter = TParam::KRAJ_OPAZOVALNE,
         .sections = {{"OpazovalnePostaje/P", "Kraj", false, true, &D::tbl_opazovalne,
                       pas_lib::ObservationStations}}},
        {.kind = K::AutomaticStations,
         .table = &D::tbl_avtomatske,
         .grid = true,
         .statistics = true,
         .dataSource = "ds_avtomatske",
         .sortIndexParameter = TParam::SORT_INDEX_AVTO,
         .sortDirectionParameter = TParam::SORT_AVTO,
         .chosenPlaceParameter = TParam::KRAJ_AVTOMATSKE,
         .sections = {{"AvtomatskePostaje/P", "Kraj", false, true, &D::tbl_avtomatske,
                       pas_lib::AutomaticStations}}},
        {.kind = K::Radar,
         .switchParameter = TParam::SLIKA_PADAVINE,
         .picture = true,
         .animates = true},
        {.kind = K::Satellite,
         .switchParameter = TParam::SATELITSKA_SLIKA,
         .picture = true,
         .animates = true},
        {.kind = K::GeneralForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = TParam::VREMENSKA_NAPOVED,
         .sections = TextSection("Napovedi/VremenskaNapoved/N")},
        {.kind = K::ForecastMaps, .switchParameter = TParam::NAPOVED_V_SLIKI, .picture = true},
        {.kind = K::BioForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = TParam::NAPOVED_BIO,
         .sections = TextSection("Napovedi/BioNapoved/N")},
        {.kind = K::MountainForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = TParam::NAPOVED_JULIJCI,
         .sections = TextSection("Napovedi/NapovedZaGore/N")},
        {.kind = K::AviationForecast,
         .textPane = &D::MainTextPane,
         .switchParameter = TParam::NAPOVED_LETALSTVO,
         .sections = TextSection("Napovedi/NapovedZaLetalstvo/N")},
        {.kind = K::SnowCover,
         .table = &D::tbl_snezna_odeja,
         .grid = true,
         .dataSource = "ds_snezna_odeja",
         .sortIndexParameter = TParam::SORT_INDEX_SN_ODEJA,
         .sortDirectionParameter = TParam::SORT_SN_ODEJA,
         .switchParameter = TParam::SNEZNA_ODEJA,
         .sections = {{"VisinaSnezneOdeje/P", "Kraj", false, false, &D::tbl_snezna_odeja,
                       noConditions}}},
        {.kind = K::TemperatureGraph, .switchParameter = TParam::GRAF_TEMPERATURE},
        {.kind = K::Animations, .switchParameter = TParam::ANIMACIJE},
        {.kind = K::EuropeanCities,
         .table = &D::tbl_eu,
         .grid = true,
         .statistics = true,
         .dataSource = "ds_eu",
         .sortIndexParameter = TParam::SORT_INDEX_EU,
         .sortDirectionParameter = TParam::SORT_EU,
         .switchParameter = TParam::NAPOVED_EVROPA,
         .sections = {{"VremeEU/P", "Kraj", true, false, &D::tbl_eu, noConditions}}},
        // The coast frame has a grid and a text pane of its own; its grid keeps
        // a layout but does not sort.
        {.kind = K::Coast,
         .table = &D::tbl_primorje,
         .textPane = &D::CoastTextPane,
         .dataSource = "ds_primorje",
         .switchParameter = TParam::NAPOVED_PRIMORJE,
         .sections = {{"Napovedi/Primorje/N", "Kaj", true, false, &D::tbl_primorje, noConditions},
                      {"Napovedi/Primorje/OceanBoja/N", "Naziv", true, false, nullptr,
                       noConditions}}},
        {.kind = K::WaterLevels,
         .table = &D::tblVodostaji,
         .grid = true,
         .dataSource = "dsVodostaji",
         .sortIndexParameter = TParam::SORT_INDEX_VODOST,
         .sortDirectionParameter = TParam::SORT_VODOST,
         .switchParameter = TParam::VODOSTAJI,
         .sections = {{"Vode/AvtomatskePostaje/P", "Postaja", true, false, &D::tblVodostaji,
                       noConditions}}},
        {.kind = K::AmateurStations,
         .table = &D::tblAmaterske,
         .grid = true,
         .statistics = true,
         .dataSource = "dsAmaterske",
         .sortIndexParameter = TParam::SORT_INDEX_AMAT,
         .sortDirectionParameter = TParam::SORT_AMAT,
         .chosenPlaceParameter = TParam::KRAJ_AMATERSKE,
         .switchParameter = TParam::AMATERSKE_POSTAJE,
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
