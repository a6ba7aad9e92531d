#pragma once

#include "LoopbackServers.h"

#include <QString>

// The bundled demo deployment, generated for and served by an nginx of its own,
// with the chart server answering behind it through fcgiwrap.
class TDemoDeployment
{
public:
    TDemoDeployment();
    // Starts fcgiwrap and nginx and generates the deployment with nginx's
    // address; false, with Error() saying why, when any of it fails.
    bool Start();
    QString Error() const { return FError; }

    TNginxServer& Server() { return FServer; }
    // "http://127.0.0.1:port", without a trailing slash.
    QString BaseUrl() const;
    // A file of the deployment on disk.
    QString FilePath(const QString& path) const;
    QByteArray ReadFile(const QString& path) const;
    // Section URL of a Config.ini that points the program's servers here.
    QByteArray ConfigUrlSection() const;
    // The chart server's database, beside the served folder.
    QString ChartDatabasePath() const;

private:
    TFcgiwrapServer FCgi;
    TNginxServer FServer;
    QString FError;
};
