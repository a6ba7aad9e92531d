// Prints how fast the animations view starts a video and what playing costs,
// against the demo deployment's video server: from a button's click to the
// first picture decoded (the video downloads again on every click, over
// loopback), the resident memory while a video plays and after it has ended
// with the buttons back, and the growth over ten plays.

#include "BenchFigures.h"
#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "common/DataPaths.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/frm_animations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QTextStream>
#include <QTimer>
#include <QVideoSink>
#include <QVideoWidget>
#include <algorithm>
#include <functional>

namespace {

constexpr int plays = 10;

void Pause(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    RunUntil([&] { return clock.elapsed() >= milliseconds; }, 1);
}

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
    home.WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
    CreateParameters();
    TRecordingPresenter presenter;
    TPictureContext context;
    TFrameAnimations frame(context);
    frame.resize(640, 480);
    frame.show();
    Pause(300);
    const long before = ResidentKiB();
    frame.Open();
    const long opened = ResidentKiB();

    QElapsedTimer clock;
    qint64 firstPicture = -1;
    QObject::connect(frame.VideoWidget()->videoSink(), &QVideoSink::videoFrameChanged, &frame, [&] {
        if (firstPicture < 0)
            firstPicture = clock.nsecsElapsed();
    });
    QList<double> starts;
    long playing = 0;
    long firstEnd = 0;
    long lastEnd = 0;
    for (int round = 0; round < plays; ++round) {
        // The first play brings the video to disk; the ones after replace it.
        firstPicture = -1;
        clock.start();
        emit frame.Button(round % 2 == 0 ? 0 : 2)->click();
        RunUntil(
            [&] { return firstPicture >= 0 || frame.State() == TFrameAnimations::TState::Failed; },
            1);
        if (firstPicture < 0) {
            out << "The video did not play: " << presenter.Messages.join(QStringLiteral("; "))
                << "\n";
            return 1;
        }
        starts << double(firstPicture) / 1e6;
        if (round == 0) {
            Pause(1000);
            playing = ResidentKiB();
        }
        RunUntil([&] { return frame.Player()->mediaStatus() == QMediaPlayer::EndOfMedia; }, 1);
        frame.FrameClick();
        Pause(200);
        if (round == 0)
            firstEnd = ResidentKiB();
        lastEnd = ResidentKiB();
    }
    QList<double> later = starts.mid(1);
    std::sort(later.begin(), later.end());
    out << "Button click to the first picture: first play " << starts.first()
        << " ms; median of the next " << later.size() << " " << later[later.size() / 2]
        << " ms, slowest " << later.last() << " ms (aim: 300 ms)\n";
    out << "Resident memory: " << before << " KiB before the player, " << opened << " KiB with it, "
        << playing << " KiB a second into the first video, " << firstEnd
        << " KiB with the buttons back\n";
    out << "After " << plays << " plays: " << lastEnd << " KiB, growth since the first "
        << (lastEnd - firstEnd) << " KiB (aim: under 5120 KiB)\n";
    return 0;
}
