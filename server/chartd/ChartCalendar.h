#pragma once

#include "ChartQuery.h"

#include <string>

namespace chartd {

// The readings a request covers, as the database's time keys
// ("YYYY-MM-DD HH:MM:SS", local time): from included, to excluded.
struct TReadingSpan
{
    std::string from;
    std::string to;
};

// Day: that day; week: Monday to Sunday around it; month and year: those
// around it; range: from the first day to the day after.
TReadingSpan ReadingSpan(const TChartRequest& request);

// "YYYY-MM-DD 00:00:00" of a day number (days since 30 December 1899).
std::string DayKey(long day);

} // namespace chartd
