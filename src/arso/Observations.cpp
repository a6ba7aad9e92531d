#include "arso/Observations.h"

#include "arso/ArsoTime.h"
#include "arso/MetData.h"

#include <QSet>
#include <cmath>

namespace arso {

namespace {

// A number as ARSO writes it ("6", "-3.3"), or nothing.
std::optional<double> Number(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString NumberText(const QString& text)
{
    return Number(text) ? text : QString();
}

QString WholeNumberText(const QString& text)
{
    const std::optional<double> value = Number(text);
    if (!value || std::abs(*value) > 1e9)
        return {};
    return QString::number(qint64(std::llround(*value)));
}

QString Joined(const QStringList& parts)
{
    QStringList present;
    for (const QString& part : parts)
        if (!part.isEmpty())
            present.append(part);
    return present.join(QStringLiteral(", "));
}

TStation Station(const TMetData& data)
{
    TStation station;
    station.identifier = data.Value(QStringLiteral("domain_meteosiId"));
    station.name = data.Value(QStringLiteral("domain_longTitle"));
    if (station.name.isEmpty())
        station.name = data.Value(QStringLiteral("domain_title"));
    station.time = ParseArsoTime(data.Value(QStringLiteral("valid"))).value_or(QDateTime());
    station.sunrise = data.Value(QStringLiteral("sunrise"));
    station.sunset = data.Value(QStringLiteral("sunset"));

    auto value = [&](const char* name) { return data.Value(QString::fromLatin1(name)); };
    const QString temperature = NumberText(value("t"));
    const QString humidity = WholeNumberText(value("rh"));
    const QString wind = NumberText(value("ff_val"));
    QString felt;
    if (const auto t = Number(temperature))
        felt = QString::number(
            FeltTemperature(*t, Number(humidity).value_or(NAN), Number(wind).value_or(0.0)), 'f',
            1);
    station.record = {
        {QStringLiteral("Kraj"), station.name},
        {QStringLiteral("VREME"), Joined({value("nn_shortText"), value("wwsyn_shortText")})},
        {QStringLiteral("TEMPERATURA"), temperature},
        {QStringLiteral("VLAZNOST"), humidity},
        {QStringLiteral("OBCUTEKT"), felt},
        {QStringLiteral("VETERSMER"), value("dd_shortText")},
        {QStringLiteral("VETERHITROST"), wind},
        {QStringLiteral("VETERSUNKI"), NumberText(value("ffmax_val"))},
        {QStringLiteral("ZRACNITLAK"), NumberText(value("msl"))},
        {QStringLiteral("ZRACNITLAKSTANJE"), value("pa_shortText")},
        {QStringLiteral("ZADNJASPREMEMBA"),
         station.time.isValid() ? FeedDateTime(station.time) : QString()},
    };
    const std::optional<double> snow = Number(value("snow"));
    if (snow && *snow >= 0.5 && *snow < 100000)
        station.snowDepth = QString::number(qint64(std::llround(*snow)));
    return station;
}

} // namespace

double FeltTemperature(double temperature, double humidity, double windMetresPerSecond)
{
    const double windKmh = windMetresPerSecond * 3.6;
    if (temperature <= 10.0 && windKmh > 4.8) {
        const double power = std::pow(windKmh, 0.16);
        return 13.12 + 0.6215 * temperature - 11.37 * power + 0.3965 * temperature * power;
    }
    if (temperature >= 27.0 && humidity >= 40.0 && humidity <= 100.0) {
        // Rothfusz's regression, in degrees Fahrenheit.
        const double f = temperature * 9.0 / 5.0 + 32.0;
        const double r = humidity;
        const double index = -42.379 + 2.04901523 * f + 10.14333127 * r - 0.22475541 * f * r -
                             6.83783e-3 * f * f - 5.481717e-2 * r * r + 1.22874e-3 * f * f * r +
                             8.5282e-4 * f * r * r - 1.99e-6 * f * f * r * r;
        return (index - 32.0) * 5.0 / 9.0;
    }
    return temperature;
}

std::optional<TObservations> ReadObservations(const QByteArray& file)
{
    const std::optional<QList<TMetData>> records = ReadMetData(file);
    if (!records)
        return std::nullopt;
    TObservations observations;
    // The name is the record's key in the feed, so it may not repeat either.
    QSet<QString> seen;
    QSet<QString> seenNames;
    for (const TMetData& data : *records) {
        TStation station = Station(data);
        if (station.identifier.isEmpty() || station.name.isEmpty() ||
            seen.contains(station.identifier) || seenNames.contains(station.name.toCaseFolded()))
            continue;
        seen.insert(station.identifier);
        seenNames.insert(station.name.toCaseFolded());
        if (station.time.isValid() &&
            (!observations.time.isValid() || station.time > observations.time))
            observations.time = station.time;
        observations.stations.append(std::move(station));
    }
    return observations;
}

} // namespace arso
