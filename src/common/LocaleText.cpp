#include "common/LocaleText.h"

#include <QRegularExpression>

namespace {

// Some locales (the Slovenian among them) write the minus sign U+2212, which
// would stand next to the "-" of texts made elsewhere.
QString PlainMinus(QString text, const QLocale& locale)
{
    if (locale.negativeSign() != QLatin1String("-"))
        text.replace(locale.negativeSign(), QLatin1String("-"));
    return text.replace(QChar(0x2212), QLatin1Char('-'));
}

} // namespace

QString LocaleNumber(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return PlainMinus(plain.toString(value, 'g', QLocale::FloatingPointShortest), locale);
}

QString LocaleGeneralNumber(double value, int significantDigits, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return PlainMinus(plain.toString(value, 'g', significantDigits), locale);
}

QString LocaleNumber(double value, int decimals, const QLocale& locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return PlainMinus(grouped.toString(value, 'f', decimals), locale);
}

QString LocaleDateTime(const QDateTime& value, const QLocale& locale)
{
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.replace(shortYear, QStringLiteral("yyyy"));
    return locale.toString(value,
                           format + QLatin1Char(' ') + locale.timeFormat(QLocale::ShortFormat));
}
