// Prints how the main window answers while a refresh waits for a slow server
// (every answer 2 s late, through a delaying proxy in front of the demo
// deployment): the time from "Nastavitve" to the settings dialog shown, and
// from the dialog shown to the end of the refresh that was running. The dialog
// is closed ("Prekini") once the refresh has ended, or 15 s after it showed.
// Usage: bench_waits [path of tests/support/delaying-proxy.py]

#include "BenchFigures.h"
#include "DemoDeployment.h"
#include "LoopbackServers.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "remote/RemoteSettings.h"
#include "views/pas_parametri.h"
#include "weather/TRefreshCycle.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

constexpr double delaySeconds = 2.0;
constexpr qint64 longestOpen = 15000;

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyProgramStyle();
    QTextStream out(stdout);
    const QString script =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QStringLiteral(NIMBULON_SOURCE_DIR "/tests/support/delaying-proxy.py");
    TDemoDeployment demo;
    if (!demo.Start()) {
        out << "The demo deployment did not start: " << demo.Error() << "\n";
        return 1;
    }
    const quint16 port = FreeLoopbackPort();
    QProcess proxy;
    proxy.start(QStringLiteral("python3"),
                {script, QString::number(port), demo.BaseUrl(), QString::number(delaySeconds)});
    proxy.waitForStarted();
    QThread::msleep(500);
    const QString slow = QStringLiteral("http://127.0.0.1:%1").arg(port);

    TTestHome home;
    QByteArray urls = demo.ConfigUrlSection();
    urls.replace(demo.BaseUrl().toLatin1(), slow.toLatin1());
    home.WriteFile(QStringLiteral("Config.ini"), urls);
    TRecordingPresenter presenter;

    QElapsedTimer clock;
    clock.start();
    TMainForm form;
    auto* cycle = form.findChild<TRefreshCycle*>();
    RunUntil(
        [&] {
            cycle = form.findChild<TRefreshCycle*>();
            return cycle && !cycle->Refreshing();
        },
        5);
    out << "First refresh through the slow server: " << clock.elapsed() << " ms\n";
    form.Prikaiokno1Click();

    // The settings document is read again: the refresh asks the slow server
    // five times or so.
    LastRemoteRead = QDateTime();
    qint64 asked = -1;
    qint64 shown = -1;
    qint64 ended = -1;
    qint64 closed = -1;
    QObject::connect(cycle, &TRefreshCycle::refreshFinished, &form, [&] {
        if (ended < 0)
            ended = clock.elapsed();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
        auto* dialog = form.findChild<Tform_parametri*>();
        if (dialog && dialog->isVisible() && shown < 0)
            shown = clock.elapsed();
        if (dialog && dialog->isVisible() && closed < 0 &&
            (ended >= 0 || clock.elapsed() - shown > longestOpen)) {
            closed = clock.elapsed();
            dialog->findChild<QPushButton*>(QStringLiteral("btn_prekini"))->click();
        }
    });
    watch.start(5);
    QTimer::singleShot(300, &form, [&] {
        asked = clock.elapsed();
        form.findChild<QAction*>(QStringLiteral("actNastavitve"))->trigger();
    });
    clock.restart();
    form.findChild<QAction*>(QStringLiteral("actOsvezitev"))->trigger();
    RunUntil([&] { return ended >= 0 && closed >= 0; }, 5);

    out << "Against a server that answers after " << delaySeconds << " s:\n"
        << "  \"Nastavitve\" to the dialog shown:       " << shown - asked << " ms\n"
        << "  dialog shown to the end of the refresh: " << ended - shown << " ms"
        << (closed < ended ? " (the dialog had to be closed first)" : " (the dialog still open)")
        << "\n"
        << "  the dialog was closed after:            " << closed - shown << " ms\n";
    proxy.terminate();
    proxy.waitForFinished();
    return 0;
}
