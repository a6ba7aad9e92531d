#pragma once

#include "weather/CurrentConditions.h"

#include <QString>

// The texts that announce the current conditions outside the main window: the
// icon's tooltip, the balloon's line and the caption writer's summary.
namespace pas_lib {

using ConditionsRecords = std::array<CurrentConditions, StationKindCount>;

// Lines of these texts end in a line feed followed by a carriage return.
inline const QString TrayLineBreak = QStringLiteral("\n\r");
inline const QString NoConditionsText = QStringLiteral("Vremenski podatki niso dosegljivi");

// The limits of the Windows icon, kept everywhere: tooltip, balloon title and
// balloon text, in UTF-16 units.
constexpr int ToolTipLimit = 127;
constexpr int BalloonTitleLimit = 63;
constexpr int BalloonTextLimit = 255;

// The text cut to at most limit UTF-16 units, never inside a character.
QString CutText(const QString& text, int limit);

// Text that stays plain text in a desktop notification: notification servers
// may read "<", ">" and "&" as markup, so they become look-alike characters.
QString PlainNotificationText(const QString& text);

// The observation's time stamp, followed by the data's age when it is old
// ("podatki od 9.12. 22:00").
QString StampWithAge(const QString& stamp, const QString& dataAge);

// The tooltip for kind k (temperature, place, ...) and w (weather): the time
// stamp line with the data's age, then a group of lines for each digit 0 to 5
// that occurs in items.
QString TrayHintText(const ConditionsRecords& records, int k, int w, const QString& items,
                     const QString& dataAge = QString());

// "place: weather, temperature", and the felt temperature on a line of its own.
QString SummaryLine(const ConditionsRecords& records, int k, int w);

} // namespace pas_lib
