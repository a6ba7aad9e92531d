#pragma once

#include <QObject>

// When the world around the program changes so that its data may be old: the
// system resumed from sleep (logind's PrepareForSleep(false) on the system
// bus) or the network became reachable again. Both are events, never polled;
// where no logind or no network backend exists, nothing is reported.
class TSystemWake : public QObject
{
    Q_OBJECT
public:
    explicit TSystemWake(QObject* parent = nullptr);
    ~TSystemWake() override;

    // Whether each source is listened to.
    bool WatchesSleep() const { return FWatchesSleep; }
    bool WatchesNetwork() const { return FWatchesNetwork; }

signals:
    void Resumed();
    void NetworkReachable();

private slots:
    void PrepareForSleep(bool sleeping);

private:
    bool FWatchesSleep = false;
    bool FWatchesNetwork = false;
    bool FWasReachable = true;
};
