// The feed section reader on one feed: every section that a view reads, each in
// both modes (a table refilled and updated; a text pane written and the sun
// times extracted), then the change stamps. The weather database is made once;
// each input's changes are rolled back.

#include "FuzzSupport.h"
#include "common/FixedFormat.h"
#include "common/XmlDocument.h"
#include "settings/Tparameter.h"
#include "weather/CurrentViewKind.h"
#include "weather/FetchFeed.h"
#include "weather/LoadFeedSection.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QSqlDatabase>
#include <cmath>

namespace {

TWeatherData* data = nullptr;

// What the tables may hold after any feed: floats finite and within their
// field's limit, date-times valid, text no longer than its field.
void CheckTable(const TWeatherTable& table)
{
    const QList<TFieldDef>& fields = table.Fields();
    for (const TWeatherRow& row : table.Rows())
        for (int field = 0; field < fields.size(); ++field) {
            const TFieldDef& def = fields.at(field);
            const QVariant value = table.Value(row, def.Name);
            if (!value.isValid())
                continue;
            switch (def.Type) {
            case TFieldType::Float:
                FUZZ_CHECK(std::isfinite(value.toDouble()) &&
                               std::abs(value.toDouble()) <= def.EffectiveLimit(),
                           def.Name);
                break;
            case TFieldType::DateTime:
                FUZZ_CHECK(value.toDateTime().isValid(), def.Name);
                break;
            case TFieldType::String:
                FUZZ_CHECK(value.toString().size() <= def.Size, def.Name);
                break;
            case TFieldType::Integer:
                break;
            }
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, true);
    CreateParameters();
    data = new TWeatherData;
    data->CreateWeatherTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const pas_lib::TXmlDocument feed(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    QSqlDatabase database = data->tbl_opazovalne->Database().Database();
    database.transaction();
    const int stationRows = data->tbl_opazovalne->RowCount();
    const int coastRows = data->tbl_primorje->RowCount();
    for (const TViewKindInfo& view : ViewKinds()) {
        pas_lib::CurrentViewKind = view.kind;
        for (const TFeedSection& section : view.sections) {
            const QString path = QString::fromLatin1(section.path);
            const QString key = QString::fromLatin1(section.key);
            TWeatherTable* table = section.table ? data->*section.table : nullptr;
            if (!table) {
                data->LoadFeedSection(path, key, feed, false, nullptr);
                data->LoadFeedSection(path, key, feed, true, nullptr);
                continue;
            }
            data->LoadFeedSection(path, key, feed, false, table);
            const int replaced = table->RowCount();
            data->LoadFeedSection(path, key, feed, true, table);
            // Update mode never loses a row.
            FUZZ_CHECK(table->RowCount() >= replaced, path);
        }
    }
    // A feed that did not parse changes nothing.
    FUZZ_CHECK(feed.IsValid() || (data->tbl_opazovalne->RowCount() == stationRows &&
                                  data->tbl_primorje->RowCount() == coastRows),
               QString());
    // The tables that a section of the feed wrote to.
    for (const TViewKindInfo& view : ViewKinds())
        for (const TFeedSection& section : view.sections)
            if (section.table && !feed.Select(QString::fromLatin1(section.path)).isEmpty())
                CheckTable(*(data->*section.table));
    for (int kind = 1; kind <= 6; ++kind)
        if (const auto stamp = pas_lib::ParseFeedDateTime(ChangeStamp(feed, kind)))
            FUZZ_CHECK(stamp->isValid(), QString::number(kind));
    FUZZ_CHECK(std::isfinite(pas_lib::SunriseTime) && std::isfinite(pas_lib::SunsetTime),
               QString());
    database.rollback();
    FUZZ_CHECK(data->tbl_opazovalne->RowCount() == stationRows, QString());
    return 0;
}
