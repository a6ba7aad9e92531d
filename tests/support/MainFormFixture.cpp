#include "MainFormFixture.h"

#include "DemoDeployment.h"
#include "app/TMainForm.h"
#include "weather/ProcessState.h"

#include <QTest>

TMainFormFixture::TMainFormFixture(const TDemoDeployment& demo, TConfig config)
    : FDemo(demo), FConfig(config)
{
}

TMainFormFixture::~TMainFormFixture()
{
    Close();
}

TMainForm& TMainFormFixture::NewForm(const QByteArray& parameters, TStart start)
{
    FForm.reset();
    const bool newHome = !FHome;
    if (newHome)
        FHome = std::make_unique<TTestHome>();
    if (newHome || FConfig == TConfig::Rewrite) {
        QByteArray urls = FDemo.ConfigUrlSection();
        if (!FServerBase.isEmpty())
            urls.replace(FDemo.BaseUrl().toLatin1(), FServerBase.toLatin1());
        FHome->WriteFile(QStringLiteral("Config.ini"), urls + "[PARAMETRI]\r\n" + parameters);
    }
    pas_lib::ResetProcessState();
    FForm = std::make_unique<TMainForm>();
    // The start-up goes on in the event loop, the first refresh included.
    if (start == TStart::Finished &&
        !QTest::qWaitFor([this] { return FForm->StartupDone(); }, 60000))
        QTest::qFail("the window's start-up did not end", __FILE__, __LINE__);
    return *FForm;
}

TTestHome& TMainFormFixture::Home()
{
    if (!FHome)
        FHome = std::make_unique<TTestHome>();
    return *FHome;
}

void TMainFormFixture::CloseForm()
{
    FForm.reset();
}

void TMainFormFixture::Close()
{
    // The window goes before the folder it keeps its files in.
    FForm.reset();
    FHome.reset();
}
