// Prints how long the feed section reader takes for a station section of 2,000
// records loaded in update mode into a table that already holds them, and for
// a text section of 200 paragraphs. The station figure is set against a floor,
// the least any reader of that section can do: one stream parse of the feed and
// one prepared SQLite upsert per record, all in one transaction. Last, feeds at
// and beyond the limits of what a feed may be.

#include "common/DataPaths.h"
#include "common/XmlDocument.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherDatabase.h"
#include "weather/TWeatherTableModel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>

namespace {

constexpr int runs = 15;

QByteArray StationFeed(int records)
{
    QByteArray feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><PODATKI><OpazovalnePostaje>"
                      "<Kdaj>5.3.2024 14:00</Kdaj>";
    for (int index = 0; index < records; ++index) {
        const QByteArray number = QByteArray::number(index);
        feed += "<P><Kraj>Postaja \xC4\x8D" + number +
                "</Kraj><Vreme>pretežno oblačno</Vreme>"
                "<Temperatura>" +
                QByteArray::number(index % 40 - 10) +
                ".5</Temperatura>"
                "<Vlaznost>" +
                QByteArray::number(index % 100) +
                "</Vlaznost>"
                "<ObcutekT>7.2</ObcutekT><VeterSmer>JZ</VeterSmer><VeterHitrost>3.4</VeterHitrost>"
                "<VeterSunki>8.1</VeterSunki><ZracniTlak>1013.2</ZracniTlak>"
                "<ZracniTlakStanje>pada</ZracniTlakStanje>"
                "<ZadnjaSprememba>5.3.2024 13:30</ZadnjaSprememba></P>";
    }
    return feed + "</OpazovalnePostaje></PODATKI>";
}

QByteArray TextFeed(int paragraphs)
{
    QByteArray feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><PODATKI><Napovedi>"
                      "<VremenskaNapoved><Kdaj>5.3.2024 6:00</Kdaj>";
    constexpr int perRecord = 5;
    for (int index = 0; index < paragraphs; ++index) {
        if (index % perRecord == 0)
            feed += "<N><Naziv>Napoved " + QByteArray::number(index / perRecord) + "</Naziv>";
        feed += "<Odstavek>Danes bo pretežno jasno, popoldne bo od zahoda pooblačilo.&lt;br&gt;"
                "Pihal bo šibak jugozahodni veter. Najnižje jutranje temperature bodo od -3 do "
                "3, najvišje dnevne od 10 do 15 &amp;gt; °C.</Odstavek>";
        if (index % perRecord == perRecord - 1 || index == paragraphs - 1)
            feed += "</N>";
    }
    return feed + "</VremenskaNapoved></Napovedi></PODATKI>";
}

// The floor: a table with the station table's columns and collation and a
// unique key on the place, filled by a stream parse of the section with one
// prepared upsert per record in one transaction. The texts are bound as they
// come (SQLite's column affinity makes numbers of number texts): no decoding,
// no checks, no clearing of old values.
class TFloor
{
public:
    explicit TFloor(const TWeatherTable& model)
        : FTable(FDatabase, QStringLiteral("floor")), FFields(model.Fields())
    {
        FTable.Create(FFields);
        QSqlQuery query(FDatabase.Database());
        query.exec(QStringLiteral("CREATE UNIQUE INDEX floor_kraj ON floor (KRAJ)"));
        QStringList columns;
        QStringList placeholders;
        QStringList updates;
        for (qsizetype index = 0; index < FFields.size(); ++index) {
            const QString& name = FFields.at(index).Name;
            FColumns.insert(name.toLower(), int(index));
            columns.append(name);
            placeholders.append(QStringLiteral("?"));
            if (name != QLatin1String("KRAJ") && name != QLatin1String("SIFRA"))
                updates.append(name + QStringLiteral(" = excluded.") + name);
        }
        FUpsert.emplace(FDatabase.Database());
        FUpsert->prepare(QStringLiteral("INSERT INTO floor (%1) VALUES (%2) ON CONFLICT (KRAJ) "
                                        "DO UPDATE SET %3")
                             .arg(columns.join(u','), placeholders.join(u','), updates.join(u',')));
    }
    ~TFloor() { FUpsert.reset(); }

    void Load(const QByteArray& feed)
    {
        QSqlDatabase database = FDatabase.Database();
        database.transaction();
        QXmlStreamReader reader(feed);
        QVariantList values(FFields.size());
        int depth = 0;
        while (!reader.atEnd()) {
            const auto token = reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (depth == 3 && reader.name() == QLatin1String("P")) {
                    values.fill(QVariant());
                } else if (depth == 4) {
                    const int field = FColumns.value(reader.name().toString().toLower(), -1);
                    const QString text = reader.readElementText();
                    --depth;
                    if (field >= 0)
                        values[field] = text;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth == 3 && reader.name() == QLatin1String("P")) {
                    for (const QVariant& value : std::as_const(values))
                        FUpsert->addBindValue(value);
                    if (!FUpsert->exec())
                        qWarning() << FUpsert->lastError().text();
                }
                --depth;
            }
        }
        database.commit();
    }

    int RowCount() const { return FTable.RowCount(); }

private:
    TWeatherDatabase FDatabase;
    TWeatherTable FTable;
    QList<TFieldDef> FFields;
    QHash<QString, int> FColumns;
    std::optional<QSqlQuery> FUpsert;
};

