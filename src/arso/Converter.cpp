#include "arso/Converter.h"

#include "arso/ArsoTime.h"
#include "arso/FeedWriter.h"
#include "arso/Forecasts.h"
#include "arso/Observations.h"
#include "arso/WaterLevels.h"

namespace arso {

namespace {

const QString stationRecord = QStringLiteral("P");

// The credit that the feeds' sections carry where they say where they come from.
const QString credit = QStringLiteral("Vir: ARSO");

QList<TFeedRecord> Records(const TObservations& observations)
{
    QList<TFeedRecord> records;
    for (const TStation& station : observations.stations)
        records.append(station.record);
    return records;
}

QList<TFeedRecord> CatalogueRecords(const TObservations& observations, TStationCodes& codes)
{
    QList<TFeedRecord> records;
    for (const TStation& station : observations.stations)
        if (const int code = codes.Code(station.identifier); code > 0)
            records.append({{QStringLiteral("SIFRA"), QString::number(code)},
                            {QStringLiteral("NAZIV"), station.name}});
    return records;
}

// "Sonce vzide ob 6.29 in zaide ob 17.57", which the program reads its sun
// times from, for the station nearest the middle of the country's list.
QString SunText(const TObservations& observations)
{
    const TStation* chosen = nullptr;
    for (const TStation& station : observations.stations) {
        if (station.sunrise.isEmpty() || station.sunset.isEmpty())
            continue;
        if (!chosen || station.name.startsWith(QStringLiteral("Ljubljana")))
            chosen = &station;
        if (station.name.startsWith(QStringLiteral("Ljubljana")))
            break;
    }
    const std::optional<QDateTime> sunrise = chosen ? ParseArsoTime(chosen->sunrise) : std::nullopt;
    const std::optional<QDateTime> sunset = chosen ? ParseArsoTime(chosen->sunset) : std::nullopt;
    if (!sunrise || !sunset)
        return {};
    auto clock = [](const QDateTime& time) {
        return time.toTimeZone(SlovenianZone()).toString(QStringLiteral("H.mm"));
    };
    return QStringLiteral("Sonce vzide ob ") + clock(*sunrise) + QStringLiteral(" in zaide ob ") +
           clock(*sunset);
}

struct TConverting
{
    TConversion& result;

