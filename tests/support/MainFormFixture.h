#pragma once

#include "TestHome.h"

#include <QByteArray>
#include <memory>

class TDemoDeployment;
class TMainForm;

// A main window over the demo deployment, in a data folder of its own that
// stays from one window to the next until Close. Each window starts as the
// program's first does: the process-wide values reset first.
class TMainFormFixture
{
public:
    enum class TConfig {
        // Config.ini is written anew for every window: the demo's addresses and
        // the given parameters.
        Rewrite,
        // Written for the first window of a folder only; later windows find
        // what the earlier ones stored.
        Keep,
    };

    // How far NewForm lets the window come: its whole start-up with the first
    // refresh, or only as far as the first wait of it.
    enum class TStart { Finished, Begun };

    explicit TMainFormFixture(const TDemoDeployment& demo, TConfig config = TConfig::Rewrite);
    ~TMainFormFixture();
    TMainFormFixture(const TMainFormFixture&) = delete;
    TMainFormFixture& operator=(const TMainFormFixture&) = delete;

    // Ends the window shown, if any, and creates a new one whose start-up has
    // ended (the first refresh included); parameters are lines of section
    // PARAMETRI.
    TMainForm& NewForm(const QByteArray& parameters = QByteArray(),
                       TStart start = TStart::Finished);
    // The servers' addresses in Config.ini point here instead of to the demo
    // (a proxy in front of it); empty: the demo itself.
    void SetServerBase(const QString& base) { FServerBase = base; }
    // The window, and its data folder; both go with Close.
    TMainForm* Form() const { return FForm.get(); }
    TTestHome& Home();
    // Ends the window; its folder stays for the next one.
    void CloseForm();
    void Close();

private:
    const TDemoDeployment& FDemo;
    TConfig FConfig;
    QString FServerBase;
    std::unique_ptr<TTestHome> FHome;
    std::unique_ptr<TMainForm> FForm;
};
