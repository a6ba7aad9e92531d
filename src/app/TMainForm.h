#pragma once

#include "common/Awaiting.h"
#include "weather/TRefreshHost.h"
#include "weather/ViewKinds.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QSettings;
class QTimer;
class TAdvertisingPlayer;
class TSystemWake;
class TAdvertisingStrip;
class TBannerCap;
class TImagePanel;
class TKorvalinBanner;
class Tform_parametri;
class TMoonPanel;
class TNavigationMenu;
class TRefreshCycle;
class TSideChannel;
class TTitlePanel;
class TTrayIcon;
class TTrayPresenter;
class TViewArea;
class TWeatherData;
class TWheelToArrowKeys;
class TWindowPlacement;

// The program's one window. Its creation runs the whole start-up, the first
// refresh included; it starts hidden behind its notification-area icon, hides
// there again when minimised, and only the exit command ends the program.
class TMainForm : public QMainWindow, private TRefreshHost
{
    Q_OBJECT
public:
    // Narrower than this, a resize stops; the limits set at creation allow 500.
    static constexpr int ResizeMinimumWidth = 560;
    // The advertising strip: 390 x 50, centred at the top.
    static constexpr int StripWidth = 390;
    // The scrolling banner is this much narrower than the window.
    static constexpr int BannerWidthMargin = 380;

    // Without a notification area after this long, a start that is not the
    // log-on start shows the window.
    static constexpr int NoTrayGraceMs = 5000;
    static constexpr int StartupWaitMs = 10000;

    // Creating the window starts the start-up, which goes on in the event loop.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Whether the start-up, the first refresh included, has ended.
    bool StartupDone() const { return FStartupFinished; }

    // A later start of the program has announced itself (message 32769).
    void WMInstanceNotify(quint32 wParam, quint32 lParam);

    bool WindowMinimized() const override;

    // The refresh cycle; the timer passes false, the refresh command true.
    void RefreshData(bool withoutPictures);
    // After a resume from sleep or a network that came back: a refresh at
    // once, at most one a minute.
    void RefreshAfterWake();
    // Applies the stored settings to the tray icon, the timers, the current
    // conditions and the menu, then refreshes at once.
    void ApplySettings();
    // Shows the menu buttons of the views whose switches are on.
    void ApplyViewSwitches();

    // Showing and hiding (the tray menu's items and the title bar's buttons).
    void Prikaiokno1Click();
    void Skrijokno1Click();
    void Vizitka1Click();
    // The advertising rotation on or off; off also gives the window the look
    // that AdsActive asks for, with the strip or without it.
    void SetAdvertising(bool on);
    // Clicks on the advertisement and beside it on the strip.
    void ImgReklama1Click();
    void suiReklameClick();
    TAdvertisingPlayer* Advertising() const { return FAdvertising; }
    // The exit command: saves, releases and ends the program.
    void actIzhodExecute();
    // The refresh command (F5, the bottom bar, the tray menu).
    void actOsvezitevExecute();
    // The settings dialog; its confirmation applies the settings.
    void actNastavitveExecute();
    // The graph frame's "Dnevni" button, routed through the window.
    void FrameGraf1btnDnevniGrafClick();

    // Fits the view menu to the side channel's height.
    void FitMenuPanel();

    void RestoreWindowPosition();
    void SaveWindowPosition();
    // The width a resize to this width ends at.
    static int FormCanResize(int proposedWidth);
    // The advertising strip's left edge in a window this wide.
    static int StripLeft(int windowWidth);
    // Puts the proverb of the remote settings into the banner and shows it;
    // a proverb that fits stands still.
    void ShowProverb();

    QTimer* RefreshTimer() const { return tmOsvezi; }
    TTrayIcon* TrayIcon() const { return CoolTrayIcon1; }
    TTrayPresenter* TrayPresenter() const { return FTray; }
    TNavigationMenu* NavigationMenu() const { return FMenu; }
    TSideChannel* SideChannel() const { return suiSideChannel; }
    TKorvalinBanner* Banner() const { return KorvalinBanner; }
    TViewArea* ViewArea() const { return FViewArea; }
    TTitlePanel* TitlePanel() const;
    TWeatherData* Weather() const { return FWeather.get(); }
    QAction* ViewAction(TViewKind kind) const;

signals:
    void StartupFinished();
    // A balloon for the notification-area icon.
    void BalloonRequested(const QString& title, const QString& text, int milliseconds);
    // The refresh command in a picture view: those views reload only their picture.
    void PictureRefreshRequested(TViewKind kind);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    QWidget* CreateHeader();
    QWidget* CreateSideChannel();
    QWidget* CreateBottomBar();
    void CreateActions();
    QCoro::Task<> FormCreate();
    QCoro::Task<> StartupSteps();
    void NoTrayAfterStart();
    void ShowBusy();
    QCoro::Task<> RunSettingsDialog();
    void tmOsveziTimer();
    void HideToTray();
    void ViewChosen(TViewKind kind);
    void DeleteSatellitePictures();
    void FitBanner();
    // The look with the advertising strip (the top area has room for it) or
    // without it.
    void ShowAdvertisingStrip(bool shown);

    // TRefreshHost
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
    std::unique_ptr<QSettings> FSettings;
    TWheelToArrowKeys* FWheelHook = nullptr;
    TWindowPlacement* FPlacement = nullptr;
    QTimer* tmOsvezi = nullptr;

    // Components
    TTrayIcon* CoolTrayIcon1 = nullptr;
    TTrayPresenter* FTray = nullptr;
    TAdvertisingStrip* suiReklame = nullptr;
    TAdvertisingPlayer* FAdvertising = nullptr;
    QWidget* FHeader = nullptr;
    TSideChannel* suiSideChannel = nullptr;
    TMoonPanel* ipLunineMene = nullptr;
    TImagePanel* suiImagePanel4dni = nullptr;
    TNavigationMenu* FMenu = nullptr;
    TViewArea* FViewArea = nullptr;
    TKorvalinBanner* KorvalinBanner = nullptr;
    TBannerCap* suiImageBannerL = nullptr;
    TBannerCap* suiImageBannerR = nullptr;

    QList<QAction*> FViewActions;
    QAction* actIzhod = nullptr;
    QAction* actOsvezitev = nullptr;
    QAction* actAnimiraj = nullptr;
    QAction* actNastavitve = nullptr;

    // State
    // The window's state as the program sees it: minimised from the start until
    // first shown, then normal or maximised, also while hidden in the tray.
    Qt::WindowStates FWindowState = Qt::WindowNoState;
    // The state the window shows in: normal or maximised.
    Qt::WindowStates FShownState = Qt::WindowNoState;
    bool FBusyCursor = false;
    bool FRefreshBusy = false;
    bool FStartupFinished = false;
    bool FPositionRestored = false;
    QTimer* FNoTrayWait = nullptr;
    bool FExiting = false;
    bool FEverShown = false;
    bool FShowPending = false;
    QElapsedTimer FShowClock;
    TSystemWake* FWake = nullptr;
    QElapsedTimer FWakeRefresh;
    // Ends the start-up's waits when the window goes; the start-up holds it.
    pas_lib::TCancellation FCancellation;
    QCoro::Task<> FStartup;
    QPointer<Tform_parametri> FSettingsDialog;
    QCoro::Task<> FSettingsRun;
};
