// The station catalogue: whatever the file holds, only stations with a positive
// code are added, each with its own name, and the graph lists stay in step.
// The weather database is made once; each input's rows are rolled back.

#include "FuzzSupport.h"
#include "common/XmlDocument.h"
#include "weather/StationCatalogue.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <array>

namespace {
// Made once and never destroyed, as the weather data is: the fuzzer ends with
// exit(), and a query must not go before the database it runs on.
TWeatherData* data = nullptr;
// Per station table: how many of its rows have no positive code.
std::array<QSqlQuery*, 3> withoutCode{};

int RowsWithoutCode(int kind)
{
    QSqlQuery& query = *withoutCode[size_t(kind)];
    int count = -1;
    if (query.exec() && query.next())
        count = query.value(0).toInt();
    query.finish();
    return count;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    data = new TWeatherData;
    data->CreateWeatherTables(); // no catalogue file yet: the built-in one
    for (int kind = 0; kind < 3; ++kind) {
        const TWeatherTable& table = *data->StationTable(kind);
        withoutCode[size_t(kind)] = new QSqlQuery(table.Database().Database());
        withoutCode[size_t(kind)]->prepare(
            QStringLiteral("SELECT count(*) FROM %1 WHERE SIFRA IS NULL OR SIFRA <= 0")
                .arg(QuoteSqlIdentifier(table.Name())));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const pas_lib::TXmlDocument catalogue(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    QSqlDatabase database = data->tbl_opazovalne->Database().Database();
    database.transaction();
    QList<int> before;
    for (int kind = 0; kind < 3; ++kind) {
        before.append(data->StationTable(kind)->RowCount());
        data->StationGraphList(kind)->Clear(); // as at start, before any catalogue
    }
    pas_lib::LoadStationCatalogue(*data, catalogue);
    for (int kind = 0; kind < 3; ++kind) {
        const int rows = data->StationTable(kind)->RowCount();
        FUZZ_CHECK(catalogue.IsValid() || rows == before.at(kind), QString());
        FUZZ_CHECK(RowsWithoutCode(kind) == 0, QString());
        // Rows are added or refreshed, never removed; the graph list holds an
        // entry per name read, and each names a row.
        FUZZ_CHECK(rows >= before.at(kind), QString());
        FUZZ_CHECK(data->StationGraphList(kind)->Count() <= rows, QString());
    }
    database.rollback();
    return 0;
}
