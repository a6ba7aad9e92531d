#include "weather/TWeatherDatabase.h"

#include "weather/WeatherLog.h"

#include <QCollator>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <atomic>
#include <sqlite3.h>

namespace {

const QString slovenianCollation = QStringLiteral("SLOVENSKO");

int CompareSlovenian(void* collator, int leftBytes, const void* left, int rightBytes,
                     const void* right)
{
    const QStringView leftText(static_cast<const QChar*>(left), leftBytes / 2);
    const QStringView rightText(static_cast<const QChar*>(right), rightBytes / 2);
    return static_cast<const QCollator*>(collator)->compare(leftText, rightText);
}

void DeleteCollator(void* collator)
{
    delete static_cast<QCollator*>(collator);
}

// Installs the Slovenian collation on the connection; false when the driver
// does not expose SQLite.
bool InstallSlovenianCollation(const QSqlDatabase& database)
{
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    if (!connection)
        return false;
    auto* collator = new QCollator(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    const int result = sqlite3_create_collation_v2(
        connection, slovenianCollation.toUtf8().constData(), SQLITE_UTF16_ALIGNED, collator,
        CompareSlovenian, DeleteCollator);
    // SQLite frees the collator with the connection, but not after a failed registration.
    if (result != SQLITE_OK) {
        delete collator;
        return false;
    }
    return true;
}

} // namespace

TWeatherDatabase::TWeatherDatabase()
{
    static std::atomic<int> counter{0};
    FConnectionName = QStringLiteral("nimbulon.weather.%1").arg(++counter);
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
    database.setDatabaseName(QStringLiteral(":memory:"));
    if (!database.open()) {
        qCCritical(lcWeather).noquote()
            << "Cannot open the in-memory weather database:" << database.lastError().text();
        return;
    }
    if (InstallSlovenianCollation(database)) {
        FTextCollation = slovenianCollation;
    } else {
        // ASCII-only case folding is the best SQLite offers by itself.
        qCWarning(lcWeather) << "Slovenian collation unavailable; text sorts by code point";
        FTextCollation = QStringLiteral("NOCASE");
    }
}

TWeatherDatabase::~TWeatherDatabase()
{
    {
        QSqlDatabase database = QSqlDatabase::database(FConnectionName, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(FConnectionName);
}

QSqlDatabase TWeatherDatabase::Database() const
{
    return QSqlDatabase::database(FConnectionName, false);
}

QString QuoteSqlIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