    template <typename T>
    std::optional<T> Read(const QByteArray& file, const char* name,
                          std::optional<T> (*reader)(const QByteArray&))
    {
        if (file.isEmpty())
            return std::nullopt;
        std::optional<T> read = reader(file);
        (read ? result.converted : result.failed).append(QString::fromLatin1(name));
        return read;
    }
};

} // namespace

TArsoFiles TArsoFiles::FromNames(const QHash<QString, QByteArray>& files)
{
    TArsoFiles named;
    named.automaticStations = files.value(QStringLiteral("observationAms_si_latest.xml"));
    named.mainStations = files.value(QStringLiteral("observation_si_latest.xml"));
    named.europeanCities = files.value(QStringLiteral("observation_eu-capital_latest.xml"));
    named.nationalForecast = files.value(QStringLiteral("fcast_SLOVENIA_latest.xml"));
    named.regionalForecast = files.value(QStringLiteral("forecast_si_latest.xml"));
    named.textForecast = files.value(QStringLiteral("fcast_si_text.xml"));
    named.waterLevels = files.value(QStringLiteral("hidro_podatki_zadnji.xml"));
    return named;
}

TConversion Convert(const TArsoFiles& files, TStationCodes& codes)
{
    TConversion result;
    TConverting converting{result};
    const auto automatic =
        converting.Read(files.automaticStations, "observationAms_si_latest.xml", &ReadObservations);
    const auto main =
        converting.Read(files.mainStations, "observation_si_latest.xml", &ReadObservations);
    const auto europe = converting.Read(files.europeanCities, "observation_eu-capital_latest.xml",
                                        &ReadObservations);
    const auto national =
        converting.Read(files.nationalForecast, "fcast_SLOVENIA_latest.xml", &ReadNationalForecast);
    const auto regional =
        converting.Read(files.regionalForecast, "forecast_si_latest.xml", &ReadRegionalForecast);
    const auto written =
        converting.Read(files.textForecast, "fcast_si_text.xml", &ReadTextForecast);
    const auto water =
        converting.Read(files.waterLevels, "hidro_podatki_zadnji.xml", &ReadWaterLevels);

    TFeedWriter mainFeed;
    TFeedWriter catalogue(QStringLiteral("Postaje"));
    if (main) {
        mainFeed.AddSection(QStringLiteral("OpazovalnePostaje"), FeedSectionTime(main->time),
                            stationRecord, Records(*main));
        catalogue.AddRecords(QStringLiteral("OPAZOVALNE"), stationRecord,
                             CatalogueRecords(*main, codes));
    }
    if (automatic) {
        mainFeed.AddSection(QStringLiteral("AvtomatskePostaje"), FeedSectionTime(automatic->time),
                            stationRecord, Records(*automatic));
        catalogue.AddRecords(QStringLiteral("AVTOMATSKE"), stationRecord,
                             CatalogueRecords(*automatic, codes));
    }
    // Snow depth from every station that reports some, main stations first.
    QList<TFeedRecord> snow;
    QDateTime snowTime;
    for (const auto* observations : {&main, &automatic}) {
        if (!*observations)
            continue;
        for (const TStation& station : (*observations)->stations)
            if (!station.snowDepth.isEmpty())
                snow.append({{QStringLiteral("Kraj"), station.name},
                             {QStringLiteral("VISINA"), station.snowDepth}});
        snowTime = std::max(snowTime, (*observations)->time);
    }
    if (main || automatic)
        mainFeed.AddSection(QStringLiteral("VisinaSnezneOdeje"), FeedSectionTime(snowTime),
                            stationRecord, snow);

    if (written || national || regional) {
        // The forecasters' own words first, then the figures per day.
        QList<TFeedRecord> parts;
        QDateTime issued;
        for (const auto* text : {&written, &national, &regional})
            if (*text) {
                parts += (*text)->parts;
                issued = std::max(issued, (*text)->issued);
            }
        parts.append({{QStringLiteral("Naziv"), credit}});
        mainFeed.AddSection(QStringLiteral("Napovedi/VremenskaNapoved"), FeedSectionTime(issued),
                            QStringLiteral("N"), parts);
        mainFeed.AddValue(QStringLiteral("Spremembe/Napoved"), FeedDateTime(issued));
    }
    if (files.radarChanged.isValid())
        mainFeed.AddValue(QStringLiteral("Spremembe/SlikaRadar"), FeedDateTime(files.radarChanged));
    if (files.radarAnimationChanged.isValid())
        mainFeed.AddValue(QStringLiteral("Spremembe/SlikaRadarAnim"),
                          FeedDateTime(files.radarAnimationChanged));
    const TObservations* sunSource = automatic ? &*automatic : main ? &*main : nullptr;
    if (const QString sun = sunSource ? SunText(*sunSource) : QString(); !sun.isEmpty())
        mainFeed.AddSection(QStringLiteral("Napovedi/NapovedZaLetalstvo"),
                            FeedSectionTime(sunSource->time), QStringLiteral("N"),
                            {{{QStringLiteral("Naziv"), QStringLiteral("Sonce")},
                              {QStringLiteral("Besedilo"), sun}}});

    TFeedWriter secondFeed;
    if (europe)
        secondFeed.AddSection(QStringLiteral("VremeEU"), FeedSectionTime(europe->time),
                              stationRecord, Records(*europe));

    if (water) {
        QList<TFeedRecord> stations;
        for (const TWaterLevel& station : water->stations)
            stations.append({{QStringLiteral("Postaja"), station.station},
                             {QStringLiteral("VODOSTAJ"), station.level},
                             {QStringLiteral("PRETOK"), station.discharge},
                             {QStringLiteral("STANJE"), station.state},
                             {QStringLiteral("TEMPERATURA"), station.temperature},
                             {QStringLiteral("DECILPRETOKA"), station.decile}});
        secondFeed.AddSection(QStringLiteral("Vode/AvtomatskePostaje"),
                              FeedSectionTime(water->time), stationRecord, stations);
    }

    result.mainFeed = mainFeed.Document();
    result.secondFeed = secondFeed.Document();
    result.catalogue = catalogue.Document();
    return result;
}

} // namespace arso
