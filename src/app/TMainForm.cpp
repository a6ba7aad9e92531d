#include "app/TMainForm.h"

#include "app/StartupClock.h"
#include "app/WheelToArrowKeys.h"
#include "app/WindowPlacement.h"
#include "app/WindowPosition.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/FixedFormat.h"
#include "common/Messages.h"
#include "common/UserSettings.h"
#include "controls/TAdvertisingStrip.h"
#include "controls/TBannerCap.h"
#include "controls/TImagePanel.h"
#include "controls/TKorvalinBanner.h"
#include "controls/TSideChannel.h"
#include "platform/SystemWake.h"
#include "remote/AdvertisingPlayer.h"
#include "remote/ClientIdentity.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayPresenter.h"
#include "views/TMoonPanel.h"
#include "views/TViewArea.h"
#include "views/frm_about.h"
#include "views/pas_parametri.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/LoadFeedSection.h"
#include "weather/ProcessState.h"
#include "weather/StoredFeeds.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"
#include "weather/UpdateConditions.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <climits>

Q_LOGGING_CATEGORY(lcMainForm, "nimbulon.app", QtInfoMsg)

namespace {
const QString PositionValue = QStringLiteral("MainPozicija");
const QString SideChannelValue = QStringLiteral("suiSideChannel");
// The date of this version, shown with its number on the About page.
const QString VersionDate = QStringLiteral("08.06.2009");
const QString NoTrayNote =
    QStringLiteral("Namizje nima področja za obvestila; ikona programa se bo prikazala, ko bo "
                   "na voljo.");
} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Nimbulon"));
    tmOsvezi = new QTimer(this);
    tmOsvezi->setObjectName(QStringLiteral("tmOsvezi"));
    connect(tmOsvezi, &QTimer::timeout, this, &TMainForm::tmOsveziTimer);
    FWake = new TSystemWake(this);
    connect(FWake, &TSystemWake::Resumed, this, &TMainForm::RefreshAfterWake);
    connect(FWake, &TSystemWake::NetworkReachable, this, &TMainForm::RefreshAfterWake);
    FWeather = std::make_unique<TWeatherData>();
    FPlacement = new TWindowPlacement(this);
    FNoTrayWait = new QTimer(this);
    FNoTrayWait->setSingleShot(true);
    FNoTrayWait->setInterval(NoTrayGraceMs);
    connect(FNoTrayWait, &QTimer::timeout, this, &TMainForm::NoTrayAfterStart);
    CreateComponents();
    // The icon shows before anything else happens, so the user sees the program
    // at once; it takes no input until the start-up is done.
    CoolTrayIcon1->Show();
    // The start-up goes on in the event loop, which runs from here on.
    FStartup = FormCreate();
}

// FormDestroy: at every end, also a log-off or a termination signal.
TMainForm::~TMainForm()
{
    // A start-up that waits ends here, before anything it works on goes.
    FCancellation.Cancel();
    tmOsvezi->stop();
    if (FWheelHook)
        qApp->removeEventFilter(FWheelHook);
    SaveWindowPosition();
    // Ended some other way than the exit command (a log-out, a termination
    // signal): the pinned side channel is kept all the same.
    if (!FExiting && FSettings)
        FSettings->setValue(SideChannelValue, suiSideChannel->Pinned());
    FSettings.reset();
    delete FRefresh;
    FRefresh = nullptr;
    // The views bind to the weather data: they go first.
    delete centralWidget();
}

QCoro::Task<> TMainForm::FormCreate()
{
    // A failing start-up step ends the start-up there; the program runs on with
    // what was set up, as it does after any other unexpected error.
    try {
        co_await StartupSteps();
    } catch (const std::exception& error) {
        pas_lib::ShowMessage(QString::fromUtf8(error.what()), pas_lib::TMessageKind::Error);
    }
}

