// The chart server's reply: whatever it holds, the graph table gets at most
// the bounded number of rows, each counted, and a reply with a table
// definition leaves only its own rows.

#include "FuzzSupport.h"
#include "weather/GraphReply.h"
#include "weather/TWeatherTable.h"
#include "weather/TemperatureGraph.h"

namespace {
// Made once and never destroyed: the fuzzer ends with exit().
TGraphTable* graph = nullptr;
constexpr TGraphReplyLimits limits{.maxLineBytes = 64 * 1024, .maxRows = 500};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    graph = new TGraphTable;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray reply =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    TWeatherTable& table = graph->Table();
    table.Empty();
    // One row from before, which only a table definition removes.
    TWeatherRow earlier = table.NewRow();
    table.SetValue(earlier, table.FieldIndex(QStringLiteral("URA")), 5);
    table.Post(earlier);
    const TGraphReplyResult result = ReadGraphReply(reply, table, limits);
    const int rows = table.RowCount();
    FUZZ_CHECK(result.rowsAdded >= 0 && result.rowsAdded <= limits.maxRows, QString());
    FUZZ_CHECK(rows == result.rowsAdded || rows == result.rowsAdded + 1, QString());
    FUZZ_CHECK((result.rowsAdded == 0) == (result.firstRowId < 0), QString());
    FUZZ_CHECK(reply.contains("@@TABLEDEF END@@") || rows == result.rowsAdded + 1, QString());
    return 0;
}
