#pragma once

#include "weather/TRefreshHost.h"

#include <QMainWindow>
#include <memory>

class QTimer;
class TRefreshCycle;
class TWeatherData;

// The program's one window. Its creation runs the whole start-up, the first
// refresh included; it starts hidden, and closing it never ends the program.
class TMainForm : public QMainWindow, private TRefreshHost
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start of the program has announced itself (message 32769).
    void WMInstanceNotify(quint32 wParam, quint32 lParam);

    // The refresh cycle; the timer passes false, the refresh command true.
    void RefreshData(bool withoutPictures);
    // Applies the stored settings to the timers and the current conditions,
    // then refreshes at once.
    void ApplySettings();

    QTimer* RefreshTimer() const { return tmOsvezi; }

signals:
    // A balloon for the notification-area icon.
    void BalloonRequested(const QString& title, const QString& text, int milliseconds);

private:
    void FormCreate();
    void tmOsveziTimer();

    // TRefreshHost
    bool WindowMinimized() const override;
    void StartIconAnimation() override;
    void StopIconAnimation() override;
    void ShowRefreshIndicator() override;
    void HideRefreshIndicator() override;
    void DrawMoonPhase() override;
    void PresentConditions() override;
    void UpdateTableStatistics(TWeatherTable& table) override;
    void RestoreSort() override;
    void UpdatePictures() override;

    std::unique_ptr<TWeatherData> FWeather;
    TRefreshCycle* FRefresh = nullptr;
    QTimer* tmOsvezi = nullptr;
    bool FBusyCursor = false;
};
