#include "weather/TWeatherTable.h"

#include "common/FixedFormat.h"
#include "weather/TWeatherDatabase.h"
#include "weather/WeatherLog.h"

#include <QDateTime>
#include <QSqlError>
#include <QStringList>
#include <cmath>
#include <limits>

namespace {

constexpr int defaultNumberWidth = 10;
constexpr int defaultDateTimeWidth = 19;

void LogFailure(const char* what, const QSqlQuery& query)
{
    qCWarning(lcWeather).noquote() << what << query.lastError().text();
}

QString CutToSize(const QString& text, int size)
{
    if (size <= 0 || text.size() <= size)
        return text;
    qsizetype length = size;
    if (text.at(length - 1).isHighSurrogate())
        --length; // never keep half a character
    return text.left(length);
}

} // namespace

int TFieldDef::EffectiveDisplayWidth() const
{
    if (DisplayWidth > 0)
        return DisplayWidth;
    switch (Type) {
    case TFieldType::String:
        return Size;
    case TFieldType::DateTime:
        return defaultDateTimeWidth;
    default:
        return defaultNumberWidth;
    }
}

TWeatherTable::TWeatherTable(TWeatherDatabase& database, const QString& name, QObject* parent)
    : QObject(parent), FDatabase(database), FName(name)
{
}

TWeatherTable::~TWeatherTable() = default;

bool TWeatherTable::Create(const QList<TFieldDef>& fields)
{
    // Sets of fields are bit masks of 64 bits.
    if (FCreated || fields.isEmpty() || fields.size() > 64)
        return false;
    QStringList columns;
    QStringList seen;
    for (const TFieldDef& field : fields) {
        if (field.Name.isEmpty() || seen.contains(field.Name, Qt::CaseInsensitive))
            return false;
        seen.append(field.Name);
        QString column = QuoteSqlIdentifier(field.Name);
        switch (field.Type) {
        case TFieldType::String:
            column += QStringLiteral(" TEXT COLLATE ") + FDatabase.TextCollation();
            break;
        case TFieldType::Integer:
            column += QStringLiteral(" INTEGER");
            break;
        case TFieldType::Float:
            column += QStringLiteral(" REAL");
            break;
        case TFieldType::DateTime:
            column += QStringLiteral(" TEXT"); // ISO 8601, which sorts as time runs
            break;
        }
        columns.append(column);
    }
    QSqlQuery query(FDatabase.Database());
    if (!query.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(QuoteSqlIdentifier(FName), columns.join(QStringLiteral(", "))))) {
        LogFailure("Cannot create table:", query);
        return false;
    }
    FFields = fields;
    FCreated = true;

    QStringList placeholders;
    QStringList assignments;
    for (const TFieldDef& field : FFields) {
        placeholders.append(QStringLiteral("?"));
        assignments.append(QuoteSqlIdentifier(field.Name) + QStringLiteral(" = ?"));
    }
    FInsert.emplace(FDatabase.Database());
    FInsert->setForwardOnly(true);
    FInsert->prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QuoteSqlIdentifier(FName), ColumnList(), placeholders.join(QStringLiteral(", "))));
    FUpdate.emplace(FDatabase.Database());
    FUpdate->setForwardOnly(true);
    FUpdate->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                         .arg(QuoteSqlIdentifier(FName), assignments.join(QStringLiteral(", "))));
    return true;
}

bool TWeatherTable::CopyStructure(const TWeatherTable& source)
{
    return Create(source.Fields());
}

int TWeatherTable::FieldIndex(const QString& name) const
{
    for (int index = 0; index < FFields.size(); ++index)
        if (FFields.at(index).Name.compare(name, Qt::CaseInsensitive) == 0)
            return index;
    return -1;
}

void TWeatherTable::SetFieldVisible(const QString& name, bool visible)
{
    const int index = FieldIndex(name);
    if (index < 0 || FFields.at(index).Visible == visible)
        return;
    FFields[index].Visible = visible;
    emit fieldsChanged();
}

