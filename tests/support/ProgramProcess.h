#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real program, started with the test's data folder (NIMBULON_HOME as the
// test set it) on the offscreen platform, collecting its output; killed when
// the object goes if it still runs.
class TProgramProcess
{
public:
    // environment: extra "NAME=value" entries.
    explicit TProgramProcess(const QStringList& arguments = {},
                             const QStringList& environment = {});
    ~TProgramProcess();
    TProgramProcess(const TProgramProcess&) = delete;
    TProgramProcess& operator=(const TProgramProcess&) = delete;

    // Everything it wrote so far, standard output and errors together.
    QString Output();
    QProcess& Process() { return FProcess; }

private:
    QProcess FProcess;
    QString FOutput;
};
