#include "arso/WaterLevels.h"

#include "arso/ArsoTime.h"
#include "common/XmlDocument.h"

#include <QRegularExpression>

namespace arso {
namespace {

constexpr qsizetype MaxStationName = 20;
constexpr qsizetype MaxState = 10;

QString Child(const pas_lib::TXmlElement& station, const QString& name)
{
    return station.FirstChild(name).Text().simplified();
}

// A plain decimal number as ARSO writes it ("97.7", "0.00", "-2"); nothing
// else (exponents, "nan", thousands separators) reaches a numeric column.
std::optional<QString> DecimalText(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^[-+]?\\d{1,9}(?:[.,]\\d{1,6})?$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    QString decimal = text;
    decimal.replace(QLatin1Char(','), QLatin1Char('.'));
    if (decimal.startsWith(QLatin1Char('+')))
        decimal.remove(0, 1);
    return decimal;
}

QString FloatColumn(const QString& text)
{
    return DecimalText(text).value_or(QString());
}

QString IntegerColumn(const QString& text)
{
    const std::optional<QString> decimal = DecimalText(text);
    return decimal ? QString::number(qRound(decimal->toDouble())) : QString();
}

// The longest start of the text that fits, ended at a word where it can be.
QString CutAtWord(const QString& text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '), length);
    return (space > 0 ? text.left(space) : text.left(length)).trimmed();
}

// ARSO's short name "river - place" ("Mura - Gor. Radgona") is unique in every
// file and what people know the station by, so it is shown whenever it fits.
// A longer one ("Jadransko morje - boja Piran (NIB)", about a fifth of them)
// gives its place part, which still tells the stations apart; the measuring
// place and the river are the fallbacks when the short name is missing.
QString StationName(const pas_lib::TXmlElement& station)
{
    QString name = Child(station, QStringLiteral("ime_kratko"));
    if (name.size() > MaxStationName) {
        const qsizetype dash = name.indexOf(QLatin1String(" - "));
        if (dash >= 0)
            name = name.mid(dash + 3).trimmed();
    }
    if (name.isEmpty())
        name = Child(station, QStringLiteral("merilno_mesto"));
    if (name.isEmpty())
        name = Child(station, QStringLiteral("reka"));
    return CutAtWord(name, MaxStationName);
}

// ARSO's characteristic class ("mali pretok", "visok vodostaj", "prvi
// visokovodni pretok") as one word of the river's state, the same scale for
// discharge and level:
//   mali / nizek ..................... "nizko"
//   srednji .......................... "srednje"
//   velik / visok .................... "visoko"
//   prvi visokovodni ................. "razlivanje" (water leaves the bed)
//   drugi visokovodni ................ "poplave"
//   tretji visokovodni ............... "obs. popl." (floods over a wide area)
// A class not in the list is shown as written, cut to the column.
QString State(const QString& characteristic)
{
    const QString text = characteristic.toLower();
    if (text.isEmpty())
        return {};
    const QString word = text.section(QLatin1Char(' '), 0, 0);
    const bool highWater = text.contains(QLatin1String("visokovod"));
    if (highWater && word == u"prvi")
        return QStringLiteral("razlivanje");
    if (highWater && word == u"drugi")
        return QStringLiteral("poplave");
    if (highWater && word == u"tretji")
        return QStringLiteral("obs. popl.");
    if (word == u"mali" || word == u"mal" || word == u"nizek" || word == u"nizki")
        return QStringLiteral("nizko");
    if (word == u"srednji")
        return QStringLiteral("srednje");
    if (word == u"velik" || word == u"veliki" || word == u"visok" || word == u"visoki")
        return QStringLiteral("visoko");
    return CutAtWord(characteristic, MaxState);
}

// "2017-07-23 11:00": Slovenian local time already.
QDateTime LocalTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})\\s+(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    const QDate date(match.capturedView(1).toInt(), match.capturedView(2).toInt(),
                     match.capturedView(3).toInt());
    const QTime time(match.capturedView(4).toInt(), match.capturedView(5).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, SlovenianZone());
}

} // namespace

std::optional<TWaterLevels> ReadWaterLevels(const QByteArray& file)
{
    const pas_lib::TXmlDocument document(file);
    const pas_lib::TXmlElement root = document.Root();
    if (!document.IsValid() || root.Name() != u"arsopodatki")
        return std::nullopt;

    TWaterLevels levels;
    const QString stationTag = QStringLiteral("postaja");
    for (pas_lib::TXmlElement station = root.FirstChild(stationTag);
         !station.IsNull() && levels.stations.size() < MaxWaterStations;
         station = station.NextSibling(stationTag)) {
        TWaterLevel row;
        row.station = StationName(station);
        if (row.station.isEmpty())
            continue; // nothing to key the row by
        row.level = IntegerColumn(Child(station, QStringLiteral("vodostaj")));
        row.discharge = FloatColumn(Child(station, QStringLiteral("pretok")));
        row.temperature = FloatColumn(Child(station, QStringLiteral("temp_vode")));
        // Rivers carry a discharge class, lakes and the sea only a level class.
        QString characteristic = Child(station, QStringLiteral("pretok_znacilni"));
        if (characteristic.isEmpty())
            characteristic = Child(station, QStringLiteral("vodostaj_znacilni"));
        row.state = State(characteristic);
        // No version of the file so far carries a discharge decile; the
        // column stays empty until one does.
        levels.stations.append(row);

        const QDateTime measured = LocalTime(Child(station, QStringLiteral("datum")));
        if (measured.isValid() && (!levels.time.isValid() || measured > levels.time))
            levels.time = measured;
    }
    if (!levels.time.isValid())
        levels.time =
            LocalTime(root.FirstChild(QStringLiteral("datum_priprave")).Text().simplified());
    return levels;
}

} // namespace arso
