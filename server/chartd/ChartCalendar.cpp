#include "ChartCalendar.h"

#include <chrono>
#include <cstdio>

namespace chartd {
namespace {

using namespace std::chrono;

constexpr sys_days DayZero = year(1899) / December / 30;

sys_days Day(long number)
{
    return DayZero + days(number);
}

std::string Key(const year_month_day& date)
{
    // After the last day a request may name comes only this bound, which sorts
    // after every key of 31 December 9999.
    if (date.year() > year(9999))
        return "9999-12-31 ~";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u 00:00:00", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

} // namespace

std::string DayKey(long day)
{
    return Key(year_month_day(Day(day)));
}

TReadingSpan ReadingSpan(const TChartRequest& request)
{
    const sys_days day = Day(request.fromDay);
    const year_month_day date(day);
    switch (request.graph) {
    case TGraphKind::Day:
        return {Key(date), Key(day + days(1))};
    case TGraphKind::Week: {
        const sys_days monday = day - (weekday(day) - Monday);
        return {Key(monday), Key(monday + weeks(1))};
    }
    case TGraphKind::Month: {
        const year_month month = date.year() / date.month();
        return {Key(month / 1), Key((month + months(1)) / 1)};
    }
    case TGraphKind::Year:
        return {Key(date.year() / January / 1), Key((date.year() + years(1)) / January / 1)};
    case TGraphKind::Range:
        break;
    }
    return {Key(date), DayKey(request.toDay)};
}

} // namespace chartd
