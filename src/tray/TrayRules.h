#pragma once

#include "weather/CurrentConditions.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QTime>
#include <optional>

// What the notification-area icon shows, decided from the current conditions
// and the settings; no widgets, so tests check it directly.
namespace pas_lib {

// The two weather lists hold the same 21 pictures; the refresh animation has 16.
constexpr int WeatherPictureCount = 21;
constexpr int AnimationFrameCount = 16;
// Empty and transparent: the background of the transparent temperature text.
constexpr int EmptyPicture = 16;

// The picture for a weather description; night picks the night pictures of
// the six sky-cover descriptions. No matching rule gives 0.
int MapWeatherToIcon(const QString& description, bool night);

// The kind whose temperature the tray shows: tipPostaje, or its fallback when
// that record has no temperature (1 for 0, 0 otherwise).
int TrayStationKind(int tipPostaje, const std::array<CurrentConditions, StationKindCount>& records);
// The kind whose description chooses the picture.
int WeatherSourceKind(int tipPostaje, bool vremeOpazovalne);
// The same from the parameter store and currentConditions.
int TrayStationKind();
int WeatherSourceKind();

// The icon's text for a temperature: without its last character (the degree
// sign) unless degreeSign, and "NA" when nothing is left.
QString TrayTemperatureText(const QString& temperature, bool degreeSign);

// A time of day as a fraction of a day (0 is midnight).
double TimeOfDay(const QTime& time);
// Night: later than sunset or earlier than sunrise (fractions of a day).
bool IsNight(double timeOfDay, double sunrise, double sunset);

// A colour stored as a Windows colour value (red in the lowest byte); system
// colours map to the palette. No value for "none" (clNone).
std::optional<QColor> WindowsColor(qint64 value);

// Applies FONT_STYLE's letters: "B" bold, "I" italic, "U" underline, "S"
// strike-out, capitals in any order; anything else is ignored.
void ApplyFontStyle(QFont& font, const QString& letters);

// The temperature text's font: the family when the system has it (the
// Windows program's own bitmap fonts never), else a condensed sans font; the
// size in points as stored (text, 9 when it does not read as a size).
QFont TrayTextFont(const QString& family, const QString& pointSize, const QString& style);

} // namespace pas_lib
