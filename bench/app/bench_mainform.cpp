// Prints how fast the main window answers: showing it, switching views (the
// work of the switch and one full paint of the window), against the demo
// deployment served by nginx on loopback. Run it on a real desktop
// (DISPLAY set, scripts/desktop) or with QT_QPA_PLATFORM=offscreen.

#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "views/TStationGrid.h"
#include "views/ViewTable.h"
#include "weather/TWeatherData.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTextStream>
#include <algorithm>

namespace {

constexpr int rounds = 50;

double Milliseconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

struct TFigures
{
    QList<double> Samples;
    void Add(double value) { Samples.append(value); }
    double Median()
    {
        std::sort(Samples.begin(), Samples.end());
        return Samples.isEmpty() ? 0 : Samples[Samples.size() / 2];
    }
    // The value that this share of the samples does not exceed.
    double Percentile(double share)
    {
        std::sort(Samples.begin(), Samples.end());
        return Samples.isEmpty() ? 0 : Samples[qsizetype(share * double(Samples.size() - 1))];
    }
    double Slowest() const
    {
        return Samples.isEmpty() ? 0 : *std::max_element(Samples.begin(), Samples.end());
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyProgramStyle();
    QTextStream out(stdout);
    TDemoDeployment demo;
    if (!demo.Start()) {
        out << "The demo deployment did not start: " << demo.Error() << "\n";
        return 1;
    }
    TTestHome home;
    home.WriteFile(QStringLiteral("Config.ini"),
                   demo.ConfigUrlSection() +
                       "[PARAMETRI]\r\nAMATERSKE_POSTAJE=1\r\nSNEZNA_ODEJA=1\r\n"
                       "NAPOVED_EVROPA=1\r\nVODOSTAJI=1\r\nNAPOVED_LETALSTVO=1\r\n");
    TRecordingPresenter presenter;

    QElapsedTimer clock;
    clock.start();
    TMainForm form;
    out << "Window created (first refresh included): " << Milliseconds(clock) << " ms\n";

    clock.restart();
    form.Prikaiokno1Click();
    form.repaint();
    QApplication::processEvents();
    out << "Window shown and painted: " << Milliseconds(clock) << " ms\n";

    out << "View switch, the switch and a full repaint (median / slowest of " << rounds << "):\n";
    const QList<int> kinds{1, 2, 16, 10, 13, 15, 5, 7, 8, 9, 11};
    for (int kind : kinds) {
        TFigures figures;
        for (int round = 0; round < rounds; ++round) {
            // Switch away first, so every switch does its whole work.
            form.ViewAction(TViewKind(kind == 1 ? 2 : 1))->trigger();
            form.repaint();
            clock.restart();
            form.ViewAction(TViewKind(kind))->trigger();
            form.repaint();
            figures.Add(Milliseconds(clock));
        }
        out << QStringLiteral("  %1 %2: %3 / %4 ms\n")
                   .arg(kind, 2)
                   .arg(ViewOfKind(TViewKind(kind))->caption, -24)
                   .arg(figures.Median(), 0, 'f', 2)
                   .arg(figures.Slowest(), 0, 'f', 2);
    }

    // The observation table with 2,000 stations.
    TWeatherTable& table = *form.Weather()->tbl_opazovalne;
    QRandomGenerator random(2026);
    table.DisableControls();
    for (int i = table.RowCount(); i < 2000; ++i) {
        TWeatherRow row = table.NewRow();
        table.SetValue(row, table.FieldIndex(QStringLiteral("KRAJ")),
                       QStringLiteral("Postaja %1").arg(i, 4, 10, QLatin1Char('0')));
        table.SetValue(row, table.FieldIndex(QStringLiteral("VREME")),
                       QStringLiteral("pretežno oblačno"));
        for (const char* field : {"TEMPERATURA", "OBCUTEKT", "VETERHITROST", "ZRACNITLAK"})
            table.SetValue(row, table.FieldIndex(QLatin1String(field)),
                           random.bounded(-200, 350) / 10.0);
        table.SetValue(row, table.FieldIndex(QStringLiteral("VLAZNOST")), random.bounded(100));
        table.Post(row);
    }
    table.EnableControls();
    auto* grid = form.findChild<TStationGrid*>();
    TFigures switching;
    TFigures sorting;
    TFigures painting;
    for (int round = 0; round < rounds; ++round) {
        form.ViewAction(TViewKind::AutomaticStations)->trigger();
        form.repaint();
        clock.restart();
        form.ViewAction(TViewKind::ObservationStations)->trigger();
        form.repaint();
        switching.Add(Milliseconds(clock));
        clock.restart();
        grid->TitleClick(2);
        grid->viewport()->repaint();
        sorting.Add(Milliseconds(clock));
        // Rendering into a picture runs exactly the grid's painting.
        clock.restart();
        const QPixmap screen = grid->viewport()->grab();
        painting.Add(Milliseconds(clock));
    }
    const auto line = [&out](const char* what, TFigures& figures) {
        out << QStringLiteral("  %1 %2 / %3 / %4 ms\n")
                   .arg(QLatin1String(what), -28)
                   .arg(figures.Median(), 0, 'f', 2)
                   .arg(figures.Percentile(0.9), 0, 'f', 2)
                   .arg(figures.Slowest(), 0, 'f', 2);
    };
    out << "Observation table with " << table.RowCount()
        << " rows (median / 90th percentile / slowest):\n";
    line("switch to it and paint:", switching);
    line("sort by a column and paint:", sorting);
    line("paint one screen of it:", painting);
    return 0;
}
