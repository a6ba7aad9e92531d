#include "ChartDatabase.h"

#include "ChartCalendar.h"

#include <cmath>
#include <sqlite3.h>
#include <string_view>

namespace chartd {
namespace {

// A prepared statement, finalised when it goes.
class TStatement
{
public:
    TStatement(sqlite3* db, const char* sql)
    {
        sqlite3_prepare_v2(db, sql, -1, &FStatement, nullptr);
    }
    ~TStatement() { sqlite3_finalize(FStatement); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    sqlite3_stmt* Get() const { return FStatement; }
    // Binds the station's kind and code to ?1 and ?2.
    bool BindStation(int kind, long code) const
    {
        return sqlite3_bind_int(FStatement, 1, kind) == SQLITE_OK &&
               sqlite3_bind_int64(FStatement, 2, code) == SQLITE_OK;
    }

private:
    sqlite3_stmt* FStatement = nullptr;
};

bool IsDigitAt(std::string_view text, std::size_t index)
{
    return text[index] >= '0' && text[index] <= '9';
}

// "YYYY-MM-DD HH:MM:SS" with an hour below 24; a row with another key is no
// reading the reply could place.
bool IsTimeKey(std::string_view at)
{
    constexpr std::string_view pattern = "dddd-dd-dd dd:dd:dd";
    if (at.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] == 'd' ? !IsDigitAt(at, i) : at[i] != pattern[i])
            return false;
    return (at[11] - '0') * 10 + (at[12] - '0') < 24;
}

} // namespace

std::optional<int> RoundTemperature(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 1000)
        return std::nullopt;
    // Readings carry tenths, so a mean that is a half lies within rounding
    // error of one; snapping to millionths lets it round away from zero.
    return static_cast<int>(std::round(std::round(value * 1e6) / 1e6));
}

TChartDatabase::TChartDatabase(const std::string& path)
{
    if (sqlite3_open_v2(path.c_str(), &FDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        Fail("cannot open the chart database");
        return;
    }
    // A converter may be writing; wait for it a little rather than fail.
    sqlite3_busy_timeout(FDb, 2000);
}

TChartDatabase::~TChartDatabase()
{
    sqlite3_close(FDb);
}

void TChartDatabase::Fail(const char* what)
{
    FError = std::string(what) + ": " + (FDb ? sqlite3_errmsg(FDb) : "out of memory");
}

std::optional<bool> TChartDatabase::HasStation(int kind, long code)
{
    const TStatement statement(
        FDb, "SELECT 1 FROM stations WHERE station_kind = ?1 AND station_code = ?2");
    if (!statement.Get() || !statement.BindStation(kind, code)) {
        Fail("cannot read the stations");
        return std::nullopt;
    }
    const int result = sqlite3_step(statement.Get());
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
        Fail("cannot read the stations");
        return std::nullopt;
    }
    return result == SQLITE_ROW;
}

std::optional<std::vector<TChartRow>> TChartDatabase::Rows(const TChartRequest& request)
{
    const TReadingSpan span = ReadingSpan(request);
    const TStatement statement(FDb, "SELECT at, temperature FROM readings"
                                    " WHERE station_kind = ?1 AND station_code = ?2"
                                    " AND at >= ?3 AND at < ?4 ORDER BY at");
    sqlite3_stmt* const query = statement.Get();
    if (!query || !statement.BindStation(request.stationKind, request.stationCode) ||
        sqlite3_bind_text(query, 3, span.from.data(), static_cast<int>(span.from.size()),
                          SQLITE_STATIC) != SQLITE_OK ||
        sqlite3_bind_text(query, 4, span.to.data(), static_cast<int>(span.to.size()),
                          SQLITE_STATIC) != SQLITE_OK) {
        Fail("cannot read the readings");
        return std::nullopt;
    }

    // Weeks and months average the readings of each day, years those of each
    // month: readings group by the first characters of their keys.
    const std::size_t groupLength =
        request.graph == TGraphKind::Week || request.graph == TGraphKind::Month ? 10
        : request.graph == TGraphKind::Year                                     ? 7
                                                                                : 0;
    const std::string_view groupStart = groupLength == 7 ? "-01 00:00:00" : " 00:00:00";
    std::vector<TChartRow> rows;
    std::string group;
    double sum = 0;
    int count = 0;
    const auto closeGroup = [&] {
        if (!group.empty())
            rows.push_back({group + std::string(groupStart),
                            count > 0 ? RoundTemperature(sum / count) : std::nullopt, 0});
    };

    int result;
    while ((result = sqlite3_step(query)) == SQLITE_ROW) {
        // Text first, then its length, as SQLite asks.
        const auto* const text = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        if (!text)
            continue;
        const std::string_view at(text, static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
        if (!IsTimeKey(at))
            continue;
        const int type = sqlite3_column_type(query, 1);
        const std::optional<double> value =
            type == SQLITE_INTEGER || type == SQLITE_FLOAT
                ? std::optional<double>(sqlite3_column_double(query, 1))
                : std::nullopt;
        if (groupLength == 0) {
            rows.push_back({std::string(at), value ? RoundTemperature(*value) : std::nullopt,
                            (at[11] - '0') * 10 + (at[12] - '0')});
            continue;
        }
        if (at.substr(0, groupLength) != group) {
            closeGroup();
            group = at.substr(0, groupLength);
            sum = 0;
            count = 0;
        }
        if (value && std::isfinite(*value)) {
            sum += *value;
            ++count;
        }
    }
    if (result != SQLITE_DONE) {
        Fail("cannot read the readings");
        return std::nullopt;
    }
    closeGroup();
    return rows;
}

} // namespace chartd
