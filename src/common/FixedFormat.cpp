#include "common/FixedFormat.h"

#include <QLocale>
#include <utility>

namespace pas_lib {

const TFormatSettings FixedFormatSettings{QStringLiteral("d.M.yyyy"), QStringLiteral("H:mm:ss"),
                                          QStringLiteral("hh:mm:ss"), QLatin1Char(':'),
                                          QLatin1Char('.'),           QLatin1Char('.')};

namespace {
const QDate dayZero(1899, 12, 30);
constexpr qint64 msecsPerDay = 86400000;
// The day numbers of 1 January 1 and of the day after 31 December 9999.
constexpr double firstDay = -693593.0;
constexpr double endDay = 2958466.0;
constexpr qsizetype maxNumberLength = 100;

bool IsDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// Reads a run of minDigits to maxDigits ASCII digits at position; advances it.
std::optional<int> ReadDigits(QStringView text, qsizetype& position, int minDigits, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (position < text.size() && digits < maxDigits && IsDigit(text.at(position))) {
        value = value * 10 + (text.at(position).unicode() - u'0');
        ++position;
        ++digits;
    }
    if (digits < minDigits)
        return std::nullopt;
    return value;
}

bool ReadChar(QStringView text, qsizetype& position, char16_t expected)
{
    if (position >= text.size() || text.at(position) != expected)
        return false;
    ++position;
    return true;
}

// A local date-time that always exists: a time the clock skips moves on by the
// length of the skip.
std::optional<QDateTime> LocalDateTime(const QDate& date, const QTime& time)
{
    QDateTime dateTime(date, time);
    if (!dateTime.isValid())
        dateTime = date.startOfDay().addMSecs(time.msecsSinceStartOfDay());
    if (!dateTime.isValid())
        return std::nullopt;
    return dateTime;
}

// The day number of the date and time that a date-time shows on its clock.
double ClockToDays(const QDateTime& dateTime)
{
    return double(dayZero.daysTo(dateTime.date())) +
           double(dateTime.time().msecsSinceStartOfDay()) / double(msecsPerDay);
}

// The date and time of day that a day number shows on a clock.
std::optional<std::pair<QDate, QTime>> DaysToClock(double days)
{
    if (!(days >= firstDay && days < endDay))
        return std::nullopt;
    const double whole = std::floor(days);
    qint64 msecs = std::llround((days - whole) * double(msecsPerDay));
    qint64 dayCount = qint64(whole); // a whole number within the range above
    if (msecs >= msecsPerDay) {
        ++dayCount;
        msecs -= msecsPerDay;
    }
    return std::pair(dayZero.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}
} // namespace

std::optional<QDate> ParseFeedDate(QStringView text)
{
    text = text.trimmed();
    qsizetype position = 0;
    const auto day = ReadDigits(text, position, 1, 2);
    if (!day || !ReadChar(text, position, u'.'))
        return std::nullopt;
    const auto month = ReadDigits(text, position, 1, 2);
    if (!month || !ReadChar(text, position, u'.'))
        return std::nullopt;
    const auto year = ReadDigits(text, position, 4, 4);
    if (!year || position != text.size())
        return std::nullopt;
    const QDate date(*year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> ParseFeedTime(QStringView text)
{
    text = text.trimmed();
    qsizetype position = 0;
    const auto hours = ReadDigits(text, position, 1, 2);
    if (!hours || !ReadChar(text, position, u':'))
        return std::nullopt;
    const auto minutes = ReadDigits(text, position, 1, 2);
    if (!minutes)
        return std::nullopt;
    std::optional<int> seconds = 0;
    if (ReadChar(text, position, u':'))
        seconds = ReadDigits(text, position, 1, 2);
    if (!seconds || position != text.size())
        return std::nullopt;
    const QTime time(*hours, *minutes, *seconds);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> ParseFeedDateTime(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    const auto date = ParseFeedDate(blank < 0 ? trimmed : trimmed.left(blank));
    if (!date)
        return std::nullopt;
    if (blank < 0)
        return LocalDateTime(*date, QTime(0, 0));
    const auto time = ParseFeedTime(trimmed.sliced(blank + 1));
    if (!time)
        return std::nullopt;
    return LocalDateTime(*date, *time);
}

std::optional<double> ParseFeedNumber(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > maxNumberLength)
        return std::nullopt;
    // [+-] (digits [. digits] | . digits) [(e|E) [+-] digits]
    qsizetype position = 0;
    if (text.at(0) == u'+' || text.at(0) == u'-')
        ++position;
    auto skipDigits = [&] {
        const qsizetype start = position;
        while (position < text.size() && IsDigit(text.at(position)))
            ++position;
        return position - start;
    };
    qsizetype digits = skipDigits();
    if (ReadChar(text, position, u'.'))
        digits += skipDigits();
    if (digits == 0)
        return std::nullopt;
    if (position < text.size() && (text.at(position) == u'e' || text.at(position) == u'E')) {
        ++position;
        if (position < text.size() && (text.at(position) == u'+' || text.at(position) == u'-'))
            ++position;
        if (skipDigits() == 0)
            return std::nullopt;
    }
    if (position != text.size())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok); // locale-independent
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FormatFeedNumber(double value)
{
    // The fewest digits that read back as the same number: fifteen digits
    // would lose some, and turn the largest ones into numbers beyond a double.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

double DateTimeToDays(const QDateTime& dateTime)
{
    return ClockToDays(dateTime.toLocalTime());
}

QDateTime DaysToDateTime(double days)
{
    const auto clock = DaysToClock(days);
    if (!clock)
        return {};
    return LocalDateTime(clock->first, clock->second).value_or(QDateTime());
}

double DateTimeToDays(const QDateTime& dateTime, int offsetFromUtc)
{
    return ClockToDays(dateTime.toOffsetFromUtc(offsetFromUtc));
}

QDateTime DaysToDateTime(double days, int offsetFromUtc)
{
    const auto clock = DaysToClock(days);
    if (!clock)
        return {};
    return QDateTime(clock->first, clock->second, Qt::OffsetFromUTC, offsetFromUtc);
}

} // namespace pas_lib
