#pragma once

#include <QString>
#include <QStringView>

class TWeatherTable;
struct TWeatherRow;

// The feed section reader is TWeatherData::LoadFeedSection; these are its parts
// that stand on their own.
namespace pas_lib {

// Sunrise minus 1/42 day and sunset plus 1/42 day, as fractions of a day (0 is
// midnight), so that the tray icon's night starts a little after sunset and ends
// a little before sunrise. 0 until the aviation forecast is first read.
extern double SunriseTime;
extern double SunsetTime;

constexpr double SunTimeMargin = 1.0 / 42.0;
constexpr double DefaultSunriseTime = 0.25;
constexpr double DefaultSunsetTime = 0.84;

// Sets SunriseTime and SunsetTime from the aviation forecast's sun text
// ("Sonce vzide ob 5.12 in zaide ob 20.54"): its first and second time of day,
// written hours[.minutes[.seconds]]. A time that is missing or does not read
// as one leaves its value at the default, SunriseTime 0.25 or SunsetTime 0.84.
void ReadSunTimes(QStringView text);

// Empties the row's values before a feed rewrites it: text becomes empty, numbers
// NULL; SIFRA, KRAJ and date-times keep their values.
void ClearRowValues(const TWeatherTable& table, TWeatherRow& row);

// Properties of a text pane's document: its paragraphs' first-line and right
// indents in points, which the reader gives every paragraph it writes.
inline constexpr char FirstLineIndentProperty[] = "firstLineIndent";
inline constexpr char RightIndentProperty[] = "rightIndent";

} // namespace pas_lib
