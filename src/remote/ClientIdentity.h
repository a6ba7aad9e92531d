#pragma once

#include <QString>

// The installation's identifier, made once and kept in the per-user settings
// store: two groups of five upper-case hexadecimal digits joined by "-". Empty
// (after telling the user, and asking the program to end) when the store
// cannot keep it.
QString ClientId();

enum class TReportMode { Settings = 1, Advertising = 2 };
// The query string that tells the servers who asks and with which settings
// (mode 1) or which stations (mode 2); values are inserted as they are.
QString ClientReport(TReportMode mode);

// The running version, four numbers joined by ".".
QString ProgramVersion();
// The version code sent in the reports.
QString VersionCode();