bool TWeatherTable::AddIndex(const QString& indexName, const QString& fieldName)
{
    const int field = FieldIndex(fieldName);
    if (field < 0)
        return false;
    QSqlQuery query(FDatabase.Database());
    if (!query.exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                        .arg(QuoteSqlIdentifier(FName + QLatin1Char('_') + indexName),
                             QuoteSqlIdentifier(FName),
                             QuoteSqlIdentifier(FFields.at(field).Name)))) {
        LogFailure("Cannot create index:", query);
        return false;
    }
    return true;
}

bool TWeatherTable::SetOrder(const QString& fieldName, bool descending)
{
    const int field = fieldName.isEmpty() ? -1 : FieldIndex(fieldName);
    if (field < 0 && !fieldName.isEmpty())
        return false;
    if (field == FOrderField && descending == FOrderDescending)
        return true;
    FOrderField = field;
    FOrderDescending = descending;
    Changed();
    return true;
}

QString TWeatherTable::OrderField() const
{
    return FOrderField < 0 ? QString() : FFields.at(FOrderField).Name;
}

QString TWeatherTable::ColumnList() const
{
    QStringList names;
    for (const TFieldDef& field : FFields)
        names.append(QuoteSqlIdentifier(field.Name));
    return names.join(QStringLiteral(", "));
}

QString TWeatherTable::OrderClause() const
{
    if (FOrderField < 0)
        return QStringLiteral(" ORDER BY rowid");
    // Empty values (NULL or empty text) last in both directions.
    const QString field = QuoteSqlIdentifier(FFields.at(FOrderField).Name);
    return QStringLiteral(" ORDER BY coalesce(%1, '') = '', %1%2, rowid")
        .arg(field, FOrderDescending ? QStringLiteral(" DESC") : QString());
}

QString TWeatherTable::SelectStatement() const
{
    return QStringLiteral("SELECT %1 FROM %2").arg(ColumnList(), QuoteSqlIdentifier(FName)) +
           OrderClause();
}

int TWeatherTable::RowCount() const
{
    if (!FCreated)
        return 0;
    if (!FCount) {
        FCount.emplace(FDatabase.Database());
        FCount->setForwardOnly(true);
        FCount->prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QuoteSqlIdentifier(FName)));
    }
    int count = 0;
    if (FCount->exec() && FCount->next())
        count = FCount->value(0).toInt();
    FCount->finish();
    return count;
}

qint64 TWeatherTable::LastRowId() const
{
    if (!FCreated)
        return -1;
    if (!FLastId) {
        FLastId.emplace(FDatabase.Database());
        FLastId->setForwardOnly(true);
        FLastId->prepare(
            QStringLiteral("SELECT max(rowid) FROM %1").arg(QuoteSqlIdentifier(FName)));
    }
    qint64 id = -1;
    if (FLastId->exec() && FLastId->next() && !FLastId->value(0).isNull())
        id = FLastId->value(0).toLongLong();
    FLastId->finish();
    return id;
}

QList<TWeatherRow> TWeatherTable::Rows() const
{
    QList<TWeatherRow> rows;
    if (!FCreated)
        return rows;
    // Prepared again only when the order changed.
    const QString statement =
        QStringLiteral("SELECT rowid, %1 FROM %2").arg(ColumnList(), QuoteSqlIdentifier(FName)) +
        OrderClause();
    if (!FSelectAll || FSelectAll->lastQuery() != statement) {
        FSelectAll.emplace(FDatabase.Database());
        FSelectAll->setForwardOnly(true);
        FSelectAll->prepare(statement);
    }
    QSqlQuery& query = *FSelectAll;
    if (!query.exec()) {
        LogFailure("Cannot read rows:", query);
        return rows;
    }
    while (query.next())
        rows.append(ReadCurrent(query));
    query.finish();
    return rows;
}

