// Prints how long the converter takes on the recorded automatic-station file
// and the two forecasts, and how long a whole refresh takes in direct mode
// (ARSO's recorded files from nginx, converted in the program) beside one
// from a deployment the feed builder made of the same files.

#include "Await.h"
#include "BenchFigures.h"
#include "FeedBuilder.h"
#include "LoopbackServers.h"
#include "QuietRefreshHost.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "arso/Converter.h"
#include "net/LastModifiedStamps.h"
#include "settings/Tparameter.h"
#include "weather/ProcessState.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int runs = 50;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double Milliseconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// The first refresh and the median of the steady ones, in ms.
std::pair<double, double> TimeRefreshes(const QByteArray& config)
{
    TTestHome home;
    home.WriteFile(QStringLiteral("Config.ini"), config);
    CreateParameters();
    pas_lib::ResetProcessState();
    LastModifiedStamps.ResetAll();
    TWeatherData data;
    data.CreateWeatherTables();
    TQuietRefreshHost host;
    TRefreshCycle cycle(data, host);
    auto refresh = [&] {
        QElapsedTimer clock;
        clock.start();
        cycle.RefreshData(true);
        RunUntil([&] { return !cycle.Refreshing(); }, 1);
        return Milliseconds(clock);
    };
    const double first = refresh();
    QList<double> times;
    for (int run = 0; run < runs; ++run)
        times.append(refresh());
    return {first, Median(times)};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);

    arso::TArsoFiles files;
    files.automaticStations = RecordedArsoFile(QStringLiteral("observationAms_si_latest.xml"));
    files.nationalForecast = RecordedArsoFile(QStringLiteral("fcast_SLOVENIA_latest.xml"));
    files.regionalForecast = RecordedArsoFile(QStringLiteral("forecast_si_latest.xml"));
    QList<double> conversions;
    for (int run = 0; run < runs; ++run) {
        arso::TStationCodes codes;
        QElapsedTimer clock;
        clock.start();
        const arso::TConversion conversion = arso::Convert(files, codes);
        conversions.append(Milliseconds(clock));
        if (conversion.converted.size() != 3) {
            out << "the recorded files did not convert\n";
            return 1;
        }
    }
    out << "converting the automatic stations (" << files.automaticStations.size() / 1024
        << " KiB) and both forecasts, median of " << runs << ": " << Median(conversions) << " ms\n";

    TNginxServer nginx;
    if (!nginx.Start()) {
        out << "cannot start nginx: " << nginx.Error() << Qt::endl;
        return 1;
    }
    QTemporaryDir work;
    for (const auto& [file, path] : RecordedArsoFiles())
        nginx.WriteFile(QStringLiteral("arso/") + path, ReadAll(file));
    TBuilderOptions options;
    options.output = nginx.Root() + QStringLiteral("/site");
    options.state = work.filePath(QStringLiteral("state"));
    options.base = options.waterBase = nginx.Url(QStringLiteral("arso/"));
    options.publicAddress = nginx.Url(QStringLiteral("site/"));
    const TBuildResult built = Await(BuildDeployment(options));
    if (built.exitCode == 2) {
        out << "no deployment: " << built.logLine << '\n';
        return 1;
    }

    const QByteArray arso = nginx.Url(QStringLiteral("arso/")).toUtf8();
    const auto [directFirst, direct] =
        TimeRefreshes("[URL]\r\nARSO=" + arso + "\r\nARSOVODE=" + arso + "\r\n");
    const auto [deploymentFirst, deployment] = TimeRefreshes(
        "[URL]\r\nNASTAVITVE=" + nginx.Url(QStringLiteral("site/cliententer.asp")).toUtf8() +
        "\r\n");
    out << "refresh from the deployment of the same files: first " << deploymentFirst
        << " ms, then median " << deployment << " ms\n"
        << "refresh in direct mode: first " << directFirst << " ms, then median " << direct
        << " ms (" << direct / deployment << " times the deployment's)\n";
    return 0;
}
