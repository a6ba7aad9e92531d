#pragma once

#include "weather/TWeatherDatabase.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <memory>

class TWeatherTable;

// The temperature graph's kinds, requests and table, free of widgets.

// One graph kind: its "TIP_GRAFA", the chart's and the bottom axis's titles,
// and the part of a reading's time that places its bar.
struct TGraphKindInfo
{
    int kind;
    const char* title;
    const char* axisTitle;
    int (*xValue)(const QDateTime& at);
};

// The row of a graph kind (1 day, 2 week, 3 month, 4 year); nullptr for another.
const TGraphKindInfo* GraphKindInfo(int kind);

// The date pickers' time of day, given when the frame was designed.
inline const QTime GraphPickerTime{18, 25, 13};
// The longest date range, in days between the pickers.
constexpr int MaxRangeDays = 31;

// A date as the request sends it: days since 30 December 1899 with their
// fraction, in the general form with up to 15 significant digits and the
// locale's decimal separator.
QString GraphRequestDate(const QDateTime& at, const QLocale& locale = QLocale());
// The query of a graph: "&POSTAJA_TIP=..&POSTAJA_IME=..&OD_DAT=..&TIP_GRAFA=..";
// stationCode 0 when no station is chosen. A date that is not positive is left out.
QString GraphQuery(int stationKind, int stationCode, const QDateTime& date, int graphKind,
                   const QLocale& locale = QLocale());
// The query of a date range: "DO_DAT" is one day after the to-date; no "TIP_GRAFA".
QString RangeQuery(int stationKind, int stationCode, const QDateTime& from, const QDateTime& to,
                   const QLocale& locale = QLocale());
// Whether the pickers span more days than a range may.
bool RangeTooLong(const QDateTime& from, const QDateTime& to);
// The address of a query on the chart server at base.
QString GraphAddress(const QString& base, const QString& query);

// One bar of a graph, or one reading of a range.
struct TGraphPoint
{
    QDateTime at;
    int x = 0;
    int temperature = 0;
};

// The graph table "tbl_statistika" in an in-memory database of its own:
// "TEMPERATURA", "URA" and "KDAJ".
class TGraphTable
{
public:
    TGraphTable();
    ~TGraphTable();
    TGraphTable(const TGraphTable&) = delete;
    TGraphTable& operator=(const TGraphTable&) = delete;

    TWeatherTable& Table() const { return *FTable; }
    // Loads a reply; the rows it added become the current ones. A reply that
    // adds nothing leaves the table at its end, so no row is current.
    void LoadReply(const QByteArray& reply);
    void MoveToEnd() { FCurrentRowId = -1; }
    // From the current row to the end: the bars of a graph kind, placed by
    // the kind's part of "KDAJ"; rows without a time or a temperature give none.
    QList<TGraphPoint> Bars(int graphKind) const;
    // Every row with a time and a temperature, by time ascending.
    QList<TGraphPoint> Readings() const;

private:
    QList<TGraphPoint> Points(qint64 fromId, const TGraphKindInfo* kind) const;

    TWeatherDatabase FDatabase;
    std::unique_ptr<TWeatherTable> FTable;
    qint64 FCurrentRowId = -1;
};
