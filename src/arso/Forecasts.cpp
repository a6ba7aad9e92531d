#include "arso/Forecasts.h"

#include "arso/ArsoTime.h"
#include "arso/MetData.h"
#include "common/XmlDocument.h"

#include <QLocale>
#include <QMap>
#include <QRegularExpression>

namespace arso {

namespace {

const QString heading = QStringLiteral("Naziv");
const QString paragraph = QStringLiteral("Besedilo");

// "Četrtek, 27.7."
QString DayTitle(const QDate& day)
{
    QString name = QLocale(QLocale::Slovenian, QLocale::Slovenia).dayName(day.dayOfWeek());
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name + QStringLiteral(", ") + QStringLiteral("%1.%2.").arg(day.day()).arg(day.month());
}

// "delno oblačno, dež; od 14 do 26 °C; veter Z 2 .. 5 m/s": what the record
// has of it, nothing of what it lacks.
QString Conditions(const TMetData& data, const QString& low, const QString& high)
{
    QStringList parts;
    QStringList sky;
    for (const char* name : {"nn_shortText", "wwsyn_shortText"})
        if (const QString text = data.Value(QString::fromLatin1(name)); !text.isEmpty())
            sky.append(text);
    if (!sky.isEmpty())
        parts.append(sky.join(QStringLiteral(", ")));
    const QString min = data.Value(low);
    const QString max = data.Value(high);
    bool minOk = false;
    bool maxOk = false;
    min.toDouble(&minOk);
    max.toDouble(&maxOk);
    if (minOk && maxOk)
        parts.append(QStringLiteral("od %1 do %2 °C").arg(min, max));
    else if (maxOk)
        parts.append(QStringLiteral("do %1 °C").arg(max));
    else if (const QString t = data.Value(QStringLiteral("t")); !t.isEmpty())
        parts.append(t + QStringLiteral(" °C"));
    QString wind = data.Value(QStringLiteral("dd_shortText"));
    QString speed = data.Value(QStringLiteral("ff_decodeText"));
    if (speed.isEmpty())
        speed = data.Value(QStringLiteral("ff_val"));
    if (!speed.isEmpty() && speed != u"0")
        wind += (wind.isEmpty() ? QString() : QStringLiteral(" ")) + speed + QStringLiteral(" m/s");
    if (!wind.isEmpty())
        parts.append(QStringLiteral("veter ") + wind);
    return parts.join(QStringLiteral("; "));
}

struct TDated
{
    QDateTime valid;
    TMetData data;
};

std::optional<std::pair<QDateTime, QList<TDated>>> DatedRecords(const QByteArray& file)
{
    const std::optional<QList<TMetData>> records = ReadMetData(file);
    if (!records)
        return std::nullopt;
    QDateTime issued;
    QList<TDated> dated;
    for (const TMetData& data : *records) {
        const std::optional<QDateTime> valid = ParseArsoTime(data.Value(QStringLiteral("valid")));
        if (!valid)
            continue;
        if (const auto time = ParseArsoTime(data.Value(QStringLiteral("tsValid_issued"))))
            issued = issued.isValid() ? std::max(issued, *time) : *time;
        dated.append({*valid, data});
    }
    return std::pair{issued, dated};
}

} // namespace

std::optional<TForecastText> ReadNationalForecast(const QByteArray& file)
{
    const auto records = DatedRecords(file);
    if (!records)
        return std::nullopt;
    TForecastText text{records->first, {}};
    TFeedRecord part{{heading, QStringLiteral("Napoved za Slovenijo")}};
    for (const TDated& record : records->second) {
        const QString conditions =
            Conditions(record.data, QStringLiteral("tn"), QStringLiteral("tx"));
        if (!conditions.isEmpty())
            part.append({paragraph, DayTitle(record.valid.date()) + QStringLiteral(": ") +
                                        conditions + QLatin1Char('.')});
    }
    if (part.size() > 1)
        text.parts.append(part);
    return text;
}

std::optional<TForecastText> ReadRegionalForecast(const QByteArray& file)
{
    const auto records = DatedRecords(file);
    if (!records)
        return std::nullopt;
    // Days in order, the regions of each in file order.
    QMap<QDate, TFeedRecord> days;
    for (const TDated& record : records->second) {
        const QString region = record.data.Value(QStringLiteral("domain_shortTitle"));
        const QString conditions =
            Conditions(record.data, QStringLiteral("tnsyn"), QStringLiteral("txsyn"));
        if (region.isEmpty() || conditions.isEmpty())
            continue;
        TFeedRecord& day = days[record.valid.date()];
        if (day.isEmpty())
            day.append(
                {heading, QStringLiteral("Po pokrajinah: ") + DayTitle(record.valid.date())});
        day.append({paragraph, region + QStringLiteral(": ") + conditions + QLatin1Char('.')});
    }
    return TForecastText{records->first, days.values()};
}

namespace {

// The publication date of the written forecast, "sreda, 11.12.2026 ob 14:00"
// or without its time: ARSO gives no zone there, it is Slovenian local time.
QDateTime PublicationTime(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral(R"((\d{1,2})\.\s*(\d{1,2})\.\s*(\d{4})(?:\D+?(\d{1,2})[:.](\d{2}))?)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return {};
    const QDate day(match.captured(3).toInt(), match.captured(2).toInt(),
                    match.captured(1).toInt());
    const QTime time = match.hasCaptured(4)
                           ? QTime(match.captured(4).toInt(), match.captured(5).toInt())
                           : QTime(0, 0);
    if (!day.isValid() || !time.isValid())
        return {};
    return QDateTime(day, time, SlovenianZone());
}

QString Paragraph(const pas_lib::TXmlElement& element)
{
    return UndoDoubleEncoding(element.Text().simplified());
}

// Every section of the article, nested ones included, in document order.
void CollectSections(const pas_lib::TXmlElement& parent, QList<TFeedRecord>& parts)
{
    for (pas_lib::TXmlElement child = parent.FirstChild(); !child.IsNull();
         child = child.NextSibling()) {
        if (child.Name() != u"section")
            continue;
        TFeedRecord part{{heading, Paragraph(child.FirstChild(QStringLiteral("title")))}};
        for (pas_lib::TXmlElement para = child.FirstChild(QStringLiteral("para")); !para.IsNull();
             para = para.NextSibling(QStringLiteral("para")))
            if (const QString text = Paragraph(para); !text.isEmpty())
                part.append({paragraph, text});
        if (part.size() > 1)
            parts.append(part);
        CollectSections(child, parts);
    }
}

} // namespace

std::optional<TForecastText> ReadTextForecast(const QByteArray& file)
{
    const pas_lib::TXmlDocument document(file);
    if (!document.IsValid())
        return std::nullopt;
    const pas_lib::TXmlElement root = document.Root();
    TForecastText text;
    text.issued = PublicationTime(root.FirstChild(QStringLiteral("articleinfo"))
                                      .FirstChild(QStringLiteral("pubdate"))
                                      .Text());
    CollectSections(root, text.parts);
    // Another document that happens to parse is not a forecast.
    if (text.parts.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace arso
