#include "tray/TrayTexts.h"

#include <QTextBoundaryFinder>

namespace pas_lib {

QString CutText(const QString& text, int limit)
{
    if (text.size() <= limit)
        return text;
    if (limit <= 0)
        return QString();
    // The last boundary between whole characters (letter and accents, a
    // surrogate pair) at or before the limit.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(limit);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return text.left(std::max<qsizetype>(finder.position(), 0));
}

QString PlainNotificationText(const QString& text)
{
    QString plain = text;
    plain.replace(u'<', QChar(0x2039)).replace(u'>', QChar(0x203A)).replace(u'&', QChar(0xFF06));
    return plain;
}

QString StampWithAge(const QString& stamp, const QString& dataAge)
{
    return dataAge.isEmpty() ? stamp : stamp + QStringLiteral(" (") + dataAge + QLatin1Char(')');
}

QString TrayHintText(const ConditionsRecords& records, int k, int w, const QString& items,
                     const QString& dataAge)
{
    const CurrentConditions& record = records[size_t(k)];
    if (record.temperature.isEmpty())
        return NoConditionsText;
    QString text = StampWithAge(record.lastChange, dataAge) + TrayLineBreak;
    auto wanted = [&](char digit) { return items.contains(QLatin1Char(digit)); };
    if (wanted('0'))
        text += QStringLiteral("Kraj: ") + record.place + TrayLineBreak;
    if (wanted('1'))
        text += QStringLiteral("Vreme: ") + records[size_t(w)].weather + TrayLineBreak;
    if (wanted('2')) {
        text += QStringLiteral("Temperatura: ") + record.temperature + QStringLiteral("C") +
                TrayLineBreak;
        if (record.feelsLike.size() > 1)
            text += QStringLiteral("Občutek: ") + record.feelsLike + QStringLiteral("C") +
                    TrayLineBreak;
    }
    if (wanted('3'))
        text += QStringLiteral("Vlažnost: ") + record.humidity + TrayLineBreak;
    if (wanted('4'))
        text += QStringLiteral("Veter: ") + record.wind + TrayLineBreak;
    if (wanted('5'))
        text += QStringLiteral("Zračni tlak: ") + record.pressure + TrayLineBreak;
    return text;
}

QString SummaryLine(const ConditionsRecords& records, int k, int w)
{
    const CurrentConditions& record = records[size_t(k)];
    QString line = record.place + QStringLiteral(": ");
    // The test is on kind k's own description; the text comes from kind w.
    if (!record.weather.isEmpty())
        line += records[size_t(w)].weather + QStringLiteral(", ");
    line += record.temperature;
    if (record.feelsLike.size() > 1)
        line += TrayLineBreak + QStringLiteral("Občutek: ") + record.feelsLike;
    return line;
}

} // namespace pas_lib
