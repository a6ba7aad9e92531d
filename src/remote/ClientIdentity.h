#pragma once

#include <QString>

// The installation's identifier, made once and kept in the per-user settings
// store: two groups of five upper-case hexadecimal digits joined by "-". Empty
// (after telling the user, and asking the program to end) when the store
// cannot keep it.
QString ClientId();

enum class TReportMode { Settings = 1, Advertising = 2 };

// The catalogue codes of the user's chosen stations that the advertising
// report names; empty where the chosen place has none.
struct TReportStations
{
    QString observation;
    QString automatic;
};

// The query string that tells the servers who asks and with which settings
// (mode 1) or which stations (mode 2, from stations); values are inserted as
// they are.
QString ClientReport(TReportMode mode, const TReportStations& stations = {});

// The running version, four numbers joined by ".".
QString ProgramVersion();
// The version code sent in the reports.
QString VersionCode();
