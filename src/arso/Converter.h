#pragma once

#include "arso/StationCodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QStringList>

// ARSO's open files turned into the program's documents: the two feeds and the
// station catalogue. One converter serves the feed builder on the server and
// the program's direct source.
namespace arso {

// The ARSO files of one conversion; an empty one was not fetched.
struct TArsoFiles
{
    QByteArray automaticStations; // "observationAms_si_latest.xml"
    QByteArray mainStations;      // "observation_si_latest.xml"
    QByteArray europeanCities;    // "observation_eu-capital_latest.xml"
    QByteArray nationalForecast;  // "fcast_SLOVENIA_latest.xml"
    QByteArray regionalForecast;  // "forecast_si_latest.xml"
    QByteArray textForecast;      // "fcast_si_text.xml"
    QByteArray waterLevels;       // "hidro_podatki_zadnji.xml"
    // When the deployment's copies of ARSO's radar pictures last changed, for
    // the feed's change stamps; invalid: no such picture.
    QDateTime radarChanged;
    QDateTime radarAnimationChanged;

    // The files by the names of arso::Sources(); names it does not know are
    // left out.
    static TArsoFiles FromNames(const QHash<QString, QByteArray>& files);
};

struct TConversion
{
    QByteArray mainFeed;   // "podatki.xml"
    QByteArray secondFeed; // "podatkiOstalo.xml"
    QByteArray catalogue;  // "Postaje.xml"
    // File names of the files that converted, and of those given that did not.
    QStringList converted;
    QStringList failed;
};

// Converts what is given. A file that does not parse leaves its sections out,
// as one not given does; station codes come from, and go into, codes.
TConversion Convert(const TArsoFiles& files, TStationCodes& codes);

} // namespace arso
