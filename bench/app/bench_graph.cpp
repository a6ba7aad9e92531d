// Prints how long a graph takes against the demo deployment's chart server on
// loopback (nginx, fcgiwrap, chartd): from the button to the bars drawn, with
// the request, the server's query and the reading of its reply, for a day and
// a year graph; and the memory the graph view costs once it is open.

#include "BenchFigures.h"
#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/frm_graf.h"
#include "weather/TWeatherData.h"

#include <QApplication>
#include <QChart>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int rounds = 30;

// The bench waits for the graph in a loop of its own.
void Run(QCoro::Task<> task)
{
    QEventLoop loop;
    bool done = false;
    [](QCoro::Task<> inner, bool& finished, QEventLoop& events) -> QCoro::Task<> {
        co_await inner;
        finished = true;
        events.quit();
    }(std::move(task), done, loop);
    if (!done)
        loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    TDemoDeployment demo;
    if (!demo.Start()) {
        out << "The demo deployment did not start: " << demo.Error() << "\n";
        return 1;
    }
    TTestHome home;
    home.WriteFile(QStringLiteral("Config.ini"),
                   demo.ConfigUrlSection() +
                       "[PARAMETRI]\r\nTIP_POSTAJE=0\r\nKRAJ_OPAZOVALNE=Ljubljana\r\n");
    home.WriteFile(QStringLiteral("Postaje.xml"), demo.ReadFile(QStringLiteral("Postaje.xml")));
    TRecordingPresenter presenter;
    CreateParameters();
    TWeatherData weather;
    weather.CreateWeatherTables();
    TPictureContext context;
    const long before = ResidentKiB();
    TFrameGraf frame(weather, context);
    frame.resize(700, 450);
    frame.show();
    frame.Open();
    const long opened = ResidentKiB();

    QList<double> days;
    QList<double> years;
    int bars = 0;
    QElapsedTimer clock;
    for (int round = 0; round < rounds; ++round) {
        clock.start();
        Run(frame.btnDnevniGrafClick());
        frame.repaint();
        days.append(double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        Run(frame.btnLetniGrafClick());
        frame.repaint();
        years.append(double(clock.nsecsElapsed()) / 1e6);
        bars = frame.SeriesBars().isEmpty() ? 0 : int(frame.SeriesBars().last().size());
    }
    out << "Graphs against the loopback chart server (median of " << rounds << "):\n"
        << "  day graph, button to bars drawn:  " << Median(days) << " ms\n"
        << "  year graph, button to bars drawn: " << Median(years) << " ms (" << bars << " bars)\n"
        << "Resident memory: " << before / 1024.0 << " MiB before the graph view, "
        << opened / 1024.0 << " MiB with it open (+" << (opened - before) / 1024.0 << " MiB)\n";
    if (!presenter.Messages.isEmpty())
        out << "Messages: " << presenter.Messages.join(QStringLiteral("; ")) << "\n";
    return bars > 0 ? 0 : 1;
}
