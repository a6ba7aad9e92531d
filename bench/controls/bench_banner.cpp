// The CPU time of the scrolling banner while it is seen: a window with the
// banner as the main window shows it (370 x 16, 270 pixels per 10 s, a long
// proverb) scrolls for a stretch, and the process's CPU time (user + system,
// getrusage) over that stretch is printed as a share of one core, with the
// ticks and frames that it cost. Run it on a real display (Xvfb:
// scripts/desktop :9, then DISPLAY=:9 build/release/bin/bench_banner) or on
// QT_QPA_PLATFORM=offscreen.
// Usage: bench_banner [seconds] [speed]   (defaults: 30 270)
#include "controls/TKorvalinBanner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the frames the banner paints.
class TFrameCounter : public QObject
{
public:
    int Frames = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Frames;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int seconds = args.size() > 1 ? args.at(1).toInt() : 30;
    const int speed = args.size() > 2 ? args.at(2).toInt() : 270;

    QWidget window;
    window.setWindowTitle(QStringLiteral("bench_banner"));
    window.resize(390, 36);
    auto* banner = new TKorvalinBanner(&window);
    banner->setGeometry(10, 10, 370, 16);
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    font.setBold(true);
    banner->setFont(font);
    banner->SetColor(QColor(232, 179, 84));
    banner->SetFontColor(QColor(103, 72, 14));
    banner->SetSpeed(speed);
    banner->SetGap(40);
    banner->SetText(QStringLiteral(
        "Kakršno vreme na Medarda, takšno bo štirideset dni.   Če je na svečnico jasno, bo "
        "zima še dolgo trajala.   Jutranja zarja prinese dež, večerna lepo vreme."));
    TFrameCounter frames;
    banner->installEventFilter(&frames);
    window.show();

    // A second for the window to settle, then the stretch measured.
    double startCpu = 0;
    int startFrames = 0;
    QElapsedTimer clock;
    QTimer::singleShot(1000, [&] {
        startCpu = CpuSeconds();
        startFrames = frames.Frames;
        clock.start();
        QTimer::singleShot(seconds * 1000, [&] {
            const double cpu = CpuSeconds() - startCpu;
            const double wall = clock.elapsed() / 1000.0;
            std::printf("banner %dx%d at %d px/10 s (tick %d ms) on %s, %s\n", banner->width(),
                        banner->height(), banner->Speed(), banner->TickInterval(),
                        qPrintable(QGuiApplication::platformName()),
                        banner->Ticking() ? "ticking" : "NOT ticking");
            std::printf("over %.1f s: CPU %.3f s = %.2f%% of one core; %d frames painted "
                        "(%.1f/s, one per tick); %.1f us CPU per frame\n",
                        wall, cpu, 100.0 * cpu / wall, frames.Frames - startFrames,
                        (frames.Frames - startFrames) / wall,
                        frames.Frames > startFrames ? 1e6 * cpu / (frames.Frames - startFrames)
                                                    : 0.0);
            app.quit();
        });
    });
    return app.exec();
}
