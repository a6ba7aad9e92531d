#pragma once

#include <QSqlDatabase>
#include <QString>

// The in-memory SQLite database that holds the weather tables, under a
// connection name of its own. Text columns compare with the collation
// TextCollation(): Slovenian alphabetical order (C, Č, D ... S, Š ... Z, Ž),
// letter case ignored, so ORDER BY and = on them sort and match place names as
// a Slovenian reader expects, whoever writes the SQL.
class TWeatherDatabase
{
public:
    TWeatherDatabase();
    // Every query on the connection, models included, must be gone by then.
    ~TWeatherDatabase();
    TWeatherDatabase(const TWeatherDatabase&) = delete;
    TWeatherDatabase& operator=(const TWeatherDatabase&) = delete;

    QSqlDatabase Database() const;
    const QString& ConnectionName() const { return FConnectionName; }
    // The name to use in COLLATE clauses of text columns.
    const QString& TextCollation() const { return FTextCollation; }

private:
    QString FConnectionName;
    QString FTextCollation;
};

// A name quoted as an SQL identifier.
QString QuoteSqlIdentifier(const QString& name);
