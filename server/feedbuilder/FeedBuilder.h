#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

// One run of the feed builder: ARSO's files fetched (or read from a folder),
// converted, and written as a complete deployment for nginx; the hourly
// readings appended to the chart database.
struct TBuilderOptions
{
    // The deployment: a symbolic link to the newest complete folder, switched
    // in one step, so nginx never serves a half-written one.
    QString output;
    // The builder's own files: the last good copy of every ARSO file, their
    // change times, the station codes.
    QString state;
    // ARSO's files from this folder instead of the network.
    QString from;
    QString base = QStringLiteral("https://meteo.arso.gov.si/");
    QString waterBase = QStringLiteral("https://www.arso.gov.si/");
    // Where the deployment is served, for the addresses in its settings.
    QString publicAddress;
    // The chart server's database; empty: none.
    QString chartDatabase;
    // Station history files to add to the chart database.
    QStringList histories;
};

struct TBuildResult
{
    // 0 everything built; 1 built, but some files failed and their parts kept
    // the previous output; 2 nothing built.
    int exitCode = 2;
    QString logLine;
};

QCoro::Task<TBuildResult> BuildDeployment(TBuilderOptions options);
