#include "ChartReadings.h"

#include "ChartDatabase.h"
#include "arso/ArsoTime.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// Closes the connection whatever happens; Qt keeps connections by name.
class TConnection
{
public:
    explicit TConnection(const QString& path)
        : FName(QStringLiteral("chart-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    ~TConnection() { QSqlDatabase::removeDatabase(FName); }
    QSqlDatabase Database() const { return QSqlDatabase::database(FName, false); }

private:
    QString FName;
};

} // namespace

int AppendChartReadings(const QString& path, const QList<TChartReading>& readings, QString* error)
{
    const TConnection connection(path);
    QSqlDatabase database = connection.Database();
    auto failed = [&](const QSqlError& why) {
        if (error)
            *error = why.text();
        return -1;
    };
    if (!database.open())
        return failed(database.lastError());
    int added = 0;
    {
        QSqlQuery query(database);
        if (!database.tables().contains(QStringLiteral("readings"))) {
            for (const QString& statement : QString::fromLatin1(chartd::ChartSchema)
                                                .split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!query.exec(statement))
                    return failed(query.lastError());
        }
        if (!database.transaction())
            return failed(database.lastError());
        QSqlQuery station(database);
        QSqlQuery reading(database);
        station.prepare(QStringLiteral("INSERT OR REPLACE INTO stations VALUES (?, ?, ?)"));
        reading.prepare(QStringLiteral("INSERT OR REPLACE INTO readings VALUES (?, ?, ?, ?)"));
        for (const TChartReading& value : readings) {
            if (value.stationCode < 1 || !value.time.isValid())
                continue;
            station.addBindValue(value.stationKind);
            station.addBindValue(value.stationCode);
            station.addBindValue(value.stationName);
            reading.addBindValue(value.stationKind);
            reading.addBindValue(value.stationCode);
            reading.addBindValue(value.time.toTimeZone(arso::SlovenianZone())
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            reading.addBindValue(value.temperature);
            if (!station.exec() || !reading.exec()) {
                const QSqlError why =
                    station.lastError().isValid() ? station.lastError() : reading.lastError();
                database.rollback();
                return failed(why);
            }
            ++added;
        }
        if (!database.commit())
            return failed(database.lastError());
    }
    database.close();
    return added;
}
