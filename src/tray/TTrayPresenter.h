#pragma once

#include "tray/TrayPictures.h"

#include <QObject>
#include <QTime>
#include <functional>
#include <memory>

class QTimer;
class TCaptionWriter;
class TTrayIcon;

// The main window's share of the notification area: what its icon shows from
// the current conditions and the settings, the alternation between the
// temperature and the weather picture (tmIkona), the refresh frames, the
// tooltip, the weather balloon and the caption writer.
class TTrayPresenter : public QObject
{
    Q_OBJECT
public:
    explicit TTrayPresenter(TTrayIcon& icon, QObject* parent = nullptr);
    ~TTrayPresenter() override;

    // The tray's part of applying the settings: the alternation interval, a
    // new caption writer (or none), the text's font, colour and background,
    // and the picture list (keeping the picture index).
    void ApplySettings();
    // After a refresh has reloaded the current conditions: the temperature
    // text, the alternation, the weather picture, the tooltip, the balloon.
    void UpdateTrayIcon();
    // The tooltip from the current conditions.
    void UpdateTrayHint();
    // The age of old data ("podatki od 9.12. 22:00"), which the tooltip and the
    // balloon title carry; empty while the data is current.
    void SetDataAge(const QString& dataAge) { FDataAge = dataAge; }
    // Announces the conditions once per observation, or whenever the user
    // asks ("Prikaži namig"), and gives the caption writer its summary.
    void ShowWeatherBalloon(bool userRequest);
    // The exit: the decorated window gets its title back.
    void DestroyCaptionWriter();
    // One alternation step between the text and the picture.
    void tmIkonaTimer();
    // The refresh frames while a refresh runs with the window minimised.
    void StartIconAnimation();
    void StopIconAnimation();

    QTimer* IconTimer() const { return tmIkona; }
    TCaptionWriter* CaptionWriter() const { return captionWriter.get(); }
    const QString& LastBalloonStamp() const { return lastBalloonStamp; }
    bool TrayShowsText() const { return trayShowsText; }
    // The time of day that tells night from day (tests set their own).
    void SetClock(std::function<QTime()> clock);

private:
    void SetTemperatureText();
    void StartIconTimer();

    TTrayIcon& CoolTrayIcon1;
    QTimer* tmIkona;
    bool trayShowsText = false;
    // The observation announced last.
    QString lastBalloonStamp;
    std::unique_ptr<TCaptionWriter> captionWriter;
    std::function<QTime()> FClock;
    QString FDataAge;
    // What showed before the refresh frames, to come back to after them.
    TTrayFace FBeforeAnimation;
    TTrayList FListBeforeAnimation = TTrayList::Transparent;
    int FIndexBeforeAnimation = 0;
};
