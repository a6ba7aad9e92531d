#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>

// Dates, times and numbers in the program's feeds have one fixed format whatever
// the user's locale; this header reads them, and converts date-times to the
// day numbers (days since 30 December 1899, local time) that cross interfaces.
namespace pas_lib {

struct TFormatSettings
{
    QString ShortDateFormat;
    QString LongTimeFormat;
    QString ShortTimeFormat;
    QChar TimeSeparator;
    QChar DateSeparator;
    QChar DecimalSeparator;
};

extern const TFormatSettings FixedFormatSettings;

// Blanks around each value are allowed.
// "d.M.yyyy" (day and month with one or two digits).
std::optional<QDate> ParseFeedDate(QStringView text);
// "H:mm:ss" or "H:mm".
std::optional<QTime> ParseFeedTime(QStringView text);
// A date, optionally followed by blanks and a time, in local time. A time that
// the clock skips (the hour lost to summer time) is read as the moment after
// the skip, so the result is always a valid date-time.
std::optional<QDateTime> ParseFeedDateTime(QStringView text);
// A finite decimal number with "." as the decimal separator and an optional
// exponent, at most 100 characters.
std::optional<double> ParseFeedNumber(QStringView text);
// The number in the feed's format ("." decimal separator, no grouping), in
// the fewest digits that ParseFeedNumber reads back as the same number.
QString FormatFeedNumber(double value);

double DateTimeToDays(const QDateTime& dateTime);
// Invalid for numbers that are not finite or lie outside the years 1 to 9999.
QDateTime DaysToDateTime(double days);
// The same on the clock of a zone that keeps a fixed offset from UTC all year
// (seconds east of Greenwich), where no hour is skipped or repeated.
double DateTimeToDays(const QDateTime& dateTime, int offsetFromUtc);
QDateTime DaysToDateTime(double days, int offsetFromUtc);

// The whole number nearest to value (a half to the even neighbour) when it
// lies in T's range; nothing for NaN, infinities and numbers beyond it. Every
// conversion of a floating-point number to an integer goes through here.
template <typename T> std::optional<T> RoundToInteger(double value)
{
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    const double rounded = std::nearbyint(value);
    // -min is a power of two, so both bounds are exact doubles.
    constexpr double lowest = double(std::numeric_limits<T>::min());
    if (!(rounded >= lowest && rounded < -lowest))
        return std::nullopt;
    return T(rounded);
}

} // namespace pas_lib
