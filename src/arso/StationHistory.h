#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// ARSO's two-day history of one automatic station
// ("observationAms_<STATION>_history.xml": root "data", a "metData" record
// every ten minutes, newest first) as the hourly temperatures of a chart.
namespace arso {

struct THourlyReading
{
    QDateTime time;         // on the full hour, Slovenian local time
    double temperature = 0; // °C
};

struct TStationHistory
{
    QString stationId;   // ARSO's stable id ("KRANJ_")
    QString stationName; // as ARSO shows it ("Kranj")
    // Oldest first, one per full hour whose record has a temperature.
    QList<THourlyReading> readings;
};

// The most hours kept from one file, the newest; far beyond two days.
inline constexpr qsizetype MaxHistoryHours = 1000;

// Nothing when the bytes are not a complete ARSO observation document, so the
// caller keeps what it had.
std::optional<TStationHistory> ReadStationHistory(const QByteArray& file);

} // namespace arso
