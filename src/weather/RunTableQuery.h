#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TWeatherTable;

// The rows a table query returned, read by field name. A query that did not run
// is not open and reads as empty.
class TQueryResult
{
public:
    bool IsOpen() const { return FOpen; }
    bool IsEmpty() const { return FRows.isEmpty(); }
    int RowCount() const { return int(FRows.size()); }
    const QStringList& FieldNames() const { return FFieldNames; }
    // The result field of that name, letter case ignored; -1 when there is none.
    int FieldIndex(const QString& name) const;
    // An invalid QVariant for a missing row or field and for NULL.
    QVariant Value(int row, const QString& fieldName) const;

private:
    friend TQueryResult RunTableQuery(const QString&, const QList<TWeatherTable*>&,
                                      const QStringList&, const QVariantList&);
    bool FOpen = false;
    QStringList FFieldNames;
    QList<QVariantList> FRows;
};

// Runs one SQL statement over the tables, each known in it by its alias, or by
// its own name when aliases is empty. Values the SQL marks with "?" come from
// boundValues, in order: place names and any other user text go there, never
// into the SQL text. An alias list of another length than the table list shows
// "Neujemanje števila dataset-ov in aliasov"; SQL that fails shows the SQL text,
// ": " and the error. Either way the result is not open.
TQueryResult RunTableQuery(const QString& sql, const QList<TWeatherTable*>& tables,
                           const QStringList& aliases, const QVariantList& boundValues = {});
