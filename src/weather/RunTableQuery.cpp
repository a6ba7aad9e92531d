#include "weather/RunTableQuery.h"

#include "common/Messages.h"
#include "weather/TWeatherDatabase.h"
#include "weather/TWeatherTable.h"
#include "weather/WeatherLog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Temporary views that give tables the names a query knows them by, dropped
// again when the query has been read.
class TAliasViews
{
public:
    explicit TAliasViews(const QSqlDatabase& database) : FDatabase(database) {}
    ~TAliasViews()
    {
        for (const QString& view : FViews) {
            QSqlQuery query(FDatabase);
            if (!query.exec(QStringLiteral("DROP VIEW IF EXISTS temp.") + view))
                qCWarning(lcWeather).noquote() << "Cannot drop view" << view;
        }
    }
    TAliasViews(const TAliasViews&) = delete;
    TAliasViews& operator=(const TAliasViews&) = delete;

    // False, with the error in error, when the view cannot be made.
    bool Register(const TWeatherTable& table, const QString& alias, QSqlError& error)
    {
        if (alias.compare(table.Name(), Qt::CaseInsensitive) == 0)
            return true;
        const QString view = QuoteSqlIdentifier(alias);
        QSqlQuery query(FDatabase);
        if (!query.exec(QStringLiteral("CREATE TEMP VIEW %1 AS SELECT * FROM main.%2")
                            .arg(view, QuoteSqlIdentifier(table.Name())))) {
            error = query.lastError();
            return false;
        }
        FViews.append(view);
        return true;
    }

private:
    QSqlDatabase FDatabase;
    QStringList FViews;
};

} // namespace

int TQueryResult::FieldIndex(const QString& name) const
{
    for (qsizetype index = 0; index < FFieldNames.size(); ++index)
        if (FFieldNames.at(index).compare(name, Qt::CaseInsensitive) == 0)
            return int(index);
    return -1;
}

QVariant TQueryResult::Value(int row, const QString& fieldName) const
{
    const int field = FieldIndex(fieldName);
    if (field < 0 || row < 0 || row >= FRows.size())
        return QVariant();
    return FRows.at(row).at(field);
}

TQueryResult RunTableQuery(const QString& sql, const QList<TWeatherTable*>& tables,
                           const QStringList& aliases, const QVariantList& boundValues)
{
    TQueryResult result;
    if (!aliases.isEmpty() && aliases.size() != tables.size()) {
        pas_lib::ShowMessage(QStringLiteral("Neujemanje števila dataset-ov in aliasov"));
        return result;
    }
    const QSqlDatabase database =
        tables.isEmpty() ? QSqlDatabase() : tables.first()->Database().Database();
    TAliasViews views(database);
    QSqlError error;
    bool registered = true;
    for (qsizetype index = 0; index < tables.size() && registered; ++index)
        registered =
            views.Register(*tables.at(index),
                           aliases.isEmpty() ? tables.at(index)->Name() : aliases.at(index), error);
    {
        QSqlQuery query(database);
        query.setForwardOnly(true);
        if (registered && query.prepare(sql)) {
            for (const QVariant& value : boundValues)
                query.addBindValue(value);
            if (query.exec()) {
                const QSqlRecord record = query.record();
                for (int field = 0; field < record.count(); ++field)
                    result.FFieldNames.append(record.fieldName(field));
                while (query.next()) {
                    QVariantList row;
                    for (int field = 0; field < record.count(); ++field) {
                        const QVariant value = query.value(field);
                        row.append(value.isNull() ? QVariant() : value);
                    }
                    result.FRows.append(row);
                }
                result.FOpen = true;
            }
        }
        if (!result.FOpen && registered)
            error = query.lastError();
    }
    if (!result.FOpen)
        pas_lib::ShowMessage(sql + QStringLiteral(": ") + error.text());
    return result;
}
