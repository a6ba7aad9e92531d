#pragma once

#include "tray/TrayPictures.h"

#include <QObject>
#include <QTime>
#include <functional>

class QTimer;
class TTrayIcon;

// The main window's share of the notification area: what its icon shows from
// the current conditions and the settings, the alternation between the
// temperature and the weather picture (tmIkona), and the refresh frames.
class TTrayPresenter : public QObject
{
    Q_OBJECT
public:
    explicit TTrayPresenter(TTrayIcon& icon, QObject* parent = nullptr);
    ~TTrayPresenter() override;

    // The icon's part of applying the settings: the alternation interval, the
    // text's font, colour and background, and the picture list (keeping the
    // picture index).
    void ApplySettings();
    // After a refresh has reloaded the current conditions: the temperature
    // text, the alternation, the weather picture.
    void UpdateTrayIcon();
    // One alternation step between the text and the picture.
    void tmIkonaTimer();
    // The refresh frames while a refresh runs with the window minimised.
    void StartIconAnimation();
    void StopIconAnimation();

    QTimer* IconTimer() const { return tmIkona; }
    bool TrayShowsText() const { return trayShowsText; }
    // The time of day that tells night from day (tests set their own).
    void SetClock(std::function<QTime()> clock);

private:
    void SetTemperatureText();
    void StartIconTimer();

    TTrayIcon& CoolTrayIcon1;
    QTimer* tmIkona;
    bool trayShowsText = false;
    std::function<QTime()> FClock;
    // What showed before the refresh frames, to come back to after them.
    TTrayFace FBeforeAnimation;
    TTrayList FListBeforeAnimation = TTrayList::Transparent;
    int FIndexBeforeAnimation = 0;
};
