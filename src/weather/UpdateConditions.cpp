#include "weather/UpdateConditions.h"

#include "common/FixedFormat.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/TWeatherTable.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace {

QLocale UserLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Negative numbers with "-": some locales (the Slovenian among them) write the
// minus sign U+2212, which the tray's text and other windows' captions would
// show next to the "-" of texts made elsewhere.
QString PlainMinus(QString text, const QLocale& locale)
{
    if (locale.negativeSign() != QLatin1String("-"))
        text.replace(locale.negativeSign(), QLatin1String("-"));
    text.replace(QChar(0x2212), QLatin1Char('-'));
    return text;
}

// The locale's short date and time, with the year in four digits.
QString DateTimeFormat(const QLocale& locale)
{
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    return locale.dateTimeFormat(QLocale::ShortFormat).replace(shortYear, QStringLiteral("yyyy"));
}

// Numbers and date-times as the user's regional settings write them; empty stays empty.
QString Text(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QLocale locale = UserLocale();
    switch (value.typeId()) {
    case QMetaType::Double:
        return PlainMinus(locale.toString(value.toDouble(), 'g', 15), locale);
    case QMetaType::Int:
        return PlainMinus(locale.toString(value.toInt()), locale);
    case QMetaType::QDateTime:
        return locale.toString(value.toDateTime(), DateTimeFormat(locale));
    default:
        return value.toString();
    }
}

// The temperature rounded to a whole number, a half to the even neighbour;
// -0.4 gives 0, not -0. Empty when there is none (or none that an integer holds).
QString Rounded(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const auto rounded = pas_lib::RoundToInteger<qint64>(value.toDouble());
    if (!rounded)
        return {};
    return QString::number(*rounded) + QStringLiteral("°");
}

} // namespace

void SetChosenPlaces()
{
    const char* const places[] = {"KRAJ_OPAZOVALNE", "KRAJ_AVTOMATSKE", "KRAJ_AMATERSKE"};
    for (int kind = 0; kind < pas_lib::StationKindCount; ++kind)
        pas_lib::currentConditions[size_t(kind)].place =
            parametri ? parametri->Get(QString::fromLatin1(places[kind])).toString() : QString();
}

void UpdateConditions(int code, const TWeatherTable& table)
{
    if (code < 0 || code >= pas_lib::StationKindCount)
        return;
    pas_lib::currentConditions[size_t(code)] = CurrentConditions();
    SetChosenPlaces();

    CurrentConditions& record = pas_lib::currentConditions[size_t(code)];
    for (const TWeatherRow& row : table.Rows()) {
        if (table.Value(row, QStringLiteral("KRAJ"))
                .toString()
                .compare(record.place, Qt::CaseInsensitive) != 0)
            continue;
        const QVariant changed = table.Value(row, QStringLiteral("ZADNJASPREMEMBA"));
        if (!changed.toDateTime().isValid() || pas_lib::DateTimeToDays(changed.toDateTime()) <= 0)
            continue; // no report yet
        auto value = [&](const char* name) { return table.Value(row, QString::fromLatin1(name)); };
        record.weather = Text(value("VREME"));
        record.temperature = Rounded(value("TEMPERATURA"));
        record.humidity = Text(value("VLAZNOST")) + QStringLiteral("%");
        record.wind = Text(value("VETERSMER")) + QLatin1Char(' ') + Text(value("VETERHITROST")) +
                      QStringLiteral(" m/s");
        record.pressure = Text(value("ZRACNITLAK")) + QStringLiteral(" hPa");
        record.lastChange = Text(changed);
        record.feelsLike = Text(value("OBCUTEKT")) + QStringLiteral("°");
    }
}
