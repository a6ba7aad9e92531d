#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace chartd {

// Day numbers count days since 30 December 1899; these are the first and the
// last day the request may name (31 December 1899 and 31 December 9999).
inline constexpr long FirstDay = 1;
inline constexpr long LastDay = 2958465;
// A range spans at most this many days: the program sends the day after the
// last one it wants, and allows 31 days from the first to the last.
inline constexpr long LongestRange = 32;
inline constexpr std::size_t LongestQuery = 4096;

enum class TGraphKind { Range = 0, Day = 1, Week = 2, Month = 3, Year = 4 };

// A well-formed chart request; whether its station exists is the database's
// to say.
struct TChartRequest
{
    int stationKind = 0; // 1 observation, 2 automatic, 3 amateur
    long stationCode = 0;
    TGraphKind graph = TGraphKind::Range;
    long fromDay = 0;
    long toDay = 0; // the range form's first day after the range
};

struct TParsedQuery
{
    TChartRequest request;
    // Why the query is refused, in a few English words; empty when it is not.
    std::string refusal;
};

// Reads a query string ("&POSTAJA_TIP=1&POSTAJA_IME=14&OD_DAT=46001.76&TIP_GRAFA=1"
// or the range form with DO_DAT instead of TIP_GRAFA). Anything but exactly
// these keys, each once, with plain decimal values, is refused.
TParsedQuery ParseChartQuery(std::string_view query);

} // namespace chartd
