#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>

// The moon's principal phases for the moon panel. Date-times are day numbers
// (days since 30 December 1899, the fraction being the time of day) on the
// clock of Central European Time without summer time, UTC + 1 hour.

// The offset of that clock from UTC, in seconds.
inline constexpr int MoonClockOffset = 3600;

// The phases in the order of the panel's moons: new moon, first quarter,
// full moon, last quarter.
inline constexpr int MoonPhaseCount = 4;

// The date-time of a phase: k is the lunation number counted from January
// 1900 plus 0, 0.25, 0.5 or 0.75 for the phase, T the time in Julian
// centuries since 1900.
double MoonPhaseTime(double k, double T);

// New moon, first quarter, full moon and last quarter of the lunation that
// starts nearest to dateTime, as counted in mean lunations (a day or so
// either way); not-a-number for a date-time outside the years 1 to 9999.
std::array<double, MoonPhaseCount> MoonPhaseDates(double dateTime);

// The Slovenian name of the day of the week of dateTime ("nedelja" ...):
// mode '1' capitalises the first letter, 'U' or 'u' every letter, any other
// character none; with n > 0 only the first n characters.
QString DayName(int n, QChar mode, double dateTime);

// A date-time as a date and time at the clock's offset from UTC.
QDateTime MoonClock(double dateTime);

struct TMoonPhaseLabel
{
    bool labelled = false;
    QString dayName; // "Pon"
    QString date;    // "22.06"
    bool today = false;
    double time = 0; // the phase's date-time
};

// The panel's labels on the day today. Lunation by lunation, from the one
// that starts nearest to 00:00 of the day before yesterday, each phase gets
// its first time from that moment to two calendar months after it; a phase
// on today is marked.
std::array<TMoonPhaseLabel, MoonPhaseCount> MoonPanelLabels(const QDate& today);
