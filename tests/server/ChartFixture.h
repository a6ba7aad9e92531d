#pragma once

#include <QString>

// A small chart database: station 1/14 with readings around March 2026 (a day
// with missing hours and negative halves, a week across two months, readings
// just outside each span); station 2/3 with an unreadable value, a broken time
// key and a reading on the last day there is; station 3/5 with no readings.
// False when it could not be written.
bool WriteChartFixture(const QString& path);

// The day number the program sends for a date ("2026-03-02"), with the time of
// day its date pickers carry and the given decimal separator.
QString ChartDay(const QString& isoDate, QChar separator = QLatin1Char('.'));
