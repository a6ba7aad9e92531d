#pragma once

#include <QByteArray>
#include <QtGlobal>

class TWeatherTable;

// What reading a chart server's reply did to the graph table.
struct TGraphReplyResult
{
    // The id of the first row the reply added; -1 when it added none.
    qint64 firstRowId = -1;
    int rowsAdded = 0;
    // False when the reply ended early: a malformed line, a bound reached.
    bool complete = true;
};

// Bounds on a reply, so that a hostile server costs little.
struct TGraphReplyLimits
{
    qsizetype maxLineBytes = 1024 * 1024;
    int maxRows = 100000;
};

// Reads a chart server's comma-separated reply into the graph table: an
// optional table definition between "@@TABLEDEF START@@" and
// "@@TABLEDEF END@@" (then the table holds only the reply's rows; without it
// they are added to those there), a header line naming the fields, one line
// per row. Values may be quoted ("" stands for one quote); an empty unquoted
// value is empty; date-times are day/month/year with "/" and ":", numbers use
// ".". Columns are matched to the table's fields by name and unknown ones
// ignored. What was read before a malformed line or a bound stays.
TGraphReplyResult ReadGraphReply(const QByteArray& reply, TWeatherTable& table,
                                 const TGraphReplyLimits& limits = TGraphReplyLimits());
