#include "weather/TemperatureGraph.h"

#include "common/FixedFormat.h"
#include "common/LocaleText.h"
#include "weather/GraphReply.h"
#include "weather/TWeatherTable.h"
#include "weather/WeatherLog.h"

#include <algorithm>

namespace {

int HourOf(const QDateTime& at)
{
    return at.time().hour();
}

int DayOf(const QDateTime& at)
{
    return at.date().day();
}

int MonthOf(const QDateTime& at)
{
    return at.date().month();
}

constexpr TGraphKindInfo graphKinds[] = {
    {1, "Dnevni graf", "Ura", HourOf},
    {2, "Tedenski graf", "Dan", DayOf},
    {3, "Mesečni graf", "Dan", DayOf},
    {4, "Letni graf", "Mesec", MonthOf},
};

QString DatePart(const QString& key, const QDateTime& at, const QLocale& locale)
{
    if (!at.isValid() || pas_lib::DateTimeToDays(at) <= 0.0)
        return QString();
    return QLatin1Char('&') + key + QLatin1Char('=') + GraphRequestDate(at, locale);
}

QString StationPart(int stationKind, int stationCode)
{
    return QStringLiteral("&POSTAJA_TIP=%1&POSTAJA_IME=%2").arg(stationKind).arg(stationCode);
}

} // namespace

const TGraphKindInfo* GraphKindInfo(int kind)
{
    for (const TGraphKindInfo& info : graphKinds)
        if (info.kind == kind)
            return &info;
    return nullptr;
}

QString GraphRequestDate(const QDateTime& at, const QLocale& locale)
{
    return LocaleGeneralNumber(pas_lib::DateTimeToDays(at), 15, locale);
}

QString GraphQuery(int stationKind, int stationCode, const QDateTime& date, int graphKind,
                   const QLocale& locale)
{
    return StationPart(stationKind, stationCode) +
           DatePart(QStringLiteral("OD_DAT"), date, locale) +
           QStringLiteral("&TIP_GRAFA=%1").arg(graphKind);
}

QString RangeQuery(int stationKind, int stationCode, const QDateTime& from, const QDateTime& to,
                   const QLocale& locale)
{
    return StationPart(stationKind, stationCode) +
           DatePart(QStringLiteral("OD_DAT"), from, locale) +
           DatePart(QStringLiteral("DO_DAT"), to.addDays(1), locale);
}

bool RangeTooLong(const QDateTime& from, const QDateTime& to)
{
    return pas_lib::DateTimeToDays(to) - pas_lib::DateTimeToDays(from) > MaxRangeDays;
}

QString GraphAddress(const QString& base, const QString& query)
{
    QString address = base;
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address + QStringLiteral("/cgi-bin/sendgraf.exe/Load?") + query;
}

TGraphTable::TGraphTable()
    : FTable(std::make_unique<TWeatherTable>(FDatabase, QStringLiteral("tbl_statistika")))
{
    FTable->Create({
        {.Name = QStringLiteral("TEMPERATURA"),
         .Type = TFieldType::Integer,
         .Caption = QStringLiteral("Temperatura")},
        {.Name = QStringLiteral("URA"),
         .Type = TFieldType::Integer,
         .Caption = QStringLiteral("Ura")},
        {.Name = QStringLiteral("KDAJ"),
         .Type = TFieldType::DateTime,
         .Caption = QStringLiteral("Kdaj")},
    });
}

TGraphTable::~TGraphTable() = default;

void TGraphTable::LoadReply(const QByteArray& reply)
{
    const TGraphReplyResult result = ReadGraphReply(reply, *FTable);
    FCurrentRowId = result.firstRowId;
}

QList<TGraphPoint> TGraphTable::Bars(int graphKind) const
{
    const TGraphKindInfo* kind = GraphKindInfo(graphKind);
    if (!kind || FCurrentRowId < 0)
        return {};
    return Points(FCurrentRowId, kind);
}

QList<TGraphPoint> TGraphTable::Readings() const
{
    QList<TGraphPoint> points = Points(0, nullptr);
    std::stable_sort(points.begin(), points.end(),
                     [](const TGraphPoint& a, const TGraphPoint& b) { return a.at < b.at; });
    return points;
}

QList<TGraphPoint> TGraphTable::Points(qint64 fromId, const TGraphKindInfo* kind) const
{
    QList<TGraphPoint> points;
    for (const TWeatherRow& row : FTable->Rows()) {
        if (row.Id < fromId)
            continue;
        const QVariant at = FTable->Value(row, QStringLiteral("KDAJ"));
        const QVariant temperature = FTable->Value(row, QStringLiteral("TEMPERATURA"));
        if (!at.isValid() || !temperature.isValid())
            continue;
        TGraphPoint point;
        point.at = at.toDateTime();
        point.temperature = temperature.toInt();
        point.x = kind ? kind->xValue(point.at) : 0;
        points.append(point);
    }
    return points;
}
