#include "arso/StationHistory.h"

#include "arso/ArsoTime.h"
#include "common/XmlDocument.h"

#include <QRegularExpression>
#include <algorithm>

namespace arso {
namespace {

QString Child(const pas_lib::TXmlElement& record, const QString& name)
{
    return record.FirstChild(name).Text().simplified();
}

// A plain decimal number ("24", "-3.5"); nothing else becomes a temperature.
std::optional<double> Temperature(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^[-+]?\\d{1,3}(?:\\.\\d{1,3})?$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return text.toDouble();
}

} // namespace

std::optional<TStationHistory> ReadStationHistory(const QByteArray& file)
{
    const pas_lib::TXmlDocument document(file);
    const pas_lib::TXmlElement root = document.Root();
    if (!document.IsValid() || root.Name() != u"data")
        return std::nullopt;

    TStationHistory history;
    QList<THourlyReading> readings; // in the file's order
    const QString recordTag = QStringLiteral("metData");
    for (pas_lib::TXmlElement record = root.FirstChild(recordTag); !record.IsNull();
         record = record.NextSibling(recordTag)) {
        // One station's history: a record of another station is not its own.
        const QString id = Child(record, QStringLiteral("domain_meteosiId"));
        if (!id.isEmpty() && history.stationId.isEmpty()) {
            history.stationId = id;
            history.stationName = Child(record, QStringLiteral("domain_longTitle"));
        } else if (!id.isEmpty() && id != history.stationId) {
            continue;
        }
        const std::optional<QDateTime> time = ParseArsoTime(Child(record, QStringLiteral("valid")));
        if (!time || time->time().minute() != 0)
            continue;
        const std::optional<double> temperature = Temperature(Child(record, QStringLiteral("t")));
        if (temperature)
            readings.append({*time, *temperature});
    }

    // Oldest first; of records for the same hour the first in the file stays.
    std::stable_sort(
        readings.begin(), readings.end(),
        [](const THourlyReading& a, const THourlyReading& b) { return a.time < b.time; });
    const auto end = std::unique(
        readings.begin(), readings.end(),
        [](const THourlyReading& a, const THourlyReading& b) { return a.time == b.time; });
    readings.erase(end, readings.end());
    if (readings.size() > MaxHistoryHours)
        readings.remove(0, readings.size() - MaxHistoryHours);
    history.readings = std::move(readings);
    return history;
}

} // namespace arso
