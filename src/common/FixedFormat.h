#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

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

// "d.M.yyyy" (day and month with one or two digits).
std::optional<QDate> ParseFeedDate(const QString& text);
// "H:mm:ss" or "H:mm".
std::optional<QTime> ParseFeedTime(const QString& text);
// A date, optionally followed by blanks and a time.
std::optional<QDateTime> ParseFeedDateTime(const QString& text);
// A decimal number with "." as the decimal separator, blanks around allowed.
std::optional<double> ParseFeedNumber(const QString& text);
// The number in the feed's format ("." decimal separator, no grouping).
QString FormatFeedNumber(double value);

double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);

} // namespace pas_lib
