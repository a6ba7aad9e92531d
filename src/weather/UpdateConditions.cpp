#include "weather/UpdateConditions.h"

#include "common/FixedFormat.h"
#include "common/LocaleText.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/TWeatherTable.h"

#include <QDateTime>

namespace {

// Numbers and date-times as the user's regional settings write them; empty stays empty.
QString Text(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
        return LocaleNumber(value.toDouble());
    case QMetaType::QDateTime:
        return LocaleDateTime(value.toDateTime());
    default:
        return value.toString();
    }
}

// The temperature rounded to a whole number, a half to the even neighbour;
// -0.4 gives 0, not -0. Empty when there is none (or none that an integer holds).
QString Rounded(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const auto rounded = pas_lib::RoundToInteger<qint64>(value.toDouble());
    if (!rounded)
        return {};
    return QString::number(*rounded) + QStringLiteral("°");
}

} // namespace

void SetChosenPlaces()
{
    for (const pas_lib::TStationKind& kind : pas_lib::StationKinds)
        pas_lib::currentConditions[size_t(kind.code)].place =
            parametri ? parametri->Get(kind.chosenPlace).toString() : QString();
}

void UpdateConditions(int code, const TWeatherTable& table)
{
    if (code < 0 || code >= pas_lib::StationKindCount)
        return;
    pas_lib::currentConditions[size_t(code)] = CurrentConditions();
    SetChosenPlaces();

    CurrentConditions& record = pas_lib::currentConditions[size_t(code)];
    for (const TWeatherRow& row : table.Rows()) {
        if (table.Value(row, QStringLiteral("KRAJ"))
                .toString()
                .compare(record.place, Qt::CaseInsensitive) != 0)
            continue;
        const QVariant changed = table.Value(row, QStringLiteral("ZADNJASPREMEMBA"));
        if (!changed.toDateTime().isValid() || pas_lib::DateTimeToDays(changed.toDateTime()) <= 0)
            continue; // no report yet
        auto value = [&](const char* name) { return table.Value(row, QString::fromLatin1(name)); };
        record.weather = Text(value("VREME"));
        record.temperature = Rounded(value("TEMPERATURA"));
        record.humidity = Text(value("VLAZNOST")) + QStringLiteral("%");
        record.wind = Text(value("VETERSMER")) + QLatin1Char(' ') + Text(value("VETERHITROST")) +
                      QStringLiteral(" m/s");
        record.pressure = Text(value("ZRACNITLAK")) + QStringLiteral(" hPa");
        record.lastChange = Text(changed);
        record.feelsLike = Text(value("OBCUTEKT")) + QStringLiteral("°");
    }
}