bool TWeatherTable::LookUp(TLookup& lookup, bool withFields, int field, const QVariant& value,
                           const std::function<void(const QSqlQuery&)>& read) const
{
    if (!FCreated || field < 0 || field >= FFields.size())
        return false;
    const QVariant stored = StorageValue(field, value);
    if (!stored.isValid())
        return false;
    if (lookup.field != field) {
        const QString columns =
            withFields ? QStringLiteral("rowid, ") + ColumnList() : QStringLiteral("rowid");
        lookup.query.emplace(FDatabase.Database());
        lookup.query->setForwardOnly(true);
        lookup.query->prepare(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY rowid LIMIT 1")
                .arg(columns, QuoteSqlIdentifier(FName),
                     QuoteSqlIdentifier(FFields.at(field).Name)));
        lookup.field = field;
    }
    QSqlQuery& query = *lookup.query;
    query.addBindValue(stored);
    if (!query.exec()) {
        LogFailure("Cannot look a row up:", query);
        return false;
    }
    const bool found = query.next();
    if (found)
        read(query);
    query.finish();
    return found;
}

std::optional<TWeatherRow> TWeatherTable::FindRow(int field, const QVariant& value) const
{
    std::optional<TWeatherRow> row;
    LookUp(FFind, true, field, value, [&](const QSqlQuery& query) { row = ReadCurrent(query); });
    return row;
}

std::optional<qint64> TWeatherTable::FindRowId(int field, const QVariant& value) const
{
    std::optional<qint64> id;
    LookUp(FFindId, false, field, value,
           [&id](const QSqlQuery& query) { id = query.value(0).toLongLong(); });
    return id;
}

// The query's current row, selected as rowid followed by every field.
TWeatherRow TWeatherTable::ReadCurrent(const QSqlQuery& query) const
{
    TWeatherRow row;
    row.Id = query.value(0).toLongLong();
    row.Values.reserve(FFields.size());
    for (int field = 0; field < FFields.size(); ++field)
        row.Values.append(StoredValue(field, query.value(field + 1)));
    return row;
}

TWeatherRow TWeatherTable::NewRow() const
{
    TWeatherRow row;
    row.Values.resize(FFields.size());
    return row;
}

void TWeatherTable::SetValue(TWeatherRow& row, int field, const QVariant& value) const
{
    if (field < 0 || field >= FFields.size())
        return;
    if (row.Values.size() != FFields.size())
        row.Values.resize(FFields.size());
    row.Values[field] = StorageValue(field, value);
}

QVariant TWeatherTable::Value(const TWeatherRow& row, const QString& fieldName) const
{
    const int field = FieldIndex(fieldName);
    return field < 0 ? QVariant() : FromStorage(field, row.Values.value(field));
}

qint64 TWeatherTable::Post(TWeatherRow& row)
{
    if (!FCreated)
        return -1;
    QSqlQuery& query = row.Id < 0 ? *FInsert : *FUpdate;
    for (int field = 0; field < FFields.size(); ++field)
        query.addBindValue(row.Values.value(field));
    if (row.Id >= 0)
        query.addBindValue(row.Id);
    if (!query.exec()) {
        LogFailure("Cannot store a row:", query);
        return -1;
    }
    if (row.Id < 0)
        row.Id = query.lastInsertId().toLongLong();
    query.finish();
    RowsChanged();
    return row.Id;
}

bool TWeatherTable::UpdateFields(qint64 id, quint64 fieldMask, const QVariantList& values)
{
    if (!FCreated)
        return false;
    fieldMask &= FFields.size() >= 64 ? ~quint64(0) : (quint64(1) << FFields.size()) - 1;
    if (fieldMask == 0)
        return true;
    auto found = FFieldUpdates.find(fieldMask);
    if (found == FFieldUpdates.end()) {
        QStringList assignments;
        for (int field = 0; field < FFields.size(); ++field)
            if (fieldMask & (quint64(1) << field))
                assignments.append(QuoteSqlIdentifier(FFields.at(field).Name) +
                                   QStringLiteral(" = ?"));
        QSqlQuery query(FDatabase.Database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(QuoteSqlIdentifier(FName), assignments.join(QStringLiteral(", "))));
        found = FFieldUpdates.emplace(fieldMask, query).first;
    }
    QSqlQuery& query = found->second;
    for (int field = 0; field < FFields.size(); ++field)
        if (fieldMask & (quint64(1) << field))
            query.addBindValue(values.value(field));
    query.addBindValue(id);
    const bool ok = query.exec();
    if (!ok)
        LogFailure("Cannot store a row:", query);
    query.finish();
    RowsChanged();
    return ok;
}

