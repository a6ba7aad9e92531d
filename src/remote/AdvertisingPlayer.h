#pragma once

#include "common/Awaiting.h"
#include "remote/AdvertisingList.h"

#include <QObject>
#include <memory>

class QTimer;

// The advertising rotation (tmPredvajanje and its step): while the window is
// shown and advertising is on, shows the list's pictures one after the other,
// each for its own time, and loads the list and its pictures anew whenever
// the rotation meets an entry without a picture. The window shows what it is
// told and opens what a click asks for.
class TAdvertisingPlayer : public QObject
{
    Q_OBJECT
public:
    explicit TAdvertisingPlayer(QObject* parent = nullptr);
    ~TAdvertisingPlayer() override;

    // On: the next step in a second. Off: the rotation stops, and the window's
    // look follows AdsActive (with or without the strip).
    void SetAdvertising(bool on);
    // The player step: the next entry, or a new list.
    QCoro::Task<> tmPredvajanjeTimer();
    // Downloads the list, then every picture, one after the other.
    QCoro::Task<> LoadAdvertisingList();

    // The address a click on the picture opens: the entry's own while the
    // player runs, else the home page. A click beside it opens the home page.
    QString PictureClickAddress() const;
    QString PanelClickAddress() const;

    // Whether the rotation runs; with a display time of 0 it runs without a
    // timer, on one entry, until it is turned off and on.
    bool Enabled() const { return FEnabled; }
    bool TimerActive() const;
    int Interval() const { return FInterval; }
    int Index() const { return FIndex; }
    int Last() const { return FLast; }
    const QList<TAdItem>& Items() const { return FItems; }
    bool StripShown() const { return FStripShown; }
    bool Loading() const { return FLoading; }
    void SetLimits(const TAdLimits& limits) { FLimits = limits; }

signals:
    // The picture to show (an empty format: nothing, the placeholder shows).
    void PictureChanged(const QByteArray& picture, const QByteArray& format);
    void StripShownChanged(bool shown);

private:
    void Enable();
    void Disable();
    QCoro::Task<std::optional<QByteArray>> FetchPicture(QString address);

    QTimer* tmPredvajanje;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
    TAdLimits FLimits;
    QList<TAdItem> FItems;
    int FIndex = 0;
    int FLast = 0;
    int FInterval = 1000;
    bool FEnabled = false;
    // The window's latest wish: a load that ends while it is off starts nothing.
    bool FOn = false;
    bool FLoading = false;
    bool FStripShown = true;
};