QCoro::Task<> TMainForm::StartupSteps()
{
    setMinimumSize(500, 301);
    setMaximumSize(910, 791);
    // Every resize below 560 pixels stops there, so the window manager is told
    // that limit rather than letting the window jump back.
    setMinimumWidth(ResizeMinimumWidth);
    resize(744, 545);

    // Started with the session: nothing is fetched in the first ten seconds.
    // Elsewhere a desktop without a notification area gets the window.
    if (QCoreApplication::arguments().value(1) == QLatin1String("/startup")) {
        qCInfo(lcMainForm) << "Started with the session; waiting 10 s";
        if (!co_await pas_lib::SleepFor(StartupWaitMs, &FCancellation) ||
            pas_lib::ProgramEndRequested())
            co_return;
    } else {
        FNoTrayWait->start();
    }

    FViewArea->About()->SetVersion(ProgramVersion() + QStringLiteral(" (") + VersionDate +
                                   QStringLiteral(")"));
    FWheelHook = new TWheelToArrowKeys(this);
    qApp->installEventFilter(FWheelHook);
    FSettings = OpenProgramSettings();
    // Minimised as far as the program is concerned; the hidden window itself is
    // left alone, since a native window leaving that state would appear. A
    // window the user has opened meanwhile keeps its state.
    if (!FEverShown)
        FWindowState = Qt::WindowMinimized;

    pas_lib::ResetProcessState();
    CoolTrayIcon1->SetEnabled(false);
    // The text panes' paragraph indents, in points.
    for (QTextDocument* pane : {FWeather->MainTextPane, FWeather->CoastTextPane}) {
        pane->setProperty(pas_lib::FirstLineIndentProperty, 10.0);
        pane->setProperty(pas_lib::RightIndentProperty, 6.0);
    }
    FRefresh = new TRefreshCycle(*FWeather, *this, this);
    FRefresh->setObjectName(QStringLiteral("RefreshCycle"));
    FViewArea->SetViewLoader([this](TViewKind kind) { FRefresh->LoadView(kind); });
    FViewArea->SetFeeds(&FRefresh->Feeds());
    connect(&FRefresh->FourDayPicture(), &TFourDayPicture::pictureChanged, this,
            [this](const QImage& picture) { suiImagePanel4dni->SetPicture(picture); });
    connect(FRefresh, &TRefreshCycle::refreshFinished, this, [this] {
        // Advertising switched off by the servers: no rotation, no strip.
        if (!AdsActive)
            SetAdvertising(false);
        static bool first = true;
        if (first) {
            first = false;
            qCDebug(lcMainForm) << "First refresh finished" << MillisecondsSinceProcessStart()
                                << "ms after the start";
        }
    });

    if (FSettings->contains(SideChannelValue))
        suiSideChannel->SetPinned(FSettings->value(SideChannelValue).toBool());

    CreateParameters();
    FWeather->CreateWeatherTables();
    ApplySettings();
    // The rest of the start-up follows the first refresh.
    if (FRefresh->Refreshing() &&
        !co_await pas_lib::TSignalWait(FRefresh, &TRefreshCycle::refreshFinished, &FCancellation))
        co_return;
    if (pas_lib::ProgramEndRequested())
        co_return;

    CoolTrayIcon1->SetEnabled(true);
    // The graph frame sets itself up from the settings when its view first
    // opens: its charts are not built for a program that sits in the tray.
    FViewActions.first()->trigger();
    FitBanner();
    RestoreWindowPosition();
    FStartupFinished = true;
    qCInfo(lcMainForm) << "Start-up finished";
    emit StartupFinished();
}

// A desktop without a notification area (GNOME without its extension, say)
// would show nothing of the program: the window comes, and says why.
void TMainForm::NoTrayAfterStart()
{
    if (CoolTrayIcon1->Shown() || FExiting)
        return;
    qCInfo(lcMainForm) << "No notification area; showing the window";
    FViewArea->ShowNote(NoTrayNote);
    Prikaiokno1Click();
}

void TMainForm::ApplySettings()
{
    // The icon's alternation interval, font, colours and picture list.
    FTray->ApplySettings();
    const qint64 milliseconds = qint64(RefreshIntervalMinutes()) * 60000;
    tmOsvezi->start(int(std::min<qint64>(milliseconds, INT_MAX)));
    qCDebug(lcRefresh) << "Refresh every" << tmOsvezi->interval() / 60000 << "minutes";

    SetChosenPlaces();
    ApplyViewSwitches();
    tmOsveziTimer();
}

void TMainForm::tmOsveziTimer()
{
    RefreshData(false);
}

void TMainForm::RefreshAfterWake()
{
    // The start-up's own refresh comes first; then at most one a minute.
    if (!FStartupFinished || (FWakeRefresh.isValid() && FWakeRefresh.elapsed() < 60000))
        return;
    FWakeRefresh.start();
    qCInfo(lcRefresh) << "Refresh after resume or reconnect";
    // The timer starts its interval anew, so that a tick due during the sleep
    // does not follow this refresh at once.
    if (tmOsvezi->isActive())
        tmOsvezi->start();
    RefreshData(false);
}

void TMainForm::RefreshData(bool withoutPictures)
{
    if (FRefresh)
        FRefresh->RefreshData(withoutPictures);
}

// Showing and hiding

void TMainForm::Prikaiokno1Click()
{
    // Shown before the start-up ended: where the user left it last time.
    if (!FEverShown)
        RestoreWindowPosition();
    FShowClock.start();
    FShowPending = true;
    FWindowState = FShownState;
    if (windowState() != FShownState)
        setWindowState(FShownState);
    show();
    FPlacement->KeepOnScreen();
    FPlacement->KeepOnScreenWhenFramed();
    raise();
    activateWindow();
    SetAdvertising(AdsActive);
}