void TWeatherTable::Empty()
{
    if (!FCreated)
        return;
    if (!FDelete) {
        FDelete.emplace(FDatabase.Database());
        FDelete->prepare(QStringLiteral("DELETE FROM %1").arg(QuoteSqlIdentifier(FName)));
    }
    if (!FDelete->exec())
        LogFailure("Cannot empty table:", *FDelete);
    FDelete->finish();
    RowsChanged();
}

void TWeatherTable::DisableControls()
{
    ++FDisableCount;
}

void TWeatherTable::EnableControls()
{
    if (FDisableCount == 0 || --FDisableCount > 0)
        return;
    if (FChangedWhileDisabled) {
        FChangedWhileDisabled = false;
        emit contentChanged();
    }
}

void TWeatherTable::RowsChanged()
{
    ++FRowChanges;
    Changed();
}

void TWeatherTable::Changed()
{
    if (FDisableCount > 0)
        FChangedWhileDisabled = true;
    else
        emit contentChanged();
}

QVariant TWeatherTable::StorageValue(int field, const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const TFieldDef& def = FFields.at(field);
    const bool isText = value.typeId() == QMetaType::QString;
    switch (def.Type) {
    case TFieldType::String:
        return CutToSize(value.toString(), def.Size);
    case TFieldType::Integer: {
        bool ok = false;
        if (isText) {
            const int number = value.toString().trimmed().toInt(&ok, 10);
            return ok ? QVariant(number) : QVariant();
        }
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            const auto number = pas_lib::RoundToInteger<int>(value.toDouble());
            return number ? QVariant(*number) : QVariant();
        }
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<int>::min() ||
            number > std::numeric_limits<int>::max())
            return QVariant();
        return int(number);
    }
    case TFieldType::Float: {
        std::optional<double> number;
        if (isText) {
            number = pas_lib::ParseFeedNumber(value.toString());
        } else {
            bool ok = false;
            const double converted = value.toDouble(&ok);
            if (ok)
                number = converted;
        }
        // Beyond what the field holds is no reading either (and NaN never is one).
        if (!number || !(std::abs(*number) <= def.EffectiveLimit()))
            return QVariant();
        return *number;
    }
    case TFieldType::DateTime: {
        QDateTime dateTime;
        switch (value.typeId()) {
        case QMetaType::QDateTime:
            dateTime = value.toDateTime();
            break;
        case QMetaType::QDate:
            dateTime = value.toDate().startOfDay();
            break;
        case QMetaType::QString:
            dateTime = pas_lib::ParseFeedDateTime(value.toString()).value_or(QDateTime());
            break;
        default: {
            bool ok = false;
            const double days = value.toDouble(&ok);
            if (ok)
                dateTime = pas_lib::DaysToDateTime(days);
        }
        }
        if (!dateTime.isValid())
            return QVariant();
        if (dateTime.timeSpec() != Qt::LocalTime)
            dateTime = dateTime.toLocalTime();
        return dateTime.toString(Qt::ISODateWithMs);
    }
    }
    return QVariant();
}

QVariant TWeatherTable::FromStorage(int field, const QVariant& stored) const
{
    if (!stored.isValid())
        return QVariant();
    if (FFields.at(field).Type == TFieldType::DateTime)
        return QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    return stored;
}

QVariant TWeatherTable::StoredValue(int field, const QVariant& raw) const
{
    if (!raw.isValid() || raw.isNull())
        return QVariant();
    switch (FFields.at(field).Type) {
    case TFieldType::Integer:
        return raw.toInt();
    case TFieldType::Float:
        return raw.toDouble();
    default:
        return raw.toString();
    }
}
