#include "app/ProcessEntry.h"

#include "app/InstanceChannel.h"
#include "app/MessageBoxPresenter.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "app/lnGlobalVar.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/PictureFile.h"
#include "net/TDownLoad.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QLoggingCategory>
#include <cstdio>
#include <memory>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcEntry, "nimbulon.app.entry", QtInfoMsg)

int RunProgram(int argc, char** argv)
{
    pas_lib::InitializePaths(argc > 0 ? argv[0] : nullptr);

    std::unique_ptr<TGlobalVar> instanceVar;
    bool alreadyExisted = false;
    try {
        instanceVar = std::make_unique<TGlobalVar>(InstanceVarName(), 4, &alreadyExisted);
    } catch (const pas_lib::Exception& error) {
        // Before any window: the user learns of it in a message box all the same.
        std::fprintf(stderr, "%s\n", error.what());
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Nimbulon"));
        TMessageBoxPresenter presenter;
        QCoro::connect(presenter.Present(pas_lib::TMessageKind::Error, error.Message()), &app,
                       [] { QCoreApplication::quit(); });
        QApplication::exec();
        return 1;
    }

    if (alreadyExisted) {
        // No window, icon or network access in a later start.
        QCoreApplication app(argc, argv);
        return NotifyFirstInstance(*instanceVar);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbulon"));
    QApplication::setOrganizationName(QStringLiteral("Korvalin"));
    QApplication::setApplicationVersion(QStringLiteral(NIMBULON_VERSION));
    // Lets the desktop match the windows and notifications to the menu entry
    // (on Wayland its only way to find the program's name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("si.nimbulon.Nimbulon"));
    // The program lives in the notification area: closing windows never ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyProgramStyle();
    pas_lib::LimitPictureDecoding();
    TMessageBoxPresenter presenter;
    pas_lib::SetMessagePresenter(&presenter);
    QuitOnTerminationSignals();

    auto mainForm = std::make_unique<TMainForm>();
    const quint32 handle = quint32(getpid());
    TInstanceChannel channel;
    QObject::connect(&channel, &TInstanceChannel::MessageReceived, mainForm.get(),
                     [form = mainForm.get()](quint32 message, quint32 wParam, quint32 lParam) {
                         if (message == WM_INSTANCE_NOTIFY)
                             form->WMInstanceNotify(wParam, lParam);
                     });
    channel.Listen(instanceVar->Name(), handle);
    instanceVar->SetValue(QVariant::fromValue(handle));
    qCInfo(lcEntry) << "Running as the first instance";

    int exitCode = 0;
    try {
        // The start-up goes on in this loop; nothing before it waits.
        if (!pas_lib::ProgramEndRequested())
            exitCode = QApplication::exec();
    } catch (...) {
        TDownLoad::CancelAll();
        instanceVar.reset();
        throw;
    }
    // Background downloads still running are stopped before anything they use goes.
    TDownLoad::CancelAll();
    instanceVar.reset();
    mainForm.reset();
    pas_lib::SetMessagePresenter(nullptr);
    return exitCode;
}