void TMainForm::Skrijokno1Click()
{
    HideToTray();
}

void TMainForm::Vizitka1Click()
{
    FViewArea->OpenAbout();
    Prikaiokno1Click();
}

void TMainForm::HideToTray()
{
    // Minimised to the tray once, the proverb stands still from then on.
    if (isVisible() && KorvalinBanner->Running())
        KorvalinBanner->Stop();
    if (AdsActive)
        SetAdvertising(false);
    // The window keeps its state (normal or maximised) while it waits in the tray.
    if (FEverShown)
        FWindowState = FShownState;
    hide();
    qCDebug(lcMainForm) << "Window hidden in the notification area";
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The program is ending: the application closes its windows on the way.
    if (FExiting || pas_lib::ProgramEndRequested()) {
        event->accept();
        return;
    }
    event->ignore();
    if (parametri && !parametri->Get(TParam::MINIMIZE_ON_X).toBool()) {
        actIzhodExecute();
        return;
    }
    // Without a tray the window stays reachable in the task bar.
    if (CoolTrayIcon1->Shown())
        HideToTray();
    else
        showMinimized();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (!isVisible())
        return;
    if (!windowState().testFlag(Qt::WindowMinimized)) {
        FShownState = windowState() & Qt::WindowMaximized;
        FWindowState = FShownState;
        // Given back from the task bar: the rotation goes on.
        if (AdsActive && !FAdvertising->Enabled())
            SetAdvertising(true);
        return;
    }
    if (AdsActive)
        SetAdvertising(false);
    // Minimised by the title bar's button: into the notification area; without
    // a tray it stays minimised in the task bar.
    if (!CoolTrayIcon1->Shown())
        FWindowState = Qt::WindowMinimized;
    else
        QTimer::singleShot(0, this, [this] {
            if (windowState().testFlag(Qt::WindowMinimized) && isVisible())
                HideToTray();
        });
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FEverShown) {
        FEverShown = true;
        qCDebug(lcMainForm) << "Window first shown" << MillisecondsSinceProcessStart()
                            << "ms after the start";
    }
    // Shown by the program, not given back by the window system.
    if (!event->spontaneous()) {
        ShowProverb();
        if (AdsActive)
            SetAdvertising(true);
    }
}

void TMainForm::ShowProverb()
{
    if (Proverb.isEmpty())
        return;
    suiImageBannerL->show();
    suiImageBannerR->show();
    KorvalinBanner->SetText(Proverb);
    KorvalinBanner->show();
    // Measured in the window's font, not the banner's bold one.
    if (fontMetrics().horizontalAdvance(Proverb) + 5 < KorvalinBanner->width() &&
        KorvalinBanner->Running())
        KorvalinBanner->Stop();
}

void TMainForm::FitBanner()
{
    KorvalinBanner->setFixedWidth(std::max(0, width() - BannerWidthMargin));
}

void TMainForm::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (suiReklame)
        suiReklame->move(StripLeft(width()), 5);
    if (KorvalinBanner)
        FitBanner();
    if (suiSideChannel && suiSideChannel->Pinned())
        FitMenuPanel();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // The first paint after "Prikaži okno": the window is there for the user.
    if (FShowPending && event->type() == QEvent::Paint && watched == centralWidget()) {
        FShowPending = false;
        qCDebug(lcMainForm) << "Window shown" << FShowClock.elapsed()
                            << "ms after it was asked for";
    }
    return QMainWindow::eventFilter(watched, event);
}

int TMainForm::FormCanResize(int proposedWidth)
{
    return std::max(proposedWidth, ResizeMinimumWidth);
}

int TMainForm::StripLeft(int windowWidth)
{
    // Half the width, a half to the even neighbour.
    return pas_lib::RoundToInteger<int>(windowWidth / 2.0).value_or(0) - StripWidth / 2;
}

// Ending

void TMainForm::actIzhodExecute()
{
    if (FExiting)
        return;
    FExiting = true;
    qCInfo(lcMainForm) << "Exit";
    // The decorated window gets its title back.
    FTray->DestroyCaptionWriter();
    DeleteSatellitePictures();
    if (FRefresh)
        FRefresh->Feeds().Release();
    if (FSettings) {
        FSettings->setValue(SideChannelValue, suiSideChannel->Pinned());
        FSettings->sync();
    }
    pas_lib::RequestProgramEnd();
}

void TMainForm::DeleteSatellitePictures()
{
    for (int i = 0; i <= 10; ++i)
        QFile::remove(pas_lib::SlikeDir + QStringLiteral("sat%1.jpg").arg(i));
}

// Position

