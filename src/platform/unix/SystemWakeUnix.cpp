#include "platform/SystemWake.h"

#include <QDBusConnection>
#include <QLoggingCategory>
#include <QNetworkInformation>

Q_LOGGING_CATEGORY(lcSystemWake, "nimbulon.app.wake", QtInfoMsg)

TSystemWake::TSystemWake(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected())
        FWatchesSleep = bus.connect(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
            this, SLOT(PrepareForSleep(bool)));
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        QNetworkInformation* network = QNetworkInformation::instance();
        FWatchesNetwork = true;
        FWasReachable = network->reachability() == QNetworkInformation::Reachability::Online ||
                        network->reachability() == QNetworkInformation::Reachability::Unknown;
        connect(network, &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability reachability) {
                    const bool reachable =
                        reachability == QNetworkInformation::Reachability::Online;
                    if (reachable && !FWasReachable) {
                        qCDebug(lcSystemWake) << "Network reachable again";
                        emit NetworkReachable();
                    }
                    FWasReachable = reachable;
                });
    }
    qCDebug(lcSystemWake) << "Watching sleep:" << FWatchesSleep << "network:" << FWatchesNetwork;
}

TSystemWake::~TSystemWake() = default;

void TSystemWake::PrepareForSleep(bool sleeping)
{
    if (sleeping)
        return;
    qCDebug(lcSystemWake) << "Resumed from sleep";
    emit Resumed();
}
