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

TMainForm& TMainFormFixture::NewForm(const QByteArray& parameters)
{
    FForm.reset();
    const bool newHome = !FHome;
    if (newHome)
        FHome = std::make_unique<TTestHome>();
    if (newHome || FConfig == TConfig::Rewrite)
        FHome->WriteFile(QStringLiteral("Config.ini"),
                         FDemo.ConfigUrlSection() + "[PARAMETRI]\r\n" + parameters);
    pas_lib::ResetProcessState();
    FForm = std::make_unique<TMainForm>();
    // The start-up goes on in the event loop, the first refresh included.
    if (!QTest::qWaitFor([this] { return FForm->StartupDone(); }, 60000))
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