// Milliseconds of the fastest and the median of the runs.
std::pair<double, double> Time(const std::function<void()>& load)
{
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        load();
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.first(), times.at(times.size() / 2)};
}

// The same for two loads run in turns.
std::pair<std::pair<double, double>, std::pair<double, double>>
TimeInTurns(const std::function<void()>& first, const std::function<void()>& second)
{
    QList<double> firstTimes;
    QList<double> secondTimes;
    for (int run = 0; run < runs; ++run)
        for (auto [load, times] : {std::pair{&first, &firstTimes}, {&second, &secondTimes}}) {
            QElapsedTimer timer;
            timer.start();
            (*load)();
            times->append(double(timer.nsecsElapsed()) / 1e6);
        }
    auto summary = [](QList<double>& times) {
        std::sort(times.begin(), times.end());
        return std::pair{times.first(), times.at(times.size() / 2)};
    };
    return {summary(firstTimes), summary(secondTimes)};
}

void Report(QTextStream& out, const QString& what, std::pair<double, double> times)
{
    out << what << ": fastest " << QString::number(times.first, 'f', 1) << " ms, median "
        << QString::number(times.second, 'f', 1) << " ms\n";
}

// Peak resident memory of this process in KiB.
long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Hostile feeds at and beyond the limits: how long a parse takes, whether it
// is accepted, and what the process's peak memory is afterwards.
void ReportLimits(QTextStream& out)
{
    const QByteArray manyElements =
        "<PODATKI>" + QByteArray("<P/>").repeated(199999) + "</PODATKI>";
    const QByteArray eightMiB =
        "<PODATKI><P>" + QByteArray(8 * 1024 * 1024 - 26, 'x') + "</P></PODATKI>";
    const QByteArray tooMany = "<PODATKI>" + QByteArray("<P/>").repeated(200000) + "</PODATKI>";
    const QByteArray cap(32 * 1024 * 1024, ' ');
    for (const auto& [what, feed] :
         {std::pair{"200,000 elements (the most accepted)", &manyElements},
          {"8 MiB of text in one element (the largest accepted)", &eightMiB},
          {"200,001 elements (refused)", &tooMany},
          {"32 MiB, the download cap (refused)", &cap}}) {
        QElapsedTimer timer;
        timer.start();
        const pas_lib::TXmlDocument document(*feed);
        out << "parse of " << what << ": "
            << QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 1) << " ms, "
            << (document.IsValid() ? "accepted" : "refused") << ", peak memory so far "
            << PeakResidentKiB() / 1024 << " MiB\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir home;
    qputenv("NIMBULON_HOME", home.path().toUtf8());
    pas_lib::RecomputePaths();

    TWeatherData data;
    data.CreateWeatherTables();
    const QByteArray stations = StationFeed(2000);
    const QByteArray text = TextFeed(200);
    const QString stationPath = QStringLiteral("OpazovalnePostaje/P");
    const QString key = QStringLiteral("Kraj");
    data.LoadFeedSection(stationPath, key, stations, true, data.tbl_opazovalne);

    QTextStream out(stdout);
    out << "Feed section reader, " << runs << " runs each (feed sizes " << stations.size() / 1024
        << " KiB and " << text.size() / 1024 << " KiB)\n";
    TFloor floor(*data.tbl_opazovalne);
    floor.Load(stations);
    // Taken in turns, so that a busy moment of the machine weighs on both alike.
    const auto [reader, floorTimes] = TimeInTurns(
        [&] { data.LoadFeedSection(stationPath, key, stations, true, data.tbl_opazovalne); },
        [&] { floor.Load(stations); });
    Report(out,
           QStringLiteral("2000 station records, update mode, table holding them, parse "
                          "included"),
           reader);
    Report(out, QStringLiteral("floor: stream parse and upserts in one transaction"), floorTimes);
    out << "reader / floor (medians): "
        << QString::number(reader.second / floorTimes.second, 'f', 2) << " (at most 1.5 wanted)\n";
    const pas_lib::TXmlDocument parsed(stations);
    Report(out, QStringLiteral("the feed parsed alone"),
           Time([&] { pas_lib::TXmlDocument document(stations); }));
    Report(out, QStringLiteral("the section loaded from the parsed feed (a view shown)"), Time([&] {
               data.LoadFeedSection(stationPath, key, parsed, true, data.tbl_opazovalne);
           }));
    {
        TWeatherTableModel model(data.tbl_opazovalne);
        Report(out, QStringLiteral("the same with a grid model attached"), Time([&] {
                   data.LoadFeedSection(stationPath, key, stations, true, data.tbl_opazovalne);
               }));
    }
    Report(out, QStringLiteral("200 paragraphs, text mode"), Time([&] {
               data.LoadFeedSection(QStringLiteral("Napovedi/VremenskaNapoved/N"),
                                    QStringLiteral("Naziv"), text, false, nullptr);
           }));
    out << "Rows in the table: " << data.tbl_opazovalne->RowCount()
        << ", in the floor's table: " << floor.RowCount()
        << ", lines in the text pane: " << data.MainTextPane->blockCount() << "\n";
    ReportLimits(out);
    return 0;
}
