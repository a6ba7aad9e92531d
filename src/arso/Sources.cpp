#include "arso/Sources.h"

namespace arso {

const QList<TSource>& Sources()
{
    static const QList<TSource> sources{
        {QStringLiteral("observationAms_si_latest.xml"),
         QStringLiteral("uploads/probase/www/observ/surface/text/sl/observationAms_si_latest.xml")},
        {QStringLiteral("observation_si_latest.xml"),
         QStringLiteral("uploads/probase/www/observ/surface/text/sl/observation_si_latest.xml")},
        {QStringLiteral("observation_eu-capital_latest.xml"),
         QStringLiteral(
             "uploads/probase/www/observ/surface/text/sl/observation_eu-capital_latest.xml")},
        {QStringLiteral("fcast_SLOVENIA_latest.xml"),
         QStringLiteral("uploads/probase/www/fproduct/text/sl/fcast_SLOVENIA_latest.xml")},
        {QStringLiteral("forecast_si_latest.xml"),
         QStringLiteral("uploads/probase/www/fproduct/text/sl/forecast_si_latest.xml")},
        {QStringLiteral("fcast_si_text.xml"),
         QStringLiteral("uploads/probase/www/fproduct/text/sl/fcast_si_text.xml")},
        {QStringLiteral("hidro_podatki_zadnji.xml"),
         QStringLiteral("xml/vode/hidro_podatki_zadnji.xml"), true},
    };
    return sources;
}

} // namespace arso
