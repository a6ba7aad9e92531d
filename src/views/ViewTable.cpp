#include "views/ViewTable.h"

namespace {
const QString Arso = QStringLiteral(" (Vir:ARSO)");
} // namespace

QString TViewInfo::Title() const
{
    if (kind == TViewKind::TemperatureGraph)
        return QString();
    return caption + credit;
}

const QList<TViewInfo>& Views()
{
    using K = TViewKind;
    namespace T = PanelTag;
    static const QList<TViewInfo> views{
        {"actOpazovalne", "suiImageButtonOpaz", "Opazovalne postaje", Arso, T::Grid,
         K::ObservationStations},
        {"actAvtomatske", "suiImageButtonAvto", "Avtomatske postaje", Arso, T::Grid,
         K::AutomaticStations},
        {"actAmaterske", "suiImageButtonAmat", "Amaterske postaje",
         " (Vir:meteo-amaterji.si in vreme-doma.si)", T::Grid, K::AmateurStations},
        {"actPadavine", "suiImageButtonPadavine", "Radarska slika padavin", Arso, T::Radar,
         K::Radar},
        {"actSatelitska", "suiImageButtonSatelit", "Satelitske slike", " (copyright EUMETSAT)",
         T::Satellite, K::Satellite},
        {"actNapBesedi", "suiImageButtonNapBeseda", "Napoved v besedi", Arso, T::TextPane,
         K::GeneralForecast},
        {"actNapSliki", "suiImageButtonNapSlika", "Napoved v sliki", Arso, T::ForecastPictures,
         K::ForecastMaps},
        {"actBiometeor", "suiImageButtonBiomet", "Biometeorološka nap.", Arso, T::TextPane,
         K::BioForecast},
        {"actGore", "suiImageButtonGore", "Napoved za gore", Arso, T::TextPane,
         K::MountainForecast},
        {"actLetalstvo", "suiImageButtonLetalstvo", "Napoved za letalstvo", Arso, T::TextPane,
         K::AviationForecast},
        {"actSnegOdeja", "suiImageButtonSneg", "Snežna odeja", Arso, T::Grid, K::SnowCover},
        {"actGraf", "suiImageButtonGraf", "Graf", {}, T::Graph, K::TemperatureGraph},
        {"actAnimacije", "suiImageButtonAnimacije", "Animacije", " (Vir:FU-Berlin)", T::Animations,
         K::Animations},
        {"actEvropa", "suiImageButtonEvropa", "Vreme po Evropi", Arso, T::Grid, K::EuropeanCities},
        {"actPrimorje", "suiImageButtonPrimorje", "Slovensko Primorje", {}, T::Coast, K::Coast},
        {"actVodostaji", "suiImageButtonVodostaji", "Vodostaji", Arso, T::Grid, K::WaterLevels},
    };
    return views;
}

const TViewInfo* ViewOfKind(TViewKind kind)
{
    for (const TViewInfo& view : Views())
        if (view.kind == kind)
            return &view;
    return nullptr;
}
