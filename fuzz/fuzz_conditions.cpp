// The current conditions of a station kind from rows of any values, in one of
// several locales: the temperature is a whole number of at most four digits
// and a degree sign, or empty; no text carries the Unicode minus; the report
// time carries its year in full. The weather database is made once; each
// input's rows are rolled back.

#include "FuzzSupport.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/StationKinds.h"
#include "weather/TWeatherData.h"
#include "weather/UpdateConditions.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

TWeatherData* data = nullptr;

const QList<QLocale> locales{
    QLocale(QLocale::Slovenian, QLocale::Slovenia),
    QLocale(QLocale::English, QLocale::UnitedStates),
    QLocale(QLocale::German, QLocale::Germany),
    QLocale(QLocale::Persian, QLocale::Iran),
    QLocale(QLocale::Arabic, QLocale::Egypt),
    QLocale(QLocale::Hungarian, QLocale::Hungary),
};

// A value for a field as a feed, the settings or a program could hand it over.
QVariant AnyValue(FuzzedDataProvider& provider)
{
    switch (provider.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return QVariant();
    case 1:
        // Texts as they come; a Unicode minus in them would be the text's own.
        return QString::fromStdString(provider.ConsumeRandomLengthString(40))
            .replace(QChar(0x2212), QLatin1Char('?'));
    case 2:
        return provider.ConsumeFloatingPoint<double>();
    case 3:
        return provider.ConsumeIntegral<qint64>();
    case 4:
        return QStringLiteral("%1.%2.%3 %4:%5")
            .arg(provider.ConsumeIntegralInRange(0, 40))
            .arg(provider.ConsumeIntegralInRange(0, 14))
            .arg(provider.ConsumeIntegralInRange(0, 10000))
            .arg(provider.ConsumeIntegralInRange(0, 25))
            .arg(provider.ConsumeIntegralInRange(0, 61));
    default:
        return QDateTime::fromMSecsSinceEpoch(
            provider.ConsumeIntegralInRange<qint64>(-62135596800000LL, 253402300799000LL));
    }
}

QString ChosenPlace(int kind)
{
    return parametri->Get(pas_lib::StationKinds[size_t(kind)].chosenPlace).toString();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    CreateParameters();
    data = new TWeatherData;
    data->CreateWeatherTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const QRegularExpression temperature(QStringLiteral("^(-?\\d{1,4}°)?$"));
    static const QRegularExpression fourDigitYear(QStringLiteral("\\d{4}"),
                                                  QRegularExpression::UseUnicodePropertiesOption);
    FuzzedDataProvider provider(bytes, size);
    QLocale::setDefault(
        locales.at(provider.ConsumeIntegralInRange<int>(0, int(locales.size()) - 1)));
    const int kind = provider.ConsumeIntegralInRange(0, 2);
    TWeatherTable& table = *data->StationTable(kind);

    QSqlDatabase database = table.Database().Database();
    database.transaction();
    table.Empty();
    const QList<TFieldDef>& fields = table.Fields();
    const int rows = provider.ConsumeIntegralInRange(0, 3);
    for (int index = 0; index < rows; ++index) {
        TWeatherRow row = table.NewRow();
        for (int field = 0; field < fields.size(); ++field)
            table.SetValue(row, field, AnyValue(provider));
        // Mostly the chosen place, so that the row is read.
        if (provider.ConsumeBool())
            table.SetValue(row, 0, ChosenPlace(kind));
        table.Post(row);
    }
    UpdateConditions(kind, table);
    database.rollback();

    const CurrentConditions& record = pas_lib::currentConditions[size_t(kind)];
    FUZZ_CHECK(temperature.match(record.temperature).hasMatch(), record.temperature);
    for (const QString* text :
         {&record.place, &record.weather, &record.temperature, &record.humidity, &record.wind,
          &record.pressure, &record.lastChange, &record.feelsLike})
        FUZZ_CHECK(!text->contains(QChar(0x2212)), *text);
    if (!record.lastChange.isEmpty())
        FUZZ_CHECK(fourDigitYear.match(record.lastChange).hasMatch(), record.lastChange);
    return 0;
}
