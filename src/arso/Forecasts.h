#pragma once

#include "arso/FeedWriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <optional>

// ARSO's forecasts as the text forecast of the feeds: a heading and its
// paragraphs per forecast ("Napovedi/VremenskaNapoved/N").
namespace arso {

struct TForecastText
{
    QDateTime issued;
    QList<TFeedRecord> parts; // "Naziv" first, then "Besedilo" paragraphs
};

// The national forecast (fcast_SLOVENIA_latest.xml): one paragraph per day.
std::optional<TForecastText> ReadNationalForecast(const QByteArray& file);
// The regional forecast (forecast_si_latest.xml): per day a heading and one
// paragraph per region.
std::optional<TForecastText> ReadRegionalForecast(const QByteArray& file);
// The written forecast (fcast_si_text.xml): an article of titled sections,
// each a heading with its paragraphs, in ARSO's order.
std::optional<TForecastText> ReadTextForecast(const QByteArray& file);

} // namespace arso
