// Prints how long one full refresh takes against the demo deployment served by
// nginx on loopback (the first one of a process, which also reads the settings
// document and the catalogue, and a steady one), and the resident memory after
// 100 refreshes.

#include "DemoDeployment.h"
#include "QuietRefreshHost.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>

// In the sanitizer build freed memory waits in a quarantine of up to 256 MiB,
// which would hide the program's own use; the figures want it off.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=0:thread_local_quarantine_size_kb=0:detect_leaks=0";
}

namespace {

constexpr int refreshes = 100;

// The bench waits in a loop of its own, left the moment the refresh ends.
void RefreshAndWait(TRefreshCycle& cycle)
{
    QEventLoop loop;
    QObject::connect(&cycle, &TRefreshCycle::refreshFinished, &loop, &QEventLoop::quit);
    cycle.RefreshData(false);
    if (cycle.Refreshing())
        loop.exec();
}

// VmRSS of this process in KiB.
long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double Milliseconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    TDemoDeployment demo;
    if (!demo.Start()) {
        out << "cannot start the demo deployment: " << demo.Error() << Qt::endl;
        return 1;
    }
    TTestHome home;
    TRecordingPresenter presenter;
    home.WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
    CreateParameters();
    TWeatherData data;
    data.CreateWeatherTables();
    TQuietRefreshHost host;
    TRefreshCycle cycle(data, host);

    QElapsedTimer clock;
    clock.start();
    RefreshAndWait(cycle);
    const double first = Milliseconds(clock);
    const long afterFirst = ResidentKiB();

    QList<double> times;
    for (int run = 0; run < refreshes; ++run) {
        clock.restart();
        RefreshAndWait(cycle);
        times.append(Milliseconds(clock));
    }
    std::sort(times.begin(), times.end());
    out << "first refresh (settings, catalogue, feeds, picture): " << first << " ms\n"
        << "full refresh, median of " << refreshes << ": " << times[times.size() / 2]
        << " ms (fastest " << times.first() << ", slowest " << times.last() << ")\n"
        << "resident memory after the first refresh: " << afterFirst << " KiB\n"
        << "resident memory after " << refreshes + 1 << " refreshes: " << ResidentKiB() << " KiB\n";
    if (!presenter.Messages.isEmpty())
        out << "messages shown: " << presenter.Messages.join(QStringLiteral(" / ")) << '\n';
    return 0;
}
