#pragma once

#include "ChartQuery.h"

#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace chartd {

// The tables the chart server reads. The time key "at" is local Slovenian time
// "YYYY-MM-DD HH:MM:SS"; the key order lets every request read one range.
inline constexpr const char* ChartSchema =
    "CREATE TABLE stations(station_kind INTEGER, station_code INTEGER, name TEXT,"
    " PRIMARY KEY(station_kind, station_code));"
    "CREATE TABLE readings(station_kind INTEGER NOT NULL, station_code INTEGER NOT NULL,"
    " at TEXT NOT NULL, temperature REAL NOT NULL,"
    " PRIMARY KEY(station_kind, station_code, at)) WITHOUT ROWID;";

// One line of a reply.
struct TChartRow
{
    std::string at; // "YYYY-MM-DD HH:MM:SS"
    std::optional<int> temperature;
    int hour = 0;
};

// The chart database, opened read-only: no request can change it.
class TChartDatabase
{
public:
    explicit TChartDatabase(const std::string& path);
    ~TChartDatabase();
    TChartDatabase(const TChartDatabase&) = delete;
    TChartDatabase& operator=(const TChartDatabase&) = delete;

    // Why the last operation failed (the database is missing, unreadable or no
    // chart database).
    const std::string& Error() const { return FError; }

    // Whether the station is listed; nothing when the database failed.
    std::optional<bool> HasStation(int kind, long code);
    // The reply's rows in time order: the readings of a day or range, the
    // daily means of a week or month, the monthly means of a year. Nothing
    // when the database failed.
    std::optional<std::vector<TChartRow>> Rows(const TChartRequest& request);

private:
    void Fail(const char* what);

    sqlite3* FDb = nullptr;
    std::string FError;
};

// The whole number nearest to a temperature, a half away from zero; nothing
// for values no thermometer shows.
std::optional<int> RoundTemperature(double value);

} // namespace chartd
