// Prints how long the feed section reader takes for a station section of 2,000
// records loaded in update mode into a table that already holds them, and for
// a text section of 200 paragraphs.

#include "common/DataPaths.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTableModel.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
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

void Report(QTextStream& out, const QString& what, std::pair<double, double> times)
{
    out << what << ": fastest " << QString::number(times.first, 'f', 1) << " ms, median "
        << QString::number(times.second, 'f', 1) << " ms\n";
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
    Report(out, QStringLiteral("2000 station records, update mode, table holding them"), Time([&] {
               data.LoadFeedSection(stationPath, key, stations, true, data.tbl_opazovalne);
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
        << ", lines in the text pane: " << data.MainTextPane->blockCount() << "\n";
    return 0;
}
