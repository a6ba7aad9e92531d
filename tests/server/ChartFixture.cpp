#include "ChartFixture.h"

#include "ChartDatabase.h"

#include <QDate>
#include <sqlite3.h>

bool WriteChartFixture(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray fileName = path.toUtf8();
    bool ok = sqlite3_open(fileName.constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, chartd::ChartSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
    const char* fill = R"(
        INSERT INTO stations VALUES (1, 14, 'Ljubljana'), (2, 3, 'Koper'), (3, 5, 'Krtina');
        INSERT INTO readings VALUES
            (1, 14, '2025-12-31 23:00:00', 5.0),
            (1, 14, '2026-03-01 12:00:00', 4.0),
            (1, 14, '2026-03-02 00:00:00', -0.5),
            (1, 14, '2026-03-02 01:00:00', -2.5),
            (1, 14, '2026-03-02 02:00:00', -0.4),
            (1, 14, '2026-03-02 03:00:00', 2.5),
            (1, 14, '2026-03-02 04:00:00', -1.6),
            (1, 14, '2026-03-02 06:00:00', 0.0),
            (1, 14, '2026-03-02 23:00:00', 1.4),
            (1, 14, '2026-03-03 00:00:00', 7.0),
            (1, 14, '2026-03-30 10:00:00', -1.2),
            (1, 14, '2026-03-30 14:00:00', 0.2),
            (1, 14, '2026-04-01 08:00:00', 1.2),
            (1, 14, '2026-04-01 09:00:00', 1.3),
            (1, 14, '2026-04-05 23:00:00', 10.5),
            (1, 14, '2026-04-06 00:00:00', 20.0),
            (1, 14, '2027-01-01 00:00:00', 9.0),
            (2, 3, '2026-03-02 05:00:00', 'n/a'),
            (2, 3, '2026-03-02 07:00', 3.0),
            (2, 3, '2026-03-02 08:00:00', 3.0),
            (2, 3, '9999-12-31 23:00:00', 1.0);
        )";
    ok = ok && sqlite3_exec(db, fill, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QString ChartDay(const QString& isoDate, QChar separator)
{
    const qint64 day = QDate(1899, 12, 30).daysTo(QDate::fromString(isoDate, Qt::ISODate));
    return QString::number(day) + separator + QStringLiteral("767523217589769");
}
