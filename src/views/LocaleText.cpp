#include "views/LocaleText.h"

#include <QRegularExpression>

namespace {

QString PlainMinus(QString text)
{
    return text.replace(QChar(0x2212), QLatin1Char('-'));
}

} // namespace

QString LocaleNumber(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return PlainMinus(plain.toString(value, 'g', QLocale::FloatingPointShortest));
}

QString LocaleNumber(double value, int decimals, const QLocale& locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return PlainMinus(grouped.toString(value, 'f', decimals));
}

QString LocaleDateTime(const QDateTime& value, const QLocale& locale)
{
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.replace(shortYear, QStringLiteral("yyyy"));
    return locale.toString(value,
                           format + QLatin1Char(' ') + locale.timeFormat(QLocale::ShortFormat));
}
