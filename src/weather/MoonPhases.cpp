#include "weather/MoonPhases.h"

#include "common/FixedFormat.h"

#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int NewMoon = 0;
constexpr int FullMoon = 2;

// Indexed by the day of the week, Sunday first.
constexpr const char16_t* DayNames[7] = {u"nedelja", u"ponedeljek", u"torek", u"sreda",
                                         u"četrtek", u"petek",      u"sobota"};

// x less its integer part truncated toward zero.
double Frac(double x)
{
    return x - std::trunc(x);
}

// An angle in degrees reduced to [0, 360) and turned into radians.
double Radians(double degrees)
{
    return (degrees - 360.0 * std::floor(degrees / 360.0)) * std::numbers::pi / 180.0;
}

// The day number of a date's 00:00 on the moon clock.
double DayNumber(const QDate& date)
{
    return pas_lib::DateTimeToDays(QDateTime(date, QTime(0, 0), Qt::OffsetFromUTC, MoonClockOffset),
                                   MoonClockOffset);
}

// The periodic terms of new and full moon (m the Sun's mean anomaly, mp the
// Moon's, f the Moon's argument of latitude, all in radians).
double NewFullCorrection(double T, double m, double mp, double f)
{
    using std::sin;
    return (0.1734 - 0.000393 * T) * sin(m) + 0.0021 * sin(2 * m) - 0.4068 * sin(mp) +
           0.0161 * sin(2 * mp) - 0.0004 * sin(3 * mp) + 0.0104 * sin(2 * f) -
           0.0051 * sin(m + mp) - 0.0074 * sin(m - mp) + 0.0004 * sin(2 * f + m) -
           0.0004 * sin(2 * f - m) - 0.0006 * sin(2 * f + mp) + 0.0010 * sin(2 * f - mp) +
           0.0005 * sin(m + 2 * mp);
}

// The periodic terms of the quarters, before the first or last quarter's own
// shift.
double QuarterCorrection(double T, double m, double mp, double f)
{
    using std::sin;
    return (0.1721 - 0.0004 * T) * sin(m) + 0.0021 * sin(2 * m) - 0.6280 * sin(mp) +
           0.0089 * sin(2 * mp) - 0.0004 * sin(3 * mp) + 0.0079 * sin(2 * f) -
           0.0119 * sin(m + mp) - 0.0047 * sin(m - mp) + 0.0003 * sin(2 * f + m) -
           0.0004 * sin(2 * f - m) - 0.0006 * sin(2 * f + mp) + 0.0021 * sin(2 * f - mp) +
           0.0003 * sin(m + 2 * mp) + 0.0004 * sin(m - 2 * mp) - 0.0003 * sin(2 * m + mp);
}

} // namespace

double MoonPhaseTime(double k, double T)
{
    const double t2 = T * T;
    const double t3 = t2 * T;
    const double e = std::sin(Radians(166.56 + 132.87 * T - 0.009173 * t2));
    const double m =
        Radians(360.0 * Frac(k / 12.36886) + 359.2242 - 0.0000333 * t2 - 0.00000347 * t3);
    const double mp =
        Radians(360.0 * Frac(k / 0.9330851) + 306.0253 + 0.0107306 * t2 + 0.00001236 * t3);
    const double f =
        Radians(360.0 * Frac(k / 0.9214926) + 21.2964 - 0.0016528 * t2 - 0.00000239 * t3);

    const double phase = k - std::floor(k);
    double correction = 0;
    if (std::abs(phase - 0.25) < 0.01 || std::abs(phase - 0.75) < 0.01) {
        // The quarters take their own terms: new and full moon's put them up
        // to six hours off.
        const double shift = 0.0028 - 0.0004 * std::cos(m) + 0.0003 * std::cos(mp);
        correction = QuarterCorrection(T, m, mp, f) + (phase < 0.5 ? shift : -shift);
    } else {
        correction = NewFullCorrection(T, m, mp, f);
    }
    const double sinceEpoch = 29.53 * k + 0.00058868 * k + 0.0001178 * t2 - 0.000000155 * t3 +
                              0.00033 * e + 0.75933 + correction;
    // From the formulae's epoch (noon of 31 December 1899) to day zero, and
    // from Universal Time to the moon clock.
    return sinceEpoch + 1.5 + 1.0 / 24.0;
}

std::array<double, MoonPhaseCount> MoonPhaseDates(double dateTime)
{
    std::array<double, MoonPhaseCount> phases;
    const QDateTime clock = MoonClock(dateTime);
    if (!clock.isValid()) {
        phases.fill(std::numeric_limits<double>::quiet_NaN());
        return phases;
    }
    const int year = clock.date().year();
    const double dayOfYear = dateTime - DayNumber(QDate(year, 1, 1)) + 1.0;
    const double k = std::floor((double(year - 1900) + dayOfYear / 365.0) * 12.3685 + 0.5);
    for (int phase = 0; phase < MoonPhaseCount; ++phase) {
        const double lunation = k + phase / 4.0;
        phases[phase] = MoonPhaseTime(lunation, lunation / 1236.85);
    }
    return phases;
}

QString DayName(int n, QChar mode, double dateTime)
{
    const QDateTime clock = MoonClock(dateTime);
    if (!clock.isValid())
        return {};
    QString name = QString::fromUtf16(DayNames[clock.date().dayOfWeek() % 7]);
    if (mode == u'1')
        name = name.left(1).toUpper() + name.mid(1);
    else if (mode == u'U' || mode == u'u')
        name = name.toUpper();
    return n > 0 ? name.left(n) : name;
}

QDateTime MoonClock(double dateTime)
{
    return pas_lib::DaysToDateTime(dateTime, MoonClockOffset);
}

std::array<TMoonPhaseLabel, MoonPhaseCount> MoonPanelLabels(const QDate& today)
{
    std::array<TMoonPhaseLabel, MoonPhaseCount> labels;
    if (!today.isValid())
        return labels;
    // A phase of yesterday or the day before stays on the panel.
    const QDate startDate = today.addDays(-2);
    const double start = DayNumber(startDate);
    const double end = DayNumber(startDate.addMonths(2));
    // Half a lunation earlier than the look-back: from the look-back itself,
    // a cursor past mid-lunation starts at the next lunation and misses a
    // last quarter (and at times a full moon) that is still ahead.
    double cursor = start - 15.0;
    for (int round = 0; round < 100; ++round) {
        const auto phases = MoonPhaseDates(cursor);
        for (int phase = 0; phase < MoonPhaseCount; ++phase) {
            TMoonPhaseLabel& label = labels[phase];
            const double time = phases[phase];
            if (label.labelled || !(start <= time && time < end))
                continue;
            const QDateTime clock = MoonClock(time);
            label.labelled = true;
            label.dayName = DayName(3, u'1', time);
            label.date = clock.toString(QStringLiteral("dd.MM"));
            label.today = clock.date() == today;
            label.time = time;
        }
        // On from the day after the later of this lunation's new and full moon.
        cursor = std::max(phases[FullMoon], phases[NewMoon]) + 1.0;
        if (!(cursor <= end))
            break;
    }
    return labels;
}
