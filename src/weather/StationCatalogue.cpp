#include "weather/StationCatalogue.h"

#include "common/DecodeFeedText.h"
#include "common/XmlDocument.h"
#include "weather/DirectSource.h"
#include "weather/StationKinds.h"
#include "weather/TWeatherData.h"
#include "weather/WeatherLog.h"

#include <QFile>
#include <QFileInfo>

namespace pas_lib {

const QStringList DefaultAutomaticStations{
    QStringLiteral("Bovec"),
    QStringLiteral("Celje"),
    QStringLiteral("Dobliče Črnomelj"),
    QStringLiteral("Dolenje Ajdovščina"),
    QStringLiteral("Koper"),
    QStringLiteral("Krško"),
    QStringLiteral("Letališče Brnik"),
    QStringLiteral("Letališče Lesce"),
    QStringLiteral("Letališče Maribor"),
    QStringLiteral("Letališče Portorož"),
    QStringLiteral("Ljubljana"),
    QStringLiteral("Maribor"),
    QStringLiteral("Murska Sobota"),
    QStringLiteral("Nova Gorica"),
    QStringLiteral("Novo mesto"),
    QStringLiteral("Piran-ocean. boja"),
    QStringLiteral("Podčetrtek"),
    QStringLiteral("Postojna"),
    QStringLiteral("Ptuj"),
    QStringLiteral("Radenci"),
    QStringLiteral("Rogaška Slatina"),
    QStringLiteral("Slovenj Gradec"),
    QStringLiteral("RatečePlanica 864m"),
    QStringLiteral("Lisca 943m"),
    QStringLiteral("Rudno polje 1347m"),
    QStringLiteral("Rogla 1492m"),
    QStringLiteral("Kredarica 2515m"),
    QStringLiteral("Boršt/Gorenja vas"),
    QStringLiteral("Letališče Cerklje"),
    QStringLiteral("Krvavec 1740m"),
    QStringLiteral("Velenje"),
    QStringLiteral("Ilirska Bistrica"),
    QStringLiteral("Park Škocj. jame"),
};

const QStringList DefaultObservationStations{
    QStringLiteral("Celje"),
    QStringLiteral("Črnomelj"),
    QStringLiteral("Letališče Lesce"),
    QStringLiteral("Letališče Brnik"),
    QStringLiteral("Letališče Maribor"),
    QStringLiteral("Letališče Portorož"),
    QStringLiteral("Lisca"),
    QStringLiteral("Ljubljana"),
    QStringLiteral("Katarina nad Lj."),
    QStringLiteral("Kočevje"),
    QStringLiteral("Murska Sobota"),
    QStringLiteral("Nova Gorica"),
    QStringLiteral("Novo mesto"),
    QStringLiteral("Postojna"),
    QStringLiteral("Rateče Planica"),
    QStringLiteral("Slovenj Gradec"),
    QStringLiteral("Triglav Kredarica"),
    QStringLiteral("Vogel"),
    QStringLiteral("Vojsko"),
    QStringLiteral("Letališče Cerklje"),
};

const QStringList DefaultAmateurStations{
    QStringLiteral("Krtina"),     QStringLiteral("Dravograd"), QStringLiteral("Bohinjska Češnjica"),
    QStringLiteral("Radomlje"),   QStringLiteral("Žirje"),     QStringLiteral("Maribor-Tabor"),
    QStringLiteral("Portorož"),   QStringLiteral("Kozina"),    QStringLiteral("GIS Ljubljana"),
    QStringLiteral("Male Lašče"), QStringLiteral("Črni Vrh"),  QStringLiteral("Sladki Vrh"),
    QStringLiteral("Mekotnjak"),
};

namespace {

// The order in which the catalogue's sections, and the built-in catalogue,
// are loaded.
constexpr int catalogueOrder[] = {AutomaticStations, ObservationStations, AmateurStations};

struct TCatalogueSection
{
    QString name;
    TWeatherTable* table;
    TNameValueList* graphList;
    const QStringList* defaults;
};

QList<TCatalogueSection> CatalogueSections(TWeatherData& data)
{
    QList<TCatalogueSection> sections;
    for (const int code : catalogueOrder) {
        const TStationKind& kind = *StationKindOf(code);
        sections.append({QString::fromLatin1(kind.section), data.*kind.table,
                         &(data.*kind.graphList), kind.defaultPlaces});
    }
    return sections;
}

// The station code of a catalogue entry; 0 when it is not a decimal integer.
int StationCode(QStringView text)
{
    bool ok = false;
    const int code = text.trimmed().toInt(&ok, 10);
    return ok ? code : 0;
}

// False when the section holds an entry with a code and no name: the loading
// stops there.
bool LoadSection(const TXmlElement& root, const TCatalogueSection& section)
{
    section.graphList->Clear();
    // A catalogue read again refreshes the stations an earlier reading added;
    // rows added by this reading are newer than any of them.
    const qint64 lastEarlierRow = section.table->LastRowId();
    const int placeField = section.table->FieldIndex(QStringLiteral("KRAJ"));
    const int codeField = section.table->FieldIndex(QStringLiteral("SIFRA"));
    // Code and name are taken from the same P, so that an entry that lacks one
    // cannot shift the names of the entries after it.
    for (TXmlElement sectionElement = root.FirstChild(section.name); !sectionElement.IsNull();
         sectionElement = sectionElement.NextSibling(section.name))
        for (TXmlElement entry = sectionElement.FirstChild(QStringLiteral("P")); !entry.IsNull();
             entry = entry.NextSibling(QStringLiteral("P"))) {
            const TXmlElement codeElement = entry.FirstChild(QStringLiteral("SIFRA"));
            if (codeElement.IsNull())
                continue;
            const TXmlElement nameElement = entry.FirstChild(QStringLiteral("NAZIV"));
            if (nameElement.IsNull()) {
                qCDebug(lcWeather) << "Station catalogue entry without a name in" << section.name;
                return false;
            }
            const int code = StationCode(codeElement.TextView());
            if (code <= 0)
                continue;
            const QString name = DecodeFeedText(nameElement.Text());
            std::optional<TWeatherRow> row;
            if (lastEarlierRow >= 0)
                row = section.table->FindRow(placeField, name);
            if (row && row->Id <= lastEarlierRow) {
                section.table->SetValue(*row, codeField, code);
                section.table->Post(*row);
            } else {
                AddStation(*section.table, name, code);
            }
            section.graphList->SetValue(name, QString::number(code));
        }
    return true;
}

} // namespace

void AddStation(TWeatherTable& table, const QString& name, int code)
{
    TWeatherRow row = table.NewRow();
    table.SetValue(row, table.FieldIndex(QStringLiteral("KRAJ")), name);
    table.SetValue(row, table.FieldIndex(QStringLiteral("SIFRA")), code);
    table.Post(row);
}

void FillPlaceList(QStringList& items, const TWeatherTable& table)
{
    items.clear();
    const int place = table.FieldIndex(QStringLiteral("KRAJ"));
    if (place < 0)
        return;
    for (const TWeatherRow& row : table.Rows())
        items.append(row.Values.at(place).toString());
}

void LoadStationCatalogue(TWeatherData& data, const QString& path)
{
    // The default names are the program's own servers' places; ARSO names its
    // stations otherwise, and the direct source writes their catalogue after
    // its first refresh, which fills the tables meanwhile.
    if (!QFileInfo::exists(path) && DirectSourceChosen()) {
        qCDebug(lcWeather) << "No station catalogue yet; ARSO's stations come with the feeds";
        return;
    }
    if (!QFileInfo::exists(path)) {
        const QList<TCatalogueSection> sections = CatalogueSections(data);
        for (const TCatalogueSection& section : sections)
            section.table->DisableControls();
        for (const TCatalogueSection& section : sections)
            for (qsizetype index = 0; index < section.defaults->size(); ++index)
                AddStation(*section.table, section.defaults->at(index), int(index + 1));
        for (const TCatalogueSection& section : sections)
            section.table->EnableControls();
        return;
    }
    QFile file(path);
    TXmlDocument catalogue;
    // Read no more than a document may hold: a bigger file does not parse anyway.
    if (!file.open(QIODevice::ReadOnly) || !catalogue.Parse(file.read(TXmlLimits().MaxBytes + 1))) {
        qCDebug(lcWeather) << "Station catalogue cannot be read:" << path;
        return;
    }
    LoadStationCatalogue(data, catalogue);
}

void LoadStationCatalogue(TWeatherData& data, const TXmlDocument& catalogue)
{
    if (!catalogue.IsValid())
        return;
    const QList<TCatalogueSection> sections = CatalogueSections(data);
    for (const TCatalogueSection& section : sections)
        section.table->DisableControls();
    const TXmlElement root = catalogue.Root();
    for (const TCatalogueSection& section : sections)
        if (!LoadSection(root, section))
            break;
    for (const TCatalogueSection& section : sections)
        section.table->EnableControls();
}

} // namespace pas_lib
