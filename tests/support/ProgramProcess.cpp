#include "ProgramProcess.h"

TProgramProcess::TProgramProcess(const QStringList& arguments, const QStringList& environment)
{
    FProcess.setProgram(QStringLiteral(NIMBULON_BINARY));
    FProcess.setArguments(arguments);
    FProcess.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    for (const QString& entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    FProcess.setProcessEnvironment(env);
    FProcess.start();
}

TProgramProcess::~TProgramProcess()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.kill();
        FProcess.waitForFinished();
    }
}

QString TProgramProcess::Output()
{
    FOutput += QString::fromLocal8Bit(FProcess.readAll());
    return FOutput;
}
