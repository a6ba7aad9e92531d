#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Numbers and times as the user's locale writes them, with a plain hyphen for
// the minus sign (some locales write U+2212) and always a four-digit year.

// The shortest form, without thousands grouping, as a field shows its value.
QString LocaleNumber(double value, const QLocale& locale = QLocale());
// The general form with at most that many significant digits, no grouping.
QString LocaleGeneralNumber(double value, int significantDigits, const QLocale& locale = QLocale());
// With a fixed number of decimals and thousands grouping.
QString LocaleNumber(double value, int decimals, const QLocale& locale = QLocale());
// The short date with a four-digit year and the short time.
QString LocaleDateTime(const QDateTime& value, const QLocale& locale = QLocale());
