#include "common/FixedFormat.h"

#include <QRegularExpression>
#include <cmath>

namespace pas_lib {

const TFormatSettings FixedFormatSettings{QStringLiteral("d.M.yyyy"), QStringLiteral("H:mm:ss"),
                                          QStringLiteral("hh:mm:ss"), QLatin1Char(':'),
                                          QLatin1Char('.'),           QLatin1Char('.')};

namespace {
const QDate dayZero(1899, 12, 30);
constexpr qint64 msecsPerDay = 86400000;
} // namespace

std::optional<QDate> ParseFeedDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> ParseFeedTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).isEmpty() ? 0 : match.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> ParseFeedDateTime(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    const auto date = ParseFeedDate(blank < 0 ? trimmed : trimmed.left(blank));
    if (!date)
        return std::nullopt;
    if (blank < 0)
        return QDateTime(*date, QTime(0, 0));
    const auto time = ParseFeedTime(trimmed.mid(blank + 1));
    if (!time)
        return std::nullopt;
    return QDateTime(*date, *time);
}

std::optional<double> ParseFeedNumber(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok); // QString::toDouble is locale-independent
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FormatFeedNumber(double value)
{
    return QString::number(value, 'g', 15);
}

double DateTimeToDays(const QDateTime& dateTime)
{
    const QDateTime local = dateTime.toLocalTime();
    return double(dayZero.daysTo(local.date())) +
           double(local.time().msecsSinceStartOfDay()) / double(msecsPerDay);
}

QDateTime DaysToDateTime(double days)
{
    if (!std::isfinite(days))
        return {};
    const double whole = std::floor(days);
    qint64 msecs = std::llround((days - whole) * double(msecsPerDay));
    qint64 dayCount = qint64(whole);
    if (msecs >= msecsPerDay) {
        ++dayCount;
        msecs -= msecsPerDay;
    }
    return QDateTime(dayZero.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

} // namespace pas_lib
