#pragma once

#include <QDateTime>
#include <QStringView>
#include <QTimeZone>
#include <optional>

// Times in ARSO's files and in the program's feeds. ARSO writes Slovenian
// local time with its zone ("10.11.2023 16:00 CET", "18.06.2023 9:50 CEST",
// "07.03.2024 14:20 UTC"); the feeds carry Slovenian local time without one,
// wherever the converter runs.
namespace arso {

// The instant an ARSO time names, in Slovenia's time zone; nothing for text
// that is not such a time (an unknown zone included).
std::optional<QDateTime> ParseArsoTime(QStringView text);

// A time as the feeds write it: "d.M.yyyy H:mm:ss" in Slovenian local time.
QString FeedDateTime(const QDateTime& time);
// The time of a section's data ("Kdaj"): "d.M.yyyy H:mm".
QString FeedSectionTime(const QDateTime& time);

// Slovenia's time zone (Europe/Ljubljana), or a fixed CET where the system
// has no zone data.
QTimeZone SlovenianZone();

} // namespace arso
