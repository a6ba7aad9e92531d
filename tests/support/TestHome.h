#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh data folder for one test: sets NIMBULON_HOME and the program's paths
// to it, and puts the previous state back when it goes. Its folder "run" is the
// private runtime folder (XDG_RUNTIME_DIR) meanwhile, so every per-user object
// that the test or a program it starts makes goes with it, also when the
// program was killed.
// A Config.ini section that names a deployment nothing answers: the program
// uses its own servers (and their default catalogue) rather than ARSO directly.
inline const QByteArray DeploymentUrlSection =
    "[URL]\r\nNASTAVITVE=http://127.0.0.1:9/cliententer.asp\r\n";

class TTestHome
{
public:
    TTestHome();
    ~TTestHome();
    TTestHome(const TTestHome&) = delete;
    TTestHome& operator=(const TTestHome&) = delete;

    QString Path(const QString& name = QString()) const;
    QString ConfigIni() const { return Path(QStringLiteral("Config.ini")); }
    // Writes raw bytes to a file of the data folder.
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;

private:
    QTemporaryDir FDir;
    QByteArray FPreviousHome;
    QByteArray FPreviousRuntime;
    bool FHadRuntime = false;
};
