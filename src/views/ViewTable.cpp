#include "views/ViewTable.h"

namespace {
const QString Arso = QStringLiteral(" (Vir:ARSO)");
} // namespace

QString TViewInfo::Title() const
{
    if (Kind == 11)
        return QString();
    return Caption + Credit;
}

const QList<TViewInfo>& Views()
{
    static const QList<TViewInfo> views{
        {"actOpazovalne", "suiImageButtonOpaz", "Opazovalne postaje", Arso, 1, 1, {}},
        {"actAvtomatske", "suiImageButtonAvto", "Avtomatske postaje", Arso, 1, 2, {}},
        {"actAmaterske", "suiImageButtonAmat", "Amaterske postaje",
         " (Vir:meteo-amaterji.si in vreme-doma.si)", 1, 16, "AMATERSKE_POSTAJE"},
        {"actPadavine", "suiImageButtonPadavine", "Radarska slika padavin", Arso, 3, 3,
         "SLIKA_PADAVINE"},
        {"actSatelitska", "suiImageButtonSatelit", "Satelitske slike", " (copyright EUMETSAT)", 8,
         4, "SATELITSKA_SLIKA"},
        {"actNapBesedi", "suiImageButtonNapBeseda", "Napoved v besedi", Arso, 2, 5,
         "VREMENSKA_NAPOVED"},
        {"actNapSliki", "suiImageButtonNapSlika", "Napoved v sliki", Arso, 4, 6, "NAPOVED_V_SLIKI"},
        {"actBiometeor", "suiImageButtonBiomet", "Biometeorološka nap.", Arso, 2, 7, "NAPOVED_BIO"},
        {"actGore", "suiImageButtonGore", "Napoved za gore", Arso, 2, 8, "NAPOVED_JULIJCI"},
        {"actLetalstvo", "suiImageButtonLetalstvo", "Napoved za letalstvo", Arso, 2, 9,
         "NAPOVED_LETALSTVO"},
        {"actSnegOdeja", "suiImageButtonSneg", "Snežna odeja", Arso, 1, 10, "SNEZNA_ODEJA"},
        {"actGraf", "suiImageButtonGraf", "Graf", {}, 11, 11, "GRAF_TEMPERATURE"},
        {"actAnimacije", "suiImageButtonAnimacije", "Animacije", " (Vir:FU-Berlin)", 6, 12,
         "ANIMACIJE"},
        {"actEvropa", "suiImageButtonEvropa", "Vreme po Evropi", Arso, 1, 13, "NAPOVED_EVROPA"},
        {"actPrimorje",
         "suiImageButtonPrimorje",
         "Slovensko Primorje",
         {},
         7,
         14,
         "NAPOVED_PRIMORJE"},
        {"actVodostaji", "suiImageButtonVodostaji", "Vodostaji", Arso, 1, 15, "VODOSTAJI"},
    };
    return views;
}

const TViewInfo* ViewOfKind(int kind)
{
    for (const TViewInfo& view : Views())
        if (view.Kind == kind)
            return &view;
    return nullptr;
}
