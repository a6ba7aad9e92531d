#pragma once

#include <QList>
#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <unordered_map>

class TWeatherDatabase;

enum class TFieldType { String, Integer, Float, DateTime };

// One column of a weather table with what the grid shows of it.
struct TFieldDef
{
    QString Name;
    TFieldType Type = TFieldType::String;
    int Size = 0;         // strings: the maximum length; longer values are cut
    QString Caption;      // the column title; the name when empty
    int DisplayWidth = 0; // in characters; 0 takes the default of the type
    bool Visible = true;
    // Floats: the largest magnitude the field holds; a value beyond it is no
    // reading and stays empty. 0 takes DefaultFloatLimit.
    double Limit = 0.0;

    static constexpr double DefaultFloatLimit = 1e9;
    double EffectiveLimit() const { return Limit > 0.0 ? Limit : DefaultFloatLimit; }

    QString DisplayLabel() const { return Caption.isEmpty() ? Name : Caption; }
    // Strings show as wide as they may be long; numbers and date-times take room
    // for their usual text ("dd.MM.yyyy HH:mm:ss" is 19 characters).
    int EffectiveDisplayWidth() const;
};

// One row's values in field order, read from or to be written to a table, as
// the table stores them: QString for text, int, double, and for date-times
// ISO 8601 text in local time; an invalid QVariant is an empty (NULL) value.
// TWeatherTable::Value reads them typed, SetValue writes them. Id is -1 for a
// row that is not in the table yet.
struct TWeatherRow
{
    qint64 Id = -1;
    QVariantList Values;
};

// A weather table: an SQL table of the weather database together with the
// column captions, widths and visibility that the grid shows. Rows come in the
// table's current order: by the order field when one is set, else in the order
// in which they were added.
class TWeatherTable : public QObject
{
    Q_OBJECT
public:
    TWeatherTable(TWeatherDatabase& database, const QString& name, QObject* parent = nullptr);
    ~TWeatherTable() override;

    const QString& Name() const { return FName; }
    TWeatherDatabase& Database() const { return FDatabase; }

    // Defines the columns and creates the SQL table; once per table.
    bool Create(const QList<TFieldDef>& fields);
    // Creates the table with another table's columns and their captions, widths
    // and visibility; no rows.
    bool CopyStructure(const TWeatherTable& source);
    bool IsCreated() const { return FCreated; }

    const QList<TFieldDef>& Fields() const { return FFields; }
    // The field of that name, letter case ignored; -1 when there is none.
    int FieldIndex(const QString& name) const;
    void SetFieldVisible(const QString& name, bool visible);

    // A lookup index over one field, named after the table and indexName.
    bool AddIndex(const QString& indexName, const QString& fieldName);
    // Chooses the current order; an empty name returns to the order of adding.
    // False, with the order unchanged, for a field the table does not have.
    bool SetOrder(const QString& fieldName, bool descending = false);
    QString OrderField() const;
    bool OrderDescending() const { return FOrderDescending; }
    // The statement that reads every field, in field order and the current order.
    QString SelectStatement() const;

    int RowCount() const;
    // The id of the newest row; -1 for an empty table.
    qint64 LastRowId() const;
    QList<TWeatherRow> Rows() const;
    // The first row whose field equals value (text fields: letter case ignored).
    std::optional<TWeatherRow> FindRow(int field, const QVariant& value) const;
    // The same, giving only the row's id.
    std::optional<qint64> FindRowId(int field, const QVariant& value) const;
    TWeatherRow NewRow() const;
    // Stores the value converted to the field's type: text, a number, or for a
    // date-time a QDateTime, QDate, day number or feed-format text. A value
    // that does not convert is empty.
    void SetValue(TWeatherRow& row, int field, const QVariant& value) const;
    // The value as QString, int, double or QDateTime; invalid when empty.
    QVariant Value(const TWeatherRow& row, const QString& fieldName) const;
    // The value as the table stores it (what SetValue puts into a row).
    QVariant StorageValue(int field, const QVariant& value) const;
    // Inserts a new row or updates a read one; returns its id, -1 on failure.
    qint64 Post(TWeatherRow& row);
    // Writes the fields whose bits are set in fieldMask (bit i: field i) of the
    // row with that id, from values in stored form, indexed by field.
    bool UpdateFields(qint64 id, quint64 fieldMask, const QVariantList& values);
    void Empty();
    // Counts the changes of rows (not of order): equal counts, equal rows.
    quint64 RowChanges() const { return FRowChanges; }

    // Displays hear of changes once, when the last EnableControls ends a batch.
    void DisableControls();
    void EnableControls();

signals:
    // Rows or their order changed.
    void contentChanged();
    // A column's visibility changed.
    void fieldsChanged();

private:
    struct TLookup
    {
        std::optional<QSqlQuery> query;
        int field = -1;
    };
    // Looks up the first row whose field equals value, selecting its id and,
    // withFields, every field; read gets the row found. False when none was.
    bool LookUp(TLookup& lookup, bool withFields, int field, const QVariant& value,
                const std::function<void(const QSqlQuery&)>& read) const;
    QVariant FromStorage(int field, const QVariant& stored) const;
    QVariant StoredValue(int field, const QVariant& raw) const;
    TWeatherRow ReadCurrent(const QSqlQuery& query) const;
    QString ColumnList() const;
    QString OrderClause() const;
    void Changed();
    void RowsChanged();

    TWeatherDatabase& FDatabase;
    QString FName;
    QList<TFieldDef> FFields;
    bool FCreated = false;
    int FOrderField = -1;
    bool FOrderDescending = false;
    int FDisableCount = 0;
    bool FChangedWhileDisabled = false;
    quint64 FRowChanges = 0;
    // Prepared once: a feed load runs them for every record.
    std::optional<QSqlQuery> FInsert;
    std::optional<QSqlQuery> FUpdate;
    std::optional<QSqlQuery> FDelete;
    mutable std::optional<QSqlQuery> FCount;
    mutable std::optional<QSqlQuery> FLastId;
    mutable std::optional<QSqlQuery> FSelectAll;
    // Updates of some fields, prepared once per set of fields.
    std::unordered_map<quint64, QSqlQuery> FFieldUpdates;
    // Lookups by one field, prepared for the field last looked up by: of
    // whole rows and of row ids.
    mutable TLookup FFind;
    mutable TLookup FFindId;
};
