#pragma once

#include "arso/StationCodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

// ARSO's open files turned into the program's documents: the two feeds and the
// station catalogue. One converter serves the feed builder on the server and
// the program's direct source.
namespace arso {

// The ARSO files of one conversion; an empty one was not fetched.
struct TArsoFiles
{
    QByteArray AutomaticStations; // "observationAms_si_latest.xml"
    QByteArray MainStations;      // "observation_si_latest.xml"
    QByteArray EuropeanCities;    // "observation_eu-capital_latest.xml"
    QByteArray NationalForecast;  // "fcast_SLOVENIA_latest.xml"
    QByteArray RegionalForecast;  // "forecast_si_latest.xml"
};

struct TConversion
{
    QByteArray MainFeed;   // "podatki.xml"
    QByteArray SecondFeed; // "podatkiOstalo.xml"
    QByteArray Catalogue;  // "Postaje.xml"
    // File names of the files that converted, and of those given that did not.
    QStringList Converted;
    QStringList Failed;
};

// Converts what is given. A file that does not parse leaves its sections out,
// as one not given does; station codes come from, and go into, codes.
TConversion Convert(const TArsoFiles& files, TStationCodes& codes);

} // namespace arso