void TMainForm::RestoreWindowPosition()
{
    if (FPositionRestored || !FSettings)
        return;
    FPositionRestored = true;
    // A window the user has shown meanwhile stays where and as it is.
    if (FEverShown)
        return;
    const QByteArray stored = FSettings->value(PositionValue).toByteArray();
    if (stored.isEmpty())
        return;
    const std::optional<TWindowPosition> position = TWindowPosition::Decode(stored);
    if (!position) {
        qCInfo(lcMainForm) << "Ignoring a stored window position that is not one";
        return;
    }
    if (position->State == TWindowPosition::Normal)
        FPlacement->RestoreBounds(position->Bounds);
    const Qt::WindowStates state =
        position->State == TWindowPosition::Maximized   ? Qt::WindowMaximized
        : position->State == TWindowPosition::Minimized ? Qt::WindowMinimized
                                                        : Qt::WindowNoState;
    // Applied when the window is shown: a hidden window that leaves the minimised
    // state would appear at once.
    if (state != Qt::WindowMinimized)
        FShownState = state;
    FWindowState = state;
}

void TMainForm::SaveWindowPosition()
{
    if (!FSettings)
        return;
    TWindowPosition position;
    position.State = FWindowState.testFlag(Qt::WindowMinimized)   ? TWindowPosition::Minimized
                     : FWindowState.testFlag(Qt::WindowMaximized) ? TWindowPosition::Maximized
                                                                  : TWindowPosition::Normal;
    position.Bounds = FPlacement->BoundsToStore(position.State == TWindowPosition::Maximized);
    FSettings->setValue(PositionValue, position.Encode());
    FSettings->sync();
}

// The second start

void TMainForm::WMInstanceNotify(quint32 wParam, quint32 lParam)
{
    Q_UNUSED(lParam);
    if (wParam != 1)
        return;
    qCInfo(lcMainForm) << "Another start of the program: Tukaj sem ;-)";
    // Without a tray nobody would see a balloon: the window comes instead.
    if (!CoolTrayIcon1->Shown()) {
        Prikaiokno1Click();
        return;
    }
    emit BalloonRequested(QStringLiteral("Nimbulon"), QStringLiteral("Tukaj sem ;-)"), 10000);
}

// The window's share of a refresh

bool TMainForm::WindowMinimized() const
{
    return FWindowState.testFlag(Qt::WindowMinimized);
}

void TMainForm::StartIconAnimation()
{
    CoolTrayIcon1->SetEnabled(true);
    FTray->StartIconAnimation();
}

void TMainForm::StopIconAnimation()
{
    FTray->StopIconAnimation();
}

void TMainForm::ShowRefreshIndicator()
{
    FRefreshBusy = true;
    ShowBusy();
}

void TMainForm::HideRefreshIndicator()
{
    // A refresh that ended early never reached the frames' stop.
    FTray->StopIconAnimation();
    FRefreshBusy = false;
    ShowBusy();
}

// The indicator and the busy cursor while a refresh or a picture view's
// download or animation runs; over the window only, so a dialog opened
// meanwhile works as ever.
void TMainForm::ShowBusy()
{
    const bool busy = FRefreshBusy || FViewArea->PicturesBusy();
    if (busy)
        FViewArea->ShowRefreshing();
    else
        FViewArea->HideRefreshing();
    if (busy != FBusyCursor) {
        if (busy)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
        FBusyCursor = busy;
    }
}

void TMainForm::DrawMoonPhase()
{
    ipLunineMene->DrawMoonPhases();
}

void TMainForm::PresentConditions()
{
    for (const CurrentConditions& conditions : pas_lib::currentConditions) {
        qCInfo(lcRefresh).noquote()
            << conditions.place + QStringLiteral(": ") +
                   (conditions.temperature.isEmpty()
                        ? QStringLiteral("ni podatka")
                        : conditions.temperature + QStringLiteral(", ") + conditions.weather);
    }
    // Data that refreshes have not renewed for a while says how old it is.
    const QDateTime now = QDateTime::currentDateTime();
    const int interval = RefreshIntervalMinutes();
    const TFeeds& feeds = FRefresh->Feeds();
    const QString mainAge = DataAgeNote(feeds.MainReceived, interval, now);
    if (!mainAge.isEmpty())
        qCInfo(lcRefresh).noquote() << "Old data:" << mainAge;
    FViewArea->SetDataAges(mainAge, DataAgeNote(feeds.SecondReceived, interval, now));
    FTray->SetDataAge(mainAge);
    FTray->UpdateTrayIcon();
}

void TMainForm::UpdateTableStatistics(TWeatherTable& table)
{
    FViewArea->UpdateTableStatistics(table);
}

void TMainForm::RestoreSort()
{
    FViewArea->RestoreSort();
}

void TMainForm::UpdatePictures()
{
    qCDebug(lcRefresh) << "Radar and forecast pictures";
    FViewArea->UpdatePicturesInBackground();
}
