#include "arso/ArsoTime.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace arso {

QTimeZone SlovenianZone()
{
    static const QTimeZone zone = [] {
        QTimeZone ljubljana("Europe/Ljubljana");
        return ljubljana.isValid() ? ljubljana : QTimeZone(3600);
    }();
    return zone;
}

std::optional<QDateTime> ParseArsoTime(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})\\s+(\\d{1,2}):(\\d{2})\\s+([A-Z]+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const QStringView zone = match.capturedView(6);
    int offset = 0;
    if (zone == u"CET")
        offset = 3600;
    else if (zone == u"CEST")
        offset = 7200;
    else if (zone != u"UTC" && zone != u"GMT")
        return std::nullopt;
    const QDate date(match.capturedView(3).toInt(), match.capturedView(2).toInt(),
                     match.capturedView(1).toInt());
    const QTime time(match.capturedView(4).toInt(), match.capturedView(5).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone(offset)).toTimeZone(SlovenianZone());
}

QString FeedDateTime(const QDateTime& time)
{
    return time.toTimeZone(SlovenianZone()).toString(QStringLiteral("d.M.yyyy H:mm:ss"));
}

QString FeedSectionTime(const QDateTime& time)
{
    return time.toTimeZone(SlovenianZone()).toString(QStringLiteral("d.M.yyyy H:mm"));
}

} // namespace arso
