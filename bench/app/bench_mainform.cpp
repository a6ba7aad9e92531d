// Prints how fast the main window answers: showing it, switching views (the
// work of the switch and one full paint of the window), against the demo
// deployment served by nginx on loopback. Run it on a real desktop
// (DISPLAY set, scripts/desktop) or with QT_QPA_PLATFORM=offscreen.

#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "views/ViewTable.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
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
            form.ViewAction(kind == 1 ? 2 : 1)->trigger();
            form.repaint();
            clock.restart();
            form.ViewAction(kind)->trigger();
            form.repaint();
            figures.Add(Milliseconds(clock));
        }
        out << QStringLiteral("  %1 %2: %3 / %4 ms\n")
                   .arg(kind, 2)
                   .arg(ViewOfKind(kind)->Caption, -24)
                   .arg(figures.Median(), 0, 'f', 2)
                   .arg(figures.Slowest(), 0, 'f', 2);
    }
    return 0;
}
