#include "weather/UpdateConditions.h"

#include "common/FixedFormat.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/TWeatherTable.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace {

QLocale UserLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Numbers and date-times as the user's regional settings write them; empty stays empty.
QString Text(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
        return UserLocale().toString(value.toDouble(), 'g', 15);
    case QMetaType::Int:
        return UserLocale().toString(value.toInt());
    case QMetaType::QDateTime:
        return UserLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

QString Rounded(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    // Half to the even neighbour; -0.4 gives 0, not -0.
    const double rounded = std::nearbyint(value.toDouble());
    return QString::number(qint64(rounded)) + QStringLiteral("°");
}

} // namespace

void SetChosenPlaces()
{
    const char* const places[] = {"KRAJ_OPAZOVALNE", "KRAJ_AVTOMATSKE", "KRAJ_AMATERSKE"};
    for (int kind = 0; kind < pas_lib::StationKindCount; ++kind)
        pas_lib::currentConditions[size_t(kind)].place =
            parametri ? parametri->Get(QString::fromLatin1(places[kind])).toString() : QString();
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
