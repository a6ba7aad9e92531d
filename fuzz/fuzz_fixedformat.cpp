// The fixed-format readers: dates, times, date-times, numbers, day numbers, the
// sun text and the checked conversion to integers. What they give is always
// usable: valid date-times, finite numbers, sun times within a day or so.

#include "FuzzSupport.h"
#include "common/FixedFormat.h"
#include "weather/LoadFeedSection.h"

#include <cmath>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider provider(bytes, size);
    const double raw = provider.ConsumeFloatingPoint<double>();
    const QByteArray rest = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());

    for (const QString& text : {QString::fromUtf8(rest), QString::fromLatin1(rest)}) {
        if (const auto date = pas_lib::ParseFeedDate(text))
            FUZZ_CHECK(date->isValid(), text);
        if (const auto time = pas_lib::ParseFeedTime(text))
            FUZZ_CHECK(time->isValid(), text);
        if (const auto dateTime = pas_lib::ParseFeedDateTime(text)) {
            FUZZ_CHECK(dateTime->isValid(), text);
            const double days = pas_lib::DateTimeToDays(*dateTime);
            FUZZ_CHECK(pas_lib::DaysToDateTime(days).isValid(), text);
        }
        if (const auto number = pas_lib::ParseFeedNumber(text)) {
            FUZZ_CHECK(std::isfinite(*number), text);
            const auto again = pas_lib::ParseFeedNumber(pas_lib::FormatFeedNumber(*number));
            FUZZ_CHECK(again && *again == *number, text);
        }
        pas_lib::ReadSunTimes(text);
        FUZZ_CHECK(pas_lib::SunriseTime >= -1.0 && pas_lib::SunriseTime <= 1.0 &&
                       pas_lib::SunsetTime >= 0.0 && pas_lib::SunsetTime <= 2.0,
                   text);
    }

    // Any double: a day number, a number to round, a number to write.
    const QDateTime dateTime = pas_lib::DaysToDateTime(raw);
    if (dateTime.isValid()) {
        // Within a millisecond, or an hour where the clock skipped one.
        const double back = pas_lib::DateTimeToDays(dateTime);
        FUZZ_CHECK(std::abs(back - raw) <= 1.0 / 24.0 + 1e-6, QString::number(raw, 'g', 17));
    }
    const auto rounded = pas_lib::RoundToInteger<qint32>(raw);
    const bool fits = std::isfinite(raw) && std::nearbyint(raw) >= -2147483648.0 &&
                      std::nearbyint(raw) <= 2147483647.0;
    FUZZ_CHECK(rounded.has_value() == fits, QString::number(raw, 'g', 17));
    if (rounded)
        FUZZ_CHECK(double(*rounded) == std::nearbyint(raw), QString::number(raw, 'g', 17));
    FUZZ_CHECK(pas_lib::RoundToInteger<qint64>(raw).has_value() ==
                   (std::isfinite(raw) && std::nearbyint(raw) >= -9223372036854775808.0 &&
                    std::nearbyint(raw) < 9223372036854775808.0),
               QString::number(raw, 'g', 17));
    // Every finite number is written so that it reads back as itself.
    if (std::isfinite(raw)) {
        const auto written = pas_lib::ParseFeedNumber(pas_lib::FormatFeedNumber(raw));
        FUZZ_CHECK(written && *written == raw, pas_lib::FormatFeedNumber(raw));
    }
    return 0;
}
