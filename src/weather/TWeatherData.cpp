#include "weather/TWeatherData.h"

#include "common/DataPaths.h"
#include "weather/StationCatalogue.h"
#include "weather/StationKinds.h"

namespace {

QTextDocument* NewTextPane(QObject* parent)
{
    auto* pane = new QTextDocument(parent);
    pane->setUndoRedoEnabled(false); // the panes are read-only; no history to keep
    return pane;
}

TFieldDef Text(const QString& name, int size, const QString& caption, int width = 0)
{
    return {name, TFieldType::String, size, caption, width, true};
}

TFieldDef Number(const QString& name, TFieldType type, const QString& caption, int width = 0)
{
    return {name, type, 0, caption, width, true};
}

// No air or water on Earth is beyond a thousand degrees; a feed that says so
// carries no reading.
constexpr double temperatureLimit = 1000.0;

TFieldDef Temperature(const QString& name, const QString& caption, int width = 0)
{
    TFieldDef field = Number(name, TFieldType::Float, caption, width);
    field.Limit = temperatureLimit;
    return field;
}

QList<TFieldDef> StationFields()
{
    TFieldDef code = Number(QStringLiteral("SIFRA"), TFieldType::Integer, QString());
    code.Visible = false;
    return {
        Text(QStringLiteral("KRAJ"), 30, QStringLiteral("Kraj"), 20),
        code,
        Text(QStringLiteral("VREME"), 30, QStringLiteral("Vreme"), 20),
        Temperature(QStringLiteral("TEMPERATURA"), QStringLiteral("T[°C]"), 5),
        Number(QStringLiteral("VLAZNOST"), TFieldType::Integer, QStringLiteral("Vlažnost [%]")),
        Temperature(QStringLiteral("OBCUTEKT"), QStringLiteral("Idx[°C]"), 8),
        Text(QStringLiteral("VETERSMER"), 5, QStringLiteral("Smer v"), 7),
        Number(QStringLiteral("VETERHITROST"), TFieldType::Float, QStringLiteral("HV[m/s]"), 7),
        Number(QStringLiteral("VETERSUNKI"), TFieldType::Float, QStringLiteral("SV[m/s]"), 7),
        Number(QStringLiteral("ZRACNITLAK"), TFieldType::Float, QStringLiteral("ZT[hPa]"), 8),
        Text(QStringLiteral("ZRACNITLAKSTANJE"), 15, QStringLiteral("ZT-stanje"), 10),
        Number(QStringLiteral("ZADNJASPREMEMBA"), TFieldType::DateTime,
               QStringLiteral("Sprememba")),
    };
}

// The station tables are ordered by place, in Slovenian order and ignoring
// case, through the collation of their text columns.
void OrderByPlace(TWeatherTable& table)
{
    table.AddIndex(QStringLiteral("KRAJ"), QStringLiteral("KRAJ"));
    table.SetOrder(QStringLiteral("KRAJ"));
}

} // namespace

TWeatherData::TWeatherData(QObject* parent)
    : QObject(parent),
      tbl_opazovalne(new TWeatherTable(FDatabase, QStringLiteral("tbl_opazovalne"), this)),
      tbl_avtomatske(new TWeatherTable(FDatabase, QStringLiteral("tbl_avtomatske"), this)),
      tblAmaterske(new TWeatherTable(FDatabase, QStringLiteral("tblAmaterske"), this)),
      tbl_eu(new TWeatherTable(FDatabase, QStringLiteral("tbl_eu"), this)),
      tbl_snezna_odeja(new TWeatherTable(FDatabase, QStringLiteral("tbl_snezna_odeja"), this)),
      tbl_primorje(new TWeatherTable(FDatabase, QStringLiteral("tbl_primorje"), this)),
      tblVodostaji(new TWeatherTable(FDatabase, QStringLiteral("tblVodostaji"), this)),
      MainTextPane(NewTextPane(this)), CoastTextPane(NewTextPane(this)),
      ViewTitle(new TViewTitle(this))
{
}

TWeatherData::~TWeatherData()
{
    // The tables' statements must go before the database they run on.
    for (TWeatherTable* table : {tbl_opazovalne, tbl_avtomatske, tblAmaterske, tbl_eu,
                                 tbl_snezna_odeja, tbl_primorje, tblVodostaji})
        delete table;
}

void TWeatherData::CreateWeatherTables()
{
    if (FTablesCreated)
        return;
    FTablesCreated = true;

    tbl_opazovalne->Create(StationFields());
    OrderByPlace(*tbl_opazovalne);
    tbl_avtomatske->CopyStructure(*tbl_opazovalne);
    tbl_eu->CopyStructure(*tbl_opazovalne);
    tblAmaterske->CopyStructure(*tbl_opazovalne);

    for (const char* hidden : {"VREME", "VLAZNOST", "ZRACNITLAK", "ZRACNITLAKSTANJE"})
        tbl_avtomatske->SetFieldVisible(QLatin1String(hidden), false);
    OrderByPlace(*tbl_avtomatske);
    for (const char* hidden : {"VREME", "ZRACNITLAKSTANJE"})
        tblAmaterske->SetFieldVisible(QLatin1String(hidden), false);
    OrderByPlace(*tblAmaterske);

    pas_lib::LoadStationCatalogue(*this, pas_lib::PostajeXmlPath);

    tbl_snezna_odeja->Create({
        Text(QStringLiteral("KRAJ"), 30, QStringLiteral("Postaja")),
        Number(QStringLiteral("VISINA"), TFieldType::Integer, QStringLiteral("Višina snega[cm]")),
    });
    tbl_primorje->Create({
        Text(QStringLiteral("KAJ"), 30, QStringLiteral(" ")),
        Text(QStringLiteral("DOPOLDNE"), 30, QStringLiteral("Dopoldne")),
        Text(QStringLiteral("POPOLDNE"), 30, QStringLiteral("Popoldne")),
    });
    tblVodostaji->Create({
        Text(QStringLiteral("POSTAJA"), 20, QStringLiteral("Opazovalna postaja")),
        Number(QStringLiteral("VODOSTAJ"), TFieldType::Integer, QStringLiteral("Vodostaj[cm]")),
        Number(QStringLiteral("PRETOK"), TFieldType::Float, QStringLiteral("Pretok[m3/s]")),
        Text(QStringLiteral("STANJE"), 10, QStringLiteral("Stanje")),
        Temperature(QStringLiteral("TEMPERATURA"), QStringLiteral("Temp[°C]")),
        Text(QStringLiteral("DECILPRETOKA"), 13, QStringLiteral("Decil pretoka")),
    });
}

TWeatherTable* TWeatherData::StationTable(int kind) const
{
    const pas_lib::TStationKind* row = pas_lib::StationKindOf(kind);
    return row ? this->*row->table : nullptr;
}

TNameValueList* TWeatherData::StationGraphList(int kind)
{
    const pas_lib::TStationKind* row = pas_lib::StationKindOf(kind);
    return row ? &(this->*row->graphList) : nullptr;
}
