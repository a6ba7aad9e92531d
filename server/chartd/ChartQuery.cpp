#include "ChartQuery.h"

#include <array>
#include <optional>

namespace chartd {
namespace {

enum TKey { StationKind, StationCode, FromDate, ToDate, GraphKind, KeyCount };

constexpr std::array<std::string_view, KeyCount> KeyNames{"POSTAJA_TIP", "POSTAJA_IME", "OD_DAT",
                                                          "DO_DAT", "TIP_GRAFA"};
// Longer values are no number the program sends.
constexpr std::size_t LongestValue = 40;
constexpr long LargestStationCode = 2147483647;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The value with its %XX escapes decoded; nothing for a broken escape.
std::optional<std::string> PercentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

bool AllDigits(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

enum class TValueError { None, NotANumber, OutOfRange };

// A whole number of plain digits between smallest and largest (at most ten
// significant digits, so it never overflows).
long WholeNumber(std::string_view text, long smallest, long largest, TValueError& error)
{
    if (!AllDigits(text)) {
        error = TValueError::NotANumber;
        return 0;
    }
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    long value = 0;
    for (const char c : text.substr(0, 10))
        value = value * 10 + (c - '0');
    if (text.size() > 10 || value < smallest || value > largest) {
        error = TValueError::OutOfRange;
        return 0;
    }
    return value;
}

// A day number in the general number form with "." or "," as the decimal
// separator ("46000", "46000.7675", "46000,7675"): its whole days. The time of
// day is of no interest.
long DayNumber(std::string_view text, TValueError& error)
{
    const std::size_t separator = text.find_first_of(".,");
    if (separator != std::string_view::npos && !AllDigits(text.substr(separator + 1))) {
        error = TValueError::NotANumber;
        return 0;
    }
    return WholeNumber(text.substr(0, separator), FirstDay, LastDay, error);
}

TParsedQuery Refused(std::string reason)
{
    return {TChartRequest(), std::move(reason)};
}

// The refusal for a value that WholeNumber or DayNumber did not take.
TParsedQuery RefusedValue(TKey key, TValueError error)
{
    return Refused(std::string(KeyNames[key]) + (error == TValueError::OutOfRange
                                                     ? " out of range"
                                                     : " is not a plain decimal number"));
}

} // namespace

TParsedQuery ParseChartQuery(std::string_view query)
{
    if (query.size() > LongestQuery)
        return Refused("query too long");

    std::array<std::optional<std::string>, KeyCount> values;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view segment = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (segment.empty())
            continue;
        const std::size_t equals = segment.find('=');
        if (equals == std::string_view::npos)
            return Refused("parameter without a value");
        std::size_t key = 0;
        while (key < KeyCount && KeyNames[key] != segment.substr(0, equals))
            ++key;
        if (key == KeyCount)
            return Refused("unknown parameter");
        const std::string name(KeyNames[key]);
        if (values[key])
            return Refused(name + " given twice");
        std::optional<std::string> value = PercentDecoded(segment.substr(equals + 1));
        if (!value)
            return Refused(name + " has a broken percent escape");
        if (value->size() > LongestValue)
            return Refused(name + " too long");
        values[key] = std::move(value);
    }

    for (const TKey key : {StationKind, StationCode, FromDate})
        if (!values[key])
            return Refused("missing " + std::string(KeyNames[key]));
    if (values[GraphKind] && values[ToDate])
        return Refused("TIP_GRAFA and DO_DAT exclude each other");
    if (!values[GraphKind] && !values[ToDate])
        return Refused("missing TIP_GRAFA or DO_DAT");

    TChartRequest request;
    TValueError error = TValueError::None;
    const long kind = WholeNumber(*values[StationKind], 1, 3, error);
    if (error != TValueError::None)
        return RefusedValue(StationKind, error);
    request.stationKind = static_cast<int>(kind);
    request.stationCode = WholeNumber(*values[StationCode], 0, LargestStationCode, error);
    if (error != TValueError::None)
        return RefusedValue(StationCode, error);
    // The program sends 0 when no station is chosen.
    if (request.stationCode == 0)
        return Refused("unknown station");
    request.fromDay = DayNumber(*values[FromDate], error);
    if (error != TValueError::None)
        return RefusedValue(FromDate, error);

    if (values[GraphKind]) {
        const long graph = WholeNumber(*values[GraphKind], 1, 4, error);
        if (error != TValueError::None)
            return RefusedValue(GraphKind, error);
        request.graph = static_cast<TGraphKind>(graph);
        return {request, {}};
    }
    request.toDay = DayNumber(*values[ToDate], error);
    if (error != TValueError::None)
        return RefusedValue(ToDate, error);
    if (request.toDay <= request.fromDay)
        return Refused("DO_DAT must be a later day than OD_DAT");
    if (request.toDay - request.fromDay > LongestRange)
        return Refused("range longer than 31 days");
    return {request, {}};
}

} // namespace chartd
