// Prints how fast the picture views answer with their pictures already on
// disk, against the demo deployment: from the radar view's action to its
// picture painted, from a change of the satellite list to the picture
// painted, and the resident memory of the tray-only program against the one
// that has shown all three picture views.

#include "BenchFigures.h"
#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "common/PictureFile.h"
#include "controls/TImagePanel.h"
#include "views/TForecastView.h"
#include "views/TRadarView.h"
#include "views/TViewArea.h"
#include "views/frm_satelitske_slike.h"
#include "weather/ViewKinds.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

constexpr int rounds = 30;

double Milliseconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyProgramStyle();
    pas_lib::LimitPictureDecoding();
    QTextStream out(stdout);
    TDemoDeployment demo;
    if (!demo.Start()) {
        out << "The demo deployment did not start: " << demo.Error() << "\n";
        return 1;
    }
    TTestHome home;
    home.WriteFile(QStringLiteral("Config.ini"),
                   demo.ConfigUrlSection() +
                       "[PARAMETRI]\r\nSLIKA_PADAVINE=1\r\nSATELITSKA_SLIKA=1\r\n"
                       "NAPOVED_V_SLIKI=1\r\n");
    TRecordingPresenter presenter;
    TMainForm form;
    RunUntil([&] { return form.StartupDone(); });
    // The background downloads of the first refresh.
    QElapsedTimer settle;
    settle.start();
    RunUntil([&] { return settle.elapsed() > 1500; });
    const long trayOnly = ResidentKiB();

    TViewArea& area = *form.ViewArea();
    form.Prikaiokno1Click();
    form.repaint();
    QAction* radar = form.ViewAction(TViewKind::Radar);
    QAction* satellite = form.ViewAction(TViewKind::Satellite);
    QAction* forecast = form.ViewAction(TViewKind::ForecastMaps);
    QAction* observation = form.ViewAction(TViewKind::ObservationStations);
    // Every picture once, so that each is fresh on disk.
    radar->trigger();
    RunUntil([&] { return !area.Radar()->Picture().isNull(); });
    forecast->trigger();
    RunUntil([&] { return !area.Forecast()->Map()->Picture().isNull(); });
    satellite->trigger();
    auto* list = area.Satellite()->findChild<QComboBox*>(QStringLiteral("suiComboBox"));
    for (int picture = 0; picture < list->count(); ++picture) {
        list->setCurrentIndex(picture);
        RunUntil([&] { return !area.PicturesBusy(); });
    }

    QList<double> radarTimes;
    QList<double> satelliteTimes;
    QElapsedTimer clock;
    for (int round = 0; round < rounds; ++round) {
        observation->trigger();
        form.repaint();
        area.Radar()->Clear();
        clock.start();
        radar->trigger();
        form.repaint();
        radarTimes.append(Milliseconds(clock));
        if (area.Radar()->Picture().isNull())
            out << "The radar picture was not on disk.\n";

        satellite->trigger();
        form.repaint();
        clock.restart();
        list->setCurrentIndex((round % (list->count() - 1)) + 1);
        form.repaint();
        satelliteTimes.append(Milliseconds(clock));
        if (area.PicturesBusy())
            out << "A satellite picture was not on disk.\n";
        list->setCurrentIndex(0);
    }
    form.ViewAction(TViewKind::ForecastMaps)->trigger();
    form.repaint();
    RunUntil([&] { return !area.PicturesBusy(); });
    const long visited = ResidentKiB();

    out << "Picture views with their pictures on disk (median of " << rounds << "):\n"
        << "  radar view action to the picture painted:   " << Median(radarTimes) << " ms\n"
        << "  satellite list change to the picture painted: " << Median(satelliteTimes) << " ms\n"
        << "Resident memory: " << trayOnly / 1024.0 << " MiB tray only, " << visited / 1024.0
        << " MiB after the three picture views (+" << (visited - trayOnly) / 1024.0 << " MiB)\n";
    return 0;
}
