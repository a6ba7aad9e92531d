#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Hourly readings appended to the chart server's database, which is made with
// its schema when it does not exist yet.
struct TChartReading
{
    int stationKind = 2; // 1 observation, 2 automatic, 3 amateur
    int stationCode = 0;
    QString stationName;
    QDateTime time; // on a full hour
    double temperature = 0;
};

// Adds the readings in one transaction; a reading already there is replaced.
// The number added, or -1 with error set when the database could not be
// written.
int AppendChartReadings(const QString& database, const QList<TChartReading>& readings,
                        QString* error);
