#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// ARSO's hydrological stations ("hidro_podatki_zadnji.xml" and the daily
// report "hidro_podatki_dnevno_porocilo.xml", root "arsopodatki") as the rows
// of the water table: every value a text as the feed writes it, empty where
// ARSO gives nothing usable.
namespace arso {

struct TWaterLevel
{
    QString station;     // POSTAJA, at most 20 characters
    QString level;       // VODOSTAJ, whole centimetres
    QString discharge;   // PRETOK, m3/s with "." as decimal separator
    QString state;       // STANJE, at most 10 characters
    QString temperature; // TEMPERATURA, water, °C
    QString decile;      // DECILPRETOKA, at most 13 characters
};

struct TWaterLevels
{
    // The newest measuring time of a station, else the time the file was
    // prepared, in Slovenian local time; invalid when the file names neither.
    QDateTime time;
    QList<TWaterLevel> stations; // in the file's order
};

// The most stations taken from one file; the rest are left out.
inline constexpr qsizetype MaxWaterStations = 1000;

// Nothing when the bytes are not a complete hydrological document, so the
// caller keeps what it had.
std::optional<TWaterLevels> ReadWaterLevels(const QByteArray& file);

} // namespace arso
